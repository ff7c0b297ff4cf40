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

// Shows the stored item's picture in the control at the fitted size, drawn at
// the control's top left and clipped to it. The picture is decoded at the
// smallest scale the decoder offers that covers that size, then scaled
// smoothly. On error the old picture stays.
void LoadPicture(TmxStoredItem& item, QLabel& control);

}  // namespace quorvex
