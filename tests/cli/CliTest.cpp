// quorvex-cli as a script runs it, against the synthetic messenger in a
// temporary prefix: the status lines of each command, the rows that option
// names, indexes and "all" tick, the refusals, the exit statuses and the
// status report.
#include "quorvex/BuildConfig.h"
#include "tests/cli/CliRunner.h"
#include "tests/workflows/LocationCases.h"
#include "tests/workflows/WorkflowTestSupport.h"
#include "workflows/WorkflowSteps.h"
#include "workflows/Workflows.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/stat.h>

#include <atomic>
#include <thread>

namespace quorvex::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

constexpr char kBackupCreated[] = "Yahoo Messenger Backup: Successfully Created";
constexpr char kUrls[] = "Urls: Successfully Patched";
constexpr char kHtmlSaved[] = "HTML Replacement File: Successfully Saved";
constexpr char kSaved[] = "Save: Successfully saved changes to Yahoo Messenger";
constexpr char kMultiEnabled[] = "Multiple Instances: Successfully Enabled";
constexpr char kAutoStartDisabled[] = "Auto Start: Successfully Disabled";
constexpr char kSmileyDisabled[] = "Smiley Search: Successfully Disabled";
constexpr char kStatusBarRemoved[] = "IM Statusbar Advert: Successfully Removed";
constexpr char kUIRestored[] = "Yahoo UI Options: Successfully Restored";

const Lines kWebcamLines = {"Webcam Viewer Ad: Successfully Patched", "Webcam Viewer Ad Medium: Successfully Patched",
                            "Webcam Viewer Ad Big: Successfully Patched", "Webcam Upload Ad: Successfully Patched"};

Lines Join(std::initializer_list<Lines> parts)
{
    Lines joined;
    for (const Lines& part : parts)
        joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

const Lines kUILines = {
    "Insider Button: Successfully Removed",  "Email Button: Successfully Removed",
    "Mobile Button: Successfully Removed",   "Voice Button: Successfully Removed",
    "Contact Card: Successfully Removed",    "Plugins Toolbar: Successfully Removed",
    "Contacts Tab: Successfully Removed",    "YUpdates Tab: Successfully Removed",
    "System Notifications: Successfully Removed",
};

// A test case prints as its name.
template <typename TCase>
    requires requires(const TCase& c) { std::string_view(c.Name); }
void PrintTo(const TCase& c, std::ostream* out)
{
    *out << c.Name;
}

TFakeMessengerOptions Messenger(const char* version, bool autoStart = true)
{
    TFakeMessengerOptions options;
    options.Version = version;
    if (!autoStart)
        options.LaunchOnStartup.reset();
    return options;
}

class Cli : public WorkflowTest {
public:
    // A home of the test's own: a prefix that the user keeps for a Wine
    // front-end is never found instead of the test's.
    TTempFolder home;
    TScopedEnv homeEnv{"HOME", home.Path().string()};
    TScopedEnv dataHome{"XDG_DATA_HOME", std::nullopt};

    TCliRun Run(const std::vector<std::string>& arguments) { return RunCli(arguments, working.Path()); }

    // A fresh installation, with no backup and no HTML replacement file.
    void Reinstall(const TFakeMessengerOptions& options = {})
    {
        fs::remove(Backup());
        fs::remove(HtmlReplacement());
        prefix.Image = CreateFakeMessenger(prefix.Path(), options);
    }

    // Nothing of the installation changed and nothing was written.
    void ExpectUntouched()
    {
        EXPECT_TRUE(ReadBytes(prefix.Executable()) == prefix.Image.Bytes);
        EXPECT_FALSE(fs::exists(Backup()));
        EXPECT_FALSE(fs::exists(HtmlReplacement()));
    }
};

TEST_F(Cli, AdvertsAllOnAnUnpatchedMessengerPrintsEveryStepInOrder)
{
    const TCliRun run = Run({"adverts", "--color", "336699", "all"});

    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.OutLines(), Join({{kBackupCreated, "Main Messenger Advert: Successfully Patched",
                                     "Change Room Banner: Successfully Patched", "Chat Room Advert: Successfully Patched"},
                                    kWebcamLines,
                                    {"Video Call Advert: Successfully Patched", kStatusBarRemoved, kUrls, kHtmlSaved,
                                     kSaved, kMultiEnabled, kAutoStartDisabled, kSmileyDisabled}}));
    EXPECT_TRUE(ReadBytes(Backup()) == prefix.Image.Bytes) << "the backup goes to the working folder";
    EXPECT_FALSE(ReadBytes(prefix.Executable()) == prefix.Image.Bytes);
    EXPECT_THAT(ReadText(HtmlReplacement()), HasSubstr("bgcolor=\"#336699\""));
    EXPECT_EQ(ReadBytes(Skin("IMWindow")), StoredBytes(kIMWindowWithoutStatusBar));
}

