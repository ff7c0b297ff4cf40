// The help window: the help document (stored item 6) shown in a RichEdit,
// converted from its HTML. Created hidden with the document loaded; closing
// it (close box, Alt+F4, Escape) only hides it.
#pragma once

#include "ui/win32/Window.h"

namespace quorvex {
class TmxStorage;
}

namespace quorvex::win32 {

// The stored item that holds the help document.
inline constexpr int kHelpItem = 6;

class TfrmHelp : public TWindow {
public:
    // storage is the main window's archive, from which the document is read.
    // Throws Error when the window or its RichEdit cannot be made.
    explicit TfrmHelp(const TmxStorage& storage);

    // Shows the window without blocking, the document as it was loaded.
    void ShowWindow();

protected:
    void DpiChanged() override;

private:
    HWND view_;
};

}  // namespace quorvex::win32
