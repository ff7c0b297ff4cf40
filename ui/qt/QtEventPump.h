// The program's event pump (platform/EventPump.h) on Qt's event loop, served
// by the engine's scans and the HTTP client's requests alike: the windowed
// program installs it, and so do the test programs whose loopback servers and
// timers run on Qt's loop.
#pragma once

#include "platform/EventPump.h"

#include <QTimer>

namespace quorvex {

class TQtEventPump final : public TEventPump {
public:
    // Installs itself for its lifetime; the pump installed before comes back
    // when it is destroyed.
    TQtEventPump();
    ~TQtEventPump() override;
    TQtEventPump(const TQtEventPump&) = delete;
    TQtEventPump& operator=(const TQtEventPump&) = delete;

    bool ServeOnce() override;
    void Post(std::function<void()> action) override;
    void StartServing(std::function<void()> serve) override;
    void StopServing() override;

private:
    TEventPump* previous_;
    QTimer serving_;
};

}  // namespace quorvex
