#include "Captions.h"
#include "WindowsFixture.h"
#include "ui/qt/FolderEdit.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace quorvex::test {
namespace {

class StatusWindow : public ::testing::Test {
protected:
    template <class T = QWidget>
    T* Find(const char* name)
    {
        return Status().findChild<T*>(QString::fromLatin1(name));
    }
    TfrmStatus& Status() { return fixture.windows.main->StatusWindow(); }
    // The window's own controls in the order the Tab key visits them.
    std::vector<QString> TabOrder()
    {
        std::vector<QString> order;
        QWidget* widget = &Status();
        while ((widget = widget->nextInFocusChain()) != &Status()) {
            if ((widget->focusPolicy() & Qt::TabFocus) != 0 && !widget->objectName().isEmpty()
                && widget->parentWidget() == &Status())
                order.push_back(widget->objectName());
        }
        return order;
    }
    QString Label() { return Find<QLabel>("lbStatus")->text(); }
    QString Log() { return Find<QPlainTextEdit>("memStatus")->toPlainText(); }
    // What a workflow leaves behind: lines, the completed label, the paused bar.
    void Complete(std::initializer_list<const char*> lines)
    {
        for (const char* line : lines)
            Status().AppendLine(line);
        Status().SetStatusText("Applying Options Complete");
        Status().SetProgressState(TProgressState::Paused);
    }

    TWindowsFixture fixture;
};

TEST_F(StatusWindow, FormAsDefined)
{
    EXPECT_EQ(Status().windowTitle(), "Status");
    EXPECT_EQ(Status().size(), QSize(473, 348));
    EXPECT_EQ(Status().minimumSize(), Status().maximumSize());
    EXPECT_EQ(Label(), "Applying selected Options ...");
    EXPECT_EQ(Find("lbStatus")->pos(), QPoint(8, 8));
    EXPECT_EQ(Find("pbStatus")->geometry(), QRect(344, 8, 121, 16));
    EXPECT_EQ(Find("memStatus")->geometry(), QRect(8, 37, 457, 266));
    EXPECT_TRUE(Find<QPlainTextEdit>("memStatus")->isReadOnly());
    EXPECT_EQ(Find<QPlainTextEdit>("memStatus")->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(Find("cbOpenYM")->pos(), QPoint(8, 316));
    EXPECT_EQ(Find("cbOpenYM")->width(), 346);
    EXPECT_EQ(ShownCaption(Find<QCheckBox>("cbOpenYM")->text()), "Load Yahoo Messenger after closing this window.");
    EXPECT_FALSE(Find<QCheckBox>("cbOpenYM")->isChecked());
    EXPECT_EQ(Find("btnClose")->geometry(), QRect(360, 316, 105, 25));
    EXPECT_EQ(ShownCaption(Find<QPushButton>("btnClose")->text()), "Close");
    EXPECT_EQ(TabOrder(), (std::vector<QString>{"memStatus", "btnClose", "cbOpenYM"}));
    EXPECT_EQ(Find<QProgressBar>("pbStatus")->palette().color(QPalette::Highlight), QColor(0, 128, 255));
}

TEST_F(StatusWindow, ShowFromHiddenResetsTheLabelAndTheBarButKeepsTheLog)
{
    Complete({"left over"});
    Status().Show();
    EXPECT_TRUE(Status().isVisible());
    EXPECT_EQ(Label(), "Applying selected Options ...");
    EXPECT_EQ(Status().ProgressState(), TProgressState::Normal);
    EXPECT_EQ(Find<QProgressBar>("pbStatus")->maximum(), 0) << "moving";
    EXPECT_EQ(Log(), "left over");
}

TEST_F(StatusWindow, ShowWhileVisibleKeepsTheEarlierRunAsItIs)
{
    Status().Show();
    Complete({"Yahoo Messenger Backup: Successfully Created", "Change Room Banner: Not Found or Already Patched"});
    Status().Show();
    Status().AppendLine("Auto Start: Unable to Disable");
    EXPECT_EQ(Label(), "Applying Options Complete");
    EXPECT_EQ(Status().ProgressState(), TProgressState::Paused);
    EXPECT_EQ(Log(),
              "Yahoo Messenger Backup: Successfully Created\nChange Room Banner: Not Found or Already Patched\n"
              "Auto Start: Unable to Disable");
}

TEST_F(StatusWindow, CloseWithoutTheBoxTickedStartsNothingClearsTheLogAndHides)
{
    Status().Show();
    Complete({"a line"});
    QTest::mouseClick(Find<QPushButton>("btnClose"), Qt::LeftButton);
    EXPECT_FALSE(Status().isVisible());
    EXPECT_EQ(Log(), "");
    EXPECT_TRUE(fixture.seams.Shell->Requests.empty());
}

TEST_F(StatusWindow, CloseWithTheBoxTickedStartsTheMessengerFromTheAdvertsFolder)
{
    fixture.Find<TFolderEdit>("dePath")->setText("C:\\Adverts Folder");
    fixture.Find<TFolderEdit>("deUpath")->setText("C:\\Skins Folder");
    Status().Show();
    Find<QCheckBox>("cbOpenYM")->setChecked(true);
    Status().close();  // the title bar's close box

    const std::vector<TShellRequest> expected{{"Open", "C:\\Adverts Folder\\YahooMessenger.exe", 0}};
    EXPECT_EQ(fixture.seams.Shell->Requests, expected);
    EXPECT_FALSE(Status().isVisible());

    Status().Show();
    EXPECT_TRUE(Find<QCheckBox>("cbOpenYM")->isChecked()) << "kept across closes";
    Status().Close();
    EXPECT_EQ(fixture.seams.Shell->Requests.size(), 2u);
}

TEST_F(StatusWindow, CloseButtonCanBeDisabledWhileTheCloseBoxStaysAvailable)
{
    Status().EnableClose(false);
    Status().Show();
    EXPECT_FALSE(Find("btnClose")->isEnabled());
    Status().AppendLine("appended before the close box");
    Status().close();
    Status().AppendLine("appended after the close box");
    Status().EnableClose(true);
    Status().Show();
    EXPECT_EQ(Log(), "appended after the close box");
    EXPECT_TRUE(Find("btnClose")->isEnabled());
}

TEST_F(StatusWindow, ClosingTheMainWindowEndsTheProgramWithoutTheCloseBehaviour)
{
    fixture.windows.main->show();
    Status().Show();
    Status().AppendLine("kept");
    Find<QCheckBox>("cbOpenYM")->setChecked(true);
    fixture.windows.main->HelpWindow().ShowWindow();

    bool timedOut = false;
    QTimer::singleShot(0, fixture.windows.main.get(), [&] { fixture.windows.main->close(); });
    QTimer::singleShot(10000, qApp, [&] {
        timedOut = true;
        QApplication::exit(1);
    });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(timedOut) << "the event loop kept running";
    EXPECT_TRUE(fixture.seams.Shell->Requests.empty());
    EXPECT_EQ(Log(), "kept");
}

}  // namespace
}  // namespace quorvex::test
