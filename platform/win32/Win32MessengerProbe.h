// Whether the messenger runs: a top-level window of its main window class
// exists, whatever its title.
#pragma once

#include "platform/MessengerProbe.h"

namespace quorvex {

inline constexpr const wchar_t* kMessengerWindowClass = L"YahooBuddyMain";

class TWin32MessengerProbe final : public TMessengerProbe {
public:
    bool MessengerRunning() const override;
};

}  // namespace quorvex
