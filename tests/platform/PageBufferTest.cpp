#include "platform/NativeFile.h"
#include "platform/PageBuffer.h"
#include "tests/fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <thread>

namespace quorvex {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMiB = std::size_t{1} << 20;

// Bytes that differ from their neighbours and from zero-filled memory.
std::string Pattern(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(1 + i * 7 % 251);
    return bytes;
}

TEST(PageBuffer, AFileIsReadExactlyWhateverItsSizeAgainstTheBuffersBoundaries)
{
    test::TTempFolder folder;
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, 2 * kMiB - 1, 2 * kMiB, 2 * kMiB + 1, 4 * kMiB + 3}) {
        SCOPED_TRACE(size);
        const fs::path file = folder.Path() / "system.reg";
        const std::string bytes = Pattern(size);
        test::WriteText(file, bytes);
        const TPageBuffer read = ReadNativeFileToPages(file);
        ASSERT_EQ(read.size(), size);
        EXPECT_TRUE(read.View() == bytes) << "the bytes read differ from the file's";
    }
}

TEST(PageBuffer, ResizingKeepsTheBytesAndShowsZerosWhereNoneWereWritten)
{
    TPageBuffer buffer(10);
    std::memcpy(buffer.data(), "0123456789", 10);
    buffer.resize(4);
    buffer.resize(6);  // within the mapping: the dropped bytes come back as zeros
    EXPECT_EQ(buffer.View(), std::string_view("0123\0\0", 6));

    buffer.resize(3 * kMiB);  // past the mapping: a larger one
    ASSERT_EQ(buffer.size(), 3 * kMiB);
    EXPECT_EQ(buffer.View().substr(0, 4), "0123");
    EXPECT_EQ(buffer.View().find_first_not_of('\0', 4), std::string_view::npos);

    TPageBuffer moved(std::move(buffer));
    EXPECT_EQ(moved.View().substr(0, 4), "0123");
    EXPECT_EQ(buffer.size(), 0u);  // a moved-from buffer is empty
}

// Bytes keep coming after the size seen at the start, as from a file that
// grows while it is read: through a pipe, whose size shows as 0.
TEST(PageBuffer, AFileThatGivesMoreThanItsSizeIsReadToItsEnd)
{
    test::TTempFolder folder;
    const fs::path pipe = folder.Path() / "growing.reg";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string bytes = Pattern(3 * kMiB + 5);
    std::thread writer([&] {
        const int fd = ::open(pipe.c_str(), O_WRONLY | O_CLOEXEC);
        for (std::size_t done = 0; fd >= 0 && done < bytes.size();) {
            const ssize_t count = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (count <= 0)
                break;
            done += static_cast<std::size_t>(count);
        }
        if (fd >= 0)
            ::close(fd);
    });
    const TPageBuffer read = ReadNativeFileToPages(pipe);
    writer.join();
    ASSERT_EQ(read.size(), bytes.size());
    EXPECT_TRUE(read.View() == bytes) << "the bytes read differ from those written";
}

}  // namespace
}  // namespace quorvex
