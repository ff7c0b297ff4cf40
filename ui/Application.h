// The application object: its title and the application error report that
// catches every error reaching the event loop.
#pragma once

#include <QApplication>
#include <QString>

#include <functional>

namespace quorvex {

// Caption of the application's message boxes and its error report; the
// single-instance guard is named after it too.
inline constexpr char kApplicationTitle[] = "Quorvex";

// Shows the application error report for a message (its text as
// ErrorReportText gives it): error icon, the application title as caption,
// one OK button.
void ReportApplicationError(const QString& message);

// Runs the action; an error it raises ends it and goes to the application
// error report. False when that happened. Handlers use it where an error must
// not unwind through the toolkit's signal delivery.
bool RunReportingErrors(const std::function<void()>& action);

class TQuorvexApplication : public QApplication {
public:
    TQuorvexApplication(int& argc, char** argv);

    // Delivers the event; an error thrown by its handler ends that handler,
    // is reported, and the program goes on.
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace quorvex
