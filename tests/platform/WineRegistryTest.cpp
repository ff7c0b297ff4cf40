#include "platform/Error.h"
#include "platform/wine/ProcFs.h"
#include "platform/wine/WinePrefix.h"
#include "platform/wine/WineRegistry.h"
#include "tests/fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace quorvex {
namespace {

using test::Replaced;

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::TFakePrefix;

constexpr const char* kPager = "Software\\yahoo\\pager";

std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const RegistryError& error) {
        return error.what();
    }
    return "no error";
}

TEST(WineRegistry, KeysOpenOnlyWhenTheyExist)
{
    TFakePrefix prefix;
    const TWineRegistry registry;
    EXPECT_NE(registry.OpenKey(TRootKey::CurrentUser, "SOFTWARE\\Yahoo\\Pager", TKeyAccess::ReadWrite), nullptr);
    EXPECT_NE(registry.OpenKey(TRootKey::CurrentUser, "Software\\yahoo\\pager\\Test", TKeyAccess::Read), nullptr);
    EXPECT_EQ(registry.OpenKey(TRootKey::CurrentUser, "Software\\yahoo\\pager\\Missing", TKeyAccess::Read), nullptr);
    EXPECT_EQ(registry.OpenKey(TRootKey::CurrentUser, "Software\\yah", TKeyAccess::Read), nullptr);

    test::TScopedEnv nowhere("WINEPREFIX", (prefix.Path() / "missing").string());
    EXPECT_EQ(registry.OpenKey(TRootKey::CurrentUser, kPager, TKeyAccess::Read), nullptr);
    EXPECT_EQ(registry.OpenKey(TRootKey::LocalMachine, kPager, TKeyAccess::Read), nullptr);
}

TEST(WineRegistry, MachineSoftwareIsSeenAsA32BitProgramSeesIt)
{
    for (const bool win64 : {false, true}) {
        SCOPED_TRACE(win64 ? "win64" : "win32");
        TFakeMessengerOptions options;
        options.Win64 = win64;
        options.Version = "11.0.0.2009";
        TFakePrefix prefix(options);
        const auto key = TWineRegistry().OpenKey(TRootKey::LocalMachine, "SOFTWARE\\yahoo\\pager", TKeyAccess::Read);
        ASSERT_NE(key, nullptr);
        EXPECT_EQ(key->ReadString("ProductVersion"), "11.0.0.2009");
    }
}

TEST(WineRegistry, ReadsCheckTheValueType)
{
    TFakeMessengerOptions options;
    options.LaunchOnStartup = -1;
    TFakePrefix prefix(options);
    const auto key = TWineRegistry().OpenKey(TRootKey::CurrentUser, kPager, TKeyAccess::Read);
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(key->ValueExists("launch on startup"));
    EXPECT_FALSE(key->ValueExists("Plural"));
    EXPECT_EQ(key->ReadInteger("Launch on Startup"), -1);
    EXPECT_EQ(key->ReadString("Version"), "10.0.0.1270");
    EXPECT_EQ(key->ReadString("Missing"), "");
    EXPECT_EQ(ErrorOf([&] { key->ReadInteger("Version"); }), "Invalid data type for \"Version\"");
    EXPECT_EQ(ErrorOf([&] { key->ReadString("SmileySearch"); }), "Invalid data type for \"SmileySearch\"");
    EXPECT_EQ(ErrorOf([&] { key->ReadInteger("Missing"); }), "Failed to get data for \"Missing\"");
}

