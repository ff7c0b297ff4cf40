// The main window's behaviour: start-up, the option lists following the
// installed messenger, the small buttons and the folder fields.
#include "WindowsFixture.h"
#include "engine/TQuorvex.h"
#include "platform/wine/HiveCache.h"
#include "ui/qt/Cursors.h"
#include "ui/qt/FolderEdit.h"
#include "ui/qt/OptionListView.h"

#include <gtest/gtest.h>

#include <QBitmap>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <sys/stat.h>

namespace quorvex::test {
namespace {

constexpr char kDefaultFolder[] = "C:\\Program Files\\Yahoo!\\Messenger";

TEST(MainWindowStartUp, FormCreateFillsTheWindowBeforeTheOtherWindowsAppear)
{
    TWindowsFixture fixture;
    TQuorvexWindows& windows = fixture.windows;

    EXPECT_FALSE(windows.splash->isVisible()) << "hidden at the end of FormCreate";
    EXPECT_NE(windows.splash->windowHandle(), nullptr) << "it was shown";
    EXPECT_FALSE(windows.main->isVisible());
    // The status, help and editor windows are made when first needed.
    EXPECT_EQ(windows.main->findChild<TfrmStatus*>(), nullptr);
    EXPECT_EQ(windows.main->findChild<TfrmHelp*>(), nullptr);
    EXPECT_EQ(windows.main->findChild<TfrmEdit*>(), nullptr);

    EXPECT_EQ(fixture.Find<TFolderEdit>("dePath")->text(), kDefaultFolder);
    EXPECT_EQ(fixture.Find<TFolderEdit>("deUpath")->text(), kDefaultFolder);
    EXPECT_EQ(windows.main->Engine().YahooMessengerPath, kDefaultFolder);
    EXPECT_TRUE(fixture.Find("shColor")->testAttribute(Qt::WA_OpaquePaintEvent));
    EXPECT_EQ(fixture.Find<QLabel>("imgPreview")->pixmap().size(), QSize(100, 202)) << "stored item 0, fitted";
    EXPECT_EQ(fixture.Find<QLabel>("lbDisc")->text(),
              "The Main Messenger Advert is the advert located in Yahoo Messenger's main window below the buddy "
              "list.");

    const std::optional<QCursor> dropper = RegisteredCursor(crDropper);
    ASSERT_TRUE(dropper.has_value());
    EXPECT_EQ(dropper->hotSpot(), QPoint(0, 15));
    EXPECT_EQ(dropper->bitmap().size(), QSize(32, 32));
    EXPECT_EQ(dropper->bitmap().depth(), 1);
    EXPECT_EQ(dropper->mask().size(), QSize(32, 32));

    const auto* timer = windows.main->findChild<QTimer*>("tmrDrop");
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 300);
    EXPECT_FALSE(timer->isActive());
    EXPECT_TRUE(fixture.Find("imgCDrop")->isHidden());
    EXPECT_TRUE(fixture.Find("imgBlank")->isHidden());
}

TEST(MainWindowStartUp, AnErrorWhileStartingIsReportedAndEndsTheProgram)
{
    TFakeSeams seams;
    TTestPrefix prefix({.Version = "10.0.0.1270"});
    // "Plural" stored as a string: reading it as a number fails in FormCreate.
    QFile user(prefix.Path() + "/user.reg");
    ASSERT_TRUE(user.open(QIODevice::ReadWrite));
    QByteArray text = user.readAll();
    const QByteArray testKey = "[Software\\\\yahoo\\\\pager\\\\Test] 1700000000\n#time=1d9f2a3b4c5d6e7\n";
    ASSERT_TRUE(text.contains(testKey));
    text.replace(testKey, testKey + "\"Plural\"=\"on\"\n");
    user.resize(0);
    user.write(text);
    user.close();

    EXPECT_EQ(RunQuorvex(), 1);
    ASSERT_EQ(seams.Messages->Shown.size(), 1u);
    EXPECT_EQ(seams.Messages->Shown[0].Caption, "Quorvex");
    EXPECT_EQ(seams.Messages->Shown[0].Type, TMsgDlgType::Error);
    EXPECT_TRUE(seams.Messages->Shown[0].Text.contains("Plural")) << seams.Messages->Shown[0].Text.toStdString();
}

TEST(MainWindowStartUp, ALockFolderThatCannotBeUsedIsReportedAndEndsTheProgram)
{
    TFakeSeams seams;
    TTestPrefix prefix({.Version = "10.0.0.1270"});
    const QString notAFolder = prefix.Path() + "/user.reg";
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", notAFolder.toLocal8Bit());
    const int exitCode = RunQuorvex();
    qputenv("XDG_RUNTIME_DIR", oldRuntime);

    EXPECT_EQ(exitCode, 1);
    ASSERT_EQ(seams.Messages->Shown.size(), 1u);
    EXPECT_EQ(seams.Messages->Shown[0].Type, TMsgDlgType::Error);
    EXPECT_EQ(seams.Messages->Shown[0].Text,
              "Cannot take the single-instance lock in \"" + notAFolder + "\". Not a directory.");
}

TEST(MainWindowStartUp, ShowingTheWindowSetsTheMajorVersionBeforeAnyApplyCanBePressed)
{
    TWindowsFixture fixture({.Version = "10.0.0.1270"});
    EXPECT_EQ(fixture.windows.main->Engine().YahooMajor, 0) << "not before the Adverts tab is shown";

    fixture.windows.main->show();

    EXPECT_EQ(fixture.Tabs()->currentWidget(), fixture.Find("tbAdverts"));
    EXPECT_EQ(fixture.windows.main->Engine().YahooMajor, 10);
    EXPECT_EQ(fixture.Find<QLabel>("lbVersion")->text(), "10.0.0.1270");
    EXPECT_TRUE(fixture.Find("tbAdverts")->isEnabled());
    EXPECT_TRUE(fixture.Find("btnApply")->isEnabled());
}

TEST(MainWindowStartUp, NoMessengerInstalledStillComesUpWithTheAdvertsTabDisabled)
{
    TWindowsFixture fixture;
    fixture.windows.main->show();
    EXPECT_EQ(fixture.Find<QLabel>("lbVersion")->text(), "0.0.0.0");
    for (const char* control : {"btnApply", "lvOptions", "btnCallm", "shColor"})
        EXPECT_FALSE(fixture.Find(control)->isEnabled()) << control;
    EXPECT_TRUE(fixture.Find("dePath")->isEnabled()) << "a folder in another prefix can still be chosen";
    EXPECT_TRUE(fixture.seams.Messages->Shown.empty());
}

// A registry file planted as a pipe, or grown past the bound, is not read:
// the window comes up as for a missing messenger, and the prefix's tool tip
// says what is wrong with each file.
TEST(MainWindowStartUp, RegistryFilesThatCannotBeReadLeaveTheWindowUpSayingWhy)
{
    TFakeSeams seams;
    TTestPrefix prefix({.Version = "10.0.0.1270"});
    const QString userReg = prefix.Path() + "/user.reg";
    const QString systemReg = prefix.Path() + "/system.reg";
    ASSERT_TRUE(QFile::remove(userReg));
    ASSERT_EQ(::mkfifo(QFile::encodeName(userReg).constData(), 0600), 0);
    QFile system(systemReg);
    ASSERT_TRUE(system.resize(static_cast<qint64>(kMaxRegistryFileSize) + 1));

    TQuorvexWindows windows = CreateWindows();
    windows.main->show();

    // Files that cannot be read leave no usable prefix: the labels say so,
    // and the tooltips end with why each file cannot be read.
    EXPECT_EQ(windows.main->findChild<QLabel*>("lbVersion")->text(), "Not a Wine prefix");
    EXPECT_TRUE(seams.Messages->Shown.empty());
    const QString problem = prefix.Path() + " is not a Wine prefix";
    const QString why = "\nCannot open file \"" + userReg + "\". Not a regular file (a pipe)\nCannot open file \"" +
                        systemReg + "\". File too large (more than 256 MiB)";
    for (const char* name : {"dePath", "deUpath", "lbVersion", "lbUIVer"}) {
        const QString tip = windows.main->findChild<QWidget*>(name)->toolTip();
        EXPECT_TRUE(tip.startsWith(problem)) << name << ": " << tip.toStdString();
        EXPECT_TRUE(tip.endsWith(why)) << name << ": " << tip.toStdString();
    }
}

struct TAvailabilityCase {
    const char* Name;
    TMessengerSetup Setup;
    const char* AdvertUnavailable;  // rows 0..8, '1' = grey and refusing a tick
    bool CleanRow2Unavailable;
    bool UITabEnabled;
    int Major;
};

class MainWindowAvailability : public ::testing::TestWithParam<TAvailabilityCase> {};

std::string Unavailable(TOptionListView* list)
{
    std::string rows;
    for (int index = 0; index < list->Count(); ++index) {
        list->SetChecked(index, true);
        const bool refused = !list->Checked(index);
        EXPECT_EQ(refused, list->DrawsGrey(index)) << "row " << index << ": grey exactly when refused";
        rows += refused ? '1' : '0';
    }
    return rows;
}

TEST_P(MainWindowAvailability, ListsAndTabsFollowTheInstalledMessenger)
{
    const TAvailabilityCase& expected = GetParam();
    TWindowsFixture fixture(expected.Setup);
    fixture.windows.main->show();

    auto* options = fixture.Find<TOptionListView>("lvOptions");
    EXPECT_EQ(Unavailable(options), expected.AdvertUnavailable);
    EXPECT_EQ(fixture.windows.main->Engine().YahooMajor, expected.Major);

    options->UntickAll();
    QTest::mouseClick(fixture.Find<QPushButton>("btnCallm"), Qt::LeftButton);
    for (int index = 0; index < options->Count(); ++index)
        EXPECT_EQ(options->Checked(index), expected.AdvertUnavailable[index] == '0') << "Check All, row " << index;

    fixture.ShowTab("tbClean");
    auto* clean = fixture.Find<TOptionListView>("lvClean");
    clean->SetChecked(2, true);
    EXPECT_EQ(!clean->Checked(2), expected.CleanRow2Unavailable);

    fixture.ShowTab("tbUI");
    EXPECT_EQ(fixture.Find<QLabel>("lbUIVer")->text(),
              QString::fromStdString(expected.Setup.Version.value_or("0.0.0.0")));
    EXPECT_EQ(fixture.Find("btnUIApply")->isEnabled(), expected.UITabEnabled);
    EXPECT_TRUE(fixture.seams.Messages->Shown.empty()) << "no error while drawing or ticking";
}

INSTANTIATE_TEST_SUITE_P(
    Messengers, MainWindowAvailability,
    ::testing::Values(
        TAvailabilityCase{"NoMessenger", {}, "111111111", true, false, 0},
        TAvailabilityCase{"Listed9StartingWithWindows", {.Version = "9.0.0.2162", .LaunchOnStartup = 1},
                          "000001001", true, false, 9},
        TAvailabilityCase{"Listed9NotStartingWithWindows", {.Version = "9.0.0.2162", .LaunchOnStartup = 0},
                          "000001011", true, false, 9},
        TAvailabilityCase{"Unlisted10", {.Version = "10.0.0.1300", .LaunchOnStartup = 1}, "111110000", false,
                          true, 10},
        TAvailabilityCase{"Version8", {.Version = "8.0.0.863"}, "111111011", true, false, 8},
        TAvailabilityCase{"Version12", {.Version = "12.0.0.100", .LaunchOnStartup = 1}, "111111101", true, false,
                          12},
        TAvailabilityCase{"UnparseableVersion", {.Version = "abc.0.0.1", .LaunchOnStartup = 1}, "111111101", true,
                          false, 0}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(MainWindowLists, CheckAllOnTheUITabTicksAllNineRows)
{
    TWindowsFixture fixture({.Version = "10.0.0.1270"});
    fixture.windows.main->show();
    fixture.ShowTab("tbUI");
    QTest::mouseClick(fixture.Find<QPushButton>("btnCallu"), Qt::LeftButton);
    auto* ui = fixture.Find<TOptionListView>("lvUI");
    for (int index = 0; index < 9; ++index)
        EXPECT_TRUE(ui->Checked(index));
}

TEST(MainWindowLists, CleanRowsFollowTheBackupAndTheReplacementFileAtEveryTick)
{
    TWindowsFixture fixture({.Version = "10.0.0.1270"});
    fixture.windows.main->show();
    auto* clean = fixture.Find<TOptionListView>("lvClean");

    clean->SetChecked(0, true);
    clean->SetChecked(1, true);
    EXPECT_FALSE(clean->Checked(0));
    EXPECT_FALSE(clean->Checked(1));
    EXPECT_TRUE(clean->DrawsGrey(0));

    fixture.prefix.PutInWorkingFolder("YahooMessenger.bak", true);
    fixture.prefix.PutOnDriveC("BlankQuorvex.html", true);
    EXPECT_FALSE(clean->DrawsGrey(0)) << "no state kept from the earlier draw";
    clean->SetChecked(0, true);
    clean->SetChecked(1, true);
    EXPECT_TRUE(clean->Checked(0));
    EXPECT_TRUE(clean->Checked(1));
}

TEST(MainWindowLists, UnavailableRowsAreDrawnGreyOnScreen)
{
    TWindowsFixture fixture({.Version = "9.0.0.2162", .LaunchOnStartup = 1});
    fixture.windows.main->show();
    auto* options = fixture.Find<TOptionListView>("lvOptions");
    const QImage image = options->viewport()->grab().toImage();
    auto textColours = [&](int index) {
        const QRect row = options->visualItemRect(options->Item(index)).adjusted(24, 1, 0, -1);
        int darkest = 255;
        for (int y = row.top(); y <= row.bottom(); ++y)
            for (int x = row.left(); x <= row.right(); ++x)
                darkest = std::min(darkest, qGray(image.pixel(x, y)));
        return darkest;
    };
    EXPECT_GE(textColours(5), 110);
    EXPECT_GE(textColours(8), 110);
    EXPECT_LT(textColours(0), 80);
    EXPECT_LT(textColours(6), 80);
}

TEST(MainWindowRefresh, EditButtonFollowsTheReplacementFile)
{
    TWindowsFixture fixture({.Version = "10.0.0.1270"});
    fixture.windows.main->show();
    auto* replace = fixture.Find("btnReplace");
    EXPECT_TRUE(replace->isHidden());

    fixture.prefix.PutOnDriveC("BlankQuorvex.html", true);
    fixture.ReshowTab("tbAdverts");
    EXPECT_FALSE(replace->isHidden());

    fixture.prefix.PutOnDriveC("BlankQuorvex.html", false);
    fixture.windows.main->Form().AdvertOptionRefresh();
    EXPECT_TRUE(replace->isHidden());
}

TEST(MainWindowRefresh, CaptionsFollowTheMessengerSettings)
{
    TWindowsFixture fixture({.Version = "10.0.0.1270", .SmileySearch = 1, .Plural = 1});
    fixture.windows.main->show();
    auto* options = fixture.Find<TOptionListView>("lvOptions");
    EXPECT_EQ(options->Caption(6), "Disable Multiple Instances of Yahoo Messenger 11, 10, 9, or 8");
    EXPECT_EQ(options->Caption(8), "Disable Smiley Search");

    fixture.prefix.Install({.Version = "10.0.0.1270", .SmileySearch = -1});
    fixture.ReshowTab("tbAdverts");
    EXPECT_EQ(options->Caption(6), "Enable Multiple Instances of Yahoo Messenger 11, 10, 9, or 8");
    EXPECT_EQ(options->Caption(8), "Enable Smiley Search") << "a negative value counts as off";
}

TEST(MainWindowRefresh, TabsFollowTheMessengerWhenShownAgain)
{
    TWindowsFixture fixture({.Version = "10.0.0.1270"});
    fixture.windows.main->show();
    fixture.ShowTab("tbUI");
    EXPECT_TRUE(fixture.Find("btnUIApply")->isEnabled());

    fixture.prefix.Install({});
    EXPECT_EQ(fixture.Find<QLabel>("lbVersion")->text(), "10.0.0.1270") << "only a new showing refreshes";
    fixture.ShowTab("tbAdverts");
    EXPECT_EQ(fixture.Find<QLabel>("lbVersion")->text(), "0.0.0.0");
    EXPECT_FALSE(fixture.Find("btnApply")->isEnabled());
    EXPECT_EQ(fixture.windows.main->Engine().YahooMajor, 0);

    fixture.prefix.Install({.Version = "12.0.0.1"});
    fixture.ShowTab("tbUI");
    EXPECT_EQ(fixture.Find<QLabel>("lbUIVer")->text(), "12.0.0.1");
    EXPECT_FALSE(fixture.Find("btnUIApply")->isEnabled());
}

TEST(MainWindowButtons, HelpAndEditButtonsShowTheirWindowsWithoutBlocking)
{
    TWindowsFixture fixture({.Version = "10.0.0.1270"});
    fixture.prefix.PutOnDriveC("BlankQuorvex.html", true);
    fixture.windows.main->show();

    fixture.ShowTab("tbHelp");
    QTest::mouseClick(fixture.Find<QPushButton>("btnHelp"), Qt::LeftButton);
    EXPECT_TRUE(fixture.windows.main->HelpWindow().isVisible());
    EXPECT_EQ(fixture.windows.main->HelpWindow().windowTitle(), " Help Document");
    QTest::mouseClick(fixture.Find<QPushButton>("btnHelp"), Qt::LeftButton);
    EXPECT_TRUE(fixture.windows.main->HelpWindow().isVisible());
    EXPECT_TRUE(fixture.windows.main->isVisible());

    fixture.ShowTab("tbAdverts");
    QTest::mouseClick(fixture.Find<QPushButton>("btnReplace"), Qt::LeftButton);
    EXPECT_TRUE(fixture.windows.main->EditWindow().isVisible());
    EXPECT_EQ(fixture.windows.main->EditWindow().windowTitle(), " Edit HTML Replacement File");

    fixture.windows.main->HelpWindow().close();
    EXPECT_FALSE(fixture.windows.main->HelpWindow().isVisible());
    EXPECT_TRUE(fixture.windows.main->isVisible()) << "closing another window only hides it";
}

TEST(MainWindowButtons, DonatePictureOpensTheDonationPageHidden)
{
    TWindowsFixture fixture;
    fixture.windows.main->show();
    fixture.ShowTab("tbDonate");
    QTest::mouseClick(fixture.Find("imgDonate"), Qt::RightButton);
    EXPECT_TRUE(fixture.seams.Shell->Requests.empty());
    QTest::mouseClick(fixture.Find("imgDonate"), Qt::LeftButton);
    ASSERT_EQ(fixture.seams.Shell->Requests.size(), 1u);
    const TShellRequest& request = fixture.seams.Shell->Requests.front();
    EXPECT_EQ(request.Verb, "Open");
    EXPECT_EQ(request.ShowCommand, 0);
    EXPECT_EQ(request.Target, QString::fromStdString(TMainForm::DonationPage()));
    EXPECT_TRUE(request.Target.contains("/cgi-bin/webscr?cmd=_s-xclick&hosted_button_id="));
    EXPECT_EQ(fixture.Find("imgDonate")->cursor().shape(), Qt::PointingHandCursor);
}

TEST(MainWindowButtons, LinkLabelsOpenTheSiteWithoutActivatingIt)
{
    TWindowsFixture fixture;
    fixture.windows.main->show();
    fixture.ShowTab("tbHelp");
    QTest::mouseClick(fixture.Find("mxLinkLabel1"), Qt::LeftButton);
    ASSERT_EQ(fixture.seams.Shell->Requests.size(), 1u);
    EXPECT_EQ(fixture.seams.Shell->Requests.front().Verb, "");
    EXPECT_TRUE(fixture.seams.Shell->Requests.front().Target.startsWith("http://"));
    EXPECT_EQ(fixture.seams.Shell->Requests.front().ShowCommand, 4);
}

class MainWindowFolderField : public ::testing::Test {
protected:
    void SetUp() override { fixture.windows.main->show(); }

    void Browse() { QTest::mouseClick(Field()->BrowseButton(), Qt::LeftButton); }
    TFolderEdit* Field() { return fixture.Find<TFolderEdit>("deUpath"); }

    TWindowsFixture fixture{{.Version = "10.0.0.1270"}};
};

TEST_F(MainWindowFolderField, BrowseStartsAtTheFolderTheFieldNames)
{
    QDir(fixture.prefix.DriveC()).mkpath("Program Files/Yahoo!/Messenger");
    fixture.ShowTab("tbUI");
    Browse();
    EXPECT_EQ(fixture.seams.FolderPicker->Calls, 1);
    EXPECT_EQ(fixture.seams.FolderPicker->Prompt, "Select the folder where Yahoo Messenger is located.");
    EXPECT_EQ(QDir(fixture.seams.FolderPicker->StartFolder).canonicalPath(),
              QDir(fixture.prefix.DriveC() + "/Program Files/Yahoo!/Messenger").canonicalPath());
}

TEST_F(MainWindowFolderField, BrowseStartsAtTheRootWhenTheFieldNamesNoFolder)
{
    fixture.ShowTab("tbUI");
    for (const char* text : {"", "C:\\No Such Folder"}) {
        Field()->setText(text);
        Browse();
        EXPECT_EQ(fixture.seams.FolderPicker->StartFolder, "/") << text;
    }
}

TEST_F(MainWindowFolderField, AcceptedFolderReplacesTheTextAndCancelLeavesIt)
{
    fixture.ShowTab("tbUI");
    QDir(fixture.prefix.DriveC()).mkpath("Games/Yahoo");
    fixture.seams.FolderPicker->Answer = fixture.prefix.DriveC() + "/Games/Yahoo";
    Browse();
    EXPECT_EQ(Field()->text(), "C:\\Games\\Yahoo") << "a folder on drive C: reads as Windows sees it";

    fixture.seams.FolderPicker->Answer = QDir::rootPath() + "opt";
    Browse();
    EXPECT_EQ(Field()->text(), "/opt") << "a folder outside the prefix stays native";

    fixture.seams.FolderPicker->Answer.reset();
    Browse();
    EXPECT_EQ(Field()->text(), "/opt");
    EXPECT_EQ(fixture.Find<TFolderEdit>("dePath")->text(), kDefaultFolder) << "the two fields are independent";
}

}  // namespace
}  // namespace quorvex::test
