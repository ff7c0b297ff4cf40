// The HTML replacement file editor, created hidden at start-up: a colour row
// of its own, a preview of the page in that colour, and a save button. Its
// rules are TEditForm's; it draws them.
#pragma once

#include "forms/EditForm.h"

#include <QWidget>

#include <memory>
#include <string>

namespace Ui {
class TfrmEdit;
}

class QTimer;

namespace quorvex {

class TColorDialog;
class TColorRow;

class TfrmEdit : public QWidget, private IEditView {
    Q_OBJECT
public:
    // owner is the main window, for which the editor is transient, over which
    // it is centred and whose colour dialog it shares.
    TfrmEdit(QWidget* owner, TColorDialog& cdColor);
    ~TfrmEdit() override;

    // Shows the window without blocking and brings it forward.
    void ShowWindow();

    // The page for the last colour chosen in this window; empty before.
    const std::string& PageText() const { return form_->PageText(); }

private:
    void ShowFile(const std::string& path) override;
    void ShowPage(const std::string& html) override;
    void CloseWindow() override;
    void ReportError(const std::string& message) override;

    std::unique_ptr<Ui::TfrmEdit> ui_;
    QTimer* tmrDropp;
    TColorRow* colorRow_;
    // Made once the preview is there to show the file.
    std::unique_ptr<TEditForm> form_;
};

}  // namespace quorvex
