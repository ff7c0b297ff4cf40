#include "HangingResolver.h"

#include <dlfcn.h>
#include <netdb.h>

#include <condition_variable>
#include <cstring>
#include <mutex>

namespace quorvex::test {
namespace {

std::mutex mutex;
std::condition_variable answered;
int waiting = 0;
bool answer = false;

}  // namespace

bool UnansweredLookupWaiting()
{
    const std::lock_guard lock(mutex);
    return waiting > 0;
}

void AnswerUnansweredLookups()
{
    const std::lock_guard lock(mutex);
    answer = true;
    answered.notify_all();
}

}  // namespace quorvex::test

extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo* hints, addrinfo** result)
{
    using namespace quorvex::test;
    if (node != nullptr && std::strcmp(node, kUnansweredHost) == 0) {
        std::unique_lock lock(mutex);
        ++waiting;
        answered.wait(lock, [] { return answer; });
        --waiting;
        return EAI_AGAIN;
    }
    using GetAddrInfo = int (*)(const char*, const char*, const addrinfo*, addrinfo**);
    static const auto real = reinterpret_cast<GetAddrInfo>(::dlsym(RTLD_NEXT, "getaddrinfo"));
    return real(node, service, hints, result);
}
