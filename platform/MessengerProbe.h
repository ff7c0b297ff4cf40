// Whether the messenger is running (on Windows: its main window exists).
#pragma once

namespace quorvex {

class TMessengerProbe {
public:
    virtual ~TMessengerProbe() = default;
    virtual bool MessengerRunning() const = 0;
};

}  // namespace quorvex
