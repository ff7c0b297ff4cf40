// The update check's windows on a real display, against the update site
// that nginx serves on 127.0.0.1 (fixture update_peers_windows): the
// notification window with the version's readme, the download window, a
// signed installer started, a refused one deleted, and the messages when
// there is no newer version. The check runs in update_check_probe.exe (the
// windows of quorvex.exe with the test site and the test's publisher key,
// which quorvex.exe never takes from outside); quorvex.exe's own entry runs
// against the product site.
#include "tests/ui/win32/WindowDriver.h"
#include "tests/update/PublisherKeys.h"
#include "ui/win32/ControlIds.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace quorvex::win32 {
namespace {

namespace fs = std::filesystem;

class UpdateWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        const fs::path peers = FromEnvironment("QUORVEX_UPDATE_PEER_DIR");
        probe_ = FromEnvironment("QUORVEX_UPDATE_PROBE").wstring();
        installerProgram_ = FromEnvironment("QUORVEX_STARTED_PROGRAM");
        ASSERT_FALSE(peers.empty() || probe_.empty() || installerProgram_.empty())
            << "QUORVEX_UPDATE_PEER_DIR, QUORVEX_UPDATE_PROBE and QUORVEX_STARTED_PROGRAM name the update site, "
               "the probe and the installer";
        const TSiteFolder site = MakeSiteFolder(peers, "win32-update-");
        ASSERT_FALSE(site.Folder.empty()) << "the update site is not running";
        root_ = site.Folder;
        host_ = site.Host;
        site_ = site.Address;
        static std::mt19937 random{std::random_device{}()};
        installerName_ = "QuorvexSetup-" + std::to_string(random()) + ".exe";
        log_ = fs::temp_directory_path() / (installerName_ + ".log");
        SetEnvironmentVariableW(L"QUORVEX_STARTED_LOG", log_.c_str());
    }

    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
        fs::remove(log_, ignored);
        for (const fs::path& file : DownloadsNamed(installerName_))
            fs::remove(file, ignored);
    }

    // The update information of the probe's section, with extra lines.
    void Publish(const std::string& version, const std::string& extra = {})
    {
        Write(root_ / "QuorvexUpdate.txt", "[update_check_probe]\r\nVersion=" + version + "\r\n" + extra);
    }

    // The installer (the test program that records it ran) and the lines
    // that announce it, signed by signer.
    std::string PublishInstaller(const test::TPublisherKeys& signer)
    {
        const std::string bytes = Bytes(installerProgram_);
        Write(root_ / installerName_, bytes);
        return "DownloadFileURL=" + site_ + installerName_ + "\r\nEdSignature=" + test::SignatureOf(bytes, signer)
               + "\r\n";
    }

    std::wstring Arguments(const test::TPublisherKeys& keys, bool silent = false) const
    {
        return Wide(site_ + "QuorvexUpdate.txt") + L" " + Wide(keys.PublicKey) + (silent ? L" silent" : L"");
    }

    fs::path root_;
    std::string host_;  // the site's root, where its slow installer is
    std::string site_;
    std::wstring probe_;
    fs::path installerProgram_;
    std::string installerName_;
    fs::path log_;
    const test::TPublisherKeys keys_ = test::NewPublisherKeys();
};

TEST_F(UpdateWindows, NewerVersionShowsTheNotificationWindowWithItsReadme)
{
    Write(root_ / "readme.txt", "What is new\nSecond line\r\nThird\n");
    Publish("99.0", "ReadmeFileURL=" + site_ + "readme.txt\r\n");
    TQuorvexProcess probe(Arguments(keys_), {}, probe_);
    ASSERT_TRUE(probe.Started());
    const HWND box = probe.WaitForWindow(L"New Version Available");
    ASSERT_NE(box, nullptr) << "no notification window";
    EXPECT_EQ(ClassOf(box), L"TVELKAPPUPDATENOTIFYBOX");
    RECT client{};
    GetClientRect(box, &client);
    EXPECT_EQ(client.right, Scaled(478));
    EXPECT_EQ(client.bottom, Scaled(313));
    EXPECT_EQ(TextOf(Control(box, IDC_ReadmeMemo)), "What is new\r\nSecond line\r\nThird");
    EXPECT_EQ(TextOf(Control(box, IDC_DownloadButton)), "Download");
    EXPECT_FALSE(IsWindowEnabled(Control(box, IDC_DownloadButton))) << "no installer announced";
    EXPECT_EQ(TextOf(Control(box, IDC_OpenWebPageButton)), "Open Web Page");
    EXPECT_EQ(TextOf(Control(box, IDC_OKButton)), "OK");
    RECT ok{};
    GetWindowRect(Control(box, IDC_OKButton), &ok);
    EXPECT_TRUE(Same(InClient(box, ok), {Scaled(395), Scaled(278), Scaled(395 + 74), Scaled(278 + 25)}));
    PostMessageW(Control(box, IDC_OKButton), WM_KEYDOWN, VK_ESCAPE, 0);  // Escape is OK too
    EXPECT_EQ(probe.ExitCode(), 0u);
}

