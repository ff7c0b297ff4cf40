#include "tests/ui/win32/WindowDriver.h"

#include "platform/Text.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <random>

namespace quorvex::win32 {

std::wstring gQuorvex;
std::wstring gMessengerFolder;
UINT gDpi = 96;

int Scaled(int designPixels)
{
    return MulDiv(designPixels, static_cast<int>(gDpi), 96);
}

namespace fs = std::filesystem;

fs::path FromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0')
        return {};
    std::string path = value;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return fs::path("Z:" + path);
}

std::string Bytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

TSiteFolder MakeSiteFolder(const fs::path& peers, const std::string& prefix)
{
    const std::string port = Bytes(peers / "nginx" / "port");
    if (port.empty())
        return {};
    static std::mt19937 random{std::random_device{}()};
    const std::string name = prefix + std::to_string(random());
    TSiteFolder site;
    site.Folder = peers / "nginx" / "root" / name;
    fs::create_directories(site.Folder);
    site.Host = "http://127.0.0.1:" + port.substr(0, port.find_first_of("\r\n")) + "/";
    site.Address = site.Host + name + "/";
    return site;
}

void Write(const fs::path& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
}

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

fs::path KnownFolder(const wchar_t* variable)
{
    wchar_t value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(variable, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? fs::path(value) : fs::path();
}

std::vector<fs::path> DownloadsNamed(const std::string& name)
{
    const fs::path local = KnownFolder(L"LOCALAPPDATA");
    std::vector<fs::path> found;
    for (const fs::path& folder : {local / "Downloaded Installations", local / "Temp", local / "Quorvex",
                                   KnownFolder(L"WINDIR") / "Downloaded Installations"}) {
        std::error_code error;
        for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
            if (entry->path().filename().string().rfind(name, 0) == 0)
                found.push_back(entry->path());
        }
    }
    return found;
}

HWND Control(HWND window, int id)
{
    return GetDlgItem(window, id);
}

void Click(HWND window, int id)
{
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Control(window, id)));
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    CharUpperW(name);
    return name;
}

std::string TextOf(HWND control)
{
    const auto length = SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    const auto got = SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got));
    return Utf16ToUtf8(text);
}

RECT InClient(HWND window, RECT screen)
{
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&screen), 2);
    return screen;
}

bool Same(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::vector<COLORREF> ScreenPixels(const RECT& area)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> bgra(static_cast<std::size_t>(width) * height);
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), bgra.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    std::vector<COLORREF> pixels;
    for (const DWORD p : bgra)
        pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    return pixels;
}

TRemoteMemory::TRemoteMemory(HWND window, std::size_t size)
{
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id);
    if (process_ != nullptr)
        address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    EXPECT_NE(address_, nullptr) << "no memory in the window's process: error " << GetLastError();
}

TRemoteMemory::~TRemoteMemory()
{
    if (address_ != nullptr)
        VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_ != nullptr)
        CloseHandle(process_);
}

void TRemoteMemory::Write(const void* data, std::size_t size, std::size_t offset)
{
    EXPECT_TRUE(WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr));
}

void TRemoteMemory::Read(void* data, std::size_t size, std::size_t offset) const
{
    EXPECT_TRUE(ReadProcessMemory(process_, static_cast<const char*>(address_) + offset, data, size, nullptr));
}

std::string ListText(HWND list, int row, int column)
{
    constexpr int kCharacters = 512;
    TRemoteMemory remote(list, sizeof(LVITEMW) + kCharacters * sizeof(wchar_t));
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<wchar_t*>(remote.Address() + sizeof(LVITEMW));
    item.cchTextMax = kCharacters;
    remote.Write(&item, sizeof item);
    const auto length = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), remote.Address());
    std::u16string text(static_cast<std::size_t>(length), u'\0');
    remote.Read(text.data(), text.size() * sizeof(char16_t), sizeof(LVITEMW));
    return Utf16ToUtf8(text);
}

bool ListChecked(HWND list, int row)
{
    const auto state = SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK);
    return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

void SetListChecked(HWND list, int row, bool checked)
{
    TRemoteMemory remote(list, sizeof(LVITEMW));
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    remote.Write(&item, sizeof item);
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), remote.Address());
}

RECT ListCaptionBounds(HWND list, int row)
{
    TRemoteMemory remote(list, sizeof(RECT));
    RECT bounds{LVIR_LABEL, 0, 0, 0};
    remote.Write(&bounds, sizeof bounds);
    SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), remote.Address());
    remote.Read(&bounds, sizeof bounds);
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&bounds), 2);
    return bounds;
}

std::vector<std::string> TabCaptions(HWND tabs)
{
    constexpr int kCharacters = 128;
    std::vector<std::string> captions;
    const auto count = SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0);
    TRemoteMemory remote(tabs, sizeof(TCITEMW) + kCharacters * sizeof(wchar_t));
    for (int index = 0; index < count; ++index) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = reinterpret_cast<wchar_t*>(remote.Address() + sizeof(TCITEMW));
        item.cchTextMax = kCharacters;
        remote.Write(&item, sizeof item);
        SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(index), remote.Address());
        std::u16string text(kCharacters, u'\0');
        remote.Read(text.data(), text.size() * sizeof(char16_t), sizeof(TCITEMW));
        captions.push_back(Utf16ToUtf8(text.substr(0, text.find(u'\0'))));
    }
    return captions;
}

HWND IconOf(HWND box)
{
    HWND icon = nullptr;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM found) -> BOOL {
            if (ClassOf(child) == L"STATIC" && (GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                *reinterpret_cast<HWND*>(found) = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&icon));
    return icon;
}

std::string MessageTextOf(HWND box)
{
    return TextOf(GetDlgItem(box, 0xFFFF));
}

HWND WaitForOwnedDialog(HWND owner)
{
    struct TSearch {
        HWND owner;
        HWND found;
    } search{owner, nullptr};
    WaitFor([&] {
        search.found = nullptr;
        EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto& s = *reinterpret_cast<TSearch*>(data);
                if (GetWindow(window, GW_OWNER) == s.owner && IsWindowVisible(window)
                    && ClassOf(window) == L"#32770") {
                    s.found = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    return search.found;
}

}  // namespace quorvex::win32

// win32_window_tests.exe <path of quorvex.exe> [DPI of the display, default 96
// [a synthetic messenger folder]]
int wmain(int argc, wchar_t** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: win32_window_tests <quorvex.exe> [DPI [messenger folder]]\n");
        return 2;
    }
    quorvex::win32::gQuorvex = argv[1];
    if (argc >= 3)
        quorvex::win32::gDpi = static_cast<UINT>(std::wcstoul(argv[2], nullptr, 10));
    if (argc == 4)
        quorvex::win32::gMessengerFolder = argv[3];
    // Sizes read from quorvex.exe's windows in real pixels, not scaled for this program.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    return RUN_ALL_TESTS();
}
