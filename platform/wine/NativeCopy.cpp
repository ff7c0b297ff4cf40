#include "platform/wine/NativeCopy.h"

#include "platform/wine/FileIdentity.h"
#include "platform/wine/FileStream.h"

#include <fcntl.h>
#include <unistd.h>


namespace quorvex {
namespace {

bool CloneWhileUnchanged(int source, const TFileIdentity& identity, const std::filesystem::path& target)
{
    if (FileIdentity(source) != identity)
        return false;
    TFileWriteStream file(target.string());
    // A change made while the clone was taken may or may not be in it: the
    // clone counts only when the file was left alone throughout.
    if (!file.CloneFrom(source) || FileIdentity(source) != identity)
        return false;
    file.Commit();
    return true;
}

}  // namespace

bool CloneUnchangedNativeFile(const std::filesystem::path& source, const TFileIdentity& identity,
                              const std::filesystem::path& target)
{
    // Not blocking: whatever now has the source's name (a planted pipe) must
    // not hold the copy up; the identity check turns it away.
    const int fd = ::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    try {
        const bool cloned = CloneWhileUnchanged(fd, identity, target);
        ::close(fd);
        return cloned;
    } catch (...) {
        ::close(fd);
        throw;
    }
}

}  // namespace quorvex
