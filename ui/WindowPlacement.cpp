#include "ui/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace quorvex {

Qt::WindowFlags FixedWindowFlags()
{
    return Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
}

Qt::WindowFlags FixedDialogFlags()
{
    return Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
}

void MakeSecondaryWindow(QWidget* window, int width, int height)
{
    window->setFixedSize(width, height);
    window->setAttribute(Qt::WA_QuitOnClose, false);
}

void ShowInFront(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

void CentreOnScreen(QWidget* window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

void CentreOver(QWidget* window, const QWidget* owner)
{
    QRect frame = window->frameGeometry();
    frame.moveCenter(owner->frameGeometry().center());
    window->move(frame.topLeft());
}

}  // namespace quorvex
