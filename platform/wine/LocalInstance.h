// The single-instance guard's backend on Linux: the per-user lock
// (platform/InstanceLock.h) "<folder>/<name>.lock" and, while it is held, a
// local socket "<folder>/<name>" on which later starts ask the holder to
// bring its window forward. The folder is the user's runtime folder
// ($XDG_RUNTIME_DIR), else "quorvex-<uid>" in the temporary folder ($TMPDIR,
// else /tmp), used only when it is private to the user.
//
// A socket that is a link, or not the user's own, is never connected to; a
// connection from another user is dropped; a request is one short line read
// within a bounded time, never waited for.
#pragma once

#include "platform/InstanceLock.h"
#include "platform/SingleInstance.h"
#include "platform/wine/FileDescriptor.h"

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace quorvex {

class TLocalInstance final : public TSingleInstanceBackend {
public:
    TLocalInstance() = default;
    // Lets the name go: the socket is removed while the lock is still held.
    ~TLocalInstance() override;
    TLocalInstance(const TLocalInstance&) = delete;
    TLocalInstance& operator=(const TLocalInstance&) = delete;

    // Throws Error("Cannot take the single-instance lock in "<folder>".
    // <reason>") when the folder is not private to the user, or the lock or
    // the socket cannot be had for another reason than a holder.
    bool Claim(const std::string& name) override;
    void AskHolderToComeForward(const std::string& name) override;
    int TakeComeForwardRequests() override;

    // The folder that holds the lock and the socket (the fallback folder is
    // made when missing and private to the user).
    static std::filesystem::path Folder();

private:
    struct TPendingRequest {
        TFileDescriptor Connection;
        std::string Received;
        std::chrono::steady_clock::time_point Since;
    };

    void Listen(const std::filesystem::path& path);
    void AcceptPending();
    // Reads what has arrived; true when the request is complete or the
    // connection is done with (closed, wrong, too slow).
    bool ReadRequest(TPendingRequest& request, int& raiseRequests);

    std::filesystem::path folder_;
    std::unique_ptr<TInstanceLock> lock_;
    std::filesystem::path socketPath_;
    // The socket file this process made, which it alone removes.
    dev_t socketDevice_ = 0;
    ino_t socketFile_ = 0;
    TFileDescriptor listener_;
    std::vector<TPendingRequest> pending_;
};

}  // namespace quorvex
