// The main window's rules on a view that draws nothing: start-up, the lists
// and tabs following the messenger, the advert option refresh, the apply
// lock, the update check and the folder fields following the Wine prefix.
#include "FakeViews.h"
#include "FormPrefix.h"
#include "archive/Catalogue.h"
#include "archive/mxStorage.h"
#include "engine/TQuorvex.h"
#include "forms/MainForm.h"
#include "workflows/WorkflowSteps.h"

#include <quorvex/BuildConfig.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <stdexcept>

namespace quorvex::test {
namespace {

constexpr char kDefaultFolder[] = "C:\\Program Files\\Yahoo!\\Messenger";

class MainFormTest : public ::testing::Test {
protected:
    MainFormTest() : splash(view.Journal), ownedReads(std::make_unique<TFakeReads>()), reads(*ownedReads) {}

    // Makes the form over the fake reads and runs its start.
    void Create()
    {
        form = std::make_unique<TMainForm>(view, splash, storage, TMessengerLocation{},
                                           [this](TQuorvex&) { return std::move(ownedReads); });
        form->FormCreate();
    }
    // The user ticks a row: the list's tick event follows.
    void UserTicks(TOptionList list, int index)
    {
        view.Ticks.at(list).at(index) = true;
        if (list == TOptionList::lvOptions)
            form->lvOptionsItemChecked(index);
        else if (list == TOptionList::lvClean)
            form->lvCleanItemChecked(index);
    }
    std::size_t Mark() const { return view.Journal.size(); }

