// The update checker's ways out to the user and the desktop, without a
// toolkit: message boxes, the shell that opens a URL or starts the
// installer, the request that ends the application once an update is to be
// installed, and the timer that ends a silent check. Each program gives its
// own (Qt on Linux, Win32 on Windows); tests answer them and record what was
// asked. Texts are UTF-8.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace quorvex {

enum class TMsgDlgType { Plain, Information, Confirmation, Warning, Error };
enum class TMsgDlgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class TModalResult { Ok, Cancel, Yes, No };

// The show commands handed to the shell (the values of the Windows shell's).
inline constexpr int kShowHide = 0;
inline constexpr int kShowNormal = 1;
inline constexpr int kShowNoActivate = 4;
inline constexpr int kShowRestore = 9;

class IMessageBoxes {
public:
    virtual ~IMessageBoxes() = default;
    // Shows a modal message box over the application's active window and
    // returns the button the user pressed. A carriage return breaks a line.
    virtual TModalResult Show(const std::string& caption, const std::string& text, TMsgDlgType type,
                              TMsgDlgButtons buttons) = 0;
};

class IShell {
public:
    // Receives the reason why a target could not be opened.
    using TFailure = std::function<void(const std::string& reason)>;

    virtual ~IShell() = default;
    // Hands a file, a program or a URL to the desktop without waiting for it.
    // When it cannot be opened, onFailure (if given) gets the reason: at once,
    // or from the event loop once the system has said why a program did not
    // start.
    virtual void Open(const std::string& verb, const std::string& target, int showCommand, TFailure onFailure) = 0;
    // For callers that do not examine the result.
    void Open(const std::string& verb, const std::string& target, int showCommand)
    {
        Open(verb, target, showCommand, TFailure());
    }
};

class IApplicationControl {
public:
    virtual ~IApplicationControl() = default;
    // Asks the application to end its event loop and exit once the running
    // handler has returned; a request made before the loop runs ends the
    // program as soon as start-up is over.
    virtual void Terminate() = 0;
    virtual bool TerminateRequested() const = 0;
};

// A one-shot timer: the end of the time that a silent check may take.
class IDeadlineTimer {
public:
    virtual ~IDeadlineTimer() = default;
    // Runs expired once, from the event loop, when the time has passed;
    // a new Start replaces the running one.
    virtual void Start(std::chrono::milliseconds time, std::function<void()> expired) = 0;
    virtual void Stop() = 0;
};

struct TUpdateSeams {
    std::shared_ptr<IMessageBoxes> Messages;
    std::shared_ptr<IShell> Shell;
    std::shared_ptr<IApplicationControl> Application;
    std::shared_ptr<IDeadlineTimer> Deadline;
};

// A message box of the update checker: its caption names its type
// ("Information", "Confirm", "Warning" or "Error").
TModalResult ShowUpdateMessage(IMessageBoxes& messages, const std::string& text, TMsgDlgType type,
                               TMsgDlgButtons buttons = TMsgDlgButtons::Ok);

}  // namespace quorvex
