// The HTML replacement file editor: a colour row, a preview of the page in
// that colour, and a save button.
#pragma once

#include "forms/ErrorReport.h"

#include <cstdint>
#include <string>

namespace quorvex {

class IEditView {
public:
    virtual ~IEditView() = default;
    // Shows the document in a file named by a Windows path.
    virtual void ShowFile(const std::string& path) = 0;
    virtual void ShowPage(const std::string& html) = 0;
    virtual void CloseWindow() = 0;
    virtual void ReportError(const std::string& message) = 0;
};

class TEditForm {
public:
    // The preview shows the file as it is now, until the first colour change.
    explicit TEditForm(IEditView& view);

    // The page for the last colour chosen in this window; empty before.
    const std::string& PageText() const { return pageText_; }

    // The colour row took a colour: bits 0-7 red, 8-15 green, 16-23 blue.
    void ColorChange(std::uint32_t colour);
    // Writes the page and closes the window; a file that cannot be written
    // is reported and the window stays.
    void btnSaveClick();

private:
    IEditView& view_;
    std::string pageText_;
};

}  // namespace quorvex
