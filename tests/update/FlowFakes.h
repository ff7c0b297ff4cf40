// The update flow's views and seams as fakes without a toolkit: they keep
// what the flow set, answer as the test says, and record what was asked.
#pragma once

#include "forms/UpdateCheckFlow.h"
#include "forms/UpdateDownloadFlow.h"
#include "forms/UpdateSeams.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace quorvex::test {

struct TMessage {
    std::string Caption;
    std::string Text;
    TMsgDlgType Type;
    TMsgDlgButtons Buttons;
    bool operator==(const TMessage&) const = default;
};

inline void PrintTo(const TMessage& message, std::ostream* out)
{
    *out << '"' << message.Caption << ": " << message.Text << '"';
}

class TRecordingMessages final : public IMessageBoxes {
public:
    std::vector<TMessage> Shown;
    std::deque<TModalResult> Answers;  // Ok once they run out
    // Runs while a box is "open", before it is answered.
    std::function<void(const TMessage&)> WhileOpen;

    TModalResult Show(const std::string& caption, const std::string& text, TMsgDlgType type,
                      TMsgDlgButtons buttons) override
    {
        Shown.push_back({caption, text, type, buttons});
        if (WhileOpen)
            WhileOpen(Shown.back());
        if (Answers.empty())
            return TModalResult::Ok;
        const TModalResult answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
};

struct TOpened {
    std::string Verb;
    std::string Target;
    int ShowCommand;
    bool operator==(const TOpened&) const = default;
};

inline void PrintTo(const TOpened& opened, std::ostream* out)
{
    *out << opened.Verb << ' ' << opened.Target << ' ' << opened.ShowCommand;
}

class TRecordingShell final : public IShell {
public:
    using IShell::Open;
    std::vector<TOpened> Opened;

    void Open(const std::string& verb, const std::string& target, int showCommand, TFailure) override
    {
        Opened.push_back({verb, target, showCommand});
    }
};

class TRecordingApplication final : public IApplicationControl {
public:
    int Requests = 0;
    void Terminate() override { ++Requests; }
    bool TerminateRequested() const override { return Requests > 0; }
};

// A deadline that records the time asked for and, when told to, expires
// after a short real time from the test's event loop instead.
class TShortDeadline final : public IDeadlineTimer {
public:
    std::optional<std::chrono::milliseconds> Asked;
    std::optional<std::chrono::milliseconds> ExpireAfter;  // none: never expires
    bool Running = false;

    void Start(std::chrono::milliseconds time, std::function<void()> expired) override;
    void Stop() override;

private:
    std::uint64_t timer_ = 0;
};

struct TFlowSeams {
    std::shared_ptr<TRecordingMessages> Messages = std::make_shared<TRecordingMessages>();
    std::shared_ptr<TRecordingShell> Shell = std::make_shared<TRecordingShell>();
    std::shared_ptr<TRecordingApplication> Application = std::make_shared<TRecordingApplication>();
    std::shared_ptr<TShortDeadline> Deadline = std::make_shared<TShortDeadline>();
    TUpdateSeams Update{Messages, Shell, Application, Deadline};
};

// The download window: what it shows now, and a journal of the calls that
// change its state ("file: ..", "status: ..", "cancel on|off", "timer on|off",
// "show", "maximum: N"); transfer texts and positions go to their own lists.
class TFakeDownloadView final : public IUpdateDownloadView {
public:
    std::vector<std::string> Journal;
    std::vector<std::string> Transfers;
    std::vector<std::int64_t> Positions;
    std::string Speed, Elapsed, Remaining;
    bool Cancel = false;
    bool Visible = false;
    bool TimerRunning = false;
    // Runs on every progress position set while the window is visible.
    std::function<void()> OnProgress;

    void SetFileText(const std::string& text) override { Journal.push_back("file: " + text); }
    void SetStatusText(const std::string& text) override { Journal.push_back("status: " + text); }
    void SetTransferText(const std::string& text) override { Transfers.push_back(text); }
    void SetSpeedText(const std::string& text) override { Speed = text; }
    void SetElapsedText(const std::string& text) override { Elapsed = text; }
    void SetRemainingText(const std::string& text) override { Remaining = text; }
    void SetProgressMaximum(std::int64_t maximum) override { Journal.push_back("maximum: " + std::to_string(maximum)); }
    void SetProgress(std::int64_t position) override
    {
        Positions.push_back(position);
        if (Visible && OnProgress)
            OnProgress();
    }
    void SetCancelEnabled(bool enabled) override
    {
        Cancel = enabled;
        Journal.push_back(enabled ? "cancel on" : "cancel off");
    }
    bool CancelEnabled() const override { return Cancel; }
    void StartTimer() override
    {
        TimerRunning = true;
        Journal.push_back("timer on");
    }
    void StopTimer() override
    {
        TimerRunning = false;
        Journal.push_back("timer off");
    }
    void ShowWindow() override
    {
        Visible = true;
        Journal.push_back("show");
    }
};

// The notification window; RunDownload records the request and runs what
// the test gives it.
class TFakeNotifyView final : public IUpdateNotifyView {
public:
    std::vector<std::string> ReadmeLines;
    std::optional<bool> DownloadEnabled;
    std::vector<TDownloadRequest> Downloads;
    std::function<void(const TDownloadRequest&)> OnDownload;
    bool Closed = false;

    void SetReadmeLines(const std::vector<std::string>& lines) override { ReadmeLines = lines; }
    void SetDownloadEnabled(bool enabled) override { DownloadEnabled = enabled; }
    void RunDownload(const TDownloadRequest& request) override
    {
        Downloads.push_back(request);
        if (OnDownload)
            OnDownload(request);
    }
    void CloseWindow() override { Closed = true; }
};

}  // namespace quorvex::test
