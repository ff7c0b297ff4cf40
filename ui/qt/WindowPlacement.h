// Window frames and placement shared by the application's windows.
#pragma once

#include "ui/qt/update/UpdateWindows.h"  // CentreOnScreen, shared with the update windows

#include <Qt>

class QWidget;

namespace quorvex {

// A fixed single border with the system menu and the minimise box only.
Qt::WindowFlags FixedWindowFlags();
// A fixed dialog border with the close box only.
Qt::WindowFlags FixedDialogFlags();
// The frame flags as those of a window that its parent owns: the window
// system keeps it with the parent (transient for it, no task bar entry of
// its own) whatever boxes its frame has.
Qt::WindowFlags OwnedWindowFlags(Qt::WindowFlags frame);

// Fixes a window that is not the main one at its size; closing it only hides it.
void MakeSecondaryWindow(QWidget* window, int width, int height);
// Shows a window without blocking and brings it to the front.
void ShowInFront(QWidget* window);

void CentreOver(QWidget* window, const QWidget* owner);

}  // namespace quorvex
