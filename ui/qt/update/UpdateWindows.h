// What the update windows share: their frame and place and their design
// fonts. The application's other windows are centred the same way.
#pragma once

#include "update/FileSize.h"
#include "ui/qt/update/UpdateSeams.h"
#include "ui/qt/update/WindowFont.h"

#include <Qt>

class QWidget;

namespace quorvex {

// A fixed dialog border with the close box only.
Qt::WindowFlags UpdateDialogFlags();

// Centres a window, frame included, on the primary screen's free area.
void CentreOnScreen(QWidget* window);

// Fixes a window at its designed size and centres it on the screen.
void FixAndCentre(QWidget& window);

// A font of the given face and height in pixels.
QFont PixelFont(const QString& family, int pixelHeight);

// A font of the given face and pixel height in the window text colour.
TWindowFont DesignFont(const QString& family, int pixelHeight);

// A size text (update/FileSize.h) with the thousands separator of the user's locale.
QString LocaleFileSize(std::int64_t bytes, TVelkAppUpdateFileSizeUnit unit);

}  // namespace quorvex
