// What the update windows share: their frame, their design fonts and the
// update checker's message boxes.
#pragma once

#include "update/UpdateSeams.h"
#include "update/WindowFont.h"

#include <Qt>

class QWidget;

namespace quorvex {

// A fixed dialog border with the close box only.
Qt::WindowFlags UpdateDialogFlags();

// Fixes a window at its designed size and centres it on the screen.
void FixAndCentre(QWidget& window);

// A font of the given face and pixel height in the window text colour.
TWindowFont DesignFont(const QString& family, int pixelHeight);

// A message box of the update checker: its caption names its type
// ("Information", "Confirm" or "Error").
TModalResult ShowUpdateMessage(IMessageBoxes& messages, QWidget* parent, const QString& text, TMsgDlgType type,
                               TMsgDlgButtons buttons = TMsgDlgButtons::Ok);

}  // namespace quorvex
