#include "ui/Startup.h"

#include "engine/MessengerInfo.h"
#include "platform/PrefixDiscovery.h"
#include "ui/Application.h"
#include "ui/Seams.h"
#include "workflows/WorkflowSteps.h"

#include <QApplication>

#include <exception>

namespace quorvex {

TQuorvexWindows CreateWindows()
{
    TQuorvexWindows windows;
    windows.splash = std::make_unique<TfrmUpdate>();
    windows.splash->ShowNow();
    windows.main = std::make_unique<TfrmQuorvex>(windows.splash.get());
    return windows;
}

void UseMessengerPrefix()
{
    UseFrontEndPrefixHolding(std::string(kDefaultMessengerFolder) + std::string(kExecutableName));
}

int RunQuorvex()
{
    UseMessengerPrefix();
    TQuorvexWindows windows;
    // Start-up runs before the event loop, whose error report it cannot reach:
    // an error here is reported the same way and ends the program.
    if (!RunReportingErrors([&windows] { windows = CreateWindows(); }))
        return 1;
    // A second instance has asked the first to come forward, or the start-up
    // update check started an installer: it ends here.
    if (windows.main->OneInstance().TerminateRequested() || Seams().Application->TerminateRequested())
        return 0;
    windows.main->show();
    return QApplication::exec();
}

}  // namespace quorvex