// The download window shows the transfer, the signed installer passes and
// is started as the program ends.
TEST_F(UpdateWindows, SignedInstallerIsDownloadedShownAndStarted)
{
    const std::size_t size = Bytes(installerProgram_).size();
    Publish("99.0", PublishInstaller(keys_));
    TQuorvexProcess probe(Arguments(keys_), {}, probe_);
    const HWND box = probe.WaitForWindow(L"New Version Available");
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(IsWindowEnabled(Control(box, IDC_DownloadButton)));
    Click(box, IDC_DownloadButton);
    const HWND download = probe.WaitForWindow(L"Download New Version");
    ASSERT_NE(download, nullptr) << "no download window";
    const HWND willClose = probe.WaitForWindow(L"Information", L"#32770");
    ASSERT_NE(willClose, nullptr);
    EXPECT_EQ(MessageTextOf(willClose), "The application will close to start the update.");
    // Behind the message, the finished transfer.
    EXPECT_EQ(ClassOf(download), L"TVELKAPPUPDATEDOWNLOADBOX");
    RECT client{};
    GetClientRect(download, &client);
    EXPECT_EQ(client.right, Scaled(440));
    EXPECT_EQ(client.bottom, Scaled(260));
    EXPECT_EQ(TextOf(Control(download, IDC_FileLabel)), installerName_);
    EXPECT_EQ(TextOf(Control(download, IDC_StatusLabel)), "Downloading file");
    const std::string transfer = TextOf(Control(download, IDC_TransferLabel));
    EXPECT_TRUE(transfer.size() > 7 && transfer.substr(transfer.size() - 7) == " (100%)") << transfer;
    EXPECT_EQ(SendMessageW(Control(download, IDC_ProgressBar1), PBM_GETRANGE, FALSE, 0), static_cast<LRESULT>(size));
    EXPECT_EQ(SendMessageW(Control(download, IDC_ProgressBar1), PBM_GETPOS, 0, 0), static_cast<LRESULT>(size));
    EXPECT_FALSE(IsWindowEnabled(Control(download, IDC_CancelButton)));
    EXPECT_TRUE(IsWindowVisible(box)) << "the notification window stays behind";
    SendMessageW(GetDlgItem(willClose, IDOK), BM_CLICK, 0, 0);

    EXPECT_EQ(probe.ExitCode(), 0u);
    ASSERT_TRUE(WaitFor([&] { return Bytes(log_).find("end\n") != std::string::npos; })) << "the installer did not run";
    const std::string startedIn = Bytes(log_).substr(0, Bytes(log_).find('\n'));
    const std::vector<fs::path> saved = DownloadsNamed(installerName_);
    ASSERT_EQ(saved.size(), 1u) << "the installer alone, under its own name";
    EXPECT_EQ(saved[0].filename().string(), installerName_);
    EXPECT_TRUE(fs::equivalent(saved[0].parent_path(), fs::path(startedIn))) << startedIn;
    EXPECT_EQ(Bytes(saved[0]).size(), size);
}