    TFormPrefix prefix;
    TFakeMainView view;
    TFakeSplash splash;
    std::unique_ptr<TFakeReads> ownedReads;
    TFakeReads& reads;
    TmxStorage storage;
    std::unique_ptr<TMainForm> form;
};

TEST_F(MainFormTest, FormCreateFillsTheFieldsRefreshesNamesThePrefixAndRunsTheSilentCheckInThatOrder)
{
    Create();

    ASSERT_EQ(view.Journal.size(), 9u);
    EXPECT_EQ(view.Journal[0], std::string("folder dePath: ") + kDefaultFolder);
    EXPECT_EQ(view.Journal[1], std::string("folder deUpath: ") + kDefaultFolder);
    EXPECT_EQ(view.Journal[2], "show btnReplace off");
    EXPECT_EQ(view.Journal[3], "caption lvOptions 6: Enable Multiple Instances of Yahoo Messenger 11, 10, 9, or 8");
    EXPECT_EQ(view.Journal[4], "caption lvOptions 8: Enable Smiley Search");
#ifdef QUORVEX_WINE_PREFIX
    EXPECT_EQ(view.Journal[5], "tip: Wine prefix: " + prefix.Path().string() + ", from $WINEPREFIX");
#else
    EXPECT_EQ(view.Journal[5], "tip: ");
#endif
    EXPECT_EQ(view.Journal[6], "splash shown");
    EXPECT_EQ(view.Journal[7], "update check silent");
    EXPECT_EQ(view.Journal[8], "splash hidden");
    EXPECT_EQ(form->Engine().YahooMessengerPath, kDefaultFolder);
    EXPECT_EQ(form->Engine().YahooMajor, 0) << "not before the Adverts tab is shown";
}

TEST_F(MainFormTest, ASplashAlreadyUpAtStartUpIsNotShownAgainButHiddenAfterTheCheck)
{
    splash.Up = true;
    Create();
    EXPECT_EQ(view.Entries({"splash", "update"}), (TJournal{"update check silent", "splash hidden"}));
    EXPECT_FALSE(splash.Up);
}

struct TMessengerCase {
    const char* Name;
    const char* Version;
    bool AutoStart;
    const char* AdvertUnavailable;  // rows 0..8, '1' = grey and refusing a tick
    bool CleanRow2Unavailable;
    bool AdvertsTab;
    bool UITab;
    int Major;
};

void PrintTo(const TMessengerCase& messenger, std::ostream* out)
{
    *out << messenger.Name;
}

class MainFormMessengers : public MainFormTest, public ::testing::WithParamInterface<TMessengerCase> {};

TEST_P(MainFormMessengers, ListsTabsLabelsAndTheMajorVersionFollowTheMessenger)
{
    const TMessengerCase& expected = GetParam();
    reads.Version = expected.Version;
    reads.AutoStart = expected.AutoStart;
    Create();

    std::size_t mark = Mark();
    form->tbAdvertsShow();
    EXPECT_EQ(view.Versions[TVersionLabel::lbVersion], expected.Version);
    EXPECT_EQ(form->Engine().YahooMajor, expected.Major);
    EXPECT_EQ(view.Entries({"page", "enable"}, mark),
              (TJournal{std::string("page tbAdverts ") + (expected.AdvertsTab ? "on" : "off"), "enable dePath on"}))
        << "the folder field stays usable";

    std::string refused;
    std::string grey;
    for (int row = 0; row < 9; ++row) {
        UserTicks(TOptionList::lvOptions, row);
        refused += view.Ticked(TOptionList::lvOptions, row) ? '0' : '1';
        grey += form->OptionUnavailable(TOptionList::lvOptions, row) ? '1' : '0';
    }
    EXPECT_EQ(refused, expected.AdvertUnavailable);
    EXPECT_EQ(grey, expected.AdvertUnavailable) << "grey exactly when refused";

    view.Ticks[TOptionList::lvOptions].assign(9, false);
    const int readsBefore = reads.VersionReads;
    form->btnCallmClick();
    std::string checkAll = expected.AdvertUnavailable;
    for (char& row : checkAll)
        row = row == '1' ? '0' : '1';
    EXPECT_EQ(view.TickedRows(TOptionList::lvOptions), checkAll) << "Check All ticks every row it may";
    EXPECT_EQ(reads.VersionReads - readsBefore, 1) << "the version read once for all rows";

    UserTicks(TOptionList::lvClean, 2);
    EXPECT_EQ(!view.Ticked(TOptionList::lvClean, 2), expected.CleanRow2Unavailable);

    view.Page = TMainPage::tbUI;
    mark = Mark();
    form->tbUIShow();
    EXPECT_EQ(view.Versions[TVersionLabel::lbUIVer], expected.Version);
    EXPECT_EQ(view.Entries({"page", "enable"}, mark),
              (TJournal{std::string("page tbUI ") + (expected.UITab ? "on" : "off"), "enable deUpath on"}));
    form->btnCalluClick();
    EXPECT_EQ(view.TickedRows(TOptionList::lvUI), "111111111") << "the UI list has no rules";
}

INSTANTIATE_TEST_SUITE_P(
    Messengers, MainFormMessengers,
    ::testing::Values(TMessengerCase{"NoMessenger", "0.0.0.0", true, "111111111", true, false, false, 0},
                      TMessengerCase{"Listed9StartingWithWindows", "9.0.0.2162", true, "000001001", true, true,
                                     false, 9},
                      TMessengerCase{"Listed9NotStartingWithWindows", "9.0.0.2162", false, "000001011", true, true,
                                     false, 9},
                      TMessengerCase{"Listed10", "10.0.0.1270", true, "000000000", false, true, true, 10},
                      TMessengerCase{"Unlisted10", "10.0.0.1300", true, "111110000", false, true, true, 10},
                      TMessengerCase{"Version8", "8.0.0.863", false, "111111011", true, true, false, 8},
                      TMessengerCase{"Version12", "12.0.0.100", true, "111111101", true, true, false, 12},
                      TMessengerCase{"UnparseableVersion", "abc.0.0.1", true, "111111101", true, true, false, 0}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(MainFormTest, OneDrawReadsTheMessengerOnceAndTheNextSeesAChangeAtOnce)
{
    Create();
    const int before = reads.VersionReads;
    std::string rows;
    form->DrawList([&] {
        for (int row = 0; row < 9; ++row)
            rows += form->OptionUnavailable(TOptionList::lvOptions, row) ? '1' : '0';
    });
    EXPECT_EQ(rows, "000000000");
    EXPECT_EQ(reads.VersionReads - before, 1);

    reads.Version = "0.0.0.0";
    EXPECT_TRUE(form->OptionUnavailable(TOptionList::lvOptions, 0)) << "nothing kept after the draw";
}

TEST_F(MainFormTest, AnUntickReadsNothingAndIsLeftAlone)
{
    reads.Version = "0.0.0.0";
    Create();
    const int before = reads.VersionReads;
    const std::size_t mark = Mark();
    form->lvOptionsItemChecked(3);
    form->lvCleanItemChecked(2);
    EXPECT_EQ(reads.VersionReads, before);
    EXPECT_EQ(view.Journal.size(), mark);
}

struct TRefreshCase {
    bool Html, Multi, Smiley;
    const char* MultiCaption;
    const char* SmileyCaption;
};

void PrintTo(const TRefreshCase& settings, std::ostream* out)
{
    *out << "html " << settings.Html << ", multi " << settings.Multi << ", smiley " << settings.Smiley;
}

class MainFormRefresh : public MainFormTest, public ::testing::WithParamInterface<TRefreshCase> {};

TEST_P(MainFormRefresh, TheEditButtonAndTheTwoCaptionsFollowTheMessengerSettings)
{
    Create();
    const TRefreshCase& expected = GetParam();
    reads.HtmlReplacement = expected.Html;
    reads.Multi = expected.Multi;
    reads.Smiley = expected.Smiley;
    const std::size_t mark = Mark();
    form->AdvertOptionRefresh();
    EXPECT_EQ(view.Entries({""}, mark),
              (TJournal{std::string("show btnReplace ") + (expected.Html ? "on" : "off"),
                        std::string("caption lvOptions 6: ") + expected.MultiCaption,
                        std::string("caption lvOptions 8: ") + expected.SmileyCaption}));
}

INSTANTIATE_TEST_SUITE_P(
    Settings, MainFormRefresh,
    ::testing::Values(TRefreshCase{false, false, false, "Enable Multiple Instances of Yahoo Messenger 11, 10, 9, or 8",
                                   "Enable Smiley Search"},
                      TRefreshCase{true, true, true, "Disable Multiple Instances of Yahoo Messenger 11, 10, 9, or 8",
                                   "Disable Smiley Search"},
                      TRefreshCase{true, false, true, "Enable Multiple Instances of Yahoo Messenger 11, 10, 9, or 8",
                                   "Disable Smiley Search"}));

TEST_F(MainFormTest, TheSmallButtonsShowTheirWindowsAndTheDonatePictureOpensTheDonationPageHidden)
{
    Create();
    const std::size_t mark = Mark();
    form->btnHelpClick();
    form->btnReplaceClick();
    form->imgDonateClick();
    EXPECT_EQ(view.Entries({""}, mark),
              (TJournal{"help window", "edit window",
                        std::string("open hidden: https://") + config::kDonateHost
                            + "/cgi-bin/webscr?cmd=_s-xclick&hosted_button_id=" + config::kDonateButtonId}));
}

TEST_F(MainFormTest, AboutAdvertsShowsTheRowsLosingTheSelectionFirstAndStopsAtAnError)
{
    Create();
    std::size_t mark = Mark();
    form->lvAboutAdsSelectionChanged({2}, {5});
    form->lvAboutAdsSelectionChanged({5}, {});
    EXPECT_EQ(view.Entries({""}, mark), (TJournal{"advert item 2", "advert item 5", "advert item 5"}));

    view.BrokenAdvertItem = 3;
    mark = Mark();
    form->lvAboutAdsSelectionChanged({3}, {4});
    EXPECT_EQ(view.Entries({""}, mark), TJournal{"error: Cannot decode picture 3"});
}

TEST(MainFormTabs, CtrlPageDownAndUpGoToTheNextAndPreviousTabRoundTheEnd)
{
    struct TCase {
        int Current, Step, Expected;
    };
    for (const TCase& tab : {TCase{0, 1, 1}, TCase{6, 1, 7}, TCase{7, 1, 0}, TCase{1, -1, 0}, TCase{0, -1, 7}})
        EXPECT_EQ(TMainForm::TabAfter(tab.Current, tab.Step, 8), tab.Expected)
            << "from " << tab.Current << " by " << tab.Step;
}

const TJournal kLocked{"enable btnApply off", "enable btnUIApply off", "enable btnClean off", "enable btnCallm off",
                       "enable btnCallu off", "enable lvOptions off",  "enable lvUI off",      "enable lvClean off"};
const TJournal kUnlocked{"enable btnApply on", "enable btnUIApply on", "enable btnClean on", "enable btnCallm on",
                         "enable btnCallu on", "enable lvOptions on",  "enable lvUI on",      "enable lvClean on"};

TJournal Joined(std::initializer_list<TJournal> parts)
{
    TJournal all;
    for (const TJournal& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST_F(MainFormTest, AWorkflowRunsWithEveryApplyControlDisabledAndEnablesThemAfter)
{
    Create();
    view.Folders[TFolderField::dePath] = "C:\\Nowhere";
    const std::size_t mark = Mark();
    form->btnApplyClick();
    EXPECT_EQ(view.Entries({"enable", "message", "error"}, mark),
              Joined({kLocked, {"message: " + std::string(kMessengerNotFound)}, kUnlocked}));
}

TEST_F(MainFormTest, AControlDisabledOnItsOwnAccountStaysDisabledAfterTheWorkflow)
{
    Create();
    view.Folders[TFolderField::dePath] = "C:\\Nowhere";
    view.OwnEnabled[TMainControl::btnUIApply] = false;
    view.OwnEnabled[TMainControl::lvUI] = false;
    const std::size_t mark = Mark();
    form->btnCleanClick();  // no row ticked
    TJournal locked = kLocked;
    TJournal unlocked = kUnlocked;
    for (TJournal* part : {&locked, &unlocked})
        std::erase_if(*part, [](const std::string& entry) { return entry.find(" btnUIApply ") != std::string::npos
                                                                   || entry.find(" lvUI ") != std::string::npos; });
    EXPECT_EQ(view.Entries({"enable", "message"}, mark),
              Joined({locked, {"message: " + std::string(kNoOptionTicked)}, unlocked}));
    EXPECT_FALSE(view.Enabled(TMainControl::btnUIApply));
    EXPECT_FALSE(view.Enabled(TMainControl::lvUI));
}

TEST_F(MainFormTest, AnErrorEndsTheWorkflowIsReportedOnceAndEnablesTheControlsAgain)
{
    Create();
    view.FolderReadError = "The folder field cannot be read";
    const std::size_t mark = Mark();
    form->btnUIApplyClick();
    EXPECT_EQ(view.Entries({"enable", "message", "error"}, mark),
              Joined({kLocked, kUnlocked, {"error: The folder field cannot be read"}}));
}

#ifdef QUORVEX_WINE_PREFIX
// The synthetic messenger is in the default folder; the other field names none.
TEST_F(MainFormTest, EachApplyButtonWorksOnItsOwnListAndFolderField)
{
    Create();
    LoadStoredCatalogue(storage);
    view.Folders[TFolderField::deUpath] = "C:\\Nowhere";
    std::size_t mark = Mark();
    form->btnApplyClick();
    EXPECT_EQ(view.Entries({"message", "error"}, mark), TJournal{"message: " + std::string(kNoOptionTicked)});
    view.Ticks[TOptionList::lvUI][0] = true;
    mark = Mark();
    form->btnUIApplyClick();
    EXPECT_EQ(view.Entries({"message", "error"}, mark), TJournal{"message: " + std::string(kMessengerNotFound)});

    view.Folders[TFolderField::dePath] = "C:\\Nowhere";
    view.Folders[TFolderField::deUpath] = kDefaultFolder;
    mark = Mark();
    form->btnUIApplyClick();
    EXPECT_EQ(view.Entries({"message", "error"}, mark), TJournal{});
    const TJournal status = view.Entries({"show", "status"}, mark);
    EXPECT_NE(std::ranges::find(status, "show"), status.end()) << "the status window";
    EXPECT_NE(std::ranges::find(status, "status: " + std::string(kApplyComplete)), status.end());

    view.Ticks[TOptionList::lvClean][0] = true;  // the restore, which needs the messenger
    mark = Mark();
    form->btnCleanClick();
    EXPECT_EQ(view.Entries({"message", "error"}, mark),
              TJournal{"message: Yahoo Messenger is not located at the path specified. Enter the correct path to "
                       "Yahoo Messenger in the Advert Options tab and try again."});
}
#endif

TEST_F(MainFormTest, CheckForUpdateShowsTheSplashAroundTheCheckAndIgnoresAPressWhileItRuns)
{
    Create();
    view.UpdateCheck = [this](bool) { form->btnUpdateClick(); };
    const std::size_t mark = Mark();
    form->btnUpdateClick();
    EXPECT_EQ(view.Entries({""}, mark), (TJournal{"splash shown", "update check with messages", "splash hidden"}));
}

TEST_F(MainFormTest, AnErrorInTheCheckIsReportedWithTheSplashUpAndTheNextPressChecksAgain)
{
    Create();
    view.UpdateCheck = [](bool) { throw std::runtime_error("The update file is not valid"); };
    std::size_t mark = Mark();
    form->btnUpdateClick();
    EXPECT_EQ(view.Entries({""}, mark), (TJournal{"splash shown", "update check with messages",
                                                  "error: The update file is not valid", "splash hidden"}));
    view.UpdateCheck = {};
    mark = Mark();
    form->btnUpdateClick();
    EXPECT_EQ(view.Entries({"update"}, mark), TJournal{"update check with messages"});
}

}  // namespace
}  // namespace quorvex::test
