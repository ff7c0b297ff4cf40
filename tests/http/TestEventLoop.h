// The program's event loop as the HTTP tests need it, without a toolkit:
// posted actions and timers, installed as the client's event pump
// (platform/EventPump.h). Like a windowed program's loop it knows nothing of the
// client's sockets: a waiting request serves them itself, and through the
// serving that it asks of this loop while a handler runs a loop of its own.
#pragma once

#include "platform/EventPump.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

namespace quorvex::test {

class TTestEventLoop final : public TEventPump {
public:
    // Installs itself for its lifetime; the pump installed before comes back
    // when it is destroyed.
    TTestEventLoop();
    ~TTestEventLoop() override;
    TTestEventLoop(const TTestEventLoop&) = delete;
    TTestEventLoop& operator=(const TTestEventLoop&) = delete;

    // The loop of the running test program.
    static TTestEventLoop& Current();

    using TTimerId = std::uint64_t;
    // Runs action every intervalMs, or once when singleShot, until StopTimer.
    // A timer does not fire again while its action runs.
    TTimerId StartTimer(int intervalMs, std::function<void()> action, bool singleShot);
    void StopTimer(TTimerId id);

    // Waits up to maxWaitMs until an action is posted or a timer is due, then
    // runs what is due.
    void ProcessEvents(int maxWaitMs = 0);
    // Runs the loop until Quit.
    void Exec();
    // Ends the running Exec; until it has returned, ServeOnce says the loop ended.
    void Quit();

    bool ServeOnce() override;
    void Post(std::function<void()> action) override;
    void StartServing(std::function<void()> serve) override;
    void StopServing() override;

private:
    using TClock = std::chrono::steady_clock;
    struct TTimer {
        TTimerId Id = 0;
        TClock::time_point Due;
        int IntervalMs = 0;
        bool SingleShot = false;
        bool Running = false;
        std::function<void()> Action;
    };

    void RunDue();
    void FireTimer(TTimerId id);
    TTimer* Find(TTimerId id);

    TEventPump* previous_;
    std::deque<std::function<void()>> posted_;
    std::vector<TTimer> timers_;
    TTimerId nextId_ = 1;
    TTimerId serving_ = 0;
    int execDepth_ = 0;
    bool quitting_ = false;
};

// A timer of the current loop, stopped when destroyed.
class TTestTimer {
public:
    TTestTimer(int intervalMs, std::function<void()> action, bool singleShot = false)
        : id_(TTestEventLoop::Current().StartTimer(intervalMs, std::move(action), singleShot))
    {
    }
    ~TTestTimer() { TTestEventLoop::Current().StopTimer(id_); }
    TTestTimer(const TTestTimer&) = delete;
    TTestTimer& operator=(const TTestTimer&) = delete;

private:
    TTestEventLoop::TTimerId id_;
};

// Milliseconds since it was made.
class TStopwatch {
public:
    std::int64_t ElapsedMs() const
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_)
            .count();
    }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace quorvex::test
