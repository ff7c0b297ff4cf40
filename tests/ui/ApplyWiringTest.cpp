// The apply buttons of the main window run their workflows on its widgets:
// the ticks, the folder fields, the colour box, the status window, the
// message seam and the error report; and no second start while one runs.
#include "WindowsFixture.h"
#include "engine/TQuorvex.h"
#include "tests/fixtures/ScopedPump.h"
#include "tools/fakemessenger/FakeMessenger.h"
#include "ui/qt/FolderEdit.h"
#include "ui/qt/OptionListView.h"
#include "ui/qt/Shape.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace quorvex::test {
namespace {

constexpr char kDefaultFolder[] = "C:\\Program Files\\Yahoo!\\Messenger";
constexpr char kMessengerPath[] = "/drive_c/Program Files/Yahoo!/Messenger";

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

QByteArray Bytes(const std::vector<std::uint8_t>& bytes)
{
    return {reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())};
}

// The synthetic messenger 10.0.0.1270 in the window tests' prefix, the main
// window shown on it.
class ApplyWiring : public ::testing::Test {
protected:
    ApplyWiring()
        : fixture({.Version = "10.0.0.1270"}),
          image(CreateFakeMessenger(fixture.prefix.Path().toStdString(), {}))
    {
        fixture.windows.main->show();
    }

    TOptionListView* List(const char* name) const { return fixture.Find<TOptionListView>(name); }
    QPushButton* Button(const char* name) const { return fixture.Find<QPushButton>(name); }
    void Click(const char* name) const { QTest::mouseClick(Button(name), Qt::LeftButton); }
    void Tick(const char* list, std::initializer_list<int> rows) const
    {
        for (int row : rows)
            List(list)->SetChecked(row, true);
    }
    std::vector<int> Ticked(const char* list) const
    {
        std::vector<int> rows;
        for (int row = 0; row < List(list)->Count(); ++row) {
            if (List(list)->Checked(row))
                rows.push_back(row);
        }
        return rows;
    }
    TfrmStatus& Status() const { return fixture.windows.main->StatusWindow(); }
    std::vector<std::string> StatusLines() const
    {
        std::vector<std::string> lines;
        const QString log = Status().findChild<QPlainTextEdit*>("memStatus")->toPlainText();
        for (const QString& line : log.split('\n', Qt::SkipEmptyParts))
            lines.push_back(line.toStdString());
        return lines;
    }
    QString StatusText() const { return Status().findChild<QLabel*>("lbStatus")->text(); }
    bool CloseEnabled() const { return Status().findChild<QPushButton*>("btnClose")->isEnabled(); }
    QString MessengerFile(const QString& name) const
    {
        return fixture.prefix.Path() + QString::fromLatin1(kMessengerPath) + name;
    }
    QString Skin(const QString& name) const
    {
        return MessengerFile("/skins/Default/" + name + "/" + name + ".xml");
    }
    QString HtmlReplacement() const { return fixture.prefix.DriveC() + "/BlankQuorvex.html"; }
    const std::vector<TShownMessage>& Messages() const { return fixture.seams.Messages->Shown; }

    TWindowsFixture fixture;
    TFakeImage image;
};

TEST_F(ApplyWiring, ApplyOptionsRunsTheAdvertWorkflowOnTheAdvertsTab)
{
    fixture.Find<TShape>("shColor")->SetBrushColor(QColor(0x12, 0xAB, 0x05));
    ASSERT_TRUE(fixture.Find("btnReplace")->isHidden());
    Tick("lvOptions", {1, 5, 6});

    Click("btnApply");

    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(Status().isVisible());
    EXPECT_EQ(StatusLines(), (std::vector<std::string>{"Yahoo Messenger Backup: Successfully Created",
                                          "Change Room Banner: Successfully Patched",
                                          "IM Statusbar Advert: Successfully Removed", "Urls: Successfully Patched",
                                          "HTML Replacement File: Successfully Saved",
                                          "Save: Successfully saved changes to Yahoo Messenger",
                                          "Multiple Instances: Successfully Enabled"}));
    EXPECT_EQ(StatusText(), "Applying Options Complete");
    EXPECT_EQ(Status().ProgressState(), TProgressState::Paused);
    EXPECT_TRUE(CloseEnabled());
    EXPECT_TRUE(Ticked("lvOptions").empty());
    EXPECT_EQ(FileBytes(HtmlReplacement()),
              "<html><body bgcolor=\"#12AB05\" style=\"overflow: hidden;\"></body></html>\r\n");
    EXPECT_TRUE(FileBytes(fixture.prefix.WorkingFolder() + "/YahooMessenger.bak") == Bytes(image.Bytes));
    // The refresh: the edit button and the multiple instances caption follow.
    EXPECT_FALSE(fixture.Find("btnReplace")->isHidden());
    EXPECT_EQ(List("lvOptions")->Caption(6), "Disable Multiple Instances of Yahoo Messenger 11, 10, 9, or 8");
    EXPECT_FALSE(fixture.windows.main->Engine().YahooLoaded);
    EXPECT_TRUE(Button("btnApply")->isEnabled());
}

