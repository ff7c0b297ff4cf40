// The HTML replacement file editor of quorvex.exe with its colour row (the
// colour dialog, the screen dropper, the hover borders) and its save, on a
// real display; and the picture control, drawn by a window of this program.
#include "archive/Catalogue.h"
#include "archive/mxStorage.h"
#include "picture/Picture.h"
#include "platform/Error.h"
#include "resources/windows/ResourceIds.h"
#include "tests/ui/win32/WindowDriver.h"
#include "ui/win32/ControlIds.h"
#include "ui/win32/Picture.h"
#include "ui/win32/Window.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

namespace quorvex::win32 {
namespace {

constexpr char kFile[] = "C:\\BlankQuorvex.html";
// The page the Linux editor's tests expect for #336699, written byte for byte alike.
constexpr char kPage336699[] = "<html><body bgcolor=\"#336699\" style=\"overflow: hidden;\"></body></html>";
constexpr COLORREF kRestBorder = RGB(167, 166, 170);
constexpr COLORREF kHoverBorder = RGB(255, 0, 0);

// Waits up to ten seconds for the condition, handling this program's own
// window messages meanwhile (its windows paint only so).
template <typename Condition>
bool PumpUntil(Condition condition)
{
    for (int waited = 0; waited < 10000; waited += 20) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (condition())
            return true;
        Sleep(20);
    }
    return condition();
}

void Pump(int milliseconds)
{
    const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
    PumpUntil([end] { return GetTickCount() >= end; });
}

RECT ScreenBounds(HWND window)
{
    RECT bounds{};
    GetWindowRect(window, &bounds);
    return bounds;
}

COLORREF PixelAt(int x, int y)
{
    return ScreenPixels({x, y, x + 1, y + 1}).front();
}

COLORREF CentrePixel(HWND window)
{
    const RECT r = ScreenBounds(window);
    return PixelAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// The top left pixel of the control: its border.
COLORREF BorderPixel(HWND window)
{
    const RECT r = ScreenBounds(window);
    return PixelAt(r.left, r.top);
}

std::string Hex(COLORREF colour)
{
    std::ostringstream text;
    text << std::hex << "RGB(" << int{GetRValue(colour)} << "," << int{GetGValue(colour)} << ","
         << int{GetBValue(colour)} << ")";
    return text.str();
}

// Real pointer input, as a person's: the pointer put there and a move
// reported, then the left button.
void MovePointer(POINT to)
{
    SetCursorPos(to.x, to.y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof input);
}

void LeftButton(bool down)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
}

POINT CentreOf(HWND window)
{
    const RECT r = ScreenBounds(window);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

std::optional<std::string> ReadFileText(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void WriteFileText(const char* path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}


class EditWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteFileW(L"C:\\BlankQuorvex.html");
        RemoveDirectoryW(L"C:\\BlankQuorvex.html");
    }
    void TearDown() override
    {
        quorvex_.reset();
        DeleteFileW(L"C:\\BlankQuorvex.html");
        RemoveDirectoryW(L"C:\\BlankQuorvex.html");
    }

    // quorvex.exe showing the editor alone, on the file as the test has left it.
    void Start()
    {
        quorvex_ = std::make_unique<TQuorvexProcess>(L"--window edit");
        ASSERT_TRUE(quorvex_->Started()) << "quorvex.exe does not start: error " << GetLastError();
        edit_ = quorvex_->WaitForWindow(L" Edit HTML Replacement File");
        ASSERT_NE(edit_, nullptr) << "no editor shown";
        for (const int id : {IDC_shColor, IDC_shDrop, IDC_imgDropp, IDC_wbPreview, IDC_btnSave})
            ASSERT_NE(GetDlgItem(edit_, id), nullptr) << "no control " << id;
        // Painted: the borders drawn and the pipette picture (neither the
        // window's colour nor the frame's white) in its frame.
        ASSERT_TRUE(WaitFor([this] {
            const COLORREF pipette = CentrePixel(Control(IDC_imgDropp));
            return BorderPixel(Control(IDC_shColor)) == kRestBorder && BorderPixel(Control(IDC_shDrop)) == kRestBorder
                && pipette != GetSysColor(COLOR_BTNFACE) && pipette != RGB(255, 255, 255);
        })) << "the colour row is not drawn";
    }
    HWND Control(int id) const { return GetDlgItem(edit_, id); }

    // Clicks the colour box (with the left button, or another) and answers
    // the colour dialog with the colour typed into its custom colour fields,
    // then OK (or Cancel).
    void ChooseInDialog(int red, int green, int blue, bool accept = true, UINT down = WM_LBUTTONDOWN,
                        UINT up = WM_LBUTTONUP)
    {
        PostMessageW(Control(IDC_shColor), down, 0, MAKELPARAM(5, 5));
        PostMessageW(Control(IDC_shColor), up, 0, MAKELPARAM(5, 5));
        const HWND dialog = WaitForOwnedDialog(edit_);
        ASSERT_NE(dialog, nullptr) << "no colour dialog over the editor";
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, kDefineCustomColors))) << "the dialog opens with default options";
        SendMessageW(GetDlgItem(dialog, kDefineCustomColors), BM_CLICK, 0, 0);
        lastDialogStart_ = {TextOf(GetDlgItem(dialog, kRedEdit)), TextOf(GetDlgItem(dialog, kGreenEdit)),
                            TextOf(GetDlgItem(dialog, kBlueEdit))};
        SendMessageW(GetDlgItem(dialog, kRedEdit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(std::to_wstring(red).c_str()));
        SendMessageW(GetDlgItem(dialog, kGreenEdit), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(std::to_wstring(green).c_str()));
        SendMessageW(GetDlgItem(dialog, kBlueEdit), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(std::to_wstring(blue).c_str()));
        SendMessageW(GetDlgItem(dialog, accept ? IDOK : IDCANCEL), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitFor([dialog] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));
    }
    bool BoxShows(COLORREF colour) const
    {
        return WaitFor([&] { return CentrePixel(Control(IDC_shColor)) == colour; });
    }
    bool PreviewShows(COLORREF colour) const
    {
        return WaitFor([&] { return CentrePixel(Control(IDC_wbPreview)) == colour; });
    }

    std::unique_ptr<TQuorvexProcess> quorvex_;
    HWND edit_ = nullptr;
    struct {
        std::string red, green, blue;
    } lastDialogStart_;
};

