// quorvex.exe started as the program, on a real display: the main window,
// its option lists following the installed messenger (the registry of the
// Wine prefix the tests run in, a synthetic messenger in the default
// folder), the applies with the status window, and the single-instance guard.
#include "tests/ui/win32/WindowDriver.h"
#include "ui/win32/ControlIds.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace quorvex::win32 {
namespace {

namespace fs = std::filesystem;

constexpr wchar_t kPagerKey[] = L"Software\\yahoo\\pager";
constexpr wchar_t kTestKey[] = L"Software\\yahoo\\pager\\Test";
constexpr wchar_t kYahooKey[] = L"Software\\yahoo";
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kDefaultFolder[] = L"C:\\Program Files\\Yahoo!\\Messenger";
constexpr wchar_t kHtmlReplacement[] = L"C:\\BlankQuorvex.html";
constexpr COLORREF kGreyText = RGB(128, 128, 128);

void SetValue(HKEY root, const wchar_t* key, REGSAM view, const wchar_t* name, DWORD type, const void* data,
              DWORD size)
{
    HKEY opened = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &opened, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(opened, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(opened);
}

void SetString(HKEY root, const wchar_t* key, REGSAM view, const wchar_t* name, const std::wstring& value)
{
    SetValue(root, key, view, name, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void SetNumber(HKEY root, const wchar_t* key, const wchar_t* name, DWORD value)
{
    SetValue(root, key, 0, name, REG_DWORD, &value, sizeof value);
}

void DeleteValue(HKEY root, const wchar_t* key, const wchar_t* name)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key, 0, KEY_SET_VALUE, &opened) != ERROR_SUCCESS)
        return;
    RegDeleteValueW(opened, name);
    RegCloseKey(opened);
}

std::string FileBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return file ? std::string(std::istreambuf_iterator<char>(file), {}) : std::string("(missing)");
}

// A messenger installed as its setup leaves it: its version in the 32-bit
// view of HKEY_LOCAL_MACHINE, its settings in HKEY_CURRENT_USER, its files in
// the default folder (the synthetic messenger of the command line) when
// asked for. Everything goes again with the object, the HTML replacement
// file too.
class TInstalledMessenger {
public:
    // version empty: no messenger installed.
    TInstalledMessenger(const std::wstring& version, bool autoStart, bool files)
    {
        Remove();
        if (version.empty())
            return;
        SetString(HKEY_LOCAL_MACHINE, kPagerKey, KEY_WOW64_32KEY, L"ProductVersion", version);
        SetNumber(HKEY_CURRENT_USER, kPagerKey, L"SmileySearch", 1);
        // Where the messenger keeps its multiple instances setting.
        HKEY test = nullptr;
        EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_READ, nullptr, &test, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(test);
        if (autoStart) {
            SetNumber(HKEY_CURRENT_USER, kPagerKey, L"Launch on Startup", 1);
            const std::wstring command = L"\"" + std::wstring(kDefaultFolder) + L"\\YahooMessenger.exe\" -quiet";
            SetString(HKEY_CURRENT_USER, kRunKey, 0, L"Yahoo! Pager", command);
            SetString(HKEY_CURRENT_USER, kRunKey, 0, L"Messenger (Yahoo!)", command);
        }
        if (!files)
            return;
        fs::create_directories(kDefaultFolder);
        fs::copy(gMessengerFolder, kDefaultFolder, fs::copy_options::recursive);
    }
    ~TInstalledMessenger() { Remove(); }
    TInstalledMessenger(const TInstalledMessenger&) = delete;
    TInstalledMessenger& operator=(const TInstalledMessenger&) = delete;

private:
    static void Remove()
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, kYahooKey);
        HKEY software = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &software)
            == ERROR_SUCCESS) {
            RegDeleteTreeW(software, L"yahoo");
            RegCloseKey(software);
        }
        DeleteValue(HKEY_CURRENT_USER, kRunKey, L"Yahoo! Pager");
        DeleteValue(HKEY_CURRENT_USER, kRunKey, L"Messenger (Yahoo!)");
        std::error_code ignored;
        fs::remove_all(kDefaultFolder, ignored);
        fs::remove(kHtmlReplacement, ignored);
    }
};