TEST_F(ApplyWiring, APreconditionIsAPlainMessageBoxWithTheApplicationTitle)
{
    fixture.Find<TFolderEdit>("dePath")->setText("C:\\Program Files\\Yahoo!");
    Tick("lvOptions", {1});

    Click("btnApply");

    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].Caption, "Quorvex");
    EXPECT_EQ(Messages()[0].Text, "Yahoo Messenger is not located at the path specified. Enter the correct path to "
                                  "Yahoo Messenger and try again.");
    EXPECT_EQ(Messages()[0].Type, TMsgDlgType::Plain);
    EXPECT_EQ(Messages()[0].Buttons, TMsgDlgButtons::Ok);
    EXPECT_FALSE(Status().isVisible());
    EXPECT_EQ(Ticked("lvOptions"), std::vector<int>{1});
}

TEST_F(ApplyWiring, TheUIApplyWorksOnItsOwnFolderField)
{
    fixture.ShowTab("tbUI");
    fixture.Find<TFolderEdit>("dePath")->setText("C:\\Nowhere");
    Tick("lvUI", {1, 4});

    Click("btnUIApply");

    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(StatusLines(),
              (std::vector<std::string>{"Email Button: Successfully Removed", "Contact Card: Successfully Removed"}));
    EXPECT_EQ(StatusText(), "Applying Options Complete");
    EXPECT_TRUE(Ticked("lvUI").empty());
    const QByteArray friendList = FileBytes(Skin("FriendList"));
    EXPECT_FALSE(friendList.contains("<!-- {Email} -->")) << "the e-mail button inside a comment";
    EXPECT_TRUE(friendList.contains("<!-- {Voice} -->")) << "the rest as the template has it";
    EXPECT_EQ(FileBytes(Skin("ContactCard")).size(), 86);
}

TEST_F(ApplyWiring, CleanRestoresFromTheAdvertsFolderAndRefreshesTheAdvertsTab)
{
    Tick("lvOptions", {1});
    Click("btnApply");
    ASSERT_FALSE(fixture.Find("btnReplace")->isHidden());
    Status().Close();
    fixture.ShowTab("tbClean");
    Tick("lvClean", {0, 1});
    ASSERT_EQ(Ticked("lvClean"), (std::vector<int>{0, 1}));

    Click("btnClean");

    EXPECT_EQ(StatusLines(), (std::vector<std::string>{"Yahoo Messenger Backup: Successfully Restored",
                                          "HTML Replacement File: Successfully Removed"}));
    EXPECT_TRUE(FileBytes(MessengerFile("/YahooMessenger.exe")) == Bytes(image.Bytes));
    EXPECT_FALSE(QFile::exists(fixture.prefix.WorkingFolder() + "/YahooMessenger.bak"));
    EXPECT_TRUE(Ticked("lvClean").empty());
    EXPECT_TRUE(fixture.Find("btnReplace")->isHidden()) << "the refresh after the clean";
    EXPECT_TRUE(List("lvClean")->DrawsGrey(0));
}

