// The event loop of the HTTP client's sockets on one thread: the sockets that
// are alive there (connections, and the listening sockets of loopback
// servers) and the actions posted to run later. Each slice of a
// synchronous request's wait runs it once, so the events of every socket on
// the thread are delivered from here (never from inside the call that caused
// them), also while a handler waits on a nested request.
#pragma once

#include "platform/Socket.h"

#include <deque>
#include <functional>
#include <vector>

namespace quorvex {

// A socket that the loop serves.
class TLoopSocket {
public:
    // What to wait for.
    virtual TSocketWait WaitFor() const = 0;
    // Whether an event is due without waiting.
    virtual bool HasWorkAtHand() const { return false; }
    // Whether a name is being resolved (the loop then looks again soon).
    virtual bool LookupRunning() const { return false; }
    // Serves the socket after the wait.
    virtual void Serve(bool readable, bool writable) = 0;

protected:
    ~TLoopSocket() = default;
};

class TSocketLoop {
public:
    static TSocketLoop& ThisThread();

    void Add(TLoopSocket* socket);
    void Remove(TLoopSocket* socket);
    void Post(std::function<void()> action);

    // Runs the actions posted before this call, then waits up to maxWaitMs
    // for a socket to become ready and serves the sockets. It does not wait
    // when work is at hand, and waits at most a few milliseconds while a
    // name is being resolved (the worker thread answers without a wake-up).
    void RunOnce(int maxWaitMs);

private:
    bool IsAlive(const TLoopSocket* socket) const;

    std::vector<TLoopSocket*> sockets_;
    std::deque<std::function<void()>> posted_;
};

}  // namespace quorvex