TEST_F(Cli, UIAllRemovesEveryElement)
{
    const TCliRun run = Run({"ui", "all"});

    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.OutLines(), kUILines);
    EXPECT_EQ(ReadBytes(Skin("ContactCard")), StoredBytes(kEmptyContactCard));
    EXPECT_THAT(ReadText(Skin("FriendList")), Not(HasSubstr("<!-- {Insider} -->")));
}

TEST_F(Cli, CleanAllAfterAdvertsAndUIGivesBackTheOriginalBytes)
{
    ASSERT_EQ(Run({"adverts", "all"}).Status, 0);
    ASSERT_EQ(Run({"ui", "all"}).Status, 0);

    const TCliRun run = Run({"clean", "all"});

    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.OutLines(), (Lines{"Yahoo Messenger Backup: Successfully Restored",
                                     "HTML Replacement File: Successfully Removed", kUIRestored}));
    EXPECT_EQ(DifferingRuns(ReadBytes(prefix.Executable()), prefix.Image.Bytes),
              (std::vector<std::pair<std::size_t, std::size_t>>{}));
    EXPECT_FALSE(fs::exists(Backup()));
    EXPECT_FALSE(fs::exists(HtmlReplacement()));
    EXPECT_EQ(ReadBytes(Skin("IMWindow")), StoredBytes(kStockIMWindow));
    EXPECT_EQ(ReadBytes(Skin("FriendList")), StoredBytes(kStockFriendList));
    EXPECT_EQ(ReadBytes(Skin("ContactCard")), StoredBytes(kStockContactCard));
}

// Each row named alone, by its short name and by its index, on a fresh
// version 10 messenger; the clean rows after "adverts banner" made the backup
// and the HTML replacement file.
struct TRowCase {
    const char* Command;
    const char* Name;
    const char* Index;
    Lines Out;
};

class CliRows : public Cli, public ::testing::WithParamInterface<TRowCase> {};

