// Starting a Windows program under Wine through the desktop shell: what Wine
// is asked, in which prefix and folder, and why a start failed (reported from
// the event loop), with a stand-in "wine" on PATH (and none at all).
#include "platform/wine/WinePrefix.h"
#include "tests/fixtures/TestSupport.h"
#include "ui/qt/update/UpdateSeams.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <QtCore/qtestsupport_core.h>

#include <algorithm>
#include <filesystem>
#include <optional>

namespace quorvex {
namespace {

namespace fs = std::filesystem;
using test::TScopedEnv;
using test::TTempFolder;

// A stand-in for wine: it logs its arguments, WINEPREFIX and working
// folder, and fails as a Wine without its 32-bit part does for a program
// named Fails.exe.
constexpr char kFakeWine[] = R"(#!/bin/sh
case "$3" in
*Fails.exe)
  echo "it looks like wine32 is missing, you should install it." >&2
  echo 'as root, please execute "apt-get install wine32:i386"' >&2
  echo "0050:err:module:load_wow64_ntdll failed to load ntdll.dll error c0000135" >&2
  echo "ShellExecuteEx failed: Internal error."
  exit 1;;
esac
printf '%s\n' "$@" "$WINEPREFIX" "$PWD" > "$QUORVEX_FAKE_WINE_LOG"
)";

enum class TWine { Fake, Missing, NotRunnable };

struct TStartCase {
    const char* Name;
    const char* Program;
    TWine Wine;
    bool Starts;          // the stand-in logs a start
    const char* Failure;  // nothing: no failure is reported
    bool WholeFailure;    // the whole reason, else how it begins
};

class WineStart : public ::testing::TestWithParam<TStartCase> {
protected:
    WineStart()
    {
        fs::create_directories(bin.Path() / "fake");
        fs::create_directories(bin.Path() / "empty");
        // A "wine" on PATH that the system cannot run: its interpreter is missing.
        fs::create_directories(bin.Path() / "broken");
        test::WriteText(bin.Path() / "broken" / "wine", "#!/nonexistent/interpreter\n");
        fs::permissions(bin.Path() / "broken" / "wine", fs::perms::owner_all);
        test::WriteText(bin.Path() / "fake" / "wine", kFakeWine);
        fs::permissions(bin.Path() / "fake" / "wine", fs::perms::owner_all);
        test::WriteText(prefix.MessengerFolder() / "Fails.exe", "MZ");
        UseWinePrefix(prefix.Path());
    }
    ~WineStart() override { UseWinePrefix({}); }

    std::optional<std::string> Log() const
    {
        const std::string text = test::ReadText(log);
        if (std::count(text.begin(), text.end(), '\n') < 5)
            return std::nullopt;
        return text;
    }

    test::TFakePrefix prefix;
    // The prefix in use is the chosen one, not the environment's.
    TScopedEnv otherPrefix{"WINEPREFIX", "/nonexistent/prefix"};
    TTempFolder bin;
    fs::path log = bin.Path() / "wine.log";
    TScopedEnv logEnv{"QUORVEX_FAKE_WINE_LOG", log.string()};
};

TEST_P(WineStart, RunsWineStartInThePrefixInUseAndReportsWhyAProgramDidNotStart)
{
    const TStartCase& c = GetParam();
    const char* folder = c.Wine == TWine::Fake ? "fake" : c.Wine == TWine::Missing ? "empty" : "broken";
    const TScopedEnv path("PATH", (bin.Path() / folder).string());
    std::optional<QString> failure;

    DesktopShell()->Open("Open", c.Program, SW_HIDE,
                         [&failure](const std::string& reason) { failure = QString::fromStdString(reason); });

    if (c.Failure != nullptr) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return failure.has_value(); }, 20000));
        if (c.WholeFailure) {
            EXPECT_EQ(*failure, c.Failure);
        } else {
            EXPECT_TRUE(failure->startsWith(c.Failure)) << failure->toStdString();
            EXPECT_GT(failure->size(), QString(c.Failure).size()) << "with the system's reason";
        }
    }
    if (c.Starts) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return Log().has_value(); }, 20000));
        const QStringList logged = QString::fromStdString(*Log()).split('\n');
        EXPECT_EQ(logged.mid(0, 2), QStringList({"start", "/unix"}));
        EXPECT_TRUE(fs::equivalent(logged[2].toStdString(), prefix.Executable())) << logged[2].toStdString();
        EXPECT_EQ(logged[3].toStdString(), prefix.Path().string());
        EXPECT_EQ(logged[4].toStdString(), prefix.MessengerFolder().string());
    }
    if (c.Failure == nullptr) {
        EXPECT_FALSE(QTest::qWaitFor([&] { return failure.has_value(); }, 1000)) << failure->toStdString();
        EXPECT_EQ(Log().has_value(), c.Starts);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Programs, WineStart,
    ::testing::Values(
        TStartCase{"Started", "C:\\Program Files\\Yahoo!\\Messenger\\YahooMessenger.exe", TWine::Fake, true, nullptr, false},
        TStartCase{"No32BitPart", "C:\\Program Files\\Yahoo!\\Messenger\\Fails.exe", TWine::Fake, false,
                   "Wine could not start it:\nit looks like wine32 is missing, you should install it.\n"
                   "as root, please execute \"apt-get install wine32:i386\"",
                   true},
        TStartCase{"NoWine", "C:\\Program Files\\Yahoo!\\Messenger\\YahooMessenger.exe", TWine::Missing, false,
                   "Wine is not installed. Install the package wine (as root: apt-get install wine) and try again.",
                   true},
        TStartCase{"WineCannotRun", "C:\\Program Files\\Yahoo!\\Messenger\\YahooMessenger.exe", TWine::NotRunnable,
                   false, "Wine could not be started: ", false},
        TStartCase{"NoSuchProgram", "C:\\Program Files\\Yahoo!\\Gone\\YahooMessenger.exe", TWine::Fake, false,
                   nullptr, false}),
    [](const ::testing::TestParamInfo<TStartCase>& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace quorvex
