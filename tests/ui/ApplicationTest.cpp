// The application error report, the event pump the application installs, and
// the link label's own behaviour.
#include "FakeSeams.h"
#include "platform/Error.h"
#include "platform/EventPump.h"
#include "ui/qt/Application.h"
#include "ui/qt/mxLinkLabel.h"

#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QPushButton>
#include <QTest>

namespace quorvex::test {
namespace {

TEST(ApplicationErrorReport, AnErrorReachingTheEventLoopIsReportedAndTheProgramGoesOn)
{
    TFakeSeams seams;
    QPushButton failing("fails");
    QObject::connect(&failing, &QPushButton::clicked, [] {
        throw FileCreateError("C:\\BlankQuorvex.html", "Permission denied");
    });
    failing.show();

    QTest::mouseClick(&failing, Qt::LeftButton);
    QTest::mouseClick(&failing, Qt::LeftButton);

    ASSERT_EQ(seams.Messages->Shown.size(), 2u) << "each failing handler ends and is reported";
    const TShownMessage& report = seams.Messages->Shown.front();
    EXPECT_EQ(report.Caption, "Quorvex");
    EXPECT_EQ(report.Type, TMsgDlgType::Error);
    EXPECT_EQ(report.Buttons, TMsgDlgButtons::Ok);
    EXPECT_EQ(report.Text, "Cannot create file \"C:\\BlankQuorvex.html\". Permission denied.");

    bool ran = false;
    QMetaObject::invokeMethod(qApp, [&] { ran = true; }, Qt::QueuedConnection);
    QCoreApplication::processEvents();
    EXPECT_TRUE(ran);
}

// The engine's scans and the HTTP client's requests serve one pump, Qt's loop,
// which the application object installs.
TEST(ApplicationEventPump, ThePumpThatScansServeRunsQtsPendingEvents)
{
    ASSERT_NE(InstalledEventPump(), nullptr);
    bool ran = false;
    QMetaObject::invokeMethod(qApp, [&] { ran = true; }, Qt::QueuedConnection);
    EXPECT_TRUE(ServeEventLoop());
    EXPECT_TRUE(ran);
}

class LinkLabel : public ::testing::Test {
protected:
    void SetUp() override
    {
        label.setText("site");
        label.Link = "http://quorvex.example.com/";
        label.LabelStyle = TLabelStyle::lsInternetLink;
        label.LinkFont = QFont("Tahoma", 9);
        label.LinkFont.setUnderline(true);
        label.LinkColor = QColor(0, 128, 192);
        host.show();
    }

    void Enter()
    {
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(&label, &enter);
    }
    void Leave()
    {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&label, &leave);
    }

    TFakeSeams seams;
    QWidget host;
    TmxLinkLabel& label = *new TmxLinkLabel(&host);
};

TEST_F(LinkLabel, HoverShowsTheLinkFontAndTheHandCursorThenRestoresThem)
{
    const QFont normal = label.font();
    Enter();
    EXPECT_TRUE(label.Hovered());
    EXPECT_TRUE(label.font().underline());
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(0, 128, 192));
    EXPECT_EQ(label.cursor().shape(), Qt::PointingHandCursor);
    Leave();
    EXPECT_FALSE(label.Hovered());
    EXPECT_EQ(label.font(), normal);
    EXPECT_FALSE(label.testAttribute(Qt::WA_SetCursor)) << "the label's own cursor is back";
}

TEST_F(LinkLabel, ADisabledLabelIsNotHovered)
{
    label.setEnabled(false);
    Enter();
    EXPECT_FALSE(label.Hovered());
    EXPECT_FALSE(label.font().underline());
}

TEST_F(LinkLabel, ClickOpensTheLinkByItsStyle)
{
    QTest::mouseClick(&label, Qt::LeftButton);
    label.LabelStyle = TLabelStyle::lsMailTo;
    label.Link = "someone@example.com";
    QTest::mouseClick(&label, Qt::LeftButton);
    label.LabelStyle = TLabelStyle::lsStandard;
    QTest::mouseClick(&label, Qt::LeftButton);
    label.LabelStyle = TLabelStyle::lsInternetLink;
    label.Link.clear();
    QTest::mouseClick(&label, Qt::LeftButton);

    const std::vector<TShellRequest> expected{{"", "http://quorvex.example.com/", 4},
                                              {"", "mailto:someone@example.com", 4}};
    EXPECT_EQ(seams.Shell->Requests, expected);
}

}  // namespace
}  // namespace quorvex::test
