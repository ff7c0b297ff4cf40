#include "instance/mxOneInstance.h"

#include "platform/Error.h"

#include <cstdio>
#include <utility>

namespace quorvex {

TmxOneInstance::TmxOneInstance(std::unique_ptr<TSingleInstanceBackend> backend) : backend_(std::move(backend)) {}

void TmxOneInstance::Loaded(const std::string& title, TInstanceWindow& window)
{
    window_ = &window;
    mutexCreated_ = false;
    if (!Claim(title)) {
        instanceExisted_ = true;
        if (OnInstanceExists)
            OnInstanceExists(*this);
        if (SwitchToPrevious)
            backend_->AskHolderToComeForward(title);
        if (Terminate)
            terminateRequested_ = true;
    }
    mutexCreated_ = true;
}

// False when another instance holds the name. A name that cannot be had for
// another reason ends the start, saying why on standard error as well, since
// no window may ever show it.
bool TmxOneInstance::Claim(const std::string& title)
{
    try {
        return backend_->Claim(title);
    } catch (const Error& error) {
        std::fprintf(stderr, "%s\n", error.what());
        throw;
    }
}

void TmxOneInstance::ServeRequests()
{
    if (window_ != nullptr && backend_->TakeComeForwardRequests() > 0)
        window_->RestoreOrBringToFront();
}

}  // namespace quorvex