// An installer whose signature is not its publisher's is refused with its
// message, deleted and never started.
TEST_F(UpdateWindows, BadSignatureIsRefusedAndTheFileDeleted)
{
    Publish("99.0", PublishInstaller(test::NewPublisherKeys()));
    TQuorvexProcess probe(Arguments(keys_), {}, probe_);
    const HWND box = probe.WaitForWindow(L"New Version Available");
    ASSERT_NE(box, nullptr);
    Click(box, IDC_DownloadButton);
    const HWND refusal = probe.WaitForWindow(L"Error", L"#32770");
    ASSERT_NE(refusal, nullptr);
    EXPECT_EQ(MessageTextOf(refusal), "The downloaded file's signature is not its publisher's.");
    EXPECT_NE(SendMessageW(IconOf(refusal), STM_GETICON, 0, 0), 0) << "an icon is shown";
    SendMessageW(GetDlgItem(refusal, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(probe.ExitCode(), 0u);
    EXPECT_TRUE(DownloadsNamed(installerName_).empty());
    Sleep(500);
    EXPECT_FALSE(fs::exists(log_)) << "the installer ran";
}

// While the site's slow installer (160 KB in two seconds) arrives, the
// window follows it and Cancel works: asked, confirmed, the transfer ends
// with its message and nothing is kept.
TEST_F(UpdateWindows, CancelDuringTheTransferEndsItAndKeepsNothing)
{
    Publish("99.0", "DownloadFileURL=" + host_ + "slow.exe\r\n");
    TQuorvexProcess probe(Arguments(keys_), {}, probe_);
    const HWND box = probe.WaitForWindow(L"New Version Available");
    ASSERT_NE(box, nullptr);
    Click(box, IDC_DownloadButton);
    const HWND download = probe.WaitForWindow(L"Download New Version");
    ASSERT_NE(download, nullptr);
    const HWND progress = Control(download, IDC_ProgressBar1);
    ASSERT_TRUE(WaitFor([&] { return SendMessageW(progress, PBM_GETPOS, 0, 0) > 0; })) << "no progress shown";
    EXPECT_LT(SendMessageW(progress, PBM_GETPOS, 0, 0), 163840) << "the transfer was over before it could be cancelled";
    EXPECT_EQ(TextOf(Control(download, IDC_FileLabel)), "slow.exe");
    Click(download, IDC_CancelButton);
    const HWND question = probe.WaitForWindow(L"Confirm", L"#32770");
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(MessageTextOf(question), "Do you want to cancel the download?");
    SendMessageW(GetDlgItem(question, IDYES), BM_CLICK, 0, 0);
    const HWND notCompleted = probe.WaitForWindow(L"Error", L"#32770");
    ASSERT_NE(notCompleted, nullptr);
    EXPECT_EQ(MessageTextOf(notCompleted), "The update was not completed.");
    EXPECT_FALSE(IsWindowEnabled(Control(download, IDC_CancelButton)));
    SendMessageW(GetDlgItem(notCompleted, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(probe.ExitCode(), 0u);
    EXPECT_TRUE(DownloadsNamed("slow.exe").empty());
}

TEST_F(UpdateWindows, NoNewerVersionSaysSoUnlessSilent)
{
    Publish("1.0");
    {
        TQuorvexProcess probe(Arguments(keys_), {}, probe_);
        const HWND message = probe.WaitForWindow(L"Information", L"#32770");
        ASSERT_NE(message, nullptr);
        EXPECT_EQ(MessageTextOf(message), "There are no new versions available.");
        SendMessageW(GetDlgItem(message, IDOK), BM_CLICK, 0, 0);
        EXPECT_EQ(probe.ExitCode(), 1u);
    }
    TQuorvexProcess silent(Arguments(keys_, true), {}, probe_);
    bool windowShown = false;
    WaitFor([&] {
        windowShown = windowShown || FindWindowW(L"#32770", nullptr) != nullptr
                      || FindWindowW(nullptr, L"New Version Available") != nullptr;
        return !silent.Running();
    });
    EXPECT_EQ(silent.ExitCode(), 1u);
    EXPECT_FALSE(windowShown);
}

// quorvex.exe's own entry: the silent check of the product site ends
// without a window within its deadline, whatever the site answers.
TEST(UpdateCheckEntry, SilentCheckOfTheProductSiteEndsWithoutAWindow)
{
    TQuorvexProcess quorvex(L"--update-check silent");
    ASSERT_TRUE(quorvex.Started());
    bool windowShown = false;
    WaitFor([&] {
        windowShown = windowShown || FindWindowW(nullptr, L"New Version Available") != nullptr
                      || FindWindowW(L"#32770", nullptr) != nullptr;
        return !quorvex.Running();
    });
    EXPECT_FALSE(windowShown);
    EXPECT_EQ(quorvex.ExitCode(), 1u);
}

}  // namespace
}  // namespace quorvex::win32
