// Quorvex updating itself on a real display, against the update site that
// nginx serves on 127.0.0.1: version N, installed for the current user by
// its installer, finds N+1 at start-up, downloads its installer (signed with
// quorvex-update-sign), verifies and starts it and quits; the installer's
// window is worked as a person would, and then the installed Quorvex is
// N+1. Installers that are not signed, or not by the publisher, are refused
// and never started. The installer waits for a running Quorvex to end.
//
// The installed quorvex.exe is the real program with the test's update
// site and key (QUORVEX_TEST_UPDATE_FILE_URL, QUORVEX_TEST_UPDATE_PUBLIC_KEY);
// self_update.sh makes the keys and signatures (QUORVEX_SELF_UPDATE_KEYS)
// beside the installers of both versions (QUORVEX_SELF_UPDATE_DIR).
#include "tests/ui/win32/WindowDriver.h"
#include "ui/win32/ControlIds.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace quorvex::win32 {
namespace {

namespace fs = std::filesystem;

constexpr char kVersion[] = QUORVEX_VERSION;
constexpr char kNextVersion[] = QUORVEX_NEXT_VERSION;
constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvex";
// The installer's button that goes on (Install, then Close), and how long
// an installer may take.
constexpr int kInstallerNext = 1;
constexpr DWORD kInstallerWait = 60000;

// A value of the installed-programs entry of the current user; empty when
// there is none.
std::string InstalledValue(const wchar_t* name)
{
    wchar_t value[512] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return {};
    std::string text;
    for (const wchar_t* c = value; *c != L'\0'; ++c)
        text += static_cast<char>(*c);
    return text;
}

// The file's version resource (its four numbers); empty without one.
std::string FileVersionOf(const fs::path& file)
{
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), nullptr);
    std::vector<char> data(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (size == 0 || !GetFileVersionInfoW(file.c_str(), 0, size, data.data())
        || !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || fixed == nullptr)
        return {};
    return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)) + "."
           + std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionLS));
}

// A started process of the command line, ended when it still runs at the end.
class TProcess {
public:
    explicit TProcess(std::wstring commandLine, HANDLE output = nullptr)
    {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (output != nullptr) {
            startup.dwFlags = STARTF_USESTDHANDLES;
            startup.hStdOutput = output;
            startup.hStdError = output;
        }
        PROCESS_INFORMATION process{};
        if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, output != nullptr, CREATE_NO_WINDOW, nullptr,
                           nullptr, &startup, &process)) {
            CloseHandle(process.hThread);
            process_ = process.hProcess;
        }
    }
    // The process of the window, to be waited for.
    explicit TProcess(HWND window)
    {
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        process_ = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, id);
    }
    ~TProcess()
    {
        if (process_ == nullptr)
            return;
        if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT)
            TerminateProcess(process_, 99);
        CloseHandle(process_);
    }
    TProcess(const TProcess&) = delete;
    TProcess& operator=(const TProcess&) = delete;

    bool Started() const { return process_ != nullptr; }
    bool EndsWithin(DWORD milliseconds) const { return WaitForSingleObject(process_, milliseconds) == WAIT_OBJECT_0; }
    // The exit code once it has ended within the time, else 99.
    DWORD ExitCode(DWORD milliseconds = kInstallerWait) const
    {
        DWORD code = 99;
        if (process_ != nullptr && EndsWithin(milliseconds))
            GetExitCodeProcess(process_, &code);
        return code;
    }

private:
    HANDLE process_ = nullptr;
};

// What the console program prints with the arguments (at most 64 KB).
std::string OutputOf(const fs::path& program, const std::wstring& arguments)
{
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!CreatePipe(&read, &write, &inherited, 0))
        return "(no pipe)";
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    std::string output;
    {
        const TProcess process(L"\"" + program.wstring() + L"\" " + arguments, write);
        CloseHandle(write);
        char buffer[4096];
        DWORD got = 0;
        while (output.size() < 65536 && ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0)
            output.append(buffer, got);
        process.ExitCode();
    }
    CloseHandle(read);
    return output;
}

