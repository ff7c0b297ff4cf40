// An error raised by what a window does in answer to an event ends that
// action and goes to the application error report, never further.
#pragma once

#include <functional>
#include <string>

namespace quorvex {

// Shows the application error report for a message (the error's own text).
using TErrorReport = std::function<void(const std::string& message)>;

// Runs the action; an error it raises ends it and goes to report. False when
// that happened.
bool RunReportingErrors(const std::function<void()>& action, const TErrorReport& report);

}  // namespace quorvex
