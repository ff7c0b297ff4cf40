#include "workflows/OptionRules.h"

#include <gtest/gtest.h>

#include <bitset>
#include <stdexcept>

namespace quorvex {
namespace {

struct TFacts final : IOptionFacts {
    std::string Version = "0.0.0.0";
    bool AutoStart = false;
    bool Backup = false;
    bool Html = false;

    std::string MessengerVersion() override { return Version; }
    bool AutoStartOn() override { return AutoStart; }
    bool BackupExists() override { return Backup; }
    bool HtmlReplacementExists() override { return Html; }
};

struct TRuleCase {
    const char* Name;
    const char* Version;
    bool AutoStart;
    const char* AdvertUnavailable;  // rows 0..8, '1' = unavailable
    bool CleanRow2Unavailable;
    bool UITab;
    bool AdvertsTab;
};

std::string AdvertRow(IOptionFacts& facts)
{
    std::string rows;
    for (int index = 0; index < 9; ++index)
        rows += AdvertOptionUnavailable(index, facts) ? '1' : '0';
    return rows;
}

class OptionRules : public ::testing::TestWithParam<TRuleCase> {};

TEST_P(OptionRules, FollowTheInstalledMessenger)
{
    const TRuleCase& rule = GetParam();
    TFacts facts;
    facts.Version = rule.Version;
    facts.AutoStart = rule.AutoStart;

    EXPECT_EQ(AdvertRow(facts), rule.AdvertUnavailable);
    EXPECT_EQ(CleanOptionUnavailable(2, facts), rule.CleanRow2Unavailable);
    EXPECT_EQ(UITabEnabled(rule.Version), rule.UITab);
    EXPECT_EQ(AdvertsTabEnabled(rule.Version), rule.AdvertsTab);
}

INSTANTIATE_TEST_SUITE_P(
    Messengers, OptionRules,
    ::testing::Values(
        TRuleCase{"None", "0.0.0.0", true, "111111111", true, false, false},
        TRuleCase{"Listed9", "9.0.0.2162", true, "000001001", true, false, true},
        TRuleCase{"Listed9NoAutoStart", "9.0.0.2162", false, "000001011", true, false, true},
        TRuleCase{"Listed10", "10.0.0.1270", true, "000000000", false, true, true},
        TRuleCase{"Listed11", "11.0.0.2009", false, "000000010", false, true, true},
        TRuleCase{"Unlisted10", "10.0.0.9999", true, "111110000", false, true, true},
        TRuleCase{"ListedWithBlank", "10.0.0.1270 ", true, "111110000", false, true, true},
        TRuleCase{"Version8", "8.0.0.863", true, "111111001", true, false, true},
        TRuleCase{"Version12", "12.0.0.1", true, "111111101", true, false, true},
        TRuleCase{"Version7", "7.5.0.1", true, "111111101", true, false, true},
        TRuleCase{"NotANumber", "abc.1.0.0", true, "111111101", true, false, true},
        TRuleCase{"NoDot", "11", true, "111111101", true, false, true}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(OptionRulesFiles, CleanRowsFollowTheBackupAndTheHtmlFile)
{
    TFacts facts;
    EXPECT_TRUE(CleanOptionUnavailable(0, facts));
    EXPECT_TRUE(CleanOptionUnavailable(1, facts));
    facts.Backup = true;
    EXPECT_FALSE(CleanOptionUnavailable(0, facts));
    EXPECT_TRUE(CleanOptionUnavailable(1, facts));
    facts.Html = true;
    EXPECT_FALSE(CleanOptionUnavailable(1, facts));
}

TEST(OptionRulesFiles, RowsOutsideTheTablesAreAvailable)
{
    TFacts facts;
    EXPECT_FALSE(AdvertOptionUnavailable(9, facts));
    EXPECT_FALSE(CleanOptionUnavailable(3, facts));
}

// The reason names the rule that refuses the row, for the command line's
// message; the rules above decide the same rows.
TEST(OptionRulesReasons, NameTheRuleThatRefuses)
{
    using enum TUnavailableReason;
    struct TReasonCase {
        const char* Version;
        bool AutoStart;
        bool Clean;  // a row of the clean list, else of the advert list
        int Index;
        TUnavailableReason Reason;
    };
    const TReasonCase cases[] = {
        {"0.0.0.0", true, false, 0, UnlistedVersion},     {"0.0.0.0", true, false, 7, NoMessenger},
        {"9.0.0.2162", false, false, 7, AutoStartOff},    {"9.0.0.2162", true, false, 7, Available},
        {"9.0.0.2162", true, false, 5, NotVersion10To11}, {"9.0.0.2162", true, false, 6, Available},
        {"7.5.0.1", true, false, 6, NotVersion8To11},     {"10.0.0.9999", true, false, 4, UnlistedVersion},
        {"10.0.0.1270", true, false, 8, Available},       {"10.0.0.1270", true, true, 0, NoBackup},
        {"10.0.0.1270", true, true, 1, NoHtmlReplacement}, {"9.0.0.2162", true, true, 2, NotVersion10To11},
        {"11.0.0.2009", true, true, 2, Available},
    };
    for (const TReasonCase& c : cases) {
        TFacts facts;
        facts.Version = c.Version;
        facts.AutoStart = c.AutoStart;
        const TUnavailableReason reason = c.Clean ? CleanOptionReason(c.Index, facts) : AdvertOptionReason(c.Index, facts);
        EXPECT_EQ(reason, c.Reason) << c.Version << (c.Clean ? " clean row " : " advert row ") << c.Index;
    }
}

TEST(OptionRulesMajor, AnUnparseableVersionHasNoUsableMajorVersion)
{
    EXPECT_EQ(UsableMajorVersion("11.0.0.2009"), std::optional<std::uint8_t>(11));
    EXPECT_EQ(UsableMajorVersion("0.0.0.0"), std::optional<std::uint8_t>(0));
    EXPECT_EQ(UsableMajorVersion("abc.1"), std::nullopt);
    EXPECT_EQ(UsableMajorVersion(".1"), std::nullopt);
}

// Each rule asks for the version again: nothing is remembered between calls.
TEST(OptionRulesMajor, RulesReadTheFactsAtEveryCall)
{
    TFacts facts;
    facts.Version = "10.0.0.1270";
    EXPECT_FALSE(AdvertOptionUnavailable(5, facts));
    facts.Version = "9.0.0.2162";
    EXPECT_TRUE(AdvertOptionUnavailable(5, facts));
}

// Facts that count how often each is asked, and can fail.
struct TCountingFacts final : IOptionFacts {
    TFacts Answers;
    int Asked[4] = {};
    bool Fail = false;

    std::string MessengerVersion() override { return Ask(0, Answers.MessengerVersion()); }
    bool AutoStartOn() override { return Ask(1, Answers.AutoStartOn()); }
    bool BackupExists() override { return Ask(2, Answers.BackupExists()); }
    bool HtmlReplacementExists() override { return Ask(3, Answers.HtmlReplacementExists()); }

private:
    template <class T>
    T Ask(int fact, T answer)
    {
        ++Asked[fact];
        if (Fail)
            throw std::runtime_error("cannot read");
        return answer;
    }
};

// One draw of both lists asks each fact once, and sees the facts as they were
// at its first read; the next draw reads them anew.
TEST(RememberedFacts, EachFactIsReadOnceForReadsThatBelongTogether)
{
    TCountingFacts facts;
    facts.Answers.Version = "10.0.0.1270";
    facts.Answers.AutoStart = true;
    std::string firstDraw;
    {
        TRememberedFacts remembered(facts);
        firstDraw = AdvertRow(remembered);
        facts.Answers.Version = "9.0.0.2162";
        EXPECT_EQ(AdvertRow(remembered), firstDraw);
        for (int index = 0; index < 3; ++index)
            CleanOptionUnavailable(index, remembered);
    }
    TFacts asFirstRead;
    asFirstRead.Version = "10.0.0.1270";
    asFirstRead.AutoStart = true;
    EXPECT_EQ(firstDraw, AdvertRow(asFirstRead));
    for (int fact = 0; fact < 4; ++fact)
        EXPECT_EQ(facts.Asked[fact], 1) << "fact " << fact;

    TRememberedFacts nextDraw(facts);
    EXPECT_NE(AdvertRow(nextDraw), firstDraw) << "a new draw reads the facts again";
}

TEST(RememberedFacts, AFactThatCannotBeReadIsAskedAgain)
{
    TCountingFacts facts;
    facts.Fail = true;
    TRememberedFacts remembered(facts);
    EXPECT_THROW(remembered.MessengerVersion(), std::runtime_error);
    facts.Fail = false;
    facts.Answers.Version = "11.0.0.2009";
    EXPECT_EQ(remembered.MessengerVersion(), "11.0.0.2009");
    EXPECT_EQ(facts.Asked[0], 2);
}

}  // namespace
}  // namespace quorvex
