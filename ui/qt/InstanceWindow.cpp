#include "ui/qt/InstanceWindow.h"

#include <QCoreApplication>

namespace quorvex {
namespace {

// How often the first instance looks for requests of later starts: soon
// enough for a person, rare enough to cost nothing.
constexpr int kRequestIntervalMs = 200;

}  // namespace

void TQtInstanceWindow::RestoreOrBringToFront()
{
    if (window_.isMinimized()) {
        window_.showNormal();
        return;
    }
    window_.raise();
    window_.activateWindow();
}

void TQtInstanceWindow::Load(TmxOneInstance& guard)
{
    guard.Loaded(QCoreApplication::applicationName().toStdString(), *this);
    if (guard.InstanceExisted())
        return;
    QObject::connect(&requests_, &QTimer::timeout, [&guard] { guard.ServeRequests(); });
    requests_.start(kRequestIntervalMs);
}

}  // namespace quorvex
