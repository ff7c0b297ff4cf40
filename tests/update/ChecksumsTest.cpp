// Checksums of a downloaded installer, as upper-case hexadecimal text.
#include "update/Checksums.h"

#include "MemoryBlocks.h"

#include <zlib.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace quorvex {
namespace {

namespace fs = std::filesystem;

class Checksums : public testing::Test {
protected:
    Checksums()
    {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        folder_ = fs::temp_directory_path() / ("quorvex-checksums-" + std::to_string(stamp));
        fs::create_directories(folder_);
    }
    ~Checksums() override
    {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    std::string Write(const std::string& bytes)
    {
        const fs::path path = folder_ / "setup.exe";
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        return path.string();
    }

    std::string Path(const char* name) const { return (folder_ / name).string(); }

private:
    fs::path folder_;
};

bool Matches(const std::string& bytes, THashType type, const std::string& expected)
{
    TMemoryBlocks file(bytes);
    return ChecksumMatches(file, type, expected);
}

TEST_F(Checksums, KnownValues)
{
    const std::string digits = Write("123456789");
    EXPECT_EQ(FileChecksum(digits, THashType::CRC32), "CBF43926");
    const std::string abc = Write("abc");
    EXPECT_EQ(FileChecksum(abc, THashType::MD5), "900150983CD24FB0D6963F7D28E17F72");
    EXPECT_EQ(FileChecksum(abc, THashType::SHA1), "A9993E364706816ABA3E25717850C26C9CD0D89D");
    const std::string empty = Write({});
    EXPECT_EQ(FileChecksum(empty, THashType::CRC32), "00000000");
    EXPECT_EQ(FileChecksum(empty, THashType::MD5), "D41D8CD98F00B204E9800998ECF8427E");
    // A small CRC keeps its leading zeros.
    EXPECT_EQ(FileChecksum(Write("62"), THashType::CRC32), "0012D20A");
}

// Files of several blocks (102,400 bytes for CRC-32 and MD5, 4,096 for SHA-1)
// give the checksum of the whole: the published digests of a million "a"s,
// and zlib's CRC-32 of random bytes taken at once.
TEST_F(Checksums, ManyBlocksGiveTheWholeFilesChecksum)
{
    const std::string million = Write(std::string(1'000'000, 'a'));
    EXPECT_EQ(FileChecksum(million, THashType::MD5), "7707D6AE4E027C70EEA2A935C2296F21");
    EXPECT_EQ(FileChecksum(million, THashType::SHA1), "34AA973CD4C4DAA4F61EEB2BDBAD27316534016F");

    std::string bytes(250'001, '\0');
    std::mt19937 generator(8);
    for (char& byte : bytes)
        byte = static_cast<char>(generator() & 0xFF);
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(bytes.data()),
                            static_cast<uInt>(bytes.size()));
    char expected[9];
    std::snprintf(expected, sizeof expected, "%08lX", static_cast<unsigned long>(crc));
    EXPECT_EQ(FileChecksum(Write(bytes), THashType::CRC32), std::string(expected));

    // An open file is read from its start, wherever it stood.
    TMemoryBlocks file(bytes);
    std::vector<std::uint8_t> skipped(123'456);
    ASSERT_EQ(file.Read(skipped), skipped.size());
    EXPECT_EQ(FileChecksum(file, THashType::CRC32), std::string(expected));
}

TEST_F(Checksums, MatchIsExact)
{
    EXPECT_TRUE(Matches("abc", THashType::MD5, "900150983CD24FB0D6963F7D28E17F72"));
    EXPECT_FALSE(Matches("abc", THashType::MD5, "900150983cd24fb0d6963f7d28e17f72"));
    EXPECT_FALSE(Matches("abc", THashType::MD5, " 900150983CD24FB0D6963F7D28E17F72"));
    EXPECT_FALSE(Matches("abc", THashType::SHA1, ""));
    EXPECT_TRUE(Matches("abc", THashType::CRC32, "352441C2"));
    EXPECT_FALSE(Matches("abc", THashType::MD5, "352441C2"));  // the CRC given for an MD5
}

TEST_F(Checksums, UnreadableFileHasNone)
{
    const std::string missing = Path("missing.exe");
    const std::string folder = Path("");
    const std::string large(300'000, 'x');
#ifndef _WIN32
    // A pipe is not a file: nothing waits for a writer.
    const std::string pipe = Path("pipe.exe");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
#endif
    for (const THashType type : {THashType::CRC32, THashType::MD5, THashType::SHA1}) {
        EXPECT_FALSE(FileChecksum(missing, type).has_value());
        EXPECT_FALSE(FileChecksum(folder, type).has_value());
#ifndef _WIN32
        EXPECT_FALSE(FileChecksum(pipe, type).has_value());
#endif
        // A read that fails after the first block gives no checksum of what came before.
        TMemoryBlocks failing(large, 1);
        EXPECT_FALSE(FileChecksum(failing, type).has_value());
        EXPECT_FALSE(Matches(large, type, ""));
    }
    EXPECT_FALSE(FileChecksum(Write("abc"), THashType::None).has_value());
}

}  // namespace
}  // namespace quorvex
