#include "ui/qt/WindowPlacement.h"

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

// Under X11 only a dialog-typed window is made transient for its parent.
Qt::WindowFlags OwnedWindowFlags(Qt::WindowFlags frame)
{
    return (frame & ~Qt::WindowType_Mask) | Qt::Dialog;
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

void CentreOver(QWidget* window, const QWidget* owner)
{
    QRect frame = window->frameGeometry();
    frame.moveCenter(owner->frameGeometry().center());
    window->move(frame.topLeft());
}

}  // namespace quorvex
