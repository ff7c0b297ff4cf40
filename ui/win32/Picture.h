// A picture control of the Windows windows: a static control that draws a
// stored JPEG picture fitted to its size (the advert previews) or one of the
// program's artwork icons (the logo, the donate picture) at its top left,
// clipped to its bounds. A change of DPI resizes the control; the picture is
// fitted again to the new size when it is next drawn.
#pragma once

#include "picture/Picture.h"
#include "ui/win32/Window.h"

namespace quorvex {
class TmxStorage;
class TmxStoredItem;
}

namespace quorvex::win32 {

class TPictureBox : public IWindowPart {
public:
    // Makes the control with this id in host at its design bounds (96 DPI),
    // with the static control styles given beside its own (SS_NOTIFY for a
    // picture that answers clicks), and adds itself to the host's parts; it
    // must outlive the host's last message. Throws Error.
    TPictureBox(TWindow& host, int id, RECT designBounds, DWORD extraStyle = 0);
    ~TPictureBox() override;
    TPictureBox(const TPictureBox&) = delete;
    TPictureBox& operator=(const TPictureBox&) = delete;

    HWND Handle() const { return control_; }

    // Shows the stored item's JPEG picture fitted to the control. Throws
    // Error when it is not one; the picture shown stays.
    void ShowStoredItem(TmxStoredItem& item);
    // Shows the program's icon resource of that id at its own size scaled to
    // the window's DPI. Throws Error with the system's reason.
    void ShowIcon(int resourceId);

    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    SIZE ClientSize() const;
    void Draw(HDC dc, const RECT& bounds);
    void DrawPicture(HDC dc);

    HWND control_;
    int id_;
    TmxStoredItem* item_ = nullptr;  // the stored picture shown, fitted again at another size
    TPicture picture_;
    SIZE fittedFor_{};  // the control size picture_ was fitted to
    HICON icon_ = nullptr;
    SIZE iconSize_{};   // at 96 DPI
};

// Shows stored item index of storage in the picture control; throws Error as
// TPictureBox::ShowStoredItem does.
void ShowStoredPicture(TPictureBox& control, const TmxStorage& storage, int index);

}  // namespace quorvex::win32
