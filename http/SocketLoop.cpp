#include "http/SocketLoop.h"

#include <algorithm>

namespace quorvex {
namespace {

constexpr int kLookupCheckMs = 5;

}  // namespace

TSocketLoop& TSocketLoop::ThisThread()
{
    thread_local TSocketLoop loop;
    return loop;
}

void TSocketLoop::Add(TLoopSocket* socket)
{
    sockets_.push_back(socket);
}

void TSocketLoop::Remove(TLoopSocket* socket)
{
    std::erase(sockets_, socket);
}

void TSocketLoop::Post(std::function<void()> action)
{
    posted_.push_back(std::move(action));
}

bool TSocketLoop::IsAlive(const TLoopSocket* socket) const
{
    return std::find(sockets_.begin(), sockets_.end(), socket) != sockets_.end();
}

void TSocketLoop::RunOnce(int maxWaitMs)
{
    // Actions posted while these run wait for the next slice.
    for (std::size_t count = posted_.size(); count > 0 && !posted_.empty(); --count) {
        const std::function<void()> action = std::move(posted_.front());
        posted_.pop_front();
        action();
    }

    int waitMs = posted_.empty() ? maxWaitMs : 0;
    const std::vector<TLoopSocket*> sockets = sockets_;
    std::vector<TSocketWait> waits;
    waits.reserve(sockets.size());
    for (const TLoopSocket* socket : sockets) {
        if (socket->HasWorkAtHand())
            waitMs = 0;
        else if (socket->LookupRunning())
            waitMs = std::min(waitMs, kLookupCheckMs);
        waits.push_back(socket->WaitFor());
    }
    WaitForSockets(waits, waitMs);
    for (std::size_t i = 0; i < sockets.size(); ++i) {
        // A handler served before may have destroyed a later socket.
        if (IsAlive(sockets[i]))
            sockets[i]->Serve(waits[i].Readable, waits[i].Writable);
    }
}

}  // namespace quorvex