// A working folder of its own for quorvex.exe, where its backup goes.
class TWorkingFolder {
public:
    TWorkingFolder()
    {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = fs::temp_directory_path() / (std::string("quorvex-main-") + test->name() + "-"
                                             + std::to_string(GetCurrentProcessId()));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TWorkingFolder()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    TWorkingFolder(const TWorkingFolder&) = delete;
    TWorkingFolder& operator=(const TWorkingFolder&) = delete;

    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

std::vector<int> TickedRows(HWND list)
{
    std::vector<int> rows;
    const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        if (ListChecked(list, row))
            rows.push_back(row);
    }
    return rows;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 2;
    }
    return lines;
}

// The darkest pixel of a row's caption as it is on the screen.
int DarkestLevel(HWND list, int row)
{
    int darkest = 255;
    for (const COLORREF pixel : ScreenPixels(ListCaptionBounds(list, row)))
        darkest = std::min(darkest, static_cast<int>(GetRValue(pixel) + GetGValue(pixel) + GetBValue(pixel)) / 3);
    return darkest;
}

bool Visible(HWND control)
{
    return (GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

class MainWindow : public ::testing::Test {
protected:
    // Starts quorvex.exe in the working folder and finds its main window.
    void Start()
    {
        quorvex_ = std::make_unique<TQuorvexProcess>(L"", working_.Path().wstring());
        ASSERT_TRUE(quorvex_->Started()) << "quorvex.exe does not start: error " << GetLastError();
        main_ = quorvex_->WaitForWindow(L"Quorvex", L"TfrmQuorvex");
        ASSERT_NE(main_, nullptr) << "no main window shown";
    }

    HWND Item(int id) const { return GetDlgItem(main_, id); }
    // Chooses a tab as a press of the arrow key on the tab control does.
    void NextTab() const { PostMessageW(Item(IDC_pcMain), WM_KEYDOWN, VK_RIGHT, 0); }
    int CurrentTab() const { return static_cast<int>(SendMessageW(Item(IDC_pcMain), TCM_GETCURSEL, 0, 0)); }

    TWorkingFolder working_;
    std::unique_ptr<TQuorvexProcess> quorvex_;
    HWND main_ = nullptr;
};

TEST_F(MainWindow, IsTheFixedWindowOfItsDesignWithEightTabsTheAdvertsTabFirst)
{
    const TInstalledMessenger none(L"", false, false);
    Start();
    EXPECT_EQ(TextOf(main_), "Quorvex");
    const HWND splash = FindWindowW(L"TfrmUpdate", nullptr);
    ASSERT_NE(splash, nullptr) << "the update splash";
    EXPECT_FALSE(IsWindowVisible(splash)) << "hidden once the start-up check ended";
    EXPECT_EQ(TextOf(splash), "") << "no title that a later start could take for the main window";
    EXPECT_NE(GetWindowLongPtrW(splash, GWL_STYLE) & WS_CAPTION, WS_CAPTION) << "no title bar";
    RECT client{};
    GetClientRect(main_, &client);
    EXPECT_EQ(client.right, Scaled(521));
    EXPECT_EQ(client.bottom, Scaled(481));
    const LONG_PTR style = GetWindowLongPtrW(main_, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MAXIMIZEBOX)) << "fixed, no maximise box";

    const HWND tabs = Item(IDC_pcMain);
    EXPECT_EQ(TabCaptions(tabs), (std::vector<std::string>{"Adverts Options", "UI Options", "Versions",
                                                           "About Adverts", "Donate", "About", "Help", "Clean"}));
    EXPECT_EQ(CurrentTab(), 0);
    RECT bounds{};
    GetWindowRect(tabs, &bounds);
    EXPECT_TRUE(Same(InClient(main_, bounds), {Scaled(8), Scaled(8), Scaled(513), Scaled(473)}));

    const HWND options = Item(IDC_lvOptions);
    std::vector<std::string> captions;
    for (int row = 0; row < 9; ++row)
        captions.push_back(ListText(options, row));
    EXPECT_EQ(captions, (std::vector<std::string>{
                            "Remove Main Messenger Advert", "Replace Change Room Banner", "Remove Chat Room Advert",
                            "Replace Webcam Adverts", "Replace Video Call Advert", "Remove IM Statusbar Advert",
                            "Enable Multiple Instances of Yahoo Messenger 11, 10, 9, or 8",
                            "Disable \"Automatically start Yahoo Messenger\"", "Enable Smiley Search"}));
    GetWindowRect(options, &bounds);
    bounds = InClient(main_, bounds);
    EXPECT_EQ(bounds.right - bounds.left, Scaled(457));
    EXPECT_EQ(bounds.bottom - bounds.top, Scaled(289));
    EXPECT_TRUE(GetWindowLongPtrW(options, GWL_STYLE) & LVS_NOCOLUMNHEADER);
    EXPECT_TRUE(SendMessageW(options, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES);
    EXPECT_FALSE(SendMessageW(Item(IDC_lvVersions), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES);

    EXPECT_EQ(TextOf(Item(IDC_dePath)), "C:\\Program Files\\Yahoo!\\Messenger");
    EXPECT_EQ(TextOf(Item(IDC_deUpath)), "C:\\Program Files\\Yahoo!\\Messenger");
    EXPECT_EQ(TextOf(Item(IDC_btnCallm)), "&Check All");
    EXPECT_EQ(TextOf(Item(IDC_btnApply)), "A&pply Options");
    EXPECT_FALSE(Visible(Item(IDC_btnReplace))) << "no HTML replacement file";
    EXPECT_EQ(TextOf(Item(IDC_lbDisc)), "The Main Messenger Advert is the advert located in Yahoo Messenger's main "
                                        "window below the buddy list.");
    EXPECT_EQ(SendMessageW(Item(IDC_lvVersions), LVM_GETITEMCOUNT, 0, 0), 22);
    EXPECT_EQ(ListText(Item(IDC_lvVersions), 0), "Yahoo Messenger 11.0.0.2009");
    EXPECT_EQ(ListText(Item(IDC_lvVersions), 21), "Yahoo Messenger 9.0.0.2018");
    EXPECT_EQ(ListText(Item(IDC_lvAboutAds), 5, 1),
              "The IM Statusbar Advert is the advert that is located in the statusbar of Yahoo Messenger's Private "
              "Message window(s). This advert appears randomly for a short period of time.");
    // Only the first tab's controls are shown.
    EXPECT_TRUE(Visible(options));
    for (int other : {IDC_lvUI, IDC_lvVersions, IDC_lvAboutAds, IDC_btnHelp, IDC_lvClean, IDC_btnClean})
        EXPECT_FALSE(Visible(Item(other))) << other;
}

TEST_F(MainWindow, ATabShowsItsOwnControlsAndTheUITabReadsTheVersionAnew)
{
    const TInstalledMessenger messenger(L"10.0.0.1270", true, false);
    Start();
    NextTab();
    ASSERT_TRUE(WaitFor([&] { return CurrentTab() == 1; })) << "the arrow key chooses the next tab";
    EXPECT_TRUE(WaitFor([&] { return TextOf(Item(IDC_lbUIVer)) == "10.0.0.1270"; })) << TextOf(Item(IDC_lbUIVer));
    EXPECT_TRUE(Visible(Item(IDC_lvUI)));
    EXPECT_TRUE(Visible(Item(IDC_btnUIApply)));
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_btnUIApply)));
    EXPECT_FALSE(Visible(Item(IDC_lvOptions)));
    EXPECT_FALSE(Visible(Item(IDC_btnApply)));

    SendMessageW(Item(IDC_btnCallu), BM_CLICK, 0, 0);
    EXPECT_EQ(TickedRows(Item(IDC_lvUI)), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8})) << "Check All ticks all nine";
}

