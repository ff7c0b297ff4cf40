// The HTTP peers (nginx and tinyproxy on loopback) that a benchmark starts
// for itself with tests/http/peers/peers.sh, named by QUORVEX_PEERS_SCRIPT.
#pragma once

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <cstdio>

namespace quorvex::bench {

inline bool RunPeers(const QStringList& arguments)
{
    return QProcess::execute(QStringLiteral(QUORVEX_PEERS_SCRIPT), arguments) == 0;
}

// Starts the peers in dir with a large file of largeMib MiB; nginx's port,
// empty (with the reason on standard error) when they did not start.
inline QString StartPeers(const QString& dir, int largeMib)
{
    if (!RunPeers({QStringLiteral("start"), dir, QString::number(largeMib)})) {
        std::fprintf(stderr, "could not start nginx (nginx-light and curl are needed)\n");
        return {};
    }
    QFile portFile(dir + QStringLiteral("/nginx/port"));
    if (!portFile.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(portFile.readAll().trimmed());
}

inline void StopPeers(const QString& dir)
{
    RunPeers({QStringLiteral("stop"), dir});
}

}  // namespace quorvex::bench