TEST(WineRegistry, ChangesRewriteOnlyTheirLinesAndAreSeenAtOnce)
{
    TFakeMessengerOptions options;
    TFakePrefix prefix(options);
    const fs::path userReg = prefix.Path() / "user.reg";
    const std::string before = test::ReadText(userReg);
    const TWineRegistry registry;

    const auto pager = registry.OpenKey(TRootKey::CurrentUser, kPager, TKeyAccess::ReadWrite);
    const auto test = registry.OpenKey(TRootKey::CurrentUser, "Software\\yahoo\\pager\\Test", TKeyAccess::ReadWrite);
    ASSERT_NE(pager, nullptr);
    ASSERT_NE(test, nullptr);
    pager->WriteInteger("Launch on Startup", 0);
    EXPECT_EQ(pager->ReadInteger("Launch on Startup"), 0);
    EXPECT_TRUE(pager->DeleteValue("smileysearch"));
    EXPECT_FALSE(pager->ValueExists("SmileySearch"));
    EXPECT_FALSE(pager->DeleteValue("SmileySearch"));
    test->WriteInteger("Plural", 1);
    EXPECT_EQ(test->ReadInteger("Plural"), 1);

    std::string expected = Replaced(before, "\"Launch on Startup\"=dword:00000001", "\"Launch on Startup\"=dword:00000000");
    expected = Replaced(expected, "\"SmileySearch\"=dword:00000001\n", "");
    expected = Replaced(expected, "[Software\\\\yahoo\\\\pager\\\\Test] 1700000000\n#time=1d9f2a3b4c5d6e7\n",
                        "[Software\\\\yahoo\\\\pager\\\\Test] 1700000000\n#time=1d9f2a3b4c5d6e7\n\"Plural\"=dword:00000001\n");
    EXPECT_EQ(test::ReadText(userReg), expected);

    // A key opened afresh reads what was written.
    const auto again = registry.OpenKey(TRootKey::CurrentUser, "Software\\yahoo\\pager\\Test", TKeyAccess::Read);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->ReadInteger("Plural"), 1);
}

// The bytes that this process has read from files so far, as the kernel
// counts them; empty where it does not.
std::optional<std::uint64_t> BytesReadSoFar()
{
    std::ifstream io("/proc/self/io");
    std::string name;
    std::uint64_t count = 0;
    while (io >> name >> count) {
        if (name == "rchar:")
            return count;
    }
    return std::nullopt;
}

TEST(WineRegistry, ItsOwnWriteIsNotReadBackYetAnotherProgramsWriteAfterItIsSeen)
{
    const struct {
        const char* name;
        std::function<void(const fs::path&, const std::string&)> change;
    } others[] = {
        {"replaced by rename",
         [](const fs::path& file, const std::string& text) {
             test::WriteText(file.parent_path() / "other.reg", text);
             fs::rename(file.parent_path() / "other.reg", file);
         }},
        {"rewritten in place", [](const fs::path& file, const std::string& text) { test::WriteText(file, text); }},
    };
    for (const auto& other : others) {
        SCOPED_TRACE(other.name);
        TFakeMessengerOptions options;
        options.UserRegistryPadding = std::size_t{1} << 20;
        TFakePrefix prefix(options);
        const fs::path userReg = prefix.Path() / "user.reg";
        const TWineRegistry registry;
        registry.OpenKey(TRootKey::CurrentUser, kPager, TKeyAccess::ReadWrite)->WriteInteger("Launch on Startup", 0);

        const auto before = BytesReadSoFar();
        ASSERT_TRUE(before.has_value()) << "the kernel does not count the bytes read";
        EXPECT_EQ(registry.OpenKey(TRootKey::CurrentUser, kPager, TKeyAccess::Read)->ReadInteger("Launch on Startup"), 0);
        EXPECT_LT(BytesReadSoFar().value_or(0) - *before, fs::file_size(userReg) / 2) << "user.reg was read back";

        other.change(userReg, Replaced(test::ReadText(userReg), "\"Launch on Startup\"=dword:00000000",
                                       "\"Launch on Startup\"=dword:00000007"));
        EXPECT_EQ(registry.OpenKey(TRootKey::CurrentUser, kPager, TKeyAccess::Read)->ReadInteger("Launch on Startup"), 7);
    }
}