// Keys as the keyboard gives them to the window in front.
void PressWithControl(WORD key)
{
    INPUT inputs[4]{};
    for (INPUT& input : inputs)
        input.type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = VK_CONTROL;
    inputs[1].ki.wVk = key;
    inputs[2].ki.wVk = key;
    inputs[2].ki.dwFlags = KEYEVENTF_KEYUP;
    inputs[3].ki.wVk = VK_CONTROL;
    inputs[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, inputs, sizeof(INPUT));
}

TEST_F(MainWindow, ControlPageUpAndDownGoRoundTheTabsWhereverTheFocusIs)
{
    const TInstalledMessenger messenger(L"10.0.0.1270", true, false);
    Start();
    SetForegroundWindow(main_);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == main_; }));
    PressWithControl(VK_PRIOR);
    EXPECT_TRUE(WaitFor([&] { return CurrentTab() == 7; })) << "from the first tab back to the last";
    EXPECT_TRUE(WaitFor([&] { return Visible(Item(IDC_lvClean)) && !Visible(Item(IDC_lvOptions)); }));
    PressWithControl(VK_NEXT);
    EXPECT_TRUE(WaitFor([&] { return CurrentTab() == 0; })) << "from the last tab on to the first";
    PressWithControl(VK_NEXT);
    EXPECT_TRUE(WaitFor([&] { return CurrentTab() == 1; }));
    EXPECT_TRUE(WaitFor([&] { return TextOf(Item(IDC_lbUIVer)) == "10.0.0.1270"; })) << "the UI tab was shown";
}

