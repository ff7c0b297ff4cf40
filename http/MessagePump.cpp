#include "http/MessagePump.h"

#include <QTimer>

namespace quorvex {

TMessagePump::TResult TMessagePump::Wait(int maxMilliseconds)
{
    woken_ = false;
    elapsed_ = false;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop_, [this] {
        elapsed_ = true;
        loop_.quit();
    });
    timer.start(maxMilliseconds);
    // exec() returns at once when the application is already quitting.
    loop_.exec();
    if (woken_)
        return pumpWoken;
    return elapsed_ ? pumpTimeElapsed : pumpLoopEnded;
}

void TMessagePump::Wake()
{
    woken_ = true;
    loop_.quit();
}

}  // namespace quorvex
