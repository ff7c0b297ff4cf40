// The status window: the progress and the result lines of an apply. Its
// rules are TStatusForm's; it draws them.
#pragma once

#include "forms/StatusForm.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <string>

namespace Ui {
class TfrmStatus;
}

namespace quorvex {

class TfrmStatus : public QWidget, private IStatusView {
    Q_OBJECT
public:
    // messengerFolder gives the text of the Adverts tab's folder field, from
    // which the messenger starts when the window closes with cbOpenYM ticked.
    explicit TfrmStatus(std::function<std::string()> messengerFolder, QWidget* parent = nullptr);
    ~TfrmStatus() override;

    // The window as the workflows' status log.
    TStatusForm& Form() { return form_; }

    // Shows the window without blocking and brings it to the front.
    void Show() { form_.Show(); }
    void AppendLine(const QString& line) { form_.AppendLine(line.toStdString()); }
    void SetStatusText(const QString& text) { form_.SetStatusText(text.toStdString()); }
    void SetProgressState(TProgressState state) { form_.SetProgressState(state); }
    TProgressState ProgressState() const { return form_.ProgressState(); }
    void EnableClose(bool enabled) { form_.EnableClose(enabled); }
    // Runs the close behaviour and hides the window.
    void Close() { form_.Close(); }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowInFront() override;
    void CloseWindow() override;
    void WriteLine(const std::string& line) override;
    void ClearLines() override;
    void DrawStatusText(const std::string& text) override;
    void DrawProgress(TProgressState state) override;
    void DrawCloseEnabled(bool enabled) override;
    bool OpenMessengerTicked() const override;
    void OpenHidden(const std::string& target) override;

    std::unique_ptr<Ui::TfrmStatus> ui_;
    TStatusForm form_;
};

}  // namespace quorvex
