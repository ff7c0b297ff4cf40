// The application object: its title and the application error report that
// catches every error reaching the event loop.
#pragma once

#include "forms/ApplicationTitle.h"
#include "ui/qt/QtEventPump.h"

#include <QApplication>
#include <QString>

#include <functional>

namespace quorvex {

// Shows the application error report for a message (its text as
// ErrorReportText gives it): error icon, the application title as caption,
// one OK button.
void ReportApplicationError(const QString& message);

// Runs the action; an error it raises ends it and goes to the application
// error report. False when that happened. Handlers use it where an error must
// not unwind through the toolkit's signal delivery.
bool RunReportingErrors(const std::function<void()>& action);

// While the application object starts, a window system that cannot be
// reached ends the program with one line on standard error and exit status 1,
// in place of the toolkit's abort. The window system's own messages of that
// time are held back: they name the reason in the line, and reach the usual
// output when the start succeeds.
class TWindowSystemStartGuard {
public:
    TWindowSystemStartGuard();
    ~TWindowSystemStartGuard();
    TWindowSystemStartGuard(const TWindowSystemStartGuard&) = delete;
    TWindowSystemStartGuard& operator=(const TWindowSystemStartGuard&) = delete;

    // The start succeeded: the held-back messages go out, the guard ends.
    void Release();

private:
    bool released_ = false;
};

// The guard is the first base, so it is in place before the window system starts.
class TQuorvexApplication : private TWindowSystemStartGuard, public QApplication {
public:
    TQuorvexApplication(int& argc, char** argv);

    // Delivers the event; an error thrown by its handler ends that handler,
    // is reported, and the program goes on.
    bool notify(QObject* receiver, QEvent* event) override;

private:
    // The engine's scans and the HTTP client's requests serve this
    // application's loop while they run.
    TQtEventPump eventPump_;
};

}  // namespace quorvex