TEST_P(CliRows, NameAndIndexTickTheSameRow)
{
    const TRowCase& row = GetParam();
    for (const char* word : {row.Name, row.Index}) {
        Reinstall();
        if (std::string(row.Command) == "clean") {
            ASSERT_EQ(Run({"adverts", "banner"}).Status, 0);
        }
        const TCliRun run = Run({row.Command, word});
        EXPECT_EQ(run.Status, 0) << word;
        EXPECT_EQ(run.Err, "") << word;
        EXPECT_EQ(run.OutLines(), row.Out) << word;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lists, CliRows,
    ::testing::Values(
        TRowCase{"adverts", "main", "0", {kBackupCreated, "Main Messenger Advert: Successfully Patched", kUrls, kSaved}},
        TRowCase{"adverts", "banner", "1",
                 {kBackupCreated, "Change Room Banner: Successfully Patched", kUrls, kHtmlSaved, kSaved}},
        TRowCase{"adverts", "chat", "2", {kBackupCreated, "Chat Room Advert: Successfully Patched", kUrls, kSaved}},
        TRowCase{"adverts", "webcam", "3", Join({{kBackupCreated}, kWebcamLines, {kUrls, kHtmlSaved, kSaved}})},
        TRowCase{"adverts", "video", "4", {kBackupCreated, "Video Call Advert: Successfully Patched", kUrls, kSaved}},
        TRowCase{"adverts", "statusbar", "5", {kStatusBarRemoved}},
        TRowCase{"adverts", "multi", "6", {kMultiEnabled}},
        TRowCase{"adverts", "autostart", "7", {kAutoStartDisabled}},
        TRowCase{"adverts", "smiley", "8", {kSmileyDisabled}},
        TRowCase{"ui", "insider", "0", {kUILines[0]}}, TRowCase{"ui", "email", "1", {kUILines[1]}},
        TRowCase{"ui", "mobile", "2", {kUILines[2]}}, TRowCase{"ui", "voice", "3", {kUILines[3]}},
        TRowCase{"ui", "card", "4", {kUILines[4]}}, TRowCase{"ui", "plugins", "5", {kUILines[5]}},
        TRowCase{"ui", "contacts", "6", {kUILines[6]}}, TRowCase{"ui", "yupdates", "7", {kUILines[7]}},
        TRowCase{"ui", "notifications", "8", {kUILines[8]}},
        TRowCase{"clean", "backup", "0", {"Yahoo Messenger Backup: Successfully Restored"}},
        TRowCase{"clean", "html", "1", {"HTML Replacement File: Successfully Removed"}},
        TRowCase{"clean", "ui", "2", {kUIRestored}}),
    [](const auto& info) { return std::string(info.param.Command) + "_" + info.param.Name; });

// "all" ticks exactly the rows that the list would let the user tick now.
struct TAllCase {
    const char* Name;
    TFakeMessengerOptions Messenger;
    const char* Command;
    Lines Out;
};

class CliAll : public Cli, public ::testing::WithParamInterface<TAllCase> {};

TEST_P(CliAll, TicksEveryRowAvailableNow)
{
    Reinstall(GetParam().Messenger);
    const TCliRun run = Run({GetParam().Command, "all"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.OutLines(), GetParam().Out);
}

INSTANTIATE_TEST_SUITE_P(
    Messengers, CliAll,
    ::testing::Values(
        TAllCase{"Version9",
                 Messenger("9.0.0.2162"),
                 "adverts",
                 Join({{kBackupCreated, "Main Messenger Advert: Successfully Patched",
                        "Change Room Banner: Successfully Patched", "Chat Room Advert: Successfully Patched"},
                       kWebcamLines,
                       {"Video Call Advert: Successfully Patched", kUrls, kHtmlSaved, kSaved, kMultiEnabled,
                        kAutoStartDisabled}})},
        TAllCase{"UnlistedVersion10WithoutAutoStart",
                 Messenger("10.0.0.9999", false),
                 "adverts",
                 {kStatusBarRemoved, kMultiEnabled, kSmileyDisabled}},
        TAllCase{"CleanWithNoBackupAndNoHtmlFile", Messenger("11.0.0.2009"), "clean", {kUIRestored}}),
    [](const auto& info) { return std::string(info.param.Name); });

// An option that the list would refuse is refused before anything is done.
struct TRefusalCase {
    const char* Name;
    TFakeMessengerOptions Messenger;
    std::vector<std::string> Arguments;
    std::string Message;
};

class CliRefusals : public Cli, public ::testing::WithParamInterface<TRefusalCase> {};

TEST_P(CliRefusals, NameTheOptionAndTheReasonAndChangeNothing)
{
    Reinstall(GetParam().Messenger);
    const std::string user = ReadText(prefix.Path() / "user.reg");

    const TCliRun run = Run(GetParam().Arguments);

    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, GetParam().Message + "\n");
    ExpectUntouched();
    EXPECT_EQ(ReadText(prefix.Path() / "user.reg"), user);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CliRefusals,
    ::testing::Values(
        TRefusalCase{"StatusBarOnVersion9", Messenger("9.0.0.2162"), {"adverts", "main", "autostart", "statusbar"},
                     "Option \"statusbar\" (5) of the advert options is not available: the installed Yahoo Messenger "
                     "9.0.0.2162 is not version 10 or 11."},
        TRefusalCase{"AutoStartOff", Messenger("10.0.0.1270", false), {"adverts", "7"},
                     "Option \"autostart\" (7) of the advert options is not available: Yahoo Messenger is not set to "
                     "start automatically."},
        TRefusalCase{"UnlistedVersion", Messenger("10.0.0.9999"), {"adverts", "smiley", "banner"},
                     "Option \"banner\" (1) of the advert options is not available: the installed Yahoo Messenger "
                     "10.0.0.9999 is not one of the supported versions."},
        TRefusalCase{"MultiOnVersion7", Messenger("7.5.0.1"), {"adverts", "multi"},
                     "Option \"multi\" (6) of the advert options is not available: the installed Yahoo Messenger "
                     "7.5.0.1 is not version 8, 9, 10 or 11."},
        TRefusalCase{"NoMessenger", Messenger(""), {"adverts", "all"},
                     "The advert options are not available: no Yahoo Messenger is installed."},
        TRefusalCase{"UIOnVersion9", Messenger("9.0.0.2162"), {"ui", "all"},
                     "The UI options are not available: the installed Yahoo Messenger 9.0.0.2162 is not version 10 "
                     "or 11."},
        TRefusalCase{"NoBackup", Messenger("10.0.0.1270"), {"clean", "ui", "backup"},
                     "Option \"backup\" (0) of the clean options is not available: there is no backup "
                     "\"YahooMessenger.bak\" in the working folder."},
        TRefusalCase{"NoHtmlReplacement", Messenger("10.0.0.1270"), {"clean", "1"},
                     "Option \"html\" (1) of the clean options is not available: the HTML replacement file "
                     "\"C:\\BlankQuorvex.html\" does not exist."},
        TRefusalCase{"CleanUIWithNoMessenger", Messenger(""), {"clean", "ui"},
                     "Option \"ui\" (2) of the clean options is not available: no Yahoo Messenger is installed."}),
    [](const auto& info) { return std::string(info.param.Name); });

// The workflows' own preconditions: their message on standard error, exit 1.
// The window's apply switches "Multiple Instances" in this process while
// quorvex-cli runs switch "Smiley Search" in the same user.reg: every switch
// of either finds the setting as its previous switch left it.
TEST_F(Cli, TheWindowsApplyBesideQuorvexCliLosesNoChangeOfEither)
{
    constexpr int kCliRuns = 11;
    std::vector<TCliRun> runs;
    std::atomic<bool> cliDone = false;
    std::thread cli([&] {
        for (int i = 0; i < kCliRuns; ++i)
            runs.push_back(Run({"adverts", "--prefix", prefix.Path().string(), "smiley"}));
        cliDone = true;
    });
    // Each switch that fails must leave the setting as it was.
    bool multiOn = false;
    for (int apply = 0; !cliDone || apply == 0; ++apply) {
        host.Journal.clear();
        host.Tick(9, {6});
        try {
            ApplyAdvertOptions(engine, storage, host);
        } catch (const Error& error) {
            ADD_FAILURE() << "apply " << apply << ": " << error.what();
            continue;
        }
        const char* expected = multiOn ? "Multiple Instances: Successfully Disabled" : kMultiEnabled;
        EXPECT_TRUE(host.Has(std::string("line: ") + expected)) << "apply " << apply << " wanted " << expected;
        multiOn = !multiOn;
    }
    cli.join();
    ASSERT_EQ(runs.size(), static_cast<std::size_t>(kCliRuns));
    bool smileyOn = true;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        SCOPED_TRACE("quorvex-cli run " + std::to_string(i));
        EXPECT_EQ(runs[i].Status, 0) << runs[i].Err;
        if (runs[i].Status != 0)
            continue;
        EXPECT_EQ(runs[i].OutLines(), Lines{smileyOn ? kSmileyDisabled : "Smiley Search: Successfully Enabled"});
        smileyOn = !smileyOn;
    }
    EXPECT_EQ(engine.CheckMulti(), multiOn);
    EXPECT_EQ(engine.CheckSmiley(), smileyOn);
}

