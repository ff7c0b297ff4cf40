#include "instance/mxOneInstance.h"
#include "platform/wine/LocalInstance.h"
#include "ui/qt/InstanceWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QWidget>

#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <stdexcept>

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

QString RuntimeFolder()
{
    return QString::fromStdString(TLocalInstance::Folder().string());
}

// A window as the first instance shows it, its guard holding the name.
struct TFirstInstance {
    QWidget window;
    TmxOneInstance guard;
    TQtInstanceWindow wiring{window};

    explicit TFirstInstance(bool minimised)
    {
        window.resize(200, 100);
        if (minimised)
            window.showMinimized();
        else
            window.show();
        wiring.Load(guard);
    }
};

TEST(OneInstance, FirstStartClaimsTheName)
{
    TFirstInstance first(false);
    EXPECT_TRUE(first.guard.MutexCreated());
    EXPECT_FALSE(first.guard.InstanceExisted());
    EXPECT_FALSE(first.guard.TerminateRequested());
    EXPECT_TRUE(QFile::exists(RuntimeFolder() + "/Quorvex.lock"));
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
    TQtInstanceWindow secondWiring(secondWindow);
    secondWiring.Load(second);

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
    TQtInstanceWindow secondWiring(secondWindow);
    secondWiring.Load(second);

    EXPECT_TRUE(WaitFor([&] { return QApplication::activeWindow() == &first.window; }));
}

TEST(OneInstance, SwitchAndTerminateCanBeTurnedOff)
{
    TFirstInstance first(true);
    QWidget secondWindow;
    TmxOneInstance second;
    second.SwitchToPrevious = false;
    second.Terminate = false;
    TQtInstanceWindow secondWiring(secondWindow);
    secondWiring.Load(second);

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
    TQtInstanceWindow wiring(window);
    wiring.Load(next);
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
    QFile lock(RuntimeFolder() + "/Quorvex.lock");
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(deadPid) + "\nQuorvex\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();

    QWidget window;
    TmxOneInstance guard;
    TQtInstanceWindow wiring(window);
    wiring.Load(guard);
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

// Sets an environment variable (or, with a null value, unsets it) for its
// lifetime.
class TScopedVariable {
public:
    TScopedVariable(const char* name, const QString& value) : name_(name), old_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value.toLocal8Bit());
    }
    ~TScopedVariable()
    {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    QByteArray old_;
    bool had_;
};

// What a start says when it cannot take the lock for another reason than
// another instance, on standard error and as the error it raises.
std::string StartFailure(QWidget& window, bool& lockTaken)
{
    TmxOneInstance guard;
    TQtInstanceWindow wiring(window);
    testing::internal::CaptureStderr();
    std::string raised = "no error";
    try {
        wiring.Load(guard);
    } catch (const std::runtime_error& error) {
        raised = error.what();
    }
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed, raised == "no error" ? "" : raised + "\n");
    EXPECT_FALSE(guard.InstanceExisted());
    lockTaken = !guard.TerminateRequested() && raised == "no error";
    return raised;
}

TEST(OneInstance, ALockThatCannotBeTakenSaysWhyAndEndsTheStart)
{
    const bool root = ::geteuid() == 0;
    QTemporaryDir scratch;
    const QString fallback = scratch.path() + "/quorvex-" + QString::number(::geteuid());
    const QString runtimeFile = scratch.path() + "/not-a-folder";
    ASSERT_TRUE(QFile(runtimeFile).open(QIODevice::WriteOnly));
    const QString unsafeHint = " Set XDG_RUNTIME_DIR to a folder of your own.";
    const struct {
        const char* name;
        QString runtime;  // XDG_RUNTIME_DIR, null for none
        std::function<bool()> arrange;  // false: not possible here
        QString folder;
        std::string reason;
    } cases[] = {
        {"runtime folder is a file", runtimeFile, [] { return true; }, runtimeFile, "Not a directory"},
        {"fallback of another user", {},
         [&] { return root && QDir().mkdir(fallback) && ::chown(fallback.toLocal8Bit(), 4321, 4321) == 0; }, fallback,
         "It belongs to another user." + unsafeHint.toStdString()},
        {"fallback others may write to", {},
         [&] { return QDir().mkdir(fallback) && ::chmod(fallback.toLocal8Bit(), 0777) == 0; }, fallback,
         "Other users can write into it." + unsafeHint.toStdString()},
        {"fallback is a link", {},
         [&] { return QDir().mkdir(scratch.path() + "/mine") && QFile::link(scratch.path() + "/mine", fallback); },
         fallback, "It is not a folder but a link or a file." + unsafeHint.toStdString()},
    };
    const TScopedVariable temporary("TMPDIR", scratch.path());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(fallback);
        QDir(fallback).removeRecursively();
        if (!c.arrange()) {
            ADD_FAILURE() << "cannot arrange the case" << (root ? "" : " (needs the superuser)");
            continue;
        }
        const TScopedVariable runtime("XDG_RUNTIME_DIR", c.runtime);
        QWidget window;
        bool lockTaken = true;
        EXPECT_EQ(StartFailure(window, lockTaken),
                  "Cannot take the single-instance lock in \"" + c.folder.toStdString() + "\". " + c.reason);
        EXPECT_FALSE(lockTaken);
        EXPECT_FALSE(QFile::exists(c.folder + "/Quorvex.lock"));
    }

    // A missing fallback folder is made for the user alone and used.
    QFile::remove(fallback);
    QDir(fallback).removeRecursively();
    const TScopedVariable runtime("XDG_RUNTIME_DIR", QString());
    QWidget window;
    bool lockTaken = false;
    EXPECT_EQ(StartFailure(window, lockTaken), "no error");
    EXPECT_TRUE(lockTaken);
    struct stat info {};
    ASSERT_EQ(::lstat(fallback.toLocal8Bit().constData(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

}  // namespace
}  // namespace quorvex
