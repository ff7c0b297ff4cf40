#include "forms/EditForm.h"

#include "engine/HtmlFile.h"

namespace quorvex {

TEditForm::TEditForm(IEditView& view) : view_(view)
{
    view_.ShowFile(std::string(kAdvertHtmlPath));
}

void TEditForm::ColorChange(std::uint32_t colour)
{
    pageText_ = AdvertHtmlPage(colour);
    view_.ShowPage(pageText_);
}

// Before any colour was chosen here there is no page to save: the file keeps
// the colour it has, rather than becoming an empty page or a white one.
void TEditForm::btnSaveClick()
{
    RunReportingErrors(
        [this] {
            if (!pageText_.empty())
                WriteAdvertHtml(pageText_);
            view_.CloseWindow();
        },
        [this](const std::string& message) { view_.ReportError(message); });
}

}  // namespace quorvex
