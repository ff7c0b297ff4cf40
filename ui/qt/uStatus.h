// The status window: the progress and the result lines of an apply.
#pragma once

#include "workflows/WorkflowHost.h"

#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class TfrmStatus;
}

namespace quorvex {

class TfrmStatus : public QWidget {
    Q_OBJECT
public:
    static constexpr char kWorking[] = "Applying selected Options ...";

    // messengerFolder gives the text of the Adverts tab's folder field, from
    // which the messenger starts when the window closes with cbOpenYM ticked.
    explicit TfrmStatus(std::function<QString()> messengerFolder, QWidget* parent = nullptr);
    ~TfrmStatus() override;

    // Shows the window without blocking and brings it to the front.
    void Show();
    void AppendLine(const QString& line);
    void SetStatusText(const QString& text);
    void SetProgressState(TProgressState state);
    TProgressState ProgressState() const { return progressState_; }
    void EnableClose(bool enabled);
    // Runs the close behaviour and hides the window.
    void Close();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowReset();

    std::unique_ptr<Ui::TfrmStatus> ui_;
    std::function<QString()> messengerFolder_;
    TProgressState progressState_ = TProgressState::Normal;
};

}  // namespace quorvex
