// The event loop of the HTTP client's sockets on one thread: the sockets that
// are alive there and the actions posted to run later. Each slice of a
// synchronous request's wait runs it once, so the events of every socket on
// the thread are delivered from here (never from inside the call that caused
// them), also while a handler waits on a nested request.
#pragma once

#include <deque>
#include <functional>
#include <vector>

namespace quorvex {

class TTcpSocket;

class TSocketLoop {
public:
    static TSocketLoop& ThisThread();

    void Add(TTcpSocket* socket);
    void Remove(TTcpSocket* socket);
    void Post(std::function<void()> action);

    // Runs the actions posted before this call, then waits up to maxWaitMs
    // for a socket to become ready and serves the sockets. It does not wait
    // when work is at hand, and waits at most a few milliseconds while a
    // name is being resolved (the worker thread answers without a wake-up).
    void RunOnce(int maxWaitMs);

private:
    bool IsAlive(const TTcpSocket* socket) const;

    std::vector<TTcpSocket*> sockets_;
    std::deque<std::function<void()>> posted_;
};

}  // namespace quorvex