TEST_F(EditWindow, IsAFixedDialogOfItsDesignWithTheRowThePreviewAndTheSaveButton)
{
    Start();
    EXPECT_EQ(ClassOf(edit_), L"TFRMEDIT");
    RECT client{};
    GetClientRect(edit_, &client);
    EXPECT_EQ(client.right, Scaled(345));
    EXPECT_EQ(client.bottom, Scaled(295));
    const LONG_PTR style = GetWindowLongPtrW(edit_, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

    const struct {
        int Id;
        RECT Bounds;  // in the client area at 96 DPI
    } controls[] = {
        {IDC_shColor, {8, 8, 32, 32}},      {IDC_shDrop, {176, 8, 200, 32}},   {IDC_imgDropp, {178, 10, 198, 30}},
        {IDC_gbPreview, {8, 40, 337, 251}}, {IDC_wbPreview, {17, 50, 328, 241}}, {IDC_btnSave, {97, 260, 247, 285}},
    };
    for (const auto& control : controls) {
        const RECT at = InClient(edit_, ScreenBounds(Control(control.Id)));
        // Placed and sized at the DPI each on its own, as the window places controls.
        const RECT& b = control.Bounds;
        const RECT want{Scaled(b.left), Scaled(b.top), Scaled(b.left) + Scaled(b.right - b.left),
                        Scaled(b.top) + Scaled(b.bottom - b.top)};
        EXPECT_TRUE(Same(at, want)) << control.Id << " at " << at.left << "," << at.top << "," << at.right << ","
                                    << at.bottom;
    }
    EXPECT_EQ(TextOf(Control(IDC_btnSave)), "&Save Changes");
    EXPECT_EQ(TextOf(Control(IDC_lbColor)), "Background Color");
    EXPECT_EQ(TextOf(Control(IDC_lbDrop)), "Get Color from Screen");
    EXPECT_EQ(TextOf(Control(IDC_gbPreview)), "");
    EXPECT_FALSE(GetWindowLongPtrW(Control(IDC_wbPreview), GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL));
    EXPECT_EQ(CentrePixel(Control(IDC_shColor)), RGB(255, 255, 255)) << "white before a colour is chosen";
    EXPECT_EQ(BorderPixel(Control(IDC_shColor)), kRestBorder);
    EXPECT_EQ(BorderPixel(Control(IDC_shDrop)), kRestBorder);
}

TEST_F(EditWindow, ThePreviewShowsTheFileAtStartUpOrWhyItCannot)
{
    WriteFileText(kFile, "<html><body bgcolor=\"#0000FF\" style=\"overflow: hidden;\"></body></html>\r\n");
    Start();
    EXPECT_TRUE(PreviewShows(RGB(0, 0, 255))) << Hex(CentrePixel(Control(IDC_wbPreview)));
    quorvex_.reset();

    DeleteFileW(L"C:\\BlankQuorvex.html");
    Start();
    const std::string shown = TextOf(Control(IDC_wbPreview));
    EXPECT_NE(shown.find("This page cannot be shown."), std::string::npos) << shown;
    EXPECT_NE(shown.find(kFile), std::string::npos) << shown;
}

TEST_F(EditWindow, TheDialogsColourFillsTheBoxAndThePreviewAndTheDialogRemembersIt)
{
    Start();
    ChooseInDialog(0x33, 0x66, 0x99);
    EXPECT_TRUE(BoxShows(RGB(0x33, 0x66, 0x99))) << Hex(CentrePixel(Control(IDC_shColor)));
    EXPECT_TRUE(PreviewShows(RGB(0x33, 0x66, 0x99))) << Hex(CentrePixel(Control(IDC_wbPreview)));
    EXPECT_EQ(lastDialogStart_.red + "," + lastDialogStart_.green + "," + lastDialogStart_.blue, "0,0,0")
        << "black before the first colour";

    ChooseInDialog(1, 2, 3, false, WM_RBUTTONDOWN, WM_RBUTTONUP);
    EXPECT_EQ(lastDialogStart_.red + "," + lastDialogStart_.green + "," + lastDialogStart_.blue, "51,102,153")
        << "the dialog opens at the last accepted colour; any button opens it";
    Sleep(200);
    EXPECT_EQ(CentrePixel(Control(IDC_shColor)), RGB(0x33, 0x66, 0x99)) << "Cancel keeps the colour";
}

TEST_F(EditWindow, SaveWritesThePageOfTheChosenColourAndHidesTheWindow)
{
    WriteFileText(kFile, "old");
    Start();
    ChooseInDialog(0x33, 0x66, 0x99);
    SendMessageW(Control(IDC_btnSave), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([this] { return !IsWindowVisible(edit_); })) << "saving closes the window";
    EXPECT_EQ(ReadFileText(kFile), std::string(kPage336699) + "\r\n");
    EXPECT_TRUE(quorvex_->Running()) << "closing only hides it";
}

TEST_F(EditWindow, SaveBeforeAnyColourKeepsTheFile)
{
    WriteFileText(kFile, "<html><body bgcolor=\"#123456\"></body></html>\r\n");
    Start();
    SendMessageW(Control(IDC_btnSave), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([this] { return !IsWindowVisible(edit_); }));
    EXPECT_EQ(ReadFileText(kFile), "<html><body bgcolor=\"#123456\"></body></html>\r\n");
}

TEST_F(EditWindow, AFileThatCannotBeWrittenIsReportedAndTheWindowStays)
{
    ASSERT_TRUE(CreateDirectoryW(L"C:\\BlankQuorvex.html", nullptr));
    Start();
    ChooseInDialog(0x33, 0x66, 0x99);
    PostMessageW(Control(IDC_btnSave), BM_CLICK, 0, 0);
    const HWND box = WaitForOwnedDialog(edit_);
    ASSERT_NE(box, nullptr) << "no error report";
    EXPECT_EQ(TextOf(box), "Quorvex");
    const std::string text = MessageTextOf(box);
    EXPECT_EQ(text.rfind("Cannot create file \"", 0), 0u) << text;
    EXPECT_NE(text.find("BlankQuorvex.html"), std::string::npos) << text;
    ASSERT_NE(IconOf(box), nullptr);
    SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(IsWindowVisible(edit_));
    EXPECT_EQ(GetFileAttributesW(L"C:\\BlankQuorvex.html") & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
}

TEST_F(EditWindow, EscapeHidesItAndTheColourStaysForALaterSave)
{
    Start();
    ChooseInDialog(0x33, 0x66, 0x99);
    PostMessageW(Control(IDC_btnSave), WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(WaitFor([this] { return !IsWindowVisible(edit_); })) << "Escape hides it";
    EXPECT_FALSE(ReadFileText(kFile).has_value()) << "nothing written";
    ShowWindow(edit_, SW_SHOW);
    EXPECT_TRUE(BoxShows(RGB(0x33, 0x66, 0x99)));
    SendMessageW(Control(IDC_btnSave), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([this] { return !IsWindowVisible(edit_); }));
    EXPECT_EQ(ReadFileText(kFile), std::string(kPage336699) + "\r\n");
}

// A window of this program filled with one colour, somewhere the editor is not.
class TColourPatch {
public:
    explicit TColourPatch(COLORREF colour) : brush_(CreateSolidBrush(colour))
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hbrBackground = brush_;
        windowClass.lpszClassName = L"QuorvexTestColourPatch";
        RegisterClassW(&windowClass);
        // Never active, so that the editor keeps the pointer while its button is held.
        window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, L"QuorvexTestColourPatch", L"", WS_POPUP, 20, 20,
                                  100, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ShowWindow(window_, SW_SHOWNOACTIVATE);
        UpdateWindow(window_);
    }
    ~TColourPatch()
    {
        DestroyWindow(window_);
        UnregisterClassW(L"QuorvexTestColourPatch", GetModuleHandleW(nullptr));
        DeleteObject(brush_);
    }
    POINT Centre() const { return {70, 70}; }

private:
    HBRUSH brush_;
    HWND window_ = nullptr;
};

TEST_F(EditWindow, TheDropperTakesTheColourUnderThePointerWhileTheButtonIsHeld)
{
    Start();
    const COLORREF patchColour = RGB(0x0F, 0xA0, 0x00);
    TColourPatch patch(patchColour);
    ASSERT_TRUE(PumpUntil([&] { return PixelAt(patch.Centre().x, patch.Centre().y) == patchColour; }))
        << "the colour patch is not on the screen";
    const HWND pipette = Control(IDC_imgDropp);
    const COLORREF pipetteAtRest = CentrePixel(pipette);
    ASSERT_NE(pipetteAtRest, RGB(255, 255, 255)) << "the pipette picture is drawn";

    MovePointer(CentreOf(pipette));
    Pump(100);
    LeftButton(true);
    EXPECT_TRUE(PumpUntil([&] { return CentrePixel(pipette) == RGB(255, 255, 255); }))
        << "the pipette is in the hand: its control is blank";
    MovePointer(patch.Centre());
    EXPECT_TRUE(PumpUntil([&] { return CentrePixel(Control(IDC_shColor)) == patchColour; }))
        << "the box takes the colour under the pointer: " << Hex(CentrePixel(Control(IDC_shColor)));
    EXPECT_TRUE(PumpUntil([&] { return CentrePixel(Control(IDC_wbPreview)) == patchColour; }))
        << "each reading rebuilds the preview";
    LeftButton(false);
    EXPECT_TRUE(PumpUntil([&] { return CentrePixel(pipette) == pipetteAtRest; })) << "the pipette comes back";

    // After the release the box keeps the colour wherever the pointer goes.
    MovePointer({ScreenBounds(edit_).left + 5, ScreenBounds(edit_).bottom - 5});
    Pump(700);
    EXPECT_EQ(CentrePixel(Control(IDC_shColor)), patchColour);

    SendMessageW(Control(IDC_btnSave), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([this] { return !IsWindowVisible(edit_); }));
    EXPECT_EQ(ReadFileText(kFile), "<html><body bgcolor=\"#0FA000\" style=\"overflow: hidden;\"></body></html>\r\n");
}

TEST_F(EditWindow, TheRightButtonOnThePipetteDoesNotPick)
{
    Start();
    const HWND pipette = Control(IDC_imgDropp);
    const COLORREF pipetteAtRest = CentrePixel(pipette);
    PostMessageW(pipette, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
    Sleep(800);  // more than two readings' time
    EXPECT_EQ(CentrePixel(pipette), pipetteAtRest) << "the pipette stays in its frame";
    EXPECT_EQ(CentrePixel(Control(IDC_shColor)), RGB(255, 255, 255)) << "no colour taken";
    PostMessageW(pipette, WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
}

TEST_F(EditWindow, TheBoxLightsUnderThePointerAndTheFrameOnlyOverThePipette)
{
    Start();
    MovePointer(CentreOf(Control(IDC_shColor)));
    EXPECT_TRUE(WaitFor([&] { return BorderPixel(Control(IDC_shColor)) == kHoverBorder; }))
        << Hex(BorderPixel(Control(IDC_shColor)));

    // The frame's own border, outside the pipette: in the editor the frame stays at rest.
    const RECT frame = ScreenBounds(Control(IDC_shDrop));
    MovePointer({frame.left, frame.top});
    EXPECT_TRUE(WaitFor([&] { return BorderPixel(Control(IDC_shColor)) == kRestBorder; })) << "the box goes out";
    Sleep(200);
    EXPECT_EQ(BorderPixel(Control(IDC_shDrop)), kRestBorder);

    MovePointer(CentreOf(Control(IDC_imgDropp)));
    EXPECT_TRUE(WaitFor([&] { return BorderPixel(Control(IDC_shDrop)) == kHoverBorder; }))
        << Hex(BorderPixel(Control(IDC_shDrop)));
    MovePointer({ScreenBounds(edit_).left + 5, ScreenBounds(edit_).bottom - 5});
    EXPECT_TRUE(WaitFor([&] { return BorderPixel(Control(IDC_shDrop)) == kRestBorder; }));
}

// A window of this program holding one picture control.
class TPictureWindow : public TWindow {
public:
    TPictureWindow()
        : TWindow({L"QuorvexTestPictures", L"Pictures", WS_POPUP, 0, {240, 240}, L"Tahoma", 11}),
          preview(*this, IDC_imgPreview, {10, 10, 199, 212})
    {
    }
    TPictureBox preview;
};

TEST(PictureBox, DrawsTheStoredPictureFittedAtItsTopLeftAndKeepsItForABadItem)
{
    TmxStorage storage;
    LoadStoredCatalogue(storage);
    TPictureWindow window;
    ShowStoredPicture(window.preview, storage, 0);
    SetWindowPos(window.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    const RECT bounds = ScreenBounds(window.preview.Handle());
    const int width = bounds.right - bounds.left;
    const TPicture expected = FittedPicture(storage.ItemByIndex(0), {width, bounds.bottom - bounds.top});
    ASSERT_EQ(expected.Size.Height, bounds.bottom - bounds.top) << "a tall picture takes the control's height";
    ASSERT_LT(expected.Size.Width, width);

    const auto matches = [&] {
        const std::vector<COLORREF> shown = ScreenPixels(bounds);
        for (int y = 0; y < expected.Size.Height; ++y) {
            for (int x = 0; x < width; ++x) {
                const COLORREF pixel = shown[static_cast<std::size_t>(y) * width + x];
                const std::uint32_t want = expected.Pixel(std::min(x, expected.Size.Width - 1), y);
                const COLORREF wanted = x < expected.Size.Width
                    ? RGB(want >> 16 & 0xFF, want >> 8 & 0xFF, want & 0xFF)
                    : GetSysColor(COLOR_BTNFACE);
                if (pixel != wanted)
                    return false;
            }
        }
        return true;
    };
    EXPECT_TRUE(PumpUntil(matches)) << "the fitted picture at the top left, the window's colour beside it";

    EXPECT_THROW(ShowStoredPicture(window.preview, storage, 6), Error) << "the help page is no picture";
    InvalidateRect(window.preview.Handle(), nullptr, TRUE);
    Pump(200);
    EXPECT_TRUE(matches()) << "the picture shown stays";
}

TEST(PictureBox, DrawsAnArtworkIconAtItsOwnSizeAndRefusesAMissingOne)
{
    TPictureWindow window;
    window.preview.ShowIcon(IDI_LOGO);
    SetWindowPos(window.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    const RECT bounds = ScreenBounds(window.preview.Handle());
    const int width = bounds.right - bounds.left;
    const COLORREF background = GetSysColor(COLOR_BTNFACE);
    const SIZE logo{Scaled(125), Scaled(51)};  // logo.png's size at the display's DPI
    int inside = 0;
    int outside = 0;
    const auto count = [&] {
        inside = outside = 0;
        const std::vector<COLORREF> shown = ScreenPixels(bounds);
        for (std::size_t at = 0; at < shown.size(); ++at) {
            const int x = static_cast<int>(at % static_cast<std::size_t>(width));
            const int y = static_cast<int>(at / static_cast<std::size_t>(width));
            const bool drawn = shown[at] != background;
            (x < logo.cx && y < logo.cy ? inside : outside) += drawn;
        }
        return inside > logo.cx * logo.cy / 10;
    };
    EXPECT_TRUE(PumpUntil(count)) << inside << " pixels of the logo drawn";
    EXPECT_EQ(outside, 0) << "nothing beyond the logo's own size";

    try {
        window.preview.ShowIcon(4242);
        FAIL() << "no error for a missing picture";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()).rfind("Cannot load the picture 4242: ", 0), 0u) << error.what();
    }
}

}  // namespace
}  // namespace quorvex::win32
