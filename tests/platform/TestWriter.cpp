// A second Quorvex process for the tests of writers that take turns:
//   registry PREFIX NAME COUNT  writes COUNT values NAME0, NAME1, ... (value i)
//                               into HKEY_CURRENT_USER\Software\yahoo\pager of
//                               the prefix, one change each; exit status 1
//                               when any failed (each failure on stderr)
//   stream FILE SECONDS         replaces FILE with "written by the test writer"
//                               through a write stream, committed after SECONDS
//   hold FILE SECONDS           holds the flock of FILE, as a write stream holds
//                               its temporary file, for SECONDS
#include "platform/Error.h"
#include "platform/wine/FileStream.h"
#include "platform/wine/WinePrefix.h"
#include "platform/wine/WineRegistry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <thread>

namespace {

using namespace quorvex;

int WriteRegistryValues(const std::string& prefix, const std::string& name, int count)
{
    UseWinePrefix(prefix);
    const TWineRegistry registry;
    int failures = 0;
    for (int i = 0; i < count; ++i) {
        try {
            const auto key = registry.OpenKey(TRootKey::CurrentUser, "Software\\yahoo\\pager", TKeyAccess::ReadWrite);
            if (!key)
                throw Error("the key does not open");
            key->WriteInteger(name + std::to_string(i), i);
        } catch (const Error& error) {
            std::fprintf(stderr, "%s%d: %s\n", name.c_str(), i, error.what());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}

int WriteThroughStream(const std::string& file, double seconds)
{
    TFileWriteStream stream(file);
    constexpr std::string_view kText = "written by the test writer";
    stream.Write(std::span(reinterpret_cast<const std::uint8_t*>(kText.data()), kText.size()));
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    stream.Commit();
    return 0;
}

int HoldFlock(const std::string& file, double seconds)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::flock(fd, LOCK_EX) != 0) {
        std::perror(file.c_str());
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    ::close(fd);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string_view mode = argc > 1 ? argv[1] : "";
    try {
        if (mode == "registry" && argc == 5)
            return WriteRegistryValues(argv[2], argv[3], std::atoi(argv[4]));
        if (mode == "stream" && argc == 4)
            return WriteThroughStream(argv[2], std::atof(argv[3]));
        if (mode == "hold" && argc == 4)
            return HoldFlock(argv[2], std::atof(argv[3]));
    } catch (const Error& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    std::fprintf(stderr, "usage: registry PREFIX NAME COUNT | stream FILE SECONDS | hold FILE SECONDS\n");
    return 2;
}
