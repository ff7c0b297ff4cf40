// Where the tests find the peers that peers.sh started for their ctest
// fixture: the folder named by QUORVEX_PEER_DIR.
#pragma once

#include <cstdlib>
#include <fstream>
#include <string>

#ifdef QT_CORE_LIB
#include <QString>
#endif

namespace quorvex::test {

inline std::string PeerFolder()
{
    const char* folder = std::getenv("QUORVEX_PEER_DIR");
    return folder != nullptr ? folder : "";
}

// The port of a peer ("nginx" or "proxy"); empty when it is not running.
inline std::string PeerPortText(const char* peer)
{
    std::ifstream file(PeerFolder() + '/' + peer + "/port");
    std::string port;
    file >> port;
    return port;
}

#ifdef QT_CORE_LIB
// The same for the tests written on Qt.
inline QString PeerDir()
{
    return QString::fromStdString(PeerFolder());
}

inline QString PeerPort(const char* peer)
{
    return QString::fromStdString(PeerPortText(peer));
}
#endif

}  // namespace quorvex::test
