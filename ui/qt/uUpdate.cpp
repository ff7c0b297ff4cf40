#include "ui/qt/uUpdate.h"

#include "ui/qt/WindowPlacement.h"
#include "ui/qt/update/UpdateWindows.h"
#include "ui_uUpdate.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QWindow>

namespace quorvex {
TfrmUpdate::TfrmUpdate(QWidget* parent)
    : QFrame(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      ui_(std::make_unique<Ui::TfrmUpdate>())
{
    ui_->setupUi(this);
    setFont(PixelFont(QStringLiteral("Trebuchet MS"), 12));
    TWindowFont{PixelFont(QStringLiteral("Tahoma"), 19), Qt::black}.ApplyTo(*ui_->Label1);
    TWindowFont{PixelFont(QStringLiteral("Trebuchet MS"), 12), Qt::black}.ApplyTo(*ui_->Label2);
    MakeSecondaryWindow(this, width(), height());
    CentreOnScreen(this);
}

TfrmUpdate::~TfrmUpdate() = default;

void TfrmUpdate::ShowNow()
{
    show();
    raise();
    // The window system maps the window asynchronously: wait briefly for it
    // to be exposed so that the paint below reaches the screen.
    const QDeadlineTimer deadline(500);
    while (!windowHandle()->isExposed() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    repaint();
}

}  // namespace quorvex