TEST_F(Cli, PreconditionsPrintTheWorkflowsMessages)
{
    const TCliRun wrongFolder = Run({"adverts", "--folder", "C:\\Program Files\\Nowhere", "main"});
    EXPECT_EQ(wrongFolder.Status, 1);
    EXPECT_EQ(wrongFolder.Out, "");
    EXPECT_EQ(wrongFolder.Err, std::string(kMessengerNotFound) + "\n");
    ExpectUntouched();

    Reinstall(Messenger("12.0.0.1", false));
    const TCliRun nothingAvailable = Run({"adverts", "all"});
    EXPECT_EQ(nothingAvailable.Status, 1);
    EXPECT_EQ(nothingAvailable.Err, std::string(kNoOptionTicked) + "\n");
    ExpectUntouched();

    Reinstall();
    ASSERT_EQ(Run({"adverts", "banner"}).Status, 0);
    const std::vector<std::uint8_t> patched = ReadBytes(prefix.Executable());
    const TCliRun cleanWrongFolder = Run({"clean", "--folder", "C:\\Nowhere", "backup"});
    EXPECT_EQ(cleanWrongFolder.Status, 1);
    EXPECT_EQ(cleanWrongFolder.Out, "");
    EXPECT_EQ(cleanWrongFolder.Err,
              "Yahoo Messenger is not located at the path specified. Enter the correct path to Yahoo Messenger in the "
              "Advert Options tab and try again.\n");
    EXPECT_TRUE(ReadBytes(prefix.Executable()) == patched);
    EXPECT_TRUE(fs::exists(Backup()));
}

