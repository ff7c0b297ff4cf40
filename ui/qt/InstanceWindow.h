// A Qt window as the single-instance guard (instance/mxOneInstance.h) reaches
// it: restored or brought forward when a later start asks, the requests taken
// from Qt's loop.
#pragma once

#include "instance/mxOneInstance.h"

#include <QTimer>
#include <QWidget>

namespace quorvex {

class TQtInstanceWindow final : public TInstanceWindow {
public:
    explicit TQtInstanceWindow(QWidget& window) : window_(window) {}

    // Restores a minimised window; raises and activates any other.
    void RestoreOrBringToFront() override;
    // Runs the guard's Loaded for this window, titled with the application's
    // name; while the guard holds the name, serves its requests from Qt's
    // loop. The guard outlives this object.
    void Load(TmxOneInstance& guard);

private:
    QWidget& window_;
    QTimer requests_;
};

}  // namespace quorvex
