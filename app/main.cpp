// Quorvex: removes or replaces the adverts of a messenger installed in a Wine prefix.
#include "engine/EventLoopHook.h"
#include "ui/Application.h"
#include "ui/Startup.h"

int main(int argc, char** argv)
{
    quorvex::TQuorvexApplication application(argc, argv);
    // The engine's pattern scans serve the event loop while they run.
    quorvex::SetEventLoopHook([] { QCoreApplication::processEvents(); });
    return quorvex::RunQuorvex();
}