// A messenger version and what the lists and tabs make of it.
struct TAvailabilityCase {
    const char* name;
    const wchar_t* version;  // empty: none installed
    bool autoStart;
    std::set<int> unavailableAdverts;
    bool uiTabEnabled;
    bool restoreUIAvailable;  // "Restore All Yahoo UI Changes" on the Clean tab
};

void PrintTo(const TAvailabilityCase& availability, std::ostream* out)
{
    *out << availability.name;
}

class Availability : public MainWindow, public ::testing::WithParamInterface<TAvailabilityCase> {};

TEST_P(Availability, FollowsTheInstalledMessenger)
{
    const TAvailabilityCase& expected = GetParam();
    const bool installed = *expected.version != L'\0';
    const TInstalledMessenger messenger(expected.version, expected.autoStart, false);
    Start();

    const std::wstring wide = installed ? expected.version : L"0.0.0.0";
    EXPECT_EQ(TextOf(Item(IDC_lbVersion)), std::string(wide.begin(), wide.end()));
    EXPECT_EQ(IsWindowEnabled(Item(IDC_btnApply)) != FALSE, installed) << "the Adverts tab without a messenger";
    EXPECT_EQ(IsWindowEnabled(Item(IDC_lvOptions)) != FALSE, installed);
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_dePath))) << "the folder field stays usable";
    const HWND options = Item(IDC_lvOptions);
    EXPECT_EQ(ListText(options, 8), installed ? "Disable Smiley Search" : "Enable Smiley Search");

    std::vector<int> available;
    for (int row = 0; row < 9; ++row) {
        if (!expected.unavailableAdverts.contains(row))
            available.push_back(row);
    }
    if (installed) {
        SendMessageW(Item(IDC_btnCallm), BM_CLICK, 0, 0);
        EXPECT_EQ(TickedRows(options), available) << "Check All leaves ticked exactly the available rows";
        // Drawn grey exactly where unavailable.
        RedrawWindow(options, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        for (int row = 0; row < 9; ++row) {
            const bool grey = expected.unavailableAdverts.contains(row);
            EXPECT_TRUE(WaitFor([&] { return (DarkestLevel(options, row) == GetRValue(kGreyText)) == grey; }))
                << "row " << row << " darkest level " << DarkestLevel(options, row);
        }
        for (int row : available)
            SetListChecked(options, row, false);
    }
    for (int row = 0; row < 9; ++row)
        SetListChecked(options, row, true);
    EXPECT_EQ(TickedRows(options), available) << "a tick on an unavailable row is taken away";

    const HWND clean = Item(IDC_lvClean);
    for (int row = 0; row < 3; ++row)
        SetListChecked(clean, row, true);
    EXPECT_EQ(TickedRows(clean), expected.restoreUIAvailable ? std::vector<int>{2} : std::vector<int>{})
        << "no backup, no HTML replacement file";

    NextTab();
    ASSERT_TRUE(WaitFor([&] { return CurrentTab() == 1; }));
    EXPECT_TRUE(WaitFor([&] { return (IsWindowEnabled(Item(IDC_btnUIApply)) != FALSE) == expected.uiTabEnabled; }));
    EXPECT_EQ(IsWindowEnabled(Item(IDC_lvUI)) != FALSE, expected.uiTabEnabled);
    EXPECT_EQ(TextOf(Item(IDC_lbUIVer)), TextOf(Item(IDC_lbVersion)));
}

