// Where the tests find the peers that peers.sh started for their ctest
// fixture: the folder named by QUORVEX_PEER_DIR.
#pragma once

#include <QFile>
#include <QString>

namespace quorvex::test {

inline QString PeerDir()
{
    return qEnvironmentVariable("QUORVEX_PEER_DIR");
}

// The port of a peer ("nginx" or "proxy"); empty when it is not running.
inline QString PeerPort(const char* peer)
{
    QFile file(PeerDir() + QLatin1Char('/') + QLatin1String(peer) + QLatin1String("/port"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll().trimmed());
}

}  // namespace quorvex::test
