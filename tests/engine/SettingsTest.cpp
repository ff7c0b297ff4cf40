#include "engine/TQuorvex.h"
#include "tests/fixtures/TestSupport.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

using test::TFakePrefix;

std::string UserRegistry(const TFakePrefix& prefix)
{
    return test::ReadText(prefix.Path() / "user.reg");
}

bool Has(const std::string& text, const std::string& line)
{
    return text.find(line + "\n") != std::string::npos;
}

TEST(AutoStart, CountsTheChangesItMade)
{
    const struct {
        const char* name;
        std::optional<std::int32_t> launch;
        bool runEntries;
        bool result;
    } cases[] = {
        {"LaunchAndRunEntries", 1, true, true},
        {"LaunchOnly", 1, false, false},
        {"RunEntriesOnly", std::nullopt, true, true},
        {"Nothing", std::nullopt, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TFakeMessengerOptions options;
        options.LaunchOnStartup = c.launch;
        options.RunEntries = c.runEntries;
        TFakePrefix prefix(options);
        const std::string before = UserRegistry(prefix);
        TQuorvex engine;
        EXPECT_EQ(engine.CheckAuto(), c.launch.has_value());
        EXPECT_EQ(engine.AutoStart(), c.result);
        EXPECT_FALSE(engine.CheckAuto());
        const std::string after = UserRegistry(prefix);
        EXPECT_EQ(Has(after, "\"Launch on Startup\"=dword:00000000"), c.launch.has_value());
        EXPECT_EQ(after.find("Yahoo! Pager"), std::string::npos);
        EXPECT_EQ(after.find("Messenger (Yahoo!)"), std::string::npos);
        if (!c.launch && !c.runEntries) {
            EXPECT_EQ(after, before);
        }
    }
}

TEST(AutoStart, OnlyTheRunEntryOfTheSecondNameWithLaunchCountsTwo)
{
    TFakeMessengerOptions options;
    options.RunEntries = false;
    TFakePrefix prefix(options);
    const std::filesystem::path userReg = prefix.Path() / "user.reg";
    std::string text = UserRegistry(prefix);
    const std::string runKey = "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] 1700000000\n#time=1d9f2a3b4c5d6e7\n";
    text.insert(text.find(runKey) + runKey.size(), "\"Messenger (Yahoo!)\"=\"x\"\n");
    test::WriteText(userReg, text);
    EXPECT_TRUE(TQuorvex().AutoStart());
}

TEST(Settings, MultipleInstancesAreSwitchedByWritingOneOrDeleting)
{
    TFakePrefix prefix;
    TQuorvex engine;
    EXPECT_FALSE(engine.CheckMulti());
    EXPECT_FALSE(engine.YahooMulti(true));  // nothing to remove
    EXPECT_TRUE(engine.YahooMulti(false));
    EXPECT_TRUE(engine.CheckMulti());
    EXPECT_TRUE(Has(UserRegistry(prefix), "\"Plural\"=dword:00000001"));
    EXPECT_TRUE(engine.YahooMulti(true));
    EXPECT_FALSE(engine.CheckMulti());
    EXPECT_EQ(UserRegistry(prefix).find("Plural"), std::string::npos);
}

TEST(Settings, AMissingTestKeyIsNeitherCreatedNorChanged)
{
    TFakeMessengerOptions options;
    options.TestKey = false;
    TFakePrefix prefix(options);
    const std::string before = UserRegistry(prefix);
    TQuorvex engine;
    EXPECT_FALSE(engine.CheckMulti());
    EXPECT_FALSE(engine.YahooMulti(false));
    EXPECT_FALSE(engine.YahooMulti(true));
    EXPECT_EQ(UserRegistry(prefix), before);
}

TEST(Settings, SmileySearchAtZeroIsOffAndIsSwitchedOnThenRemoved)
{
    TFakeMessengerOptions options;
    options.SmileySearch = 0;
    TFakePrefix prefix(options);
    TQuorvex engine;
    EXPECT_FALSE(engine.CheckSmiley());
    EXPECT_TRUE(engine.SmileySearch(false));
    EXPECT_TRUE(engine.CheckSmiley());
    EXPECT_TRUE(engine.SmileySearch(true));
    EXPECT_FALSE(engine.CheckSmiley());
    EXPECT_FALSE(engine.SmileySearch(true));
}

TEST(Settings, ANegativeValueIsOffAndAValueOfAnotherTypeRaisesTheRegistryError)
{
    TFakeMessengerOptions options;
    options.Plural = -1;  // stored as ffffffff
    TFakePrefix prefix(options);
    EXPECT_TRUE(Has(UserRegistry(prefix), "\"Plural\"=dword:ffffffff"));
    TQuorvex engine;
    EXPECT_FALSE(engine.CheckMulti());

    std::string text = UserRegistry(prefix);
    text.replace(text.find("\"SmileySearch\"=dword:00000001"), 29, "\"SmileySearch\"=\"on\"");
    test::WriteText(prefix.Path() / "user.reg", text);
    try {
        engine.CheckSmiley();
        FAIL() << "no error";
    } catch (const RegistryError& error) {
        EXPECT_EQ(std::string(error.what()), "Invalid data type for \"SmileySearch\"");
    }
}

TEST(Settings, WithoutAPrefixEveryQueryAndChangeIsFalse)
{
    test::TTempFolder empty;
    test::TScopedEnv prefix("WINEPREFIX", (empty.Path() / "none").string());
    TQuorvex engine;
    EXPECT_FALSE(engine.CheckAuto());
    EXPECT_FALSE(engine.AutoStart());
    EXPECT_FALSE(engine.CheckMulti());
    EXPECT_FALSE(engine.YahooMulti(false));
    EXPECT_FALSE(engine.CheckSmiley());
    EXPECT_FALSE(engine.SmileySearch(false));
    EXPECT_FALSE(std::filesystem::exists(empty.Path() / "none"));
}

}  // namespace
}  // namespace quorvex