INSTANTIATE_TEST_SUITE_P(
    Versions, Availability,
    ::testing::Values(TAvailabilityCase{"Version8", L"8.1.0.421", true, {0, 1, 2, 3, 4, 5, 8}, false, false},
                      TAvailabilityCase{"Version9Listed", L"9.0.0.2162", true, {5, 8}, false, false},
                      TAvailabilityCase{"Version9WithoutAutoStart", L"9.0.0.2162", false, {5, 7, 8}, false, false},
                      TAvailabilityCase{"Version10Listed", L"10.0.0.1270", true, {}, true, true},
                      TAvailabilityCase{"Version10Unlisted", L"10.0.0.9999", true, {0, 1, 2, 3, 4}, true, true},
                      TAvailabilityCase{"Version11Listed", L"11.0.0.2009", true, {}, true, true},
                      TAvailabilityCase{"Version12", L"12.0.0.1", true, {0, 1, 2, 3, 4, 5, 6, 8}, false, false},
                      TAvailabilityCase{"NoMessenger", L"", false, {0, 1, 2, 3, 4, 5, 6, 7, 8}, false, false}),
    [](const ::testing::TestParamInfo<TAvailabilityCase>& info) { return std::string(info.param.name); });

// The applies on the synthetic messenger, their lines as the Linux program
// writes them.
class Applies : public MainWindow {
protected:
    void SetUp() override
    {
        if (gMessengerFolder.empty())
            GTEST_FAIL() << "no synthetic messenger folder on the command line";
        messenger_ = std::make_unique<TInstalledMessenger>(L"10.0.0.1270", true, true);
        original_ = FileBytes(Executable());
        Start();
    }

    static fs::path Executable() { return fs::path(kDefaultFolder) / "YahooMessenger.exe"; }

    // Presses the button as a click does, without waiting for what it runs.
    static void Press(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

    // The status window once its run is complete.
    HWND CompletedStatus() const
    {
        const HWND status = quorvex_->WaitForWindow(L"Status", L"TfrmStatus");
        EXPECT_NE(status, nullptr) << "no status window";
        if (status != nullptr) {
            EXPECT_TRUE(WaitFor([&] { return TextOf(GetDlgItem(status, IDC_lbStatus)) == "Applying Options Complete"; }))
                << TextOf(GetDlgItem(status, IDC_lbStatus));
        }
        return status;
    }

    std::unique_ptr<TInstalledMessenger> messenger_;
    std::string original_;
};

TEST_F(Applies, TheAdvertApplyThenTheCleanGiveBackTheOriginalBytes)
{
    ASSERT_NE(original_, "(missing)");
    for (int row : {1, 5, 6})
        SetListChecked(Item(IDC_lvOptions), row, true);
    Press(Item(IDC_btnApply));

    HWND status = CompletedStatus();
    ASSERT_NE(status, nullptr);
    RECT client{};
    GetClientRect(status, &client);
    EXPECT_EQ(client.right, Scaled(473));
    EXPECT_EQ(client.bottom, Scaled(348));
    EXPECT_FALSE(GetWindowLongPtrW(status, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX)) << "fixed";
    EXPECT_EQ(TextOf(GetDlgItem(status, IDC_cbOpenYM)), "&Load Yahoo Messenger after closing this window.");
    EXPECT_EQ(SendMessageW(GetDlgItem(status, IDC_cbOpenYM), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(GetWindowLongPtrW(GetDlgItem(status, IDC_memStatus), GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(Lines(TextOf(GetDlgItem(status, IDC_memStatus))),
              (std::vector<std::string>{"Yahoo Messenger Backup: Successfully Created",
                                        "Change Room Banner: Successfully Patched",
                                        "IM Statusbar Advert: Successfully Removed", "Urls: Successfully Patched",
                                        "HTML Replacement File: Successfully Saved",
                                        "Save: Successfully saved changes to Yahoo Messenger",
                                        "Multiple Instances: Successfully Enabled"}));
    const HWND progress = GetDlgItem(status, IDC_pbStatus);
    EXPECT_FALSE(GetWindowLongPtrW(progress, GWL_STYLE) & PBS_MARQUEE) << "the bar stops";
    EXPECT_EQ(SendMessageW(progress, PBM_GETPOS, 0, 0), 1) << "filled";
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(status, IDC_btnClose)));
    EXPECT_TRUE(TickedRows(Item(IDC_lvOptions)).empty());
    EXPECT_EQ(FileBytes(working_.Path() / "YahooMessenger.bak"), original_);
    EXPECT_NE(FileBytes(Executable()), original_);
    EXPECT_EQ(FileBytes(kHtmlReplacement),
              "<html><body bgcolor=\"#FFFFFF\" style=\"overflow: hidden;\"></body></html>\r\n")
        << "white until a colour is chosen";
    EXPECT_TRUE(Visible(Item(IDC_btnReplace))) << "the refresh after the apply";
    EXPECT_EQ(ListText(Item(IDC_lvOptions), 6), "Disable Multiple Instances of Yahoo Messenger 11, 10, 9, or 8");
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_btnApply)));

