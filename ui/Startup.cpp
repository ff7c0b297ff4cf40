#include "ui/Startup.h"

#include "ui/Application.h"
#include "ui/Seams.h"

#include <QApplication>

#include <exception>

namespace quorvex {

TQuorvexWindows CreateWindows()
{
    TQuorvexWindows windows;
    windows.splash = std::make_unique<TfrmUpdate>();
    windows.splash->ShowNow();
    windows.main = std::make_unique<TfrmQuorvex>(windows.splash.get());
    TfrmQuorvex* main = windows.main.get();
    windows.status = std::make_unique<TfrmStatus>([main] { return main->MessengerFolder(); });
    windows.help = std::make_unique<TfrmHelp>(main->Storage());
    windows.edit = std::make_unique<TfrmEdit>(main, main->ColorDialog());
    main->AttachWindows(windows.status.get(), windows.help.get(), windows.edit.get());
    return windows;
}

int RunQuorvex()
{
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
