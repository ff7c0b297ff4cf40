// What an apply workflow needs from the window that runs it: the ticks of its
// option list, the messenger folder text, the colour, the status window's
// operations, message boxes and the advert option refresh. The main window
// implements it over its widgets; tests implement it over plain values.
#pragma once

#include <cstdint>
#include <string>

namespace quorvex {

enum class TProgressState { Normal, Paused };

// The status window's operations, in the words of the status log.
class IStatusLog {
public:
    virtual ~IStatusLog() = default;
    virtual void Show() = 0;
    virtual void AppendLine(const std::string& line) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    virtual void SetProgressState(TProgressState state) = 0;
    virtual void EnableClose(bool enabled) = 0;
    // Runs the window's close behaviour.
    virtual void Close() = 0;
};

class IWorkflowHost {
public:
    virtual ~IWorkflowHost() = default;

    // The workflow's own option list, rows addressed by option index.
    virtual bool Ticked(int index) const = 0;
    virtual bool AnyTicked() const = 0;
    // Unticks every row and repaints the list.
    virtual void UntickAll() = 0;

    // The messenger folder text exactly as typed.
    virtual std::string MessengerFolder() const = 0;
    // The colour of the HTML replacement file: bits 0-7 red, 8-15 green, 16-23 blue.
    virtual std::uint32_t AdvertColor() const = 0;

    virtual IStatusLog& StatusLog() = 0;
    // A plain message box: the application title as caption, no icon, one OK button.
    virtual void ShowMessage(const std::string& text) = 0;
    // Brings the advert options' captions and the edit button up to date.
    virtual void AdvertOptionRefresh() = 0;
};

}  // namespace quorvex