TEST(WineRegistry, AKeyWithOnlyKeysBelowItOpensAndGetsItsSectionWhenWritten)
{
    TFakePrefix prefix;
    const fs::path userReg = prefix.Path() / "user.reg";
    // As Wine saves a key whose last value went while a key below it stayed.
    const std::string before = Replaced(test::ReadText(userReg), "[Software\\\\yahoo\\\\pager\\\\Test] ",
                                        "[Software\\\\yahoo\\\\pager\\\\Test\\\\Window] ");
    test::WriteText(userReg, before);

    const auto key = TWineRegistry().OpenKey(TRootKey::CurrentUser, "software\\YAHOO\\pager\\test", TKeyAccess::ReadWrite);
    ASSERT_NE(key, nullptr);
    EXPECT_FALSE(key->ValueExists("Plural"));
    EXPECT_FALSE(key->DeleteValue("Plural"));
    EXPECT_EQ(test::ReadText(userReg), before);

    const auto start = std::chrono::system_clock::now();
    key->WriteInteger("Plural", 1);
    EXPECT_EQ(key->ReadInteger("Plural"), 1);
    const std::string after = test::ReadText(userReg);
    const std::size_t header = after.find("\n[Software\\\\yahoo\\\\pager\\\\Test] ");
    ASSERT_NE(header, std::string::npos) << after;
    const std::size_t below = after.find("[Software\\\\yahoo\\\\pager\\\\Test\\\\Window] ");
    const std::string section = after.substr(header + 1, below - header - 1);
    unsigned seconds = 0;
    unsigned long long ticks = 0;
    ASSERT_EQ(std::sscanf(section.c_str(), "[Software\\\\yahoo\\\\pager\\\\Test] %u\n#time=%llx\n", &seconds, &ticks), 2)
        << section;
    EXPECT_GE(seconds, static_cast<unsigned>(std::chrono::duration_cast<std::chrono::seconds>(
                                                 start.time_since_epoch()).count()));
    EXPECT_EQ(ticks / 10000000 - 11644473600ULL, seconds);
    EXPECT_TRUE(section.ends_with("\n\"Plural\"=dword:00000001\n\n")) << section;
    EXPECT_EQ(Replaced(after, section, ""), before);  // nothing else changed
}

// Keys and values named beyond ASCII open, read and write under any case of
// their letters, as Wine finds them: a write under another spelling changes
// the value where it is, under the spelling it has.
TEST(WineRegistry, NamesBeyondAsciiAreTheSameInEitherCase)
{
    TFakePrefix prefix;
    const fs::path userReg = prefix.Path() / "user.reg";
    const std::string line = "\"\\x00d1ame\"=dword:00000001\n";
    test::WriteText(userReg, test::ReadText(userReg) + "\n[Software\\\\Caf\\xe9\\\\\\x416] 1\n" + line);
    const std::string before = test::ReadText(userReg);
    const struct {
        const char* key;
        const char* value;
    } spellings[] = {
        {"Software\\Caf\u00e9\\\u0416", "\u00d1ame"},  // as in the file
        {"SOFTWARE\\CAF\u00c9\\\u0436", "\u00f1AME"},
        {"software\\caf\u00c9\\\u0416", "\u00f1ame"},
    };
    const TWineRegistry registry;
    std::int32_t data = 1;
    for (const auto& written : spellings) {
        SCOPED_TRACE(std::string(written.key) + " " + written.value);
        const auto key = registry.OpenKey(TRootKey::CurrentUser, written.key, TKeyAccess::ReadWrite);
        ASSERT_NE(key, nullptr);
        key->WriteInteger(written.value, ++data);
        EXPECT_EQ(test::ReadText(userReg),
                  Replaced(before, line, "\"\\x00d1ame\"=dword:0000000" + std::to_string(data) + "\n"));
        for (const auto& read : spellings) {
            const auto again = registry.OpenKey(TRootKey::CurrentUser, read.key, TKeyAccess::Read);
            ASSERT_NE(again, nullptr) << read.key;
            EXPECT_EQ(again->ReadInteger(read.value), data) << read.key << " " << read.value;
        }
    }
    EXPECT_EQ(registry.OpenKey(TRootKey::CurrentUser, "Software\\Cafe\\\u0416", TKeyAccess::Read), nullptr);
}

