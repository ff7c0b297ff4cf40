// The system's socket headers, and the few things that differ between Winsock
// and POSIX sockets for the code that both backends share.
#pragma once

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#endif

namespace quorvex {

#ifdef _WIN32
using TNativeSocket = SOCKET;
using TSockLen = int;
#else
using TNativeSocket = int;
using TSockLen = socklen_t;
#endif

// Makes the system's sockets usable in this process: Winsock is started once,
// before the first socket call; POSIX sockets need nothing.
void StartSockets();

// Whether a failed getaddrinfo's status says that the name has no address.
bool NameHasNoAddress(int status);

// The error number of the calling thread's last failed socket call.
int LastSocketError();

}  // namespace quorvex
