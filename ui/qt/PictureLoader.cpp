#include "ui/qt/PictureLoader.h"

#include <QLabel>
#include <QPixmap>

namespace quorvex {

QImage ToImage(const TPicture& picture)
{
    QImage image(picture.Size.Width, picture.Size.Height, QImage::Format_RGB32);
    for (int y = 0; y < picture.Size.Height; ++y) {
        const std::uint32_t* row = picture.Pixels.data() + static_cast<std::size_t>(y) * picture.Size.Width;
        std::copy(row, row + picture.Size.Width, reinterpret_cast<QRgb*>(image.scanLine(y)));
    }
    return image;
}

QImage FittedPicture(TmxStoredItem& item, QSize control)
{
    return ToImage(FittedPicture(item, TPictureSize{control.width(), control.height()}));
}

void ShowPicture(const QImage& picture, QLabel& control)
{
    control.setPixmap(QPixmap::fromImage(picture));
}

}  // namespace quorvex
