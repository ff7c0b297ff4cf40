#include "platform/InstanceLock.h"

#include "platform/Error.h"
#include "platform/wine/NativeFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace quorvex {

TInstanceLock::~TInstanceLock()
{
    ::close(descriptor_);
}

std::unique_ptr<TInstanceLock> TInstanceLock::TryTake(const std::filesystem::path& file)
{
    const int descriptor = ::open(file.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (descriptor < 0)
        throw Error(SystemErrorText(errno));
    int result = 0;
    do {
        result = ::flock(descriptor, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0)
        return std::unique_ptr<TInstanceLock>(new TInstanceLock(descriptor));
    const int reason = errno;
    ::close(descriptor);
    if (reason == EWOULDBLOCK)
        return nullptr;
    throw Error(SystemErrorText(reason));
}

}  // namespace quorvex