// A registry file that cannot be read opens no key, as a missing one, and
// says why.
TEST(WineRegistry, RegistryFileErrorsNameEachFileThatCannotBeRead)
{
    TFakePrefix prefix;
    EXPECT_TRUE(RegistryFileErrors(prefix.Path()).empty());
    const fs::path userReg = prefix.Path() / "user.reg";
    fs::remove(userReg);
    ASSERT_EQ(::mkfifo(userReg.c_str(), 0600), 0);
    EXPECT_EQ(RegistryFileErrors(prefix.Path()),
              std::vector<std::string>{"Cannot open file \"" + userReg.string() + "\". Not a regular file (a pipe)"});
    EXPECT_EQ(TWineRegistry().OpenKey(TRootKey::CurrentUser, kPager, TKeyAccess::Read), nullptr);
    EXPECT_NE(TWineRegistry().OpenKey(TRootKey::LocalMachine, "Software\\yahoo\\pager", TKeyAccess::Read), nullptr);
    fs::remove(userReg);
    EXPECT_TRUE(RegistryFileErrors(prefix.Path()).empty()) << "a missing file is no prefix's error";
}

TEST(WineRegistry, AReadOnlyRegistryFileOpensForReadingOnly)
{
    TFakePrefix prefix;
    fs::permissions(prefix.Path() / "user.reg", fs::perms::owner_read);
    const TWineRegistry registry;
    EXPECT_EQ(registry.OpenKey(TRootKey::CurrentUser, kPager, TKeyAccess::ReadWrite), nullptr);
    EXPECT_NE(registry.OpenKey(TRootKey::CurrentUser, kPager, TKeyAccess::Read), nullptr);
}

TEST(WineRegistry, AKeyRemovedFromTheFileAfterOpeningMakesTheWriteFail)
{
    TFakePrefix prefix;
    const auto key = TWineRegistry().OpenKey(TRootKey::CurrentUser, "Software\\yahoo\\pager\\Test", TKeyAccess::ReadWrite);
    ASSERT_NE(key, nullptr);
    const fs::path userReg = prefix.Path() / "user.reg";
    const std::string without = Replaced(test::ReadText(userReg), "[Software\\\\yahoo\\\\pager\\\\Test]", "[Other]");
    test::WriteText(userReg, without);
    EXPECT_EQ(ErrorOf([&] { key->WriteInteger("Plural", 1); }), "Failed to set data for \"Plural\". The key no longer exists.");
    EXPECT_EQ(test::ReadText(userReg), without);
}

// Where a fake wineserver keeps its server folder, and how it shows itself.
enum class TServerKind {
    LockInTmp,      // in a /tmp/wine-XXXXXX folder, holding the write lock on its "lock" file
    ProcessOnly,    // in a folder the check does not look into: found by its lock, name and working folder
};

