#include "TestEventLoop.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace quorvex::test {
namespace {

// How often a waiting request's sockets are served from the loop, as the
// windowed program's pump does it.
constexpr int kServeIntervalMs = 5;
// The longest sleep of Exec between two looks at the quit request.
constexpr int kExecSliceMs = 50;

TTestEventLoop* current = nullptr;

}  // namespace

TTestEventLoop::TTestEventLoop() : previous_(SetEventPump(this))
{
    current = this;
}

TTestEventLoop::~TTestEventLoop()
{
    current = nullptr;
    SetEventPump(previous_);
}

TTestEventLoop& TTestEventLoop::Current()
{
    return *current;
}

TTestEventLoop::TTimerId TTestEventLoop::StartTimer(int intervalMs, std::function<void()> action, bool singleShot)
{
    TTimer timer;
    timer.Id = nextId_++;
    timer.Due = TClock::now() + std::chrono::milliseconds(intervalMs);
    timer.IntervalMs = intervalMs;
    timer.SingleShot = singleShot;
    timer.Action = std::move(action);
    timers_.push_back(std::move(timer));
    return timers_.back().Id;
}

void TTestEventLoop::StopTimer(TTimerId id)
{
    std::erase_if(timers_, [id](const TTimer& timer) { return timer.Id == id; });
}

TTestEventLoop::TTimer* TTestEventLoop::Find(TTimerId id)
{
    const auto found = std::ranges::find(timers_, id, &TTimer::Id);
    return found != timers_.end() ? &*found : nullptr;
}

// The action may start and stop timers, and run the loop nested.
void TTestEventLoop::FireTimer(TTimerId id)
{
    TTimer* timer = Find(id);
    if (timer == nullptr || timer->Running || timer->Due > TClock::now())
        return;
    std::function<void()> action = timer->Action;
    if (timer->SingleShot) {
        StopTimer(id);
        action();
        return;
    }
    timer->Due = TClock::now() + std::chrono::milliseconds(timer->IntervalMs);
    timer->Running = true;
    action();
    if (TTimer* after = Find(id))
        after->Running = false;
}

// Runs the actions posted before this call, then the timers due now.
void TTestEventLoop::RunDue()
{
    for (std::size_t count = posted_.size(); count > 0 && !posted_.empty(); --count) {
        const std::function<void()> action = std::move(posted_.front());
        posted_.pop_front();
        action();
    }
    std::vector<TTimerId> due;
    const TClock::time_point now = TClock::now();
    for (const TTimer& timer : timers_) {
        if (timer.Due <= now && !timer.Running)
            due.push_back(timer.Id);
    }
    for (const TTimerId id : due)
        FireTimer(id);
}

void TTestEventLoop::ProcessEvents(int maxWaitMs)
{
    TClock::time_point until = TClock::now() + std::chrono::milliseconds(maxWaitMs);
    if (!posted_.empty())
        until = TClock::now();
    for (const TTimer& timer : timers_) {
        if (!timer.Running)
            until = std::min(until, timer.Due);
    }
    std::this_thread::sleep_until(until);
    RunDue();
}

void TTestEventLoop::Exec()
{
    ++execDepth_;
    while (!quitting_)
        ProcessEvents(kExecSliceMs);
    if (--execDepth_ == 0)
        quitting_ = false;
}

void TTestEventLoop::Quit()
{
    if (execDepth_ > 0)
        quitting_ = true;
}

bool TTestEventLoop::ServeOnce()
{
    if (quitting_)
        return false;
    RunDue();
    return !quitting_;
}

void TTestEventLoop::Post(std::function<void()> action)
{
    posted_.push_back(std::move(action));
}

void TTestEventLoop::StartServing(std::function<void()> serve)
{
    StopServing();
    serving_ = StartTimer(kServeIntervalMs, std::move(serve), false);
}

void TTestEventLoop::StopServing()
{
    StopTimer(serving_);
    serving_ = 0;
}

}  // namespace quorvex::test
