#include "platform/Error.h"
#include "platform/wine/NativeFile.h"
#include "platform/wine/PageBuffer.h"
#include "tests/fixtures/TestSupport.h"

#include <gtest/gtest.h>


#include <cstring>
#include <string>

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
        const TPageBuffer read = ReadNativeFileToPages(file, 8 * kMiB);
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
// grows while it is read: a file of the kernel's, whose size shows as 0.
TEST(PageBuffer, AFileThatGivesMoreThanItsSizeIsReadToItsEnd)
{
    const fs::path file = "/proc/self/cmdline";
    ASSERT_EQ(fs::file_size(file), 0u);
    const std::string bytes = test::ReadText(file);
    ASSERT_FALSE(bytes.empty());
    const TPageBuffer read = ReadNativeFileToPages(file, kMiB);
    ASSERT_EQ(read.size(), bytes.size());
    EXPECT_TRUE(read.View() == bytes) << "the bytes read differ from the file's";
}

// A file that grows past the bound while it is read is refused, not read on.
TEST(PageBuffer, AFileThatGrowsPastTheBoundIsRefused)
{
    const fs::path file = "/proc/self/cmdline";
    const std::size_t size = test::ReadText(file).size();
    ASSERT_GT(size, 1u);
    try {
        (void)ReadNativeFileToPages(file, size - 1);
        ADD_FAILURE() << "a file past the bound was read";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot open file \"/proc/self/cmdline\". File too large (more than " + std::to_string(size - 1) +
                      " bytes)");
    }
    EXPECT_EQ(ReadNativeFileToPages(file, size).size(), size) << "a file at the bound is read";
}

}  // namespace
}  // namespace quorvex
