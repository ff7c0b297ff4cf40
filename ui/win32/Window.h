// A top-level window of the Windows program: its class registered once, made
// hidden at its design client size scaled to its DPI and centred on its
// monitor's work area, its controls made by id from design bounds (96 DPI),
// and the font and the bounds made again when its DPI changes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace quorvex::win32 {

struct TWindowDesign {
    const wchar_t* className;
    std::wstring caption;
    DWORD style;
    DWORD exStyle;
    SIZE clientSize;          // at 96 DPI
    const wchar_t* fontFace;  // of the window and its controls
    int fontHeight;           // character height in pixels at 96 DPI
};

// A piece of a window made of several controls (a colour row, a picture)
// that answers the window's messages about them itself.
class IWindowPart {
public:
    virtual ~IWindowPart() = default;
    // Whether the part handled the message; result is what the window answers.
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
};

class TWindow {
public:
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;
    virtual ~TWindow();

    HWND Handle() const { return handle_; }

    // Shows the window, restored if minimised, in front, without blocking.
    void ShowInFront();
    void Hide();

    // The TWindow whose top-level window this is, or nullptr.
    static TWindow* Of(HWND window);

    // Makes a child control in keyboard (Tab) order of creation. Throws Error.
    HWND AddControl(const wchar_t* className, int id, DWORD style, RECT designBounds);
    // The part sees every message of the window before the window does; it
    // must outlive the window's last message.
    void AddPart(IWindowPart& part) { parts_.push_back(&part); }

protected:
    // Throws Error with the system's reason when the window cannot be made.
    explicit TWindow(const TWindowDesign& design);

    // What the close box, Alt+F4 and Escape do. Hiding, as every window but
    // the main one does.
    virtual void Close();

    // Called after the window's DPI changed and its controls were placed
    // anew, for what the design bounds do not cover.
    virtual void DpiChanged() {}

    UINT Dpi() const { return dpi_; }

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct TControl {
        HWND handle;
        RECT designBounds;
    };

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void ApplyDpi(UINT dpi);
    // Design bounds at the window's DPI.
    RECT ScaledBounds(const RECT& design) const;
    void PlaceControl(const TControl& control) const;
    void FocusControl();

    HWND handle_ = nullptr;
    TWindowDesign design_;
    UINT dpi_ = 0;
    HFONT font_ = nullptr;
    std::vector<TControl> controls_;
    std::vector<IWindowPart*> parts_;
    HWND focus_ = nullptr;  // the control that had the focus when the window was left
};

}  // namespace quorvex::win32
