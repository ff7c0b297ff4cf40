#include <quorvex/BuildConfig.h>

#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>

#include <map>
#include <optional>
#include <ostream>
#include <string>

namespace quorvex {
namespace {

// A window system setting for the child: a value, or unset when empty.
using TDisplayEnvironment = std::map<QString, std::optional<QString>>;

const TDisplayEnvironment kNoDisplay = {
    {QStringLiteral("DISPLAY"), std::nullopt},
    {QStringLiteral("WAYLAND_DISPLAY"), std::nullopt},
    {QStringLiteral("QT_QPA_PLATFORM"), std::nullopt},
};

struct TRun {
    int ExitCode = -1;
    bool Crashed = false;
    QString Out;
    QString Err;
};

TRun RunProgram(const QStringList& arguments, const TDisplayEnvironment& display)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : display) {
        if (value)
            environment.insert(name, *value);
        else
            environment.remove(name);
    }
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(QUORVEX_PROGRAM), arguments);
    const bool ended = program.waitForFinished(60000);
    if (!ended) {
        program.kill();
        program.waitForFinished();
    }
    EXPECT_TRUE(ended) << "the program did not end";
    return {program.exitCode(), program.exitStatus() == QProcess::CrashExit,
            QString::fromLocal8Bit(program.readAllStandardOutput()),
            QString::fromLocal8Bit(program.readAllStandardError())};
}

QString VersionLine()
{
    return QStringLiteral("Quorvex ") + QString::fromLatin1(config::kVersion) + QLatin1Char('\n');
}

struct TAnswerCase {
    const char* Name;
    QStringList Arguments;
    bool Help;  // else the version
};

void PrintTo(const TAnswerCase& answer, std::ostream* out)
{
    *out << answer.Name;
}

class ProgramAnswers : public ::testing::TestWithParam<TAnswerCase> {};

// No display at all: the answer needs no window system.
TEST_P(ProgramAnswers, PrintsAndExitsBeforeAnyWindow)
{
    const TRun run = RunProgram(GetParam().Arguments, kNoDisplay);
    ASSERT_FALSE(run.Crashed) << run.Err.toStdString();
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Err, QString());
    if (GetParam().Help) {
        EXPECT_TRUE(run.Out.startsWith(QStringLiteral("Usage: quorvex "))) << run.Out.toStdString();
        EXPECT_TRUE(run.Out.contains(QStringLiteral("--version"))) << run.Out.toStdString();
        EXPECT_TRUE(run.Out.endsWith(QLatin1Char('\n')));
    } else {
        EXPECT_EQ(run.Out, VersionLine());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Options, ProgramAnswers,
    ::testing::Values(TAnswerCase{"Version", {QStringLiteral("--version")}, false},
                      TAnswerCase{"Help", {QStringLiteral("--help")}, true},
                      TAnswerCase{"BesideAPrefixAndToolkitOptions",
                                  {QStringLiteral("--prefix"), QStringLiteral("/nowhere"), QStringLiteral("-style"),
                                   QStringLiteral("fusion"), QStringLiteral("--platform=xcb"),
                                   QStringLiteral("-reverse"), QStringLiteral("--version")},
                                  false},
                      TAnswerCase{"FirstWins", {QStringLiteral("--help"), QStringLiteral("--version")}, true}),
    [](const ::testing::TestParamInfo<TAnswerCase>& info) { return std::string(info.param.Name); });

struct TRefusedCase {
    const char* Name;
    QStringList Arguments;
    const char* Problem;
};

void PrintTo(const TRefusedCase& refused, std::ostream* out)
{
    *out << refused.Name;
}

class ProgramRefuses : public ::testing::TestWithParam<TRefusedCase> {};

// As quorvex-cli: the problem and the usage on standard error, exit status 2,
// before any window (and even where one could be shown).
TEST_P(ProgramRefuses, AnArgumentItDoesNotTakeWithItsUsageAndStatusTwo)
{
    const TRun run = RunProgram(GetParam().Arguments, {{QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen")}});
    ASSERT_FALSE(run.Crashed) << run.Err.toStdString();
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_EQ(run.Out, QString());
    EXPECT_TRUE(run.Err.startsWith(QStringLiteral("quorvex: ") + QString::fromLatin1(GetParam().Problem) +
                                   QStringLiteral("\n\nUsage: quorvex ")))
        << run.Err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ProgramRefuses,
    ::testing::Values(
        TRefusedCase{"UnknownOption", {QStringLiteral("--no-such-option")}, "unknown argument \"--no-such-option\""},
        TRefusedCase{"AWord", {QStringLiteral("C:\\Messenger")}, "unknown argument \"C:\\Messenger\""},
        TRefusedCase{"BeforeVersion",
                     {QStringLiteral("-x"), QStringLiteral("--version")},
                     "unknown argument \"-x\""},
        TRefusedCase{"PrefixWithoutFolder", {QStringLiteral("--prefix")}, "--prefix needs a folder"},
        TRefusedCase{"PrefixWithAnEmptyFolder",
                     {QStringLiteral("--prefix"), QString(), QStringLiteral("--version")},
                     "--prefix needs a folder"}),
    [](const ::testing::TestParamInfo<TRefusedCase>& info) { return std::string(info.param.Name); });

struct TNoDisplayCase {
    const char* Name;
    TDisplayEnvironment Display;
    const char* Reason;  // what the one line must name
};

void PrintTo(const TNoDisplayCase& display, std::ostream* out)
{
    *out << display.Name;
}

class ProgramWithoutDisplay : public ::testing::TestWithParam<TNoDisplayCase> {};

TEST_P(ProgramWithoutDisplay, SaysSoInOneLineAndExitsWithStatusOne)
{
    const TRun run = RunProgram({}, GetParam().Display);
    ASSERT_FALSE(run.Crashed) << "aborted instead of refusing:\n" << run.Err.toStdString();
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Out, QString());
    EXPECT_TRUE(run.Err.startsWith(QStringLiteral("quorvex: cannot show its windows: "))) << run.Err.toStdString();
    EXPECT_EQ(run.Err.count(QLatin1Char('\n')), 1) << run.Err.toStdString();
    EXPECT_TRUE(run.Err.endsWith(QLatin1Char('\n')));
    EXPECT_TRUE(run.Err.contains(QString::fromLatin1(GetParam().Reason))) << run.Err.toStdString();
}

// The second case names an X display that no server serves (display numbers
// of that size are far above what X servers and Xvfb take), so the window
// system's own start fails.
INSTANTIATE_TEST_SUITE_P(
    Displays, ProgramWithoutDisplay,
    ::testing::Values(TNoDisplayCase{"NoneNamed", kNoDisplay, "DISPLAY"},
                      TNoDisplayCase{"UnreachableServer",
                                     {{QStringLiteral("DISPLAY"), QStringLiteral(":65431")},
                                      {QStringLiteral("WAYLAND_DISPLAY"), std::nullopt},
                                      {QStringLiteral("QT_QPA_PLATFORM"), std::nullopt}},
                                     ":65431"}),
    [](const ::testing::TestParamInfo<TNoDisplayCase>& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace quorvex
