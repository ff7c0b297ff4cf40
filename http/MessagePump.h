// The wait of a synchronous request: it runs the thread's event loop, so
// windows repaint, timers fire and loopback servers in the same process are
// served, until it is woken, a time has passed, or the loop is ended from
// outside (the application quitting).
#pragma once

#include <QEventLoop>

namespace quorvex {

class TMessagePump {
public:
    enum TResult { pumpWoken, pumpTimeElapsed, pumpLoopEnded };

    // Pumps for at most maxMilliseconds.
    TResult Wait(int maxMilliseconds);
    // Ends the running Wait with pumpWoken; callable from any handler it runs.
    void Wake();

private:
    QEventLoop loop_;
    bool woken_ = false;
    bool elapsed_ = false;
};

}  // namespace quorvex
