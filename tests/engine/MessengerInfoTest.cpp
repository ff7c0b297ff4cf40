#include "engine/TQuorvex.h"
#include "tests/fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace quorvex {
namespace {

using test::TFakePrefix;

TEST(MessengerVersion, IsReadFromTheMachineRegistryOfEitherArchitecture)
{
    for (const bool win64 : {false, true}) {
        TFakeMessengerOptions options;
        options.Win64 = win64;
        options.Version = "9.0.0.2133";
        TFakePrefix prefix(options);
        EXPECT_EQ(YahooVersion(), "9.0.0.2133") << (win64 ? "win64" : "win32");
    }
}

TEST(MessengerVersion, IsTheNoneVersionWhenKeyValueOrPrefixIsMissingOrEmpty)
{
    TFakeMessengerOptions options;
    options.Version = "";
    TFakePrefix prefix(options);
    EXPECT_EQ(YahooVersion(), "0.0.0.0");  // no key

    const auto systemWith = [&](const std::string& values) {
        test::WriteText(prefix.Path() / "system.reg",
                        "WINE REGISTRY Version 2\n\n#arch=win32\n\n[Software\\\\yahoo\\\\pager] 1\n" + values);
    };
    systemWith("");
    EXPECT_EQ(YahooVersion(), "0.0.0.0");  // no value
    systemWith("\"ProductVersion\"=\"\"\n");
    EXPECT_EQ(YahooVersion(), "0.0.0.0");  // empty value
    systemWith("\"ProductVersion\"=\"10.0.0.1270 \"\n");
    EXPECT_EQ(YahooVersion(), "10.0.0.1270 ");  // read as it is

    systemWith("\"ProductVersion\"=dword:0000000a\n");
    try {
        YahooVersion();
        FAIL() << "no error";
    } catch (const RegistryError& error) {
        EXPECT_EQ(std::string(error.what()), "Invalid data type for \"ProductVersion\"");
    }

    test::TScopedEnv nowhere("WINEPREFIX", (prefix.Path() / "none").string());
    EXPECT_EQ(YahooVersion(), "0.0.0.0");
}

TEST(MessengerVersion, MajorIsTheFirstNumbersLowByte)
{
    const struct {
        std::string version;
        std::uint8_t major;
    } cases[] = {
        {"11.0.0.2009", 11}, {"0.0.0.0", 0}, {"9.0.0.2133", 9}, {"11", 0}, {"", 0},
        {"256.0", 0},        {"-1.0", 255},  {" 8.0", 8},       {"+10.1", 10},
    };
    for (const auto& c : cases)
        EXPECT_EQ(YahooMajorVersion(c.version), c.major) << c.version;
}

TEST(MessengerVersion, MajorOfATextThatIsNoNumberRaisesTheConversionError)
{
    const struct {
        std::string version;
        std::string message;
    } cases[] = {
        {"abc.1", "'abc' is not a valid integer value"},
        {".5", "'' is not a valid integer value"},
        {"9x.0", "'9x' is not a valid integer value"},
        {"99999999999.0", "'99999999999' is not a valid integer value"},
        {"+-1.0", "'+-1' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        try {
            YahooMajorVersion(c.version);
            ADD_FAILURE() << "no error for " << c.version;
        } catch (const ConvertError& error) {
            EXPECT_EQ(std::string(error.what()), c.message);
        }
    }
}

TEST(VersionOffsetTable, GivesTheOffsetOfTheExactVersionText)
{
    const struct {
        std::string version;
        std::int32_t offset;
    } cases[] = {
        {"11.0.0.2009", 1256209}, {"11.0.0.1751", 1221500}, {"10.0.0.1270", 494190}, {"10.0.0.1267", 492584},
        {"10.0.0.1264", 493372},  {"10.0.0.1258", 493252},  {"10.0.0.1241", 492244}, {"10.0.0.1102", 490342},
        {"10.0.0.542", 484510},   {"10.0.0.525", 485572},   {"9.0.0.2018", 223005},  {"9.0.0.2034", 223400},
        {"9.0.0.2112", 230680},   {"9.0.0.2123", 229794},   {"9.0.0.2124", 230959},  {"9.0.0.2128", 231027},
        {"9.0.0.2133", 229665},   {"9.0.0.2136", 229665},   {"9.0.0.2152", 228720},  {"9.0.0.2160", 229197},
        {"9.0.0.2161", 227342},   {"9.0.0.2162", 227342},   {"10.0.0.1270 ", 0},     {"8.0.0.863", 0},
        {"0.0.0.0", 0},           {"", 0},                  {"10.0.0.12700", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VersionOffset(c.version), c.offset) << c.version;
}

TEST(MainAdvert, FlipsTheExpectedByteForTheMajorVersionOnce)
{
    const struct {
        std::uint8_t major;
        std::uint8_t stored;
        bool changed;
        std::uint8_t after;
    } cases[] = {
        {10, 0x57, true, 0x56}, {11, 0x57, true, 0x56}, {9, 0x84, true, 0x83}, {0, 0x84, true, 0x83},
        {8, 0x84, true, 0x83},  {9, 0x57, false, 0x57}, {10, 0x84, false, 0x84}, {10, 0x56, false, 0x56},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << int(c.major) << " " << int(c.stored));
        TFakeMessengerOptions options;
        options.Version = "8.0.0.863";
        options.ImageSize = 0x80000;
        TFakePrefix prefix(options);
        std::vector<std::uint8_t> bytes = prefix.Image.Bytes;
        bytes[494190 % bytes.size()] = c.stored;
        test::WriteText(prefix.Executable(), std::string(bytes.begin(), bytes.end()));

        TQuorvex engine;
        engine.YahooMessengerPath = "C:\\Program Files\\Yahoo!\\Messenger";
        engine.YahooMajor = c.major;
        engine.LoadYahooMessenger();
        const std::int32_t pos = 494190 % static_cast<std::int32_t>(bytes.size());
        EXPECT_EQ(engine.MainAdvert(pos), c.changed);
        EXPECT_EQ(engine.Image().Bytes()[static_cast<std::size_t>(pos)], c.after);
        EXPECT_FALSE(engine.MainAdvert(pos));  // a second run finds nothing to do
    }
}

TEST(MainAdvert, TheFakeMessengersByteIsFoundAtItsVersionsOffsetAndNowhereElse)
{
    TFakePrefix prefix;  // version 10.0.0.1270
    TQuorvex engine;
    engine.YahooMessengerPath = "C:\\Program Files\\Yahoo!\\Messenger";
    engine.YahooMajor = YahooMajorVersion(YahooVersion());
    engine.LoadYahooMessenger();
    EXPECT_FALSE(engine.MainAdvert(VersionOffset("0.0.0.0")));  // offset 0 holds the "M" of "MZ"
    EXPECT_FALSE(engine.MainAdvert(-1));
    EXPECT_FALSE(engine.MainAdvert(static_cast<std::int32_t>(engine.Image().Size())));
    EXPECT_EQ(engine.Image().Size(), prefix.Image.Bytes.size());
    EXPECT_TRUE(engine.MainAdvert(VersionOffset(YahooVersion())));
    EXPECT_EQ(engine.Image().Bytes()[494190], 0x56);
}

TEST(MessengerRunning, IsSeenFromAProcessRunningTheExecutable)
{
    test::TChildProcess messenger("/bin/sleep", {"C:\\Program Files\\Yahoo!\\Messenger\\YahooMessenger.exe", "30"});
    bool seen = false;
    for (int attempt = 0; attempt < 200 && !seen; ++attempt) {
        seen = YahooRunning();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(seen);
}

}  // namespace
}  // namespace quorvex