    SendMessageW(GetDlgItem(status, IDC_btnClose), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindowVisible(status)) << "Close hides it";
    EXPECT_EQ(TextOf(GetDlgItem(status, IDC_memStatus)), "") << "and empties its log";

    for (int row : {0, 1})
        SetListChecked(Item(IDC_lvClean), row, true);
    ASSERT_EQ(TickedRows(Item(IDC_lvClean)), (std::vector<int>{0, 1})) << "the backup and the file exist now";
    Press(Item(IDC_btnClean));

    status = CompletedStatus();
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(Lines(TextOf(GetDlgItem(status, IDC_memStatus))),
              (std::vector<std::string>{"Yahoo Messenger Backup: Successfully Restored",
                                        "HTML Replacement File: Successfully Removed"}));
    EXPECT_EQ(FileBytes(Executable()), original_);
    EXPECT_FALSE(fs::exists(working_.Path() / "YahooMessenger.bak"));
    EXPECT_FALSE(fs::exists(kHtmlReplacement));
    EXPECT_TRUE(TickedRows(Item(IDC_lvClean)).empty());
    EXPECT_FALSE(Visible(Item(IDC_btnReplace))) << "the refresh after the clean";
}

TEST_F(Applies, TheUIApplyWritesItsLines)
{
    NextTab();
    ASSERT_TRUE(WaitFor([&] { return CurrentTab() == 1; }));
    for (int row : {1, 4})
        SetListChecked(Item(IDC_lvUI), row, true);
    Press(Item(IDC_btnUIApply));

    const HWND status = CompletedStatus();
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(Lines(TextOf(GetDlgItem(status, IDC_memStatus))),
              (std::vector<std::string>{"Email Button: Successfully Removed", "Contact Card: Successfully Removed"}));
    EXPECT_TRUE(TickedRows(Item(IDC_lvUI)).empty());
    const std::string friendList = FileBytes(fs::path(kDefaultFolder) / "skins/Default/FriendList/FriendList.xml");
    EXPECT_EQ(friendList.find("<!-- {Email} -->"), std::string::npos) << "the e-mail button inside a comment";

    // The close box runs the close behaviour too; a second run starts over.
    PostMessageW(status, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(status); }));
    EXPECT_EQ(TextOf(GetDlgItem(status, IDC_memStatus)), "");
    SetListChecked(Item(IDC_lvUI), 0, true);
    Press(Item(IDC_btnUIApply));
    ASSERT_EQ(CompletedStatus(), status);
    EXPECT_EQ(Lines(TextOf(GetDlgItem(status, IDC_memStatus))),
              std::vector<std::string>{"Insider Button: Successfully Removed"});
}

