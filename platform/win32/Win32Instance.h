// The single-instance guard's backend on Windows: a named mutex named after
// the application title, in the login session's namespace. The holder's main
// window is found by its title and brought forward by the system, so no
// request ever reaches the holder itself.
#pragma once

#include "platform/SingleInstance.h"

namespace quorvex {

class TWin32Instance final : public TSingleInstanceBackend {
public:
    TWin32Instance() = default;
    // Closes the mutex's handle; the name is free once every handle is.
    ~TWin32Instance() override;
    TWin32Instance(const TWin32Instance&) = delete;
    TWin32Instance& operator=(const TWin32Instance&) = delete;

    // Creates or opens the mutex (not owned) and keeps the handle, also when
    // it already existed. False when it existed or no handle was had (a
    // system object of another kind holds the name); never throws.
    bool Claim(const std::string& name) override;
    // The first top-level window titled name exactly, of another process
    // (this process's own windows may carry the title too): restored when
    // minimised, else brought to the foreground. The restore is posted to
    // the window's thread, so a holder that hangs cannot hold this start.
    void AskHolderToComeForward(const std::string& name) override;
    int TakeComeForwardRequests() override;

private:
    void* mutex_ = nullptr;
};

}  // namespace quorvex
