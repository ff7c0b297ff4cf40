// The advert previews' pictures in the Qt windows: the toolkit-free picture
// loader's pixels as a QImage, shown in a picture control.
#pragma once

#include "picture/Picture.h"

#include <QImage>
#include <QSize>

class QLabel;

namespace quorvex {

class TmxStoredItem;

// The picture as a QImage of the format pictures are drawn in
// (QImage::Format_RGB32), which holds its own copy of the pixels.
QImage ToImage(const TPicture& picture);

// The stored item's picture at its fitted size in a control of this size
// (FittedPicture of the picture loader). Throws Error when the item holds no
// JPEG picture. Needs no window, so it may run on another thread.
QImage FittedPicture(TmxStoredItem& item, QSize control);

// Shows a picture in the control, drawn at its top left and clipped to it.
void ShowPicture(const QImage& picture, QLabel& control);

}  // namespace quorvex
