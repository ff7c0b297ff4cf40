// The HTML replacement file editor in Win32: a colour row of its own, a
// preview of the page in that colour, and a save button. Its rules are
// TEditForm's; it draws them. Created hidden; closing it only hides it.
#pragma once

#include "forms/EditForm.h"
#include "ui/win32/ColorRow.h"
#include "ui/win32/Window.h"

#include <memory>
#include <string>

namespace quorvex::win32 {

class TfrmEdit : public TWindow, private IEditView {
public:
    // cdColor is the main window's colour dialog, which the editor shares.
    // Throws Error when the window or its controls cannot be made.
    explicit TfrmEdit(TColorDialog& cdColor);
    ~TfrmEdit() override;

    // Shows the window without blocking and brings it forward.
    void ShowWindow();

    // The page for the last colour chosen in this window; empty before.
    const std::string& PageText() const { return form_->PageText(); }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void ShowFile(const std::string& path) override;
    void ShowPage(const std::string& html) override;
    void CloseWindow() override;
    void ReportError(const std::string& message) override;

    HWND preview_;
    std::unique_ptr<TColorRow> colorRow_;
    // Made once the preview is there to show the file.
    std::unique_ptr<TEditForm> form_;
};

}  // namespace quorvex::win32
