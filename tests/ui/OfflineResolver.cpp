// The window tests run the start-up update check against the configured site
// host. They must not depend on, or send queries to, the machine's name
// servers: this test program's getaddrinfo answers loopback and numeric names
// only, as an offline machine would, so the silent check ends at once with
// "Host not found".
#include <dlfcn.h>
#include <netdb.h>

#include <cstring>

namespace {

using GetAddrInfo = int (*)(const char*, const char*, const addrinfo*, addrinfo**);

bool LocalName(const char* node)
{
    return node == nullptr || std::strcmp(node, "localhost") == 0
        || std::strspn(node, "0123456789.:abcdefABCDEF") == std::strlen(node);
}

}  // namespace

extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo* hints, addrinfo** result)
{
    if (!LocalName(node))
        return EAI_NONAME;
    static const auto real = reinterpret_cast<GetAddrInfo>(::dlsym(RTLD_NEXT, "getaddrinfo"));
    return real(node, service, hints, result);
}
