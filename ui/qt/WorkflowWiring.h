// The main window's side of the apply workflows: its widgets seen as the
// host a workflow runs against, and the controls held still while one runs.
#pragma once

#include "workflows/WorkflowHost.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

namespace quorvex {

class TFolderEdit;
class TOptionListView;
class TShape;
class TfrmStatus;

// The status window seen as the workflows' status log.
class TStatusWindowLog final : public IStatusLog {
public:
    explicit TStatusWindowLog(TfrmStatus& window) : window_(window) {}

    void Show() override;
    void AppendLine(const std::string& line) override;
    void SetStatusText(const std::string& text) override;
    void SetProgressState(TProgressState state) override;
    void EnableClose(bool enabled) override;
    void Close() override;

private:
    TfrmStatus& window_;
};

// What a workflow reads and changes in the main window.
struct TWorkflowWidgets {
    TOptionListView& List;
    TFolderEdit& Folder;
    TShape& Color;
    TfrmStatus& Status;
    QWidget* Owner;  // the parent of the message boxes
    std::function<void()> AdvertOptionRefresh;
};

class TWorkflowWindowHost final : public IWorkflowHost {
public:
    explicit TWorkflowWindowHost(const TWorkflowWidgets& widgets) : widgets_(widgets), log_(widgets.Status) {}

    bool Ticked(int index) const override;
    bool AnyTicked() const override;
    void UntickAll() override;
    std::string MessengerFolder() const override;
    std::uint32_t AdvertColor() const override;
    IStatusLog& StatusLog() override { return log_; }
    void ShowMessage(const std::string& text) override;
    void AdvertOptionRefresh() override { widgets_.AdvertOptionRefresh(); }

private:
    TWorkflowWidgets widgets_;
    TStatusWindowLog log_;
};

// Disables the controls that start a workflow or change its ticks for as long
// as it lives, so that nothing reaches them while a workflow serves the event
// loop; those that were enabled are enabled again when it goes, also when an
// error ends the workflow.
class TApplyLock {
public:
    explicit TApplyLock(const std::vector<QWidget*>& controls);
    ~TApplyLock();
    TApplyLock(const TApplyLock&) = delete;
    TApplyLock& operator=(const TApplyLock&) = delete;

private:
    std::vector<QPointer<QWidget>> disabled_;
};

}  // namespace quorvex
