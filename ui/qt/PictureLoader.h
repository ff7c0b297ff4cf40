// The picture loader of the advert previews: a stored JPEG picture decoded
// and scaled to fit its picture control.
#pragma once

#include <QImage>
#include <QSize>

#include <cstdint>
#include <span>

class QLabel;

namespace quorvex {

class TmxStoredItem;

// Decodes a JPEG picture into the 32-bit format pictures are drawn in
// (QImage::Format_RGB32); throws Error with the decoder's reason when the
// bytes are not one.
QImage DecodeJpeg(std::span<const std::uint8_t> bytes);

// The size a picture is drawn at in a control: a wide picture takes the
// control's width, any other its height; the other side keeps the aspect,
// rounded down (the product first, in 32-bit signed arithmetic).
QSize FitPicture(QSize picture, QSize control);

// The stored item's picture at its fitted size in a control of this size:
// decoded at the smallest scale the decoder offers that covers that size,
// then scaled smoothly. Throws Error when the item holds no JPEG picture.
// Needs no window, so it may run on another thread.
QImage FittedPicture(TmxStoredItem& item, QSize control);

// Shows a picture in the control, drawn at its top left and clipped to it.
void ShowPicture(const QImage& picture, QLabel& control);

}  // namespace quorvex