TEST_F(ApplyWiring, AnErrorInTheMiddleReachesTheErrorReportAndLeavesTheRunAsItStopped)
{
    QDir(MessengerFile("/skins/Default/IMWindow")).removeRecursively();
    Tick("lvOptions", {1, 5});

    Click("btnApply");

    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].Type, TMsgDlgType::Error);
    EXPECT_EQ(Messages()[0].Caption, "Quorvex");
    EXPECT_TRUE(Messages()[0].Text.startsWith("Cannot create file \"")) << Messages()[0].Text.toStdString();
    EXPECT_TRUE(Messages()[0].Text.contains("IMWindow.xml\". "));
    EXPECT_EQ(StatusLines(), (std::vector<std::string>{"Yahoo Messenger Backup: Successfully Created",
                                          "Change Room Banner: Successfully Patched"}));
    EXPECT_EQ(StatusText(), "Applying selected Options ...");
    EXPECT_EQ(Status().ProgressState(), TProgressState::Normal);
    EXPECT_FALSE(CloseEnabled());
    EXPECT_EQ(Ticked("lvOptions"), (std::vector<int>{1, 5}));
    EXPECT_TRUE(FileBytes(MessengerFile("/YahooMessenger.exe")) == Bytes(image.Bytes)) << "not saved";
    // The buttons come back for the next try.
    EXPECT_TRUE(Button("btnApply")->isEnabled());
    EXPECT_TRUE(List("lvOptions")->isEnabled());
}

TEST_F(ApplyWiring, ClicksAndTicksDeliveredDuringAScanStartNothingAndChangeNoTick)
{
    // The change room banner patched away first, so that its next scan runs
    // over the whole image and serves the event loop on the way.
    Tick("lvOptions", {1});
    Click("btnApply");
    Status().Close();
    const QByteArray friendList = FileBytes(Skin("FriendList"));

    // The ways in: a key press ticks a row, Check All ticks them all.
    TOptionListView* options = List("lvOptions");
    options->setCurrentItem(options->Item(3));
    QTest::keyClick(options, Qt::Key_Space);
    ASSERT_EQ(Ticked("lvOptions"), std::vector<int>{3}) << "the key press ticks outside a run";
    options->UntickAll();
    Tick("lvOptions", {1});
    Tick("lvUI", {0});
    Tick("lvClean", {1});

    int served = 0;
    std::vector<std::vector<int>> ticksDuringRun;
    std::vector<bool> enabledDuringRun;
    const TScopedPump pump([&] {
        if (++served == 2) {  // the first pass from inside a scan
            for (const char* name : {"btnApply", "btnUIApply", "btnClean", "btnCallm", "btnCallu"}) {
                enabledDuringRun.push_back(Button(name)->isEnabled());
                QTest::mouseClick(Button(name), Qt::LeftButton);
            }
            options->setCurrentItem(options->Item(2));
            QTest::keyClick(options, Qt::Key_Space);
            ticksDuringRun = {Ticked("lvOptions"), Ticked("lvUI"), Ticked("lvClean")};
        }
        QCoreApplication::processEvents();
    });

    Click("btnApply");

    EXPECT_GE(served, 3) << "the load's pass and the scan's";
    EXPECT_EQ(enabledDuringRun, std::vector<bool>(5, false));
    EXPECT_EQ(ticksDuringRun, (std::vector<std::vector<int>>{{1}, {0}, {1}}));
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(StatusLines(), (std::vector<std::string>{"Yahoo Messenger Backup: Successfully Kept",
                                          "Change Room Banner: Not Found or Already Patched",
                                          "Urls: Successfully Patched", "HTML Replacement File: Already Exists",
                                          "Save: Successfully saved changes to Yahoo Messenger"}))
        << "one run only";
    EXPECT_EQ(FileBytes(Skin("FriendList")), friendList) << "the skin workflow did not run";
    EXPECT_TRUE(QFile::exists(HtmlReplacement())) << "the clean workflow did not run";
    EXPECT_TRUE(Ticked("lvOptions").empty());
    EXPECT_EQ(Ticked("lvUI"), std::vector<int>{0});
    EXPECT_EQ(Ticked("lvClean"), std::vector<int>{1});
    for (const char* name : {"btnApply", "btnUIApply", "btnClean", "btnCallm", "btnCallu"})
        EXPECT_TRUE(Button(name)->isEnabled()) << name;
}

}  // namespace
}  // namespace quorvex::test
