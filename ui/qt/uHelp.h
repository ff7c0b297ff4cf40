// The help window, created hidden at start-up. Its rules are THelpForm's:
// the help document is loaded when the window is first shown.
#pragma once

#include "forms/HelpForm.h"

#include <QWidget>

#include <memory>

namespace Ui {
class TfrmHelp;
}

namespace quorvex {

class TfrmHelp : public QWidget, private IHelpView {
    Q_OBJECT
public:
    // storage is the main window's archive, from which the document is read.
    explicit TfrmHelp(TmxStorage& storage, QWidget* parent = nullptr);
    ~TfrmHelp() override;

    // Shows the window without blocking and brings it forward; the document
    // is loaded the first time only.
    void ShowWindow() { form_.ShowWindow(); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowInFront() override;
    void ShowDocument(TStream& document) override;

    std::unique_ptr<Ui::TfrmHelp> ui_;
    THelpForm form_;
};

}  // namespace quorvex
