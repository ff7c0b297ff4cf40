// The update checker's ways out to the user and the desktop: message boxes,
// the shell that opens a URL or starts the installer, the request that ends
// the application once an update is to be installed, and the timer that ends
// a silent check. The windows reach them only through these interfaces, so
// tests answer them and record what was asked instead of opening real
// dialogs or waiting.
#pragma once

#include <QString>

#include <chrono>
#include <functional>
#include <memory>

class QWidget;

namespace quorvex {

enum class TMsgDlgType { Plain, Information, Confirmation, Warning, Error };
enum class TMsgDlgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class TModalResult { Ok, Cancel, Yes, No };

// The show commands handed to the shell.
enum TShowCommand : int { SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOWNOACTIVATE = 4, SW_RESTORE = 9 };

class IMessageBoxes {
public:
    virtual ~IMessageBoxes() = default;
    // Shows a modal message box and returns the button the user pressed.
    virtual TModalResult Show(QWidget* parent, const QString& caption, const QString& text,
                              TMsgDlgType type, TMsgDlgButtons buttons) = 0;
};

class IShell {
public:
    // Receives the reason why a target could not be opened.
    using TFailure = std::function<void(const QString& reason)>;

    virtual ~IShell() = default;
    // Hands a file, a program or a URL to the desktop without waiting for it.
    // When it cannot be opened, onFailure (if given) gets the reason: at once,
    // or from the event loop once Wine has said why a program did not start.
    virtual void Open(const QString& verb, const QString& target, int showCommand, TFailure onFailure) = 0;
    // For callers that do not examine the result.
    void Open(const QString& verb, const QString& target, int showCommand)
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

// The desktop implementations: Qt message boxes, the desktop's URL and file
// handlers (Windows programs through Wine), the application object.
std::shared_ptr<IMessageBoxes> DesktopMessageBoxes();
std::shared_ptr<IShell> DesktopShell();
std::shared_ptr<IApplicationControl> DesktopApplicationControl();
// The event loop's timer.
std::shared_ptr<IDeadlineTimer> DesktopDeadlineTimer();

}  // namespace quorvex