TEST_F(Cli, ARunningMessengerRefusesTheRun)
{
    const std::string friendList = ReadText(Skin("FriendList"));
    const TRunningMessenger running;

    const TCliRun run = Run({"ui", "insider"});

    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, std::string(kMessengerRunning) + "\n");
    EXPECT_EQ(ReadText(Skin("FriendList")), friendList);
}

// An error ends the run midway: the lines so far on standard output, the
// message as the application error report shows it on standard error.
TEST_F(Cli, AnErrorMidwayEndsTheRunWithItsReport)
{
    fs::remove_all(Skin("IMWindow").parent_path());
    const TCliRun missingSkinFolder = Run({"adverts", "banner", "statusbar"});
    EXPECT_EQ(missingSkinFolder.Status, 3);
    EXPECT_EQ(missingSkinFolder.OutLines(), (Lines{kBackupCreated, "Change Room Banner: Successfully Patched"}));
    EXPECT_THAT(missingSkinFolder.Err, StartsWith("Cannot create file \""));
    EXPECT_THAT(missingSkinFolder.Err, HasSubstr("IMWindow/IMWindow.xml\". No such file or directory.\n"));
    EXPECT_TRUE(ReadBytes(prefix.Executable()) == prefix.Image.Bytes) << "nothing saved";

    // Exists, but cannot be read.
    fs::remove(prefix.Executable());
    fs::create_symlink("/proc/self/mem", prefix.Executable());
    const TCliRun unreadable = Run({"adverts", "multi"});
    EXPECT_EQ(unreadable.Status, 3);
    EXPECT_EQ(unreadable.Out, "");
    EXPECT_EQ(unreadable.Err, "Unable to load Yahoo Messenger data.\n");
}

struct TUsageCase {
    std::vector<std::string> Arguments;
    std::string Problem;
};

class CliUsage : public Cli, public ::testing::WithParamInterface<TUsageCase> {};

TEST_P(CliUsage, IsRefusedWithTheProblemAndTheUsage)
{
    const TCliRun run = Run(GetParam().Arguments);
    EXPECT_EQ(run.Status, 2);
    EXPECT_EQ(run.Out, "");
    EXPECT_THAT(run.Err, StartsWith("quorvex-cli: " + GetParam().Problem + "\n"));
    EXPECT_THAT(run.Err, HasSubstr("\nUsage:\n"));
    ExpectUntouched();
}

INSTANTIATE_TEST_SUITE_P(
    Words, CliUsage,
    ::testing::Values(
        TUsageCase{{}, "name a command"},
        TUsageCase{{"patch", "all"}, "unknown command \"patch\""},
        TUsageCase{{"adverts"}, "name at least one option"},
        TUsageCase{{"adverts", "--folder", "C:\\Y"}, "name at least one option"},
        TUsageCase{{"adverts", "main", "nine"}, "\"nine\" is none of the advert options (0 to 8, a name or all)"},
        TUsageCase{{"adverts", "9"}, "\"9\" is none of the advert options (0 to 8, a name or all)"},
        TUsageCase{{"ui", "-1"}, "\"-1\" is none of the UI options (0 to 8, a name or all)"},
        TUsageCase{{"ui", "banner"}, "\"banner\" is none of the UI options (0 to 8, a name or all)"},
        TUsageCase{{"clean", "3"}, "\"3\" is none of the clean options (0 to 2, a name or all)"},
        TUsageCase{{"clean", "01x"}, "\"01x\" is none of the clean options (0 to 2, a name or all)"},
        TUsageCase{{"adverts", "--color", "33669", "main"}, "--color needs six hexadecimal digits RRGGBB"},
        TUsageCase{{"adverts", "--color", "GG0000", "main"}, "--color needs six hexadecimal digits RRGGBB"},
        TUsageCase{{"adverts", "main", "--color"}, "--color needs a value"},
        TUsageCase{{"ui", "--color", "FFFFFF", "insider"}, "unknown option \"--color\" for this command"},
        TUsageCase{{"clean", "--json", "ui"}, "unknown option \"--json\" for this command"},
        TUsageCase{{"status", "main"}, "status takes no options to apply"},
        TUsageCase{{"status", "--folder"}, "--folder needs a value"},
        TUsageCase{{"--version", "status"}, "--version takes nothing more"}));

