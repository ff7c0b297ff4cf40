// The one rule for which messenger Quorvex works on (the prefix, why, the
// folder), through LocateMessenger as every entry point calls it.
#include "engine/MessengerInfo.h"
#include "platform/wine/WinePrefix.h"
#include "tests/workflows/LocationCases.h"
#include "workflows/MessengerLocation.h"

#include <gtest/gtest.h>

namespace quorvex::test {
namespace {

class MessengerLocation : public ::testing::TestWithParam<TLocationCase> {};

TEST_P(MessengerLocation, ChoosesThePrefixAndFolderAndPutsThePrefixInUse)
{
    const TLocationCase& c = GetParam();
    const TLocationHome home(c);

    const TMessengerLocation location = LocateMessenger(*c.Given ? home.Path(c.Given).string() : "", home.Text(c.Folder));

    const TPrefixChoice expected{home.Path(c.ExpectedPrefix), c.ExpectedReason, c.ExpectedState};
    EXPECT_EQ(location, (TMessengerLocation{expected, home.Text(c.ExpectedFolder)}));
    EXPECT_EQ(WinePrefix(), expected.Prefix);
    EXPECT_EQ(YahooVersion(), ExpectedVersion(home));
}

INSTANTIATE_TEST_SUITE_P(Cases, MessengerLocation, ::testing::ValuesIn(LocationCases()),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(MessengerLocationText, SaysWhatIsWrongWithThePrefixOrNothing)
{
    const auto problem = [](TPrefixState state) {
        return PrefixProblem({TPrefixChoice{"/p", TPrefixReason::Given, state}, "C:\\"});
    };
    EXPECT_EQ(problem(TPrefixState::Usable), std::nullopt);
    EXPECT_EQ(problem(TPrefixState::Missing), "No Wine prefix at /p");
    EXPECT_EQ(problem(TPrefixState::NotAPrefix), "/p is not a Wine prefix");
    EXPECT_EQ(PrefixProblem({std::nullopt, "C:\\"}), std::nullopt) << "no prefix where there is none (Windows)";
}

}  // namespace
}  // namespace quorvex::test