// A process that looks like the prefix's wineserver to the check: named
// "wineserver" (or as given), working in the server folder named after the
// prefix and, for LockInTmp, holding the lock there; run as another user
// where one is given (the test must run as the superuser).
class TFakeWineserver {
public:
    TFakeWineserver(const fs::path& prefix, const std::string& seconds, TServerKind kind = TServerKind::LockInTmp,
                    const std::string& name = "wineserver", bool holdLock = true,
                    std::optional<uid_t> user = std::nullopt)
        : name_(name)
    {
        std::string pattern = "/tmp/wine-XXXXXX";
        parent_ = kind == TServerKind::LockInTmp ? fs::path(::mkdtemp(pattern.data())) : scratch_.Path();
        folder_ = parent_ / ServerFolderName(prefix);
        fs::create_directories(folder_);
        test::WriteText(folder_ / "lock", "");
        const fs::path program = scratch_.Path() / name;
        fs::copy_file("/bin/sleep", program, fs::copy_options::overwrite_existing);
        const fs::path lock = holdLock ? folder_ / "lock" : fs::path();
        if (!user) {
            process_.emplace(program.string(), std::vector<std::string>{name, seconds}, folder_, lock);
            return;
        }
        fs::permissions(scratch_.Path(), fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
        const std::string id = std::to_string(*user);
        process_.emplace("/usr/bin/setpriv",
                         std::vector<std::string>{"setpriv", "--reuid=" + id, "--regid=" + id, "--clear-groups",
                                                  program.string(), seconds},
                         folder_, lock);
    }
    ~TFakeWineserver()
    {
        process_.reset();
        if (parent_ != scratch_.Path())
            fs::remove_all(parent_);
    }

    // Its program runs (so a lock it holds is taken): a process of its name
    // works in its folder.
    bool Started() const
    {
        return AnyProcess([this](const TProcessInfo& process) {
            return process.Name() == name_ && process.WorkingFolder() == folder_;
        });
    }
    const fs::path& Folder() const { return folder_; }
    const fs::path& Parent() const { return parent_; }
    void Kill() { process_->Kill(); }

private:
    std::string name_;
    test::TTempFolder scratch_;
    fs::path parent_;
    fs::path folder_;
    std::optional<test::TChildProcess> process_;
};

bool WaitUntil(const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!condition() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    return condition();
}

TEST(WineserverCheck, TheLockInAServerFolderOfThisUserDecides)
{
    struct TCase {
        const char* name;
        std::string process;
        bool holdLock;
        fs::perms folderPermissions;
        bool running;
    };
    const TCase cases[] = {
        {"a lock held by any process", "sleeper", true, fs::perms::owner_all, true},
        {"a stale folder beside a wineserver process", "wineserver", false, fs::perms::owner_all, false},
        {"a folder that others may change", "sleeper", true, fs::perms::all, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TFakePrefix prefix;
        TFakeWineserver server(prefix.Path(), "60", TServerKind::LockInTmp, c.process, c.holdLock);
        fs::permissions(server.Folder(), c.folderPermissions);
        ASSERT_TRUE(WaitUntil([&] { return server.Started(); }));
        EXPECT_EQ(WineserverRunning(prefix.Path()), c.running);
        server.Kill();
        EXPECT_FALSE(WineserverRunning(prefix.Path()));
    }
}

TEST(WineserverCheck, AnotherUsersWineserverProcessIsIgnored)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only the superuser can start a process as another user";
    const struct {
        const char* name;
        std::optional<uid_t> user;
        bool running;
    } cases[] = {
        {"this user's", std::nullopt, true},
        {"another user's", ::getuid() + 4321, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TFakePrefix prefix;
        // In no server folder of this user's: the processes decide.
        TFakeWineserver server(prefix.Path(), "60", TServerKind::ProcessOnly, "wineserver", true, c.user);
        ASSERT_TRUE(WaitUntil([&] { return server.Started(); }));
        EXPECT_EQ(WineserverRunning(prefix.Path()), c.running);
    }
}

TEST(WineRegistry, ChangesWhileThePrefixsWineserverRunsFailWithoutLosingAnything)
{
    for (const TServerKind kind : {TServerKind::LockInTmp, TServerKind::ProcessOnly}) {
        SCOPED_TRACE(kind == TServerKind::LockInTmp ? "lock" : "process");
        TFakePrefix prefix;
        const fs::path userReg = prefix.Path() / "user.reg";
        const std::string before = test::ReadText(userReg);
        const TWineRegistry registry(200ms);
        const auto key = registry.OpenKey(TRootKey::CurrentUser, kPager, TKeyAccess::ReadWrite);
        ASSERT_NE(key, nullptr);

        TFakeWineserver server(prefix.Path(), "60", kind);
        ASSERT_TRUE(WaitUntil([&] { return WineserverRunning(prefix.Path()); }));
        EXPECT_NE(ErrorOf([&] { key->WriteInteger("Launch on Startup", 0); }).find("wineserver is still running"),
                  std::string::npos);
        EXPECT_TRUE(ErrorOf([&] { key->DeleteValue("SmileySearch"); }).starts_with("Failed to delete \"SmileySearch\". "));
        EXPECT_FALSE(key->DeleteValue("Missing"));  // nothing to change: no wait, no error
        EXPECT_EQ(test::ReadText(userReg), before);
        EXPECT_EQ(key->ReadInteger("Launch on Startup"), 1);

        server.Kill();
        EXPECT_FALSE(WineserverRunning(prefix.Path()));
        key->WriteInteger("Launch on Startup", 0);
        EXPECT_EQ(TWineRegistry().OpenKey(TRootKey::CurrentUser, kPager, TKeyAccess::Read)->ReadInteger("Launch on Startup"), 0);
    }
}

TEST(WineRegistry, AChangeWaitsForTheWineserverToExit)
{
    TFakePrefix prefix;
    const auto key = TWineRegistry(10s).OpenKey(TRootKey::CurrentUser, kPager, TKeyAccess::ReadWrite);
    ASSERT_NE(key, nullptr);
    TFakeWineserver server(prefix.Path(), "0.5");
    ASSERT_TRUE(WaitUntil([&] { return WineserverRunning(prefix.Path()); }));
    const auto start = std::chrono::steady_clock::now();
    key->WriteInteger("SmileySearch", 5);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);
    EXPECT_FALSE(WineserverRunning(prefix.Path()));
    EXPECT_NE(test::ReadText(prefix.Path() / "user.reg").find("\"SmileySearch\"=dword:00000005\n"), std::string::npos);
}

TEST(WineRegistry, ChangesMadeTogetherAreSeenAtOnceAndWrittenAtTheEnd)
{
    TFakePrefix prefix;
    const fs::path userReg = prefix.Path() / "user.reg";
    const std::string before = test::ReadText(userReg);
    const TWineRegistry registry;
    registry.ChangeTogether([&] {
        const auto pager = registry.OpenKey(TRootKey::CurrentUser, kPager, TKeyAccess::ReadWrite);
        const auto run = registry.OpenKey(TRootKey::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                          TKeyAccess::ReadWrite);
        ASSERT_NE(pager, nullptr);
        ASSERT_NE(run, nullptr);
        pager->WriteInteger("Launch on Startup", 0);
        EXPECT_TRUE(run->DeleteValue("Yahoo! Pager"));
        EXPECT_FALSE(run->DeleteValue("Yahoo! Pager"));
        EXPECT_EQ(pager->ReadInteger("Launch on Startup"), 0);
        EXPECT_EQ(registry.OpenKey(TRootKey::CurrentUser, kPager, TKeyAccess::Read)->ReadInteger("Launch on Startup"), 0)
            << "a key opened afterwards sees the change";
        EXPECT_EQ(test::ReadText(userReg), before) << "nothing written before the end";
    });
    std::string expected = Replaced(before, "\"Launch on Startup\"=dword:00000001", "\"Launch on Startup\"=dword:00000000");
    const std::size_t pagerLine = expected.find("\"Yahoo! Pager\"=");
    expected.erase(pagerLine, expected.find('\n', pagerLine) + 1 - pagerLine);
    EXPECT_EQ(test::ReadText(userReg), expected);
}

TEST(WineRegistry, ChangesMadeTogetherThroughOneKeyBuildOnEachOther)
{
    TFakePrefix prefix;
    const fs::path userReg = prefix.Path() / "user.reg";
    const std::string before = test::ReadText(userReg);
    const TWineRegistry registry;
    registry.ChangeTogether([&] {
        const auto pager = registry.OpenKey(TRootKey::CurrentUser, kPager, TKeyAccess::ReadWrite);
        ASSERT_NE(pager, nullptr);
        pager->WriteInteger("Launch on Startup", 0);
        pager->WriteInteger("First", 1);
        EXPECT_FALSE(pager->DeleteValue("Missing"));  // changes nothing, loses nothing
        EXPECT_TRUE(pager->DeleteValue("SmileySearch"));
        pager->WriteInteger("First", 2);
        EXPECT_EQ(pager->ReadInteger("Launch on Startup"), 0);
        EXPECT_EQ(pager->ReadInteger("First"), 2);
        EXPECT_FALSE(pager->ValueExists("SmileySearch"));
        const auto test = registry.OpenKey(TRootKey::CurrentUser, "Software\\yahoo\\pager\\Test", TKeyAccess::ReadWrite);
        ASSERT_NE(test, nullptr);
        test->WriteInteger("Plural", 1);
        EXPECT_EQ(pager->ReadInteger("First"), 2);
    });
    std::string expected = Replaced(before, "\"Launch on Startup\"=dword:00000001", "\"Launch on Startup\"=dword:00000000");
    expected = Replaced(expected, "\"SmileySearch\"=dword:00000001\n", "\"First\"=dword:00000002\n");
    expected = Replaced(expected, "[Software\\\\yahoo\\\\pager\\\\Test] 1700000000\n#time=1d9f2a3b4c5d6e7\n",
                        "[Software\\\\yahoo\\\\pager\\\\Test] 1700000000\n#time=1d9f2a3b4c5d6e7\n\"Plural\"=dword:00000001\n");
    EXPECT_EQ(test::ReadText(userReg), expected);
}

TEST(WineRegistry, ChangesMadeTogetherThatFailWriteNothing)
{
    TFakePrefix prefix;
    const fs::path userReg = prefix.Path() / "user.reg";
    const std::string before = test::ReadText(userReg);
    const TWineRegistry registry(200ms);
    const auto change = [&] {
        registry.OpenKey(TRootKey::CurrentUser, kPager, TKeyAccess::ReadWrite)->WriteInteger("Launch on Startup", 0);
        registry.OpenKey(TRootKey::CurrentUser, kPager, TKeyAccess::ReadWrite)->DeleteValue("SmileySearch");
    };
    EXPECT_EQ(ErrorOf([&] {
                  registry.ChangeTogether([&] {
                      change();
                      throw RegistryError("stopped");
                  });
              }),
              "stopped");
    EXPECT_EQ(test::ReadText(userReg), before);

    TFakeWineserver server(prefix.Path(), "60");
    ASSERT_TRUE(WaitUntil([&] { return WineserverRunning(prefix.Path()); }));
    EXPECT_NE(ErrorOf([&] { registry.ChangeTogether(change); }).find("Failed to set data for \"Launch on Startup\". The Wine prefix is in use"),
              std::string::npos);
    EXPECT_EQ(test::ReadText(userReg), before);
}

TEST(WinePrefix, IsTheEnvironmentsPrefixElseDotWineInHome)
{
    {
        test::TScopedEnv prefix("WINEPREFIX", "/somewhere/prefix");
        EXPECT_EQ(WinePrefix(), fs::path("/somewhere/prefix"));
    }
    test::TScopedEnv noPrefix("WINEPREFIX", std::nullopt);
    test::TScopedEnv home("HOME", "/home/someone");
    EXPECT_EQ(WinePrefix(), fs::path("/home/someone/.wine"));
}

TEST(WinePrefix, AChosenPrefixWinsOverTheEnvironmentUntilCleared)
{
    test::TScopedEnv prefix("WINEPREFIX", "/somewhere/prefix");
    UseWinePrefix("/chosen/prefix");
    EXPECT_EQ(WinePrefix(), fs::path("/chosen/prefix"));
    UseWinePrefix({});
    EXPECT_EQ(WinePrefix(), fs::path("/somewhere/prefix"));
}

}  // namespace
}  // namespace quorvex
