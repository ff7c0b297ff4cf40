#include "ui/qt/QtEventPump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace quorvex {
namespace {

constexpr int kServeIntervalMs = 5;

}  // namespace

TQtEventPump::TQtEventPump() : previous_(SetEventPump(this))
{
    serving_.setInterval(kServeIntervalMs);
}

TQtEventPump::~TQtEventPump()
{
    SetEventPump(previous_);
}

// A nested loop that ends once the pending events are served: unlike
// processEvents(), it returns at once (with -1) when the application is
// quitting, and serves deferred deletions as the program's loop does.
bool TQtEventPump::ServeOnce()
{
    if (QCoreApplication::closingDown())
        return false;
    QEventLoop loop;
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    return loop.exec() == 0;
}

void TQtEventPump::Post(std::function<void()> action)
{
    QTimer::singleShot(0, QCoreApplication::instance(), std::move(action));
}

void TQtEventPump::StartServing(std::function<void()> serve)
{
    serving_.disconnect();
    QObject::connect(&serving_, &QTimer::timeout, std::move(serve));
    serving_.start();
}

void TQtEventPump::StopServing()
{
    serving_.stop();
    serving_.disconnect();
}

}  // namespace quorvex
