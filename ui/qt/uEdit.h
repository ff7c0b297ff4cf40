// The HTML replacement file editor, created hidden at start-up: a colour row
// of its own, a preview of the page in that colour, and a save button.
#pragma once

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

class TfrmEdit : public QWidget {
    Q_OBJECT
public:
    // owner is the main window, for which the editor is transient, over which
    // it is centred and whose colour dialog it shares.
    TfrmEdit(QWidget* owner, TColorDialog& cdColor);
    ~TfrmEdit() override;

    // Shows the window without blocking and brings it forward.
    void ShowWindow();

    // The page for the last colour chosen in this window; empty before.
    const std::string& PageText() const { return pageText_; }

    // Handlers, named after their control and event.
    void btnSaveClick();
    void ColorChange(const QColor& colour);

private:
    std::unique_ptr<Ui::TfrmEdit> ui_;
    QTimer* tmrDropp;
    TColorRow* colorRow_;
    std::string pageText_;
};

}  // namespace quorvex
