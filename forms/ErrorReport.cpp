#include "forms/ErrorReport.h"

#include "platform/Error.h"

#include <exception>

namespace quorvex {

bool RunReportingErrors(const std::function<void()>& action, const TErrorReport& report)
{
    try {
        action();
        return true;
    } catch (const std::exception& error) {
        report(error.what());
    } catch (...) {
        report(std::string(kUnknownError));
    }
    return false;
}

}  // namespace quorvex
