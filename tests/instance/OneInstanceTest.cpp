#include "instance/mxOneInstance.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QWidget>

#include <functional>

namespace quorvex {
namespace {

// Serves the event loop until the condition holds or the time is up.
bool WaitFor(const std::function<bool()>& condition, int milliseconds = 5000)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// A window as the first instance shows it, its guard holding the name.
struct TFirstInstance {
    QWidget window;
    TmxOneInstance guard;

    explicit TFirstInstance(bool minimised)
    {
        window.resize(200, 100);
        if (minimised)
            window.showMinimized();
        else
            window.show();
        guard.Loaded(&window);
    }
};

TEST(OneInstance, FirstStartClaimsTheName)
{
    TFirstInstance first(false);
    EXPECT_TRUE(first.guard.MutexCreated());
    EXPECT_FALSE(first.guard.InstanceExisted());
    EXPECT_FALSE(first.guard.TerminateRequested());
    EXPECT_TRUE(QFile::exists(TmxOneInstance::RuntimeFolder() + "/Quorvex.lock"));
}

TEST(OneInstance, SecondStartRestoresTheMinimisedFirstWindowAndIsAskedToEnd)
{
    TFirstInstance first(true);
    ASSERT_TRUE(first.window.isMinimized());

    QWidget secondWindow;
    TmxOneInstance second;
    int notified = 0;
    second.OnInstanceExists = [&](TmxOneInstance& sender) {
        EXPECT_EQ(&sender, &second);
        EXPECT_TRUE(first.window.isMinimized()) << "called before the switch";
        ++notified;
    };
    second.Loaded(&secondWindow);

    EXPECT_EQ(notified, 1);
    EXPECT_TRUE(second.InstanceExisted());
    EXPECT_TRUE(second.TerminateRequested());
    EXPECT_TRUE(second.MutexCreated());
    EXPECT_TRUE(WaitFor([&] { return !first.window.isMinimized(); }));
    EXPECT_FALSE(secondWindow.isVisible());
}

TEST(OneInstance, SecondStartActivatesTheFirstWindowWhenItIsNotMinimised)
{
    TFirstInstance first(false);
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == &other; }));

    QWidget secondWindow;
    TmxOneInstance second;
    second.Loaded(&secondWindow);

    EXPECT_TRUE(WaitFor([&] { return QApplication::activeWindow() == &first.window; }));
}

TEST(OneInstance, SwitchAndTerminateCanBeTurnedOff)
{
    TFirstInstance first(true);
    QWidget secondWindow;
    TmxOneInstance second;
    second.SwitchToPrevious = false;
    second.Terminate = false;
    second.Loaded(&secondWindow);

    EXPECT_TRUE(second.InstanceExisted());
    EXPECT_FALSE(second.TerminateRequested());
    EXPECT_FALSE(WaitFor([&] { return !first.window.isMinimized(); }, 500));
}

TEST(OneInstance, AStartAfterTheFirstInstanceEndedRunsNormally)
{
    {
        TFirstInstance first(false);
    }
    QWidget window;
    TmxOneInstance next;
    next.Loaded(&window);
    EXPECT_FALSE(next.InstanceExisted());
    EXPECT_FALSE(next.TerminateRequested());
}

TEST(OneInstance, ALockLeftByAnInstanceThatDiedIsTakenOver)
{
    QProcess gone;
    gone.start(QStringLiteral("sleep"), {QStringLiteral("0.1")});
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 deadPid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    QFile lock(TmxOneInstance::RuntimeFolder() + "/Quorvex.lock");
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(deadPid) + "\nQuorvex\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();

    QWidget window;
    TmxOneInstance guard;
    guard.Loaded(&window);
    EXPECT_FALSE(guard.InstanceExisted());
}

TEST(OneInstance, ASecondStartOfTheProgramRaisesTheFirstAndEndsOnItsOwn)
{
    TFirstInstance first(true);
    QTemporaryDir prefix;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WINEPREFIX"), prefix.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(prefix.path());
    program.start(QStringLiteral(QUORVEX_EXE), {});
    ASSERT_TRUE(program.waitForStarted());

    const bool ended = WaitFor([&] { return program.state() == QProcess::NotRunning; }, 30000);
    if (!ended) {
        program.kill();
        program.waitForFinished();
    }
    ASSERT_TRUE(ended) << "the second start did not end on its own";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    EXPECT_TRUE(WaitFor([&] { return !first.window.isMinimized(); }));
}

}  // namespace
}  // namespace quorvex