TEST_F(Applies, AWrongFolderIsAPlainMessageBoxWithTheApplicationTitle)
{
    SendMessageW(Item(IDC_dePath), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"C:\\Program Files\\Yahoo!"));
    SetListChecked(Item(IDC_lvOptions), 1, true);
    Press(Item(IDC_btnApply));

    const HWND box = quorvex_->WaitForWindow(L"Quorvex", L"#32770");
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_EQ(MessageTextOf(box), "Yahoo Messenger is not located at the path specified. Enter the correct path to "
                                  "Yahoo Messenger and try again.");
    const HWND icon = IconOf(box);
    EXPECT_TRUE(icon == nullptr || SendMessageW(icon, STM_GETICON, 0, 0) == 0) << "a plain message: no icon";
    SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(TickedRows(Item(IDC_lvOptions)), std::vector<int>{1}) << "the ticks stay for another try";
    EXPECT_EQ(FileBytes(Executable()), original_);
}

TEST_F(Applies, TheColourRowsColourIsTheReplacementFilesAndItsButtonOpensTheEditor)
{
    // The box opens the colour dialog; its colour is typed into the custom colour fields.
    PostMessageW(Item(IDC_shColor), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(Item(IDC_shColor), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    const HWND dialog = WaitForOwnedDialog(main_);
    ASSERT_NE(dialog, nullptr) << "no colour dialog over the main window";
    SendMessageW(GetDlgItem(dialog, kDefineCustomColors), BM_CLICK, 0, 0);
    for (const auto& [field, value] : {std::pair{kRedEdit, L"18"}, {kGreenEdit, L"52"}, {kBlueEdit, L"86"}})
        SendMessageW(GetDlgItem(dialog, field), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value));
    SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([dialog] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));

    SetListChecked(Item(IDC_lvOptions), 1, true);
    Press(Item(IDC_btnApply));
    const HWND status = CompletedStatus();
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(FileBytes(kHtmlReplacement),
              "<html><body bgcolor=\"#123456\" style=\"overflow: hidden;\"></body></html>\r\n");
    SendMessageW(GetDlgItem(status, IDC_btnClose), BM_CLICK, 0, 0);

    ASSERT_TRUE(WaitFor([&] { return Visible(Item(IDC_btnReplace)); }));
    Press(Item(IDC_btnReplace));
    const HWND edit = quorvex_->WaitForWindow(L" Edit HTML Replacement File", L"TfrmEdit");
    ASSERT_NE(edit, nullptr) << "the editor is not shown";
    EXPECT_NE(GetDlgItem(edit, IDC_wbPreview), nullptr);
}

TEST_F(MainWindow, TheColourRowAndThePicturesAreShownWithTheirTabs)
{
    const TInstalledMessenger none(L"", false, false);
    Start();
    for (const int id : {IDC_shColor, IDC_lbColor, IDC_shDrop, IDC_imgDrop, IDC_lbDrop})
        EXPECT_TRUE(Visible(Item(id))) << "the colour row on the Adverts tab: " << id;
    EXPECT_EQ(TextOf(Item(IDC_lbColor)), "Background Color");
    EXPECT_EQ(TextOf(Item(IDC_lbDrop)), "Get Color from Screen");

    // About Adverts: the first advert's picture, a photograph of many colours.
    for (int tab = 1; tab <= 3; ++tab) {
        NextTab();
        ASSERT_TRUE(WaitFor([&] { return CurrentTab() == tab; }));
    }
    EXPECT_FALSE(Visible(Item(IDC_shColor))) << "the colour row stays on its tab";
    const HWND preview = Item(IDC_imgPreview);
    ASSERT_TRUE(Visible(preview));
    const auto colours = [](HWND control) {
        RECT bounds{};
        GetWindowRect(control, &bounds);
        const std::vector<COLORREF> pixels = ScreenPixels(bounds);
        return std::set<COLORREF>(pixels.begin(), pixels.end()).size();
    };
    EXPECT_TRUE(WaitFor([&] { return colours(preview) > 100; })) << colours(preview) << " colours";

    NextTab();
    ASSERT_TRUE(WaitFor([&] { return CurrentTab() == 4; }));
    EXPECT_TRUE(Visible(Item(IDC_imgDonate)));
    EXPECT_FALSE(Visible(preview));
    EXPECT_TRUE(WaitFor([&] { return colours(Item(IDC_imgDonate)) > 2; })) << "the donate picture is drawn";
}