TEST_F(Cli, HelpAndVersion)
{
    const TCliRun help = Run({"adverts", "--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_EQ(help.Err, "");
    EXPECT_THAT(help.Out, StartsWith("Usage:\n"));
    EXPECT_THAT(help.Out, HasSubstr("0=main 1=banner 2=chat 3=webcam 4=video 5=statusbar 6=multi 7=autostart 8=smiley"));
    EXPECT_THAT(help.Out, HasSubstr("--prefix DIR"));

    const TCliRun version = Run({"--version"});
    EXPECT_EQ(version.Status, 0);
    EXPECT_EQ(version.Out, std::string("Quorvex ") + config::kVersion + "\n") << "as quorvex --version prints it";
}

// status --json against installations: every field, each list's rows.
struct TStatusCase {
    const char* Name;
    TFakeMessengerOptions Messenger;
    QJsonValue MajorVersion;
    const char* Adverts;  // per row, '1' where it can be ticked now
    const char* UI;
    const char* Clean;
};

QJsonObject ParsedObject(const std::string& text)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << " in " << text;
    EXPECT_TRUE(document.isObject());
    return document.object();
}

std::string Availability(const QJsonArray& rows)
{
    std::string marks;
    for (const QJsonValue& row : rows)
        marks += row[QStringLiteral("available")].toBool() ? '1' : '0';
    return marks;
}

class CliStatus : public Cli, public ::testing::WithParamInterface<TStatusCase> {};

TEST_P(CliStatus, JsonDescribesTheInstallation)
{
    const TStatusCase& c = GetParam();
    Reinstall(c.Messenger);
    const TCliRun run = Run({"status", "--json"});
    ASSERT_EQ(run.Status, 0);
    EXPECT_EQ(run.Err, "");
    const QJsonObject status = ParsedObject(run.Out);

    EXPECT_EQ(status[QStringLiteral("prefix")].toString().toStdString(), prefix.Path().string());
    EXPECT_EQ(status[QStringLiteral("folder")].toString(), QStringLiteral("C:\\Program Files\\Yahoo!\\Messenger"));
    EXPECT_EQ(status[QStringLiteral("executableFound")], QJsonValue(true));
    const std::string version = c.Messenger.Version.empty() ? "0.0.0.0" : c.Messenger.Version;
    EXPECT_EQ(status[QStringLiteral("version")].toString().toStdString(), version);
    EXPECT_EQ(status[QStringLiteral("majorVersion")], c.MajorVersion);
    EXPECT_EQ(status[QStringLiteral("running")], QJsonValue(false));
    EXPECT_EQ(status[QStringLiteral("backup")], QJsonValue(false));
    EXPECT_EQ(status[QStringLiteral("htmlReplacementFile")], QJsonValue(false));
    const QJsonObject lists = status[QStringLiteral("lists")].toObject();
    EXPECT_EQ(Availability(lists[QStringLiteral("adverts")].toArray()), c.Adverts);
    EXPECT_EQ(Availability(lists[QStringLiteral("ui")].toArray()), c.UI);
    EXPECT_EQ(Availability(lists[QStringLiteral("clean")].toArray()), c.Clean);
}

INSTANTIATE_TEST_SUITE_P(
    Messengers, CliStatus,
    ::testing::Values(TStatusCase{"Version10", Messenger("10.0.0.1270"), 10, "111111111", "111111111", "001"},
                      TStatusCase{"Version9NoAutoStart", Messenger("9.0.0.2162", false), 9, "111110100",
                                  "000000000", "000"},
                      TStatusCase{"NoMessenger", Messenger(""), 0, "000000000", "000000000", "000"},
                      TStatusCase{"VersionWithoutANumber", Messenger("abc.1.0.0"), QJsonValue::Null, "000000010",
                                  "000000000", "000"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(Cli, StatusFollowsAnApplyAndNamesEachRowWithItsReason)
{
    ASSERT_EQ(Run({"adverts", "banner"}).Status, 0);
    const QJsonObject status = ParsedObject(Run({"status", "--json"}).Out);
    EXPECT_EQ(status[QStringLiteral("backup")], QJsonValue(true));
    EXPECT_EQ(status[QStringLiteral("htmlReplacementFile")], QJsonValue(true));

    Reinstall(Messenger("9.0.0.2162"));
    const QJsonArray adverts = ParsedObject(Run({"status", "--json"}).Out)[QStringLiteral("lists")]
                                   .toObject()[QStringLiteral("adverts")]
                                   .toArray();
    ASSERT_EQ(adverts.size(), 9);
    const QJsonObject statusBar = adverts[5].toObject();
    EXPECT_EQ(statusBar[QStringLiteral("index")], QJsonValue(5));
    EXPECT_EQ(statusBar[QStringLiteral("name")], QJsonValue(QStringLiteral("statusbar")));
    EXPECT_EQ(statusBar[QStringLiteral("reason")],
              QJsonValue(QStringLiteral("the installed Yahoo Messenger 9.0.0.2162 is not version 10 or 11")));

    const TCliRun text = Run({"status"});
    EXPECT_EQ(text.Status, 0);
    EXPECT_THAT(text.Out, HasSubstr("\nversion: 9.0.0.2162\nmajor version: 9\nrunning: no\nbackup: no\n"));
    EXPECT_THAT(text.Out, HasSubstr("\n  5 statusbar: not available, the installed Yahoo Messenger 9.0.0.2162 is not "
                                    "version 10 or 11\n  6 multi: available\n"));
}

// Any folder name comes back intact from the JSON, and --prefix wins over
// the environment.
TEST_F(Cli, StatusJsonEscapesAnyFolderAndFollowsThePrefixOption)
{
    const TTempFolder empty;
    const TScopedEnv elsewhere("WINEPREFIX", empty.Path().string());
    const std::string folder = "C:\\a \"quoted\"\tfolder\x01/caf\xc3\xa9 \xff end";

    const TCliRun run = Run({"status", "--json", "--prefix", prefix.Path().string(), "--folder", folder});

    ASSERT_EQ(run.Status, 0);
    const QJsonObject status = ParsedObject(run.Out);
    EXPECT_EQ(status[QStringLiteral("folder")].toString(),
              QString::fromUtf8("C:\\a \"quoted\"\tfolder\x01/caf\xc3\xa9 \xef\xbf\xbd end"));
    EXPECT_EQ(status[QStringLiteral("prefix")].toString().toStdString(), prefix.Path().string());
    EXPECT_EQ(status[QStringLiteral("version")], QJsonValue(QStringLiteral("10.0.0.1270")));
    EXPECT_EQ(status[QStringLiteral("executableFound")], QJsonValue(false));
}

// A registry file that cannot be read (here a pipe with no writer, which
// must not hold status up) is named with the system's reason, in both forms.
TEST_F(Cli, StatusNamesEachRegistryFileThatCannotBeRead)
{
    const fs::path userReg = prefix.Path() / "user.reg";
    fs::remove(userReg);
    ASSERT_EQ(::mkfifo(userReg.c_str(), 0600), 0);
    const std::string problem = "Cannot open file \"" + userReg.string() + "\". Not a regular file (a pipe)";

    const TCliRun text = Run({"status", "--prefix", prefix.Path().string()});
    ASSERT_EQ(text.Status, 0) << text.Err;
    EXPECT_NE(text.Out.find("\nregistry file unreadable: " + problem + "\n"), std::string::npos) << text.Out;

    const TCliRun json = Run({"status", "--json", "--prefix", prefix.Path().string()});
    ASSERT_EQ(json.Status, 0) << json.Err;
    const QJsonArray problems = ParsedObject(json.Out)[QStringLiteral("registryFileProblems")].toArray();
    ASSERT_EQ(problems.size(), 1);
    EXPECT_EQ(problems[0].toString().toStdString(), problem);

    fs::remove(userReg);
    EXPECT_EQ(Run({"status", "--prefix", prefix.Path().string()}).Out.find("registry file"), std::string::npos);
}

// The one rule for which messenger to work on, through quorvex-cli status.
class CliLocation : public ::testing::TestWithParam<TLocationCase> {};

std::string ReasonWord(TPrefixReason reason)
{
    switch (reason) {
    case TPrefixReason::Given: return "given";
    case TPrefixReason::Environment: return "environment";
    case TPrefixReason::Default: return "default";
    case TPrefixReason::FrontEnd: return "front-end";
    case TPrefixReason::Folder: return "folder";
    }
    return "?";
}

TEST_P(CliLocation, StatusNamesThePrefixWhyAndTheFolderAndReadsTheVersionThere)
{
    const TLocationCase& c = GetParam();
    const TLocationHome home(c);
    const TTempFolder working;
    std::vector<std::string> arguments{"status", "--json"};
    if (*c.Given)
        arguments.insert(arguments.end(), {"--prefix", home.Path(c.Given).string()});
    if (*c.Folder)
        arguments.insert(arguments.end(), {"--folder", home.Text(c.Folder)});

    const TCliRun run = RunCli(arguments, working.Path());

    ASSERT_EQ(run.Status, 0) << run.Err;
    const QJsonObject status = ParsedObject(run.Out);
    EXPECT_EQ(status[QStringLiteral("prefix")].toString().toStdString(), home.Path(c.ExpectedPrefix).string());
    EXPECT_EQ(status[QStringLiteral("prefixChosen")].toString().toStdString(), ReasonWord(c.ExpectedReason));
    EXPECT_EQ(status[QStringLiteral("folder")].toString().toStdString(), home.Text(c.ExpectedFolder));
    EXPECT_EQ(status[QStringLiteral("version")].toString().toStdString(), ExpectedVersion(home));
    EXPECT_EQ(status[QStringLiteral("executableFound")], QJsonValue(ExpectedExecutableFound(home)));
    EXPECT_EQ(status.contains(QStringLiteral("prefixProblem")), c.ExpectedState != TPrefixState::Usable);
}

INSTANTIATE_TEST_SUITE_P(Cases, CliLocation, ::testing::ValuesIn(LocationCases()),
                         [](const auto& info) { return std::string(info.param.Name); });

// An apply on a native folder inside another prefix works there: its
// executable, its registry, its drive C:; the environment's prefix is left
// as it was.
TEST(CliLocationApply, ANativeFolderInAnotherPrefixIsPatchedThere)
{
    const TLocationCase& moves = LocationCase("NativeFolderMovesToItsPrefix");
    const TLocationHome home(moves);
    const TTempFolder working;
    const fs::path lutris = home.Path("Games/yim");
    CreateFakeMessenger(lutris, Messenger("10.0.0.1270"));  // a build whose adverts are known
    const fs::path executable = lutris / "drive_c/Program Files/Yahoo!/Messenger/YahooMessenger.exe";
    const std::vector<std::uint8_t> before = ReadBytes(executable);
    const std::string envUserReg = ReadText(home.Path("env/user.reg"));

    const TCliRun run = RunCli({"adverts", "--folder", home.Text(moves.Folder), "banner", "smiley"}, working.Path());

    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_FALSE(ReadBytes(executable) == before) << "patched in place";
    EXPECT_TRUE(fs::exists(lutris / "drive_c" / "BlankQuorvex.html"));
    EXPECT_FALSE(fs::exists(home.Path("env/drive_c/BlankQuorvex.html")));
    EXPECT_THAT(ReadText(lutris / "user.reg"), Not(HasSubstr("\"SmileySearch\"")));
    EXPECT_EQ(ReadText(home.Path("env/user.reg")), envUserReg);
}

// What the text form says about the prefix: why it is the one, and what is
// wrong with it in place of a version.
TEST(CliLocationText, SaysWhyThePrefixAndWhatIsWrongWithIt)
{
    const TLocationCase& foundInLutris = LocationCase("FrontEndWhenTheEnvironmentsHoldsNone");
    const TLocationHome lutris(foundInLutris);
    const TTempFolder working;
    const TCliRun found = RunCli({"status"}, working.Path());
    EXPECT_THAT(found.Out, StartsWith("prefix: " + lutris.Path("Games/yim").string() +
                                      "\nprefix chosen: found in a Wine front-end's folder\n"));

    const TCliRun missing = RunCli({"status", "--prefix", (working.Path() / "none").string()}, working.Path());
    EXPECT_EQ(missing.Status, 0);
    EXPECT_THAT(missing.Out, HasSubstr("\nprefix chosen: given with --prefix\n"));
    EXPECT_THAT(missing.Out, HasSubstr("\nexecutable found: no\nversion: No Wine prefix at " +
                                       (working.Path() / "none").string() + "\n"));

    fs::create_directories(working.Path() / "half" / "drive_c");
    const TCliRun half = RunCli({"status", "--prefix", (working.Path() / "half").string()}, working.Path());
    EXPECT_THAT(half.Out, HasSubstr("\nversion: " + (working.Path() / "half").string() + " is not a Wine prefix\n"));
}

}  // namespace
}  // namespace quorvex::test
