// The update checker in the main window: the silent check at start-up and
// the "Check for Update" button, with the splash up while they run.
#include "WindowsFixture.h"
#include "tests/fixtures/TestSupport.h"
#include "update/UpdateCheck.h"

#include <quorvex/BuildConfig.h>

#include <QDir>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>

namespace quorvex::test {
namespace {

const QString kSiteRoot = QStringLiteral("http://") + QString::fromLatin1(config::kSiteHost) + QLatin1Char('/');

// The window asks the addresses that quorvex-cli update asks.
TEST(MainWindowUpdate, ChecksTheProductsUpdateAddresses)
{
    TWindowsFixture fixture;
    EXPECT_EQ(fixture.windows.main->UpdateChecker().UpdateFileURL().toStdString(), ProductUpdateFileURL());
    EXPECT_EQ(fixture.windows.main->UpdateChecker().UpdatePageURL().toStdString(), ProductUpdatePageURL());
}

TEST(MainWindowUpdate, CheckForUpdateShowsTheSplashAndTheCheckersMessages)
{
    TWindowsFixture fixture;
    // Nothing listens there: the check fails and finds no version.
    fixture.windows.main->UpdateChecker().SetUpdateFileURL(QStringLiteral("http://127.0.0.1:9/QuorvexUpdate.txt"));
    fixture.seams.Messages->Answers = {TModalResult::Yes};
    bool splashUp = false;
    fixture.seams.Messages->WhileOpen = [&](const TShownMessage&) { splashUp = fixture.windows.splash->isVisible(); };
    fixture.windows.main->show();
    fixture.ShowTab("tbHelp");

    QTest::mouseClick(fixture.Find("btnUpdate"), Qt::LeftButton);

    EXPECT_TRUE(splashUp);
    EXPECT_FALSE(fixture.windows.splash->isVisible());
    EXPECT_EQ(fixture.seams.Messages->Shown,
              (std::vector<TShownMessage>{
                  {QStringLiteral("Confirm"),
                   QStringLiteral("There are no advertised versions available.\rDo you want to open the update web page?"),
                   TMsgDlgType::Confirmation, TMsgDlgButtons::YesNo}}));
    EXPECT_EQ(fixture.seams.Shell->Requests,
              (std::vector<TShellRequest>{{QStringLiteral("open"), kSiteRoot, SW_SHOWNORMAL}}));
}

// While a check runs its requests keep the event loop going, so the button
// can be pressed again: that press does nothing.
TEST(MainWindowUpdate, CheckForUpdateDoesNothingWhileACheckRuns)
{
    TWindowsFixture fixture;
    fixture.windows.main->UpdateChecker().SetUpdateFileURL(QStringLiteral("http://127.0.0.1:9/QuorvexUpdate.txt"));
    fixture.seams.Messages->Answers = {TModalResult::No, TModalResult::No};
    fixture.windows.main->show();
    fixture.ShowTab("tbHelp");
    bool pressedDuringTheCheck = false;
    QTimer::singleShot(0, [&] {
        pressedDuringTheCheck = fixture.windows.splash->isVisible();
        QTest::mouseClick(fixture.Find("btnUpdate"), Qt::LeftButton);
    });

    QTest::mouseClick(fixture.Find("btnUpdate"), Qt::LeftButton);

    EXPECT_TRUE(pressedDuringTheCheck);
    EXPECT_EQ(fixture.seams.Messages->Shown.size(), 1u);
    EXPECT_FALSE(fixture.windows.splash->isVisible());
    // Once it has ended, the button checks again.
    QTest::mouseClick(fixture.Find("btnUpdate"), Qt::LeftButton);
    EXPECT_EQ(fixture.seams.Messages->Shown.size(), 2u);
}

// The main window's checker verifies installers with the build's key.
TEST(MainWindowUpdate, CheckerUsesTheConfiguredPublicKey)
{
    TWindowsFixture fixture;
    EXPECT_EQ(fixture.windows.main->UpdateChecker().UpdatePublicKey(), QString::fromLatin1(config::kUpdatePublicKey));
}

// The silent check cannot even start without a private temporary folder:
// the error is reported and start-up goes on.
TEST(MainWindowUpdate, AnErrorInTheStartUpCheckIsReportedAndStartUpGoesOn)
{
    TFakeSeams seams;
    TTestPrefix prefix;
    TTempFolder home;
    const std::filesystem::path shared = home.Path() / "quorvex";
    std::filesystem::create_directory(shared);
    std::filesystem::permissions(shared, std::filesystem::perms::all);
    TScopedEnv cache("XDG_CACHE_HOME", home.Path().string());
    const TQuorvexWindows windows = CreateWindows();

    ASSERT_EQ(seams.Messages->Shown.size(), 1u);
    const TShownMessage& report = seams.Messages->Shown[0];
    EXPECT_EQ(report.Caption, QStringLiteral("Quorvex"));
    EXPECT_EQ(report.Type, TMsgDlgType::Error);
    EXPECT_EQ(report.Text, QStringLiteral("Cannot use the temporary folder \"%1\". Other users can write into it.")
                               .arg(QString::fromStdString(shared.string())));
    EXPECT_FALSE(windows.splash->isVisible());
    EXPECT_NE(windows.main, nullptr) << "start-up went on";
}

// Records whether the main window was ever shown.
class TMainWindowShown : public QObject {
public:
    TMainWindowShown() { qApp->installEventFilter(this); }
    ~TMainWindowShown() override { qApp->removeEventFilter(this); }
    bool Shown = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<TfrmQuorvex*>(watched) != nullptr)
            Shown = true;
        return false;
    }
};

// A download that the start-up check completed asks the application to end
// before its event loop runs: the program ends once start-up is over.
TEST(MainWindowUpdate, AnInstallerStartedAtStartUpEndsTheProgramBeforeItsWindowShows)
{
    TFakeSeams seams;
    TTestPrefix prefix;
    seams.Application->Requests = 1;
    TMainWindowShown mainWindow;
    QTimer safety;  // ends the event loop should it run
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, qApp, &QCoreApplication::quit);
    safety.start(5000);

    EXPECT_EQ(RunQuorvex(), 0);
    EXPECT_FALSE(mainWindow.Shown);
}

}  // namespace
}  // namespace quorvex::test
