#include "ui/qt/Startup.h"

#include "engine/MessengerInfo.h"
#include "engine/TQuorvex.h"
#include "ui/qt/Application.h"
#include "ui/qt/Seams.h"

#include <QApplication>

#include <exception>

namespace quorvex {

TQuorvexWindows CreateWindows(const TMessengerLocation& location)
{
    TQuorvexWindows windows;
    windows.splash = std::make_unique<TfrmUpdate>();
    windows.splash->ShowNow();
    windows.main = std::make_unique<TfrmQuorvex>(windows.splash.get(), location);
    return windows;
}

TMessengerLocation UseMessengerPrefix(const std::string& givenPrefix)
{
    return LocateMessenger(givenPrefix, {});
}

namespace {

// What the main window reads as it is made and first shown: the messenger's
// version and the settings behind the advert options' captions.
void ReadStartupValues()
{
    try {
        YahooVersion();
        TQuorvex engine;
        engine.CheckMulti();
        engine.CheckSmiley();
        engine.CheckAuto();
    } catch (...) {
        // Only a warm-up: the windows read these again and report what fails.
    }
}

}  // namespace

TStartupReadAhead::TStartupReadAhead(const std::string& givenPrefix) : location_(UseMessengerPrefix(givenPrefix))
{
    reader_ = std::jthread(ReadStartupValues);
}

void TStartupReadAhead::Wait()
{
    if (reader_.joinable())
        reader_.join();
}

int RunQuorvex(TStartupReadAhead readAhead)
{
    TQuorvexWindows windows;
    // Start-up runs before the event loop, whose error report it cannot reach:
    // an error here is reported the same way and ends the program.
    const bool created = RunReportingErrors([&windows, &readAhead] { windows = CreateWindows(readAhead.Location()); });
    readAhead.Wait();
    if (!created)
        return 1;
    // A second instance has asked the first to come forward, or the start-up
    // update check started an installer: it ends here.
    if (windows.main->OneInstance().TerminateRequested() || Seams().Application->TerminateRequested())
        return 0;
    windows.main->show();
    return QApplication::exec();
}

}  // namespace quorvex