// The labels on the pages are drawn in the colour of the tab control's body,
// which the main window takes from the tab control when it is made.
TEST_F(MainWindow, ThePagesLabelsTakeTheColourOfTheTabControlsBody)
{
    const TInstalledMessenger none(L"", false, false);
    Start();
    for (int tab = 1; tab <= 5; ++tab) {
        NextTab();
        ASSERT_TRUE(WaitFor([&] { return CurrentTab() == tab; }));
    }
    // The About tab's label without text: its background alone.
    const HWND blank = Item(IDC_lbAboutBlank);
    ASSERT_TRUE(Visible(blank));
    RECT label{};
    GetWindowRect(blank, &label);
    // The tab control's body left of the label, where no control lies.
    const int middle = (label.top + label.bottom) / 2;
    const RECT body{label.left - Scaled(6), middle, label.left - Scaled(5), middle + 1};
    COLORREF bodyColour = 0;
    std::set<COLORREF> labelColours;
    EXPECT_TRUE(WaitFor([&] {
        bodyColour = ScreenPixels(body).front();
        const std::vector<COLORREF> pixels = ScreenPixels(label);
        labelColours = std::set<COLORREF>(pixels.begin(), pixels.end());
        return labelColours == std::set<COLORREF>{bodyColour};
    })) << "body " << std::hex << bodyColour << ", the label's first colour " << *labelColours.begin() << " of "
        << labelColours.size();
}

// Every page but the first is made once the window is shown: their controls
// lie over the tab control and stay hidden until their tab is chosen, and
// each version follows its caption, fitted to the caption's bold text, as on
// the first page.
TEST_F(MainWindow, ThePagesMadeAfterTheWindowIsShownLookLikeTheFirst)
{
    const TInstalledMessenger none(L"", false, false);
    Start();
    EXPECT_EQ(GetWindow(Item(IDC_pcMain), GW_HWNDNEXT), nullptr) << "the tab control is below every page's control";
    const std::set<int> advertsTab{IDC_pcMain,   IDC_btnCallm,   IDC_lvOptions,    IDC_shColor,
                                   IDC_lbColor,  IDC_shDrop,     IDC_imgDrop,      IDC_lbDrop,
                                   IDC_bvlAdverts, IDC_dePath,   IDC_dePathBrowse, IDC_lbVersionCaption,
                                   IDC_lbVersion, IDC_btnApply};
    for (HWND child = GetWindow(main_, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (Visible(child)) {
            EXPECT_TRUE(advertsTab.contains(GetDlgCtrlID(child))) << "shown off its tab: " << GetDlgCtrlID(child);
        }
    }
    for (const auto& [captionId, versionId] :
         {std::pair{IDC_lbVersionCaption, IDC_lbVersion}, std::pair{IDC_lbUIVerCaption, IDC_lbUIVer}}) {
        RECT caption{};
        RECT version{};
        GetWindowRect(Item(captionId), &caption);
        GetWindowRect(Item(versionId), &version);
        EXPECT_EQ(version.left - caption.right, Scaled(6)) << "the version after its caption: " << versionId;
    }
}

TEST_F(MainWindow, ASecondStartRestoresTheFirstWindowAndEnds)
{
    const TInstalledMessenger none(L"", false, false);
    Start();
    ShowWindow(main_, SW_MINIMIZE);
    ASSERT_TRUE(WaitFor([&] { return IsIconic(main_) != FALSE; }));

    TQuorvexProcess second(L"", working_.Path().wstring());
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(second.ExitCode(), 0u) << "the second start ends by itself";
    EXPECT_TRUE(WaitFor([&] { return IsIconic(main_) == FALSE && IsWindowVisible(main_); }))
        << "the first window is restored";
    EXPECT_TRUE(quorvex_->Running());

    PostMessageW(main_, WM_CLOSE, 0, 0);
    EXPECT_EQ(quorvex_->ExitCode(), 0u) << "closing the main window ends the program";
}

}  // namespace
}  // namespace quorvex::win32
