// The main window and the Wine prefix it works on: a folder field naming a
// native folder inside another prefix moves everything to that prefix, the
// prefix found at start-up, and the tooltips naming the prefix in use.
#include "WindowsFixture.h"
#include "engine/TQuorvex.h"
#include "platform/wine/WinePrefix.h"
#include "tests/fixtures/TestSupport.h"
#include "tests/workflows/LocationCases.h"
#include "tools/fakemessenger/FakeMessenger.h"
#include "ui/qt/FolderEdit.h"
#include "ui/qt/OptionListView.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace quorvex::test {
namespace {

constexpr char kMessengerFolder[] = "/drive_c/Program Files/Yahoo!/Messenger";

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// A second prefix beside the window tests' one, holding the synthetic
// messenger; it is not $WINEPREFIX.
class TSecondPrefix {
public:
    explicit TSecondPrefix(const std::string& version)
    {
        TFakeMessengerOptions options;
        options.Version = version;
        Image = CreateFakeMessenger(folder_.path().toStdString(), options);
    }

    QString Path() const { return folder_.path(); }
    QString MessengerFolder() const { return Path() + QString::fromLatin1(kMessengerFolder); }

    TFakeImage Image;

private:
    QTemporaryDir folder_;
};

void Type(TFolderEdit* field, const QString& text)
{
    field->Edit()->clear();
    QTest::keyClicks(field->Edit(), text);
    QTest::keyClick(field->Edit(), Qt::Key_Return);
}

QString Text(const TWindowsFixture& fixture, const char* label)
{
    return fixture.Find<QLabel>(label)->text();
}

TEST(PrefixFollowsFolder, AFolderInASecondPrefixTakesTheVersionSettingsAndHtmlFileThere)
{
    TWindowsFixture fixture;  // $WINEPREFIX holds no messenger
    const TSecondPrefix second("10.0.0.1270");
    const QString firstUserReg = fixture.prefix.Path() + "/user.reg";
    const QByteArray firstUser = FileBytes(firstUserReg);
    fixture.windows.main->show();
    ASSERT_EQ(Text(fixture, "lbVersion"), "0.0.0.0");
    ASSERT_FALSE(fixture.Find("btnApply")->isEnabled());
    ASSERT_TRUE(fixture.Find("dePath")->isEnabled()) << "the way to another prefix stays open";

    Type(fixture.Find<TFolderEdit>("dePath"), second.MessengerFolder());

    EXPECT_EQ(Text(fixture, "lbVersion"), "10.0.0.1270");
    EXPECT_EQ(fixture.windows.main->Engine().YahooMajor, 10);
    EXPECT_TRUE(fixture.Find("btnApply")->isEnabled());
    auto* options = fixture.Find<TOptionListView>("lvOptions");
    EXPECT_EQ(options->Caption(8), "Disable Smiley Search") << "the second prefix's setting";
    options->SetChecked(1, true);  // a URL patch: needs the HTML replacement file
    options->SetChecked(8, true);
    ASSERT_TRUE(options->Checked(1) && options->Checked(8)) << "available in the second prefix";

    QTest::mouseClick(fixture.Find<QPushButton>("btnApply"), Qt::LeftButton);

    EXPECT_TRUE(fixture.seams.Messages->Shown.empty());
    EXPECT_TRUE(QFile::exists(second.Path() + "/drive_c/BlankQuorvex.html"));
    EXPECT_FALSE(QFile::exists(fixture.prefix.DriveC() + "/BlankQuorvex.html"));
    EXPECT_FALSE(FileBytes(second.Path() + "/user.reg").contains("\"SmileySearch\""));
    EXPECT_EQ(FileBytes(firstUserReg), firstUser);
    const QByteArray original(reinterpret_cast<const char*>(second.Image.Bytes.data()),
                              static_cast<qsizetype>(second.Image.Bytes.size()));
    EXPECT_NE(FileBytes(second.MessengerFolder() + "/YahooMessenger.exe"), original) << "patched in place";
    EXPECT_EQ(options->Caption(8), "Enable Smiley Search");

    fixture.ShowTab("tbUI");
    EXPECT_EQ(Text(fixture, "lbUIVer"), "10.0.0.1270");
    EXPECT_TRUE(fixture.Find("btnUIApply")->isEnabled());
}

struct TFolderCase {
    const char* Field;
    const char* Tab;
    bool Picked;  // through the folder picker, else typed
    const char* Version;
    const char* Apply;
};

class PrefixFollowsEitherField : public ::testing::TestWithParam<TFolderCase> {};

TEST_P(PrefixFollowsEitherField, TypedOrPickedTheVisibleTabFollowsAndAWindowsPathKeepsThePrefix)
{
    const TFolderCase& c = GetParam();
    TWindowsFixture fixture({.Version = "9.0.0.2162"});  // the UI tab disabled, the Adverts tab not
    const TSecondPrefix second("11.0.0.2009");
    fixture.windows.main->show();
    fixture.ShowTab(c.Tab);
    auto* field = fixture.Find<TFolderEdit>(c.Field);

    if (c.Picked) {
        fixture.seams.FolderPicker->Answer = second.MessengerFolder();
        QTest::mouseClick(field->BrowseButton(), Qt::LeftButton);
    } else {
        Type(field, second.MessengerFolder());
    }

    EXPECT_EQ(field->text(), second.MessengerFolder());
    EXPECT_EQ(WinePrefix(), second.Path().toStdString());
    EXPECT_EQ(Text(fixture, c.Version), "11.0.0.2009");
    EXPECT_TRUE(fixture.Find(c.Apply)->isEnabled());
    for (const char* name : {"dePath", "deUpath", "lbVersion", "lbUIVer"})
        EXPECT_EQ(fixture.Find(name)->toolTip(), "Wine prefix: " + second.Path() + ", holds the messenger folder given")
            << name;

    Type(field, "C:\\Program Files\\Yahoo!\\Messenger");
    EXPECT_EQ(WinePrefix(), second.Path().toStdString()) << "a Windows path keeps the prefix in use";
    EXPECT_EQ(Text(fixture, c.Version), "11.0.0.2009");
}

INSTANTIATE_TEST_SUITE_P(Fields, PrefixFollowsEitherField,
                         ::testing::Values(TFolderCase{"dePath", "tbAdverts", false, "lbVersion", "btnApply"},
                                           TFolderCase{"dePath", "tbAdverts", true, "lbVersion", "btnApply"},
                                           TFolderCase{"deUpath", "tbUI", false, "lbUIVer", "btnUIApply"},
                                           TFolderCase{"deUpath", "tbUI", true, "lbUIVer", "btnUIApply"}));

TEST(PrefixAtStartUp, AMessengerInAWineFrontEndsPrefixIsFoundWhenTheEnvironmentsHoldsNone)
{
    TFakeSeams seams;
    TTestPrefix first;  // the working folder; its prefix is then forgotten
    TTempFolder home;
    TScopedEnv homeEnv("HOME", home.Path().string());
    TScopedEnv noPrefix("WINEPREFIX", std::nullopt);
    TScopedEnv noDataHome("XDG_DATA_HOME", std::nullopt);
    TFakeMessengerOptions options;
    options.Version = "10.0.0.1264";
    CreateFakeMessenger(home.Path() / "Games" / "messenger", options);

    TQuorvexWindows windows = CreateWindows(UseMessengerPrefix());
    windows.main->show();

    const QString found = QString::fromStdString((home.Path() / "Games" / "messenger").string());
    EXPECT_EQ(windows.main->findChild<QLabel*>("lbVersion")->text(), "10.0.0.1264");
    EXPECT_EQ(windows.main->findChild<QWidget*>("dePath")->toolTip(),
              "Wine prefix: " + found + ", found in a Wine front-end's folder");
}

TEST(PrefixToolTips, NameThePrefixInUseAndWhyOrWhatIsWrongAndTheFoldersSearched)
{
    {
        TWindowsFixture withPrefix;
        EXPECT_EQ(withPrefix.Find("lbVersion")->toolTip(),
                  "Wine prefix: " + withPrefix.prefix.Path() + ", from $WINEPREFIX");
    }
    TFakeSeams seams;
    TTestPrefix prefix;
    TTempFolder home;
    TScopedEnv homeEnv("HOME", home.Path().string());
    TScopedEnv noDataHome("XDG_DATA_HOME", std::nullopt);
    const QString missing = prefix.Path() + "/not-a-prefix";
    qputenv("WINEPREFIX", missing.toLocal8Bit());
    TQuorvexWindows windows = CreateWindows();
    windows.main->show();
    const QString h = QString::fromStdString(home.Path().string());
    const QString expected = "No Wine prefix at " + missing + " (from $WINEPREFIX).\n"
                             "No messenger in the Wine front-ends' folders searched:\n" +
                             h + "/.local/share/wineprefixes\n" + h + "/.local/share/bottles/bottles\n" + h +
                             "/.var/app/com.usebottles.bottles/data/bottles/bottles\n" + h + "/Games\n" + h +
                             "/.PlayOnLinux/wineprefix";
    for (const char* name : {"dePath", "deUpath", "lbVersion", "lbUIVer"})
        EXPECT_EQ(windows.main->findChild<QWidget*>(name)->toolTip(), expected) << name;
    EXPECT_EQ(windows.main->findChild<QLabel*>("lbVersion")->text(), "No Wine prefix") << "in place of 0.0.0.0";
}

// The one rule for which messenger to work on, through the window: started
// as the program starts it (with --prefix where the case gives one), then the
// folder typed into the Adverts tab's field.
class WindowLocation : public ::testing::TestWithParam<TLocationCase> {};

QString ReasonText(TPrefixReason reason)
{
    switch (reason) {
    case TPrefixReason::Given: return "given with --prefix";
    case TPrefixReason::Environment: return "from $WINEPREFIX";
    case TPrefixReason::Default: return "the default, as $WINEPREFIX is not set";
    case TPrefixReason::FrontEnd: return "found in a Wine front-end's folder";
    case TPrefixReason::Folder: return "holds the messenger folder given";
    }
    return {};
}

TEST_P(WindowLocation, ShowsThePrefixWhyTheFolderAndTheVersionThere)
{
    const TLocationCase& c = GetParam();
    TFakeSeams seams;
    TTestPrefix working;  // the working folder; its prefix is left behind
    const TLocationHome home(c);
    TQuorvexWindows windows = CreateWindows(UseMessengerPrefix(*c.Given ? home.Path(c.Given).string() : ""));
    windows.main->show();
    auto* field = windows.main->findChild<TFolderEdit*>("dePath");
    if (*c.Folder)
        Type(field, QString::fromStdString(home.Text(c.Folder)));

    const QString prefix = QString::fromStdString(home.Path(c.ExpectedPrefix).string());
    EXPECT_EQ(WinePrefix(), home.Path(c.ExpectedPrefix));
    EXPECT_EQ(field->text().toStdString(), home.Text(c.ExpectedFolder));
    if (!*c.Folder) {
        EXPECT_EQ(windows.main->findChild<TFolderEdit*>("deUpath")->text(), field->text());
    }
    const QString version = windows.main->findChild<QLabel*>("lbVersion")->text();
    const QString tip = windows.main->findChild<QLabel*>("lbVersion")->toolTip();
    switch (c.ExpectedState) {
    case TPrefixState::Usable:
        EXPECT_EQ(version.toStdString(), ExpectedVersion(home));
        EXPECT_EQ(tip, "Wine prefix: " + prefix + ", " + ReasonText(c.ExpectedReason));
        break;
    case TPrefixState::Missing:
        EXPECT_EQ(version, "No Wine prefix");
        EXPECT_TRUE(tip.startsWith("No Wine prefix at " + prefix + " (" + ReasonText(c.ExpectedReason) + ").")) << tip.toStdString();
        break;
    case TPrefixState::NotAPrefix:
        EXPECT_EQ(version, "Not a Wine prefix");
        EXPECT_TRUE(tip.startsWith(prefix + " is not a Wine prefix (" + ReasonText(c.ExpectedReason) + ").")) << tip.toStdString();
        break;
    }
    EXPECT_EQ(windows.main->findChild<QWidget*>("btnApply")->isEnabled(), ExpectedVersion(home) != "0.0.0.0");
}

INSTANTIATE_TEST_SUITE_P(Cases, WindowLocation, ::testing::ValuesIn(LocationCases()),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace quorvex::test
