#include "ui/PictureLoader.h"

#include "archive/mxStorage.h"
#include "platform/Error.h"

#include <QLabel>
#include <QPixmap>

#include <csetjmp>
#include <cstdio>
#include <string>

#include <jpeglib.h>

namespace quorvex {
namespace {

// libjpeg reports errors through a callback that must not return; it jumps
// back into DecodeJpeg, which turns the message into an Error.
struct TJpegError {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

[[noreturn]] void JumpOnError(j_common_ptr info)
{
    auto* error = reinterpret_cast<TJpegError*>(info->err);
    (*info->err->format_message)(info, error->Message);
    std::longjmp(error->Jump, 1);
}

// Decodes into image, which the caller owns so that no object with a
// destructor lives between the jump and its target.
bool Decode(std::span<const std::uint8_t> bytes, QImage& image, TJpegError& error)
{
    jpeg_decompress_struct info{};
    info.err = jpeg_std_error(&error.Manager);
    error.Manager.error_exit = JumpOnError;
    if (setjmp(error.Jump) != 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                   QImage::Format_RGB888);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

QImage DecodeJpeg(std::span<const std::uint8_t> bytes)
{
    QImage image;
    TJpegError error{};
    if (!Decode(bytes, image, error))
        throw Error(std::string("Invalid JPEG picture: ") + error.Message);
    return image;
}

QSize FitPicture(QSize picture, QSize control)
{
    const std::int32_t w = picture.width();
    const std::int32_t h = picture.height();
    if (w <= 0 || h <= 0)
        return {};
    if (w > h)
        return {control.width(), h * control.width() / w};
    return {w * control.height() / h, control.height()};
}

void LoadPicture(TmxStoredItem& item, QLabel& control)
{
    const QImage picture = DecodeJpeg(item.GetAsStream().Bytes());
    const QSize fitted = FitPicture(picture.size(), control.size());
    control.setPixmap(QPixmap::fromImage(
        picture.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
}

}  // namespace quorvex