// The installer's window of that version: its caption, followed by the
// page's name; nullptr when there is none.
HWND SetupWindow(const std::string& version)
{
    struct TSearch {
        std::wstring caption;
        HWND found = nullptr;
    } search{L"Quorvex " + Wide(version) + L" Setup", nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<TSearch*>(data);
            wchar_t title[256] = {};
            GetWindowTextW(window, title, 256);
            if (IsWindowVisible(window) && std::wstring(title).rfind(s.caption, 0) == 0) {
                s.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Whether the file is N+1's quorvex.exe (the program under test), byte for
// byte. (Not EXPECT_EQ on the bytes: GoogleTest's line difference of two
// executables takes more memory than there is.)
bool IsNextQuorvex(const fs::path& file)
{
    return Bytes(file) == Bytes(gQuorvex);
}

// An executable mapped as a program's image, as a process that has let go
// of its single-instance mutex but not yet ended keeps its own.
class TMappedImage {
public:
    explicit TMappedImage(const fs::path& program)
    {
        file_ = CreateFileW(program.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
        if (file_ == INVALID_HANDLE_VALUE)
            return;
        mapping_ = CreateFileMappingW(file_, nullptr, PAGE_READONLY | SEC_IMAGE, 0, 0, nullptr);
        if (mapping_ != nullptr)
            view_ = MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0);
    }
    ~TMappedImage()
    {
        if (view_ != nullptr)
            UnmapViewOfFile(view_);
        if (mapping_ != nullptr)
            CloseHandle(mapping_);
        if (file_ != INVALID_HANDLE_VALUE)
            CloseHandle(file_);
    }
    TMappedImage(const TMappedImage&) = delete;
    TMappedImage& operator=(const TMappedImage&) = delete;

    bool Mapped() const { return view_ != nullptr; }

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    HANDLE mapping_ = nullptr;
    void* view_ = nullptr;
};

class SelfUpdate : public ::testing::Test {
protected:
    void SetUp() override
    {
        const fs::path peers = FromEnvironment("QUORVEX_UPDATE_PEER_DIR");
        installers_ = FromEnvironment("QUORVEX_SELF_UPDATE_DIR");
        keys_ = FromEnvironment("QUORVEX_SELF_UPDATE_KEYS");
        ASSERT_FALSE(peers.empty() || installers_.empty() || keys_.empty())
            << "QUORVEX_UPDATE_PEER_DIR, QUORVEX_SELF_UPDATE_DIR and QUORVEX_SELF_UPDATE_KEYS name the update site, "
               "the installers and the keys";
        const TSiteFolder site = MakeSiteFolder(peers, "self-update-");
        ASSERT_FALSE(site.Folder.empty()) << "the update site is not running";
        root_ = site.Folder;
        site_ = site.Address;
        const std::string publicKey = Line(keys_ / "public-key");
        ASSERT_FALSE(publicKey.empty());
        SetEnvironmentVariableW(L"QUORVEX_TEST_UPDATE_FILE_URL", Wide(site_ + "QuorvexUpdate.txt").c_str());
        SetEnvironmentVariableW(L"QUORVEX_TEST_UPDATE_PUBLIC_KEY", Wide(publicKey).c_str());

        programs_ = KnownFolder(L"LOCALAPPDATA") / "Programs" / "Quorvex";
        data_ = KnownFolder(L"LOCALAPPDATA") / "Quorvex";
        const TProcess install(L"\"" + Installer(kVersion).wstring() + L"\" /S /CurrentUser");
        ASSERT_EQ(install.ExitCode(), 0u) << "version " << kVersion << " did not install";
        ASSERT_EQ(InstalledValue(L"DisplayVersion"), kVersion);
        ASSERT_EQ(FileVersionOf(programs_ / "quorvex.exe"), kVersion);
    }

    void TearDown() override
    {
        // An installer that a failed test left on the screen.
        if (const HWND setup = SetupWindow(kNextVersion)) {
            const TProcess left(setup);
        }
        if (fs::exists(programs_ / "uninstall.exe")) {
            const TProcess uninstall(L"\"" + (programs_ / "uninstall.exe").wstring() + L"\" /S");
            uninstall.ExitCode();
            // The uninstaller goes on from a copy of itself.
            WaitFor([&] { return !fs::exists(programs_); });
        }
        std::error_code ignored;
        fs::remove_all(root_, ignored);
        for (const fs::path& file : DownloadsNamed("QuorvexSetup-"))
            fs::remove(file, ignored);
    }

    fs::path Installer(const std::string& version) const
    {
        return installers_ / ("QuorvexSetup-" + version + ".exe");
    }

    // The first line of a file of self_update.sh.
    static std::string Line(const fs::path& file)
    {
        const std::string text = Bytes(file);
        return text.substr(0, text.find_first_of("\r\n"));
    }

    // The update information of the installed quorvex.exe's section: the
    // version, its installer (N+1's bytes) under the name for that version,
    // with the extra lines.
    void Publish(const std::string& version, const std::string& extra)
    {
        const std::string name = "QuorvexSetup-" + version + ".exe";
        Write(root_ / name, Bytes(Installer(kNextVersion)));
        Write(root_ / "QuorvexUpdate.txt",
              "[quorvex]\r\nVersion=" + version + "\r\nDownloadFileURL=" + site_ + name + "\r\n" + extra);
    }

    // The installed quorvex.exe started as its shortcut starts it.
    std::unique_ptr<TQuorvexProcess> StartInstalled(const std::wstring& arguments = {}) const
    {
        auto quorvex =
            std::make_unique<TQuorvexProcess>(arguments, data_.wstring(), (programs_ / "quorvex.exe").wstring());
        EXPECT_TRUE(quorvex->Started());
        return quorvex;
    }

    // The command, run while the installed Quorvex runs, gives up (status 2)
    // and leaves version N whole; Quorvex is closed afterwards.
    void ExpectGivesUpWhileQuorvexRuns(const std::wstring& command, const char* what) const
    {
        const auto quorvex = StartInstalled();
        const HWND main = quorvex->WaitForWindow(L"Quorvex", L"TfrmQuorvex");
        ASSERT_NE(main, nullptr);
        const TProcess process(command);
        ASSERT_TRUE(process.Started());
        EXPECT_EQ(process.ExitCode(), 2u) << what << " did not give up while Quorvex ran";
        EXPECT_TRUE(quorvex->Running());
        ExpectVersionUnchanged();
        PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(quorvex->ExitCode(), 0u);
    }

    // The installed Quorvex is version N still.
    void ExpectVersionUnchanged() const
    {
        EXPECT_EQ(InstalledValue(L"DisplayVersion"), kVersion);
        EXPECT_EQ(FileVersionOf(programs_ / "quorvex.exe"), kVersion);
        EXPECT_EQ(OutputOf(programs_ / "quorvex-cli.exe", L"--version"), std::string("Quorvex ") + kVersion + "\n");
    }

    fs::path installers_;
    fs::path keys_;
    fs::path root_;
    std::string site_;
    fs::path programs_;
    fs::path data_;
};

TEST_F(SelfUpdate, VersionNUpdatesItselfToTheNextVersion)
{
    Publish(kNextVersion, Line(keys_ / "signed-by-publisher") + "\r\n");
    const auto quorvex = StartInstalled();
    // The silent check at start-up finds the newer version.
    const HWND box = quorvex->WaitForWindow(L"New Version Available");
    ASSERT_NE(box, nullptr) << "no notification window at start-up";
    ASSERT_TRUE(IsWindowEnabled(Control(box, IDC_DownloadButton)));
    Click(box, IDC_DownloadButton);
    const HWND willClose = quorvex->WaitForWindow(L"Information", L"#32770");
    ASSERT_NE(willClose, nullptr) << "the download was not accepted";
    EXPECT_EQ(MessageTextOf(willClose), "The application will close to start the update.");
    SendMessageW(GetDlgItem(willClose, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !quorvex->Running(); })) << "version N did not quit for its update";

    // The installer of N+1, as the user sees it: its folder page, Install,
    // the files installed, Close.
    HWND setup = nullptr;
    WaitFor([&] { return (setup = SetupWindow(kNextVersion)) != nullptr; });
    ASSERT_NE(setup, nullptr) << "the installer of " << kNextVersion << " did not start";
    const TProcess installer(setup);
    ASSERT_TRUE(installer.Started());
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(Control(setup, kInstallerNext)) != FALSE; }));
    EXPECT_EQ(TextOf(Control(setup, kInstallerNext)), "&Install");
    Click(setup, kInstallerNext);
    ASSERT_TRUE(WaitFor([&] {
        return TextOf(Control(setup, kInstallerNext)) == "&Close" && IsWindowEnabled(Control(setup, kInstallerNext));
    })) << "the installation did not finish: its button says " << TextOf(Control(setup, kInstallerNext));
    Click(setup, kInstallerNext);
    EXPECT_EQ(installer.ExitCode(), 0u);

    EXPECT_EQ(InstalledValue(L"DisplayVersion"), kNextVersion);
    EXPECT_EQ(InstalledValue(L"InstallLocation"), programs_.string()) << "updated in place";
    EXPECT_EQ(OutputOf(programs_ / "quorvex-cli.exe", L"--version"), std::string("Quorvex ") + kNextVersion + "\n");
    EXPECT_EQ(FileVersionOf(programs_ / "quorvex.exe"), kNextVersion);
    EXPECT_TRUE(IsNextQuorvex(programs_ / "quorvex.exe")) << "the installed quorvex.exe is not N+1's";

    // N+1's own check finds nothing newer on the same site.
    const auto next = StartInstalled(L"--update-check");
    const HWND none = next->WaitForWindow(L"Information", L"#32770");
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(MessageTextOf(none), "There are no new versions available.");
    SendMessageW(GetDlgItem(none, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(next->ExitCode(), 1u);
}

// An installer announced for a later version (N+1's bytes) without the
// publisher's signature: refused with the message, deleted, never started.
TEST_F(SelfUpdate, InstallersNotSignedByThePublisherAreNeverStarted)
{
    struct TCase {
        const char* Name;
        std::string SignatureLine;
        const char* Message;
    };
    const std::string versionAfterNext = std::string(kNextVersion) + ".1";
    const std::vector<TCase> cases = {
        {"not signed", "", "The downloaded file is not signed by its publisher."},
        {"signed with another key", Line(keys_ / "signed-by-other") + "\r\n",
         "The downloaded file's signature is not its publisher's."},
    };
    for (const TCase& refused : cases) {
        SCOPED_TRACE(refused.Name);
        Publish(versionAfterNext, refused.SignatureLine);
        const auto quorvex = StartInstalled(L"--update-check");
        const HWND box = quorvex->WaitForWindow(L"New Version Available");
        ASSERT_NE(box, nullptr);
        Click(box, IDC_DownloadButton);
        const HWND refusal = quorvex->WaitForWindow(L"Error", L"#32770");
        ASSERT_NE(refusal, nullptr) << "not refused";
        EXPECT_EQ(MessageTextOf(refusal), refused.Message);
        SendMessageW(GetDlgItem(refusal, IDOK), BM_CLICK, 0, 0);
        EXPECT_EQ(quorvex->ExitCode(), 0u);
        EXPECT_TRUE(DownloadsNamed("QuorvexSetup-" + versionAfterNext).empty()) << "the refused download is kept";
        EXPECT_EQ(SetupWindow(kNextVersion), nullptr) << "the installer was started";
        ExpectVersionUnchanged();
    }
}

// The next version's installer, started silently while Quorvex runs, waits
// for it to end and then updates it; while it runs on, or has let go of its
// mutex but not yet ended, the installer gives up within its bound and leaves
// the installation as it was. Shown, it asks
// to close Quorvex and goes on with Retry.
TEST_F(SelfUpdate, InstallerWaitsForTheRunningQuorvexToEnd)
{
    Publish(kVersion, "");
    const std::wstring silentNext = L"\"" + Installer(kNextVersion).wstring() + L"\" /S";
    ASSERT_NO_FATAL_FAILURE(ExpectGivesUpWhileQuorvexRuns(silentNext, "the installer"));
    {
        const TMappedImage ending(programs_ / "quorvex.exe");
        ASSERT_TRUE(ending.Mapped());
        const TProcess installer(silentNext);
        ASSERT_TRUE(installer.Started());
        EXPECT_EQ(installer.ExitCode(), 2u) << "the installer did not wait for a Quorvex that has not yet ended";
        ExpectVersionUnchanged();
    }
    {
        const auto quorvex = StartInstalled();
        const HWND main = quorvex->WaitForWindow(L"Quorvex", L"TfrmQuorvex");
        ASSERT_NE(main, nullptr);
        const TProcess installer(silentNext);
        ASSERT_TRUE(installer.Started());
        EXPECT_FALSE(installer.EndsWithin(1000)) << "the installer did not wait for Quorvex to end";
        EXPECT_EQ(InstalledValue(L"DisplayVersion"), kVersion);
        PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(quorvex->ExitCode(), 0u);
        EXPECT_EQ(installer.ExitCode(), 0u);
    }
    EXPECT_EQ(InstalledValue(L"DisplayVersion"), kNextVersion);
    EXPECT_TRUE(IsNextQuorvex(programs_ / "quorvex.exe")) << "the installed quorvex.exe is not N+1's";

    // N's installer over N+1, shown, while N+1 runs.
    const auto quorvex = StartInstalled();
    const HWND main = quorvex->WaitForWindow(L"Quorvex", L"TfrmQuorvex");
    ASSERT_NE(main, nullptr);
    const TProcess installer(L"\"" + Installer(kVersion).wstring() + L"\"");
    HWND setup = nullptr;
    WaitFor([&] { return (setup = SetupWindow(kVersion)) != nullptr; });
    ASSERT_NE(setup, nullptr);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(Control(setup, kInstallerNext)) != FALSE; }));
    Click(setup, kInstallerNext);
    HWND running = nullptr;
    // The message comes once the installer has waited its ten seconds.
    for (int attempt = 0; attempt < 3 && running == nullptr; ++attempt)
        running = WaitForOwnedDialog(setup);
    ASSERT_NE(running, nullptr) << "no message while Quorvex runs";
    EXPECT_EQ(MessageTextOf(running), "Quorvex is running. Close it, then choose Retry.");
    EXPECT_TRUE(IsNextQuorvex(programs_ / "quorvex.exe")) << "a file was replaced before the message";
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(quorvex->ExitCode(), 0u);
    SendMessageW(GetDlgItem(running, IDRETRY), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] {
        return TextOf(Control(setup, kInstallerNext)) == "&Close" && IsWindowEnabled(Control(setup, kInstallerNext));
    })) << "the installation did not finish after Retry";
    Click(setup, kInstallerNext);
    EXPECT_EQ(installer.ExitCode(), 0u);
    EXPECT_EQ(InstalledValue(L"DisplayVersion"), kVersion);
    EXPECT_EQ(FileVersionOf(programs_ / "quorvex.exe"), kVersion);
}

// An uninstaller started while Quorvex runs would remove all but the running
// program and the installed-programs entry with it.
TEST_F(SelfUpdate, UninstallerWaitsForTheRunningQuorvexToEnd)
{
    // Run in place (_?=): its exit status is its own, not that of a copy of
    // itself that it would go on from.
    const std::wstring inPlace =
        L"\"" + (programs_ / "uninstall.exe").wstring() + L"\" /S _?=" + programs_.wstring();
    ASSERT_NO_FATAL_FAILURE(ExpectGivesUpWhileQuorvexRuns(inPlace, "the uninstaller"));
    const TProcess afterwards(inPlace);
    EXPECT_EQ(afterwards.ExitCode(), 0u);
    EXPECT_FALSE(fs::exists(programs_ / "quorvex.exe"));
    EXPECT_FALSE(fs::exists(programs_ / "quorvex-cli.exe"));
    EXPECT_EQ(InstalledValue(L"DisplayVersion"), "") << "the installed-programs entry stayed";
}

}  // namespace
}  // namespace quorvex::win32
