#include "ui/qt/PictureLoader.h"

#include "archive/mxStorage.h"
#include "platform/Error.h"

#include <QLabel>
#include <QSysInfo>
#include <QPixmap>

#include <csetjmp>
#include <cstdio>
#include <string>
#include <utility>

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

// QImage::Format_RGB32 holds each pixel as the 32-bit number 0xffRRGGBB,
// whose bytes lie in memory in the machine's order.
constexpr J_COLOR_SPACE kRgb32Order = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? JCS_EXT_BGRA : JCS_EXT_ARGB;

// The smallest of libjpeg's scales (1/8, 1/4, 1/2, 1/1) at which a picture
// still covers the size it is drawn at; the rest is left to smooth scaling.
unsigned ScaleDenominator(QSize picture, QSize drawn)
{
    for (const int denominator : {8, 4, 2}) {
        const auto scaled = [denominator](int side) { return (side + denominator - 1) / denominator; };
        if (scaled(picture.width()) >= drawn.width() && scaled(picture.height()) >= drawn.height())
            return static_cast<unsigned>(denominator);
    }
    return 1;
}

// Decodes into image, which the caller owns so that no object with a
// destructor lives between the jump and its target: straight into the
// format it is drawn in and, with a control, at the smallest scale that
// covers the picture's fitted size, which goes to fitted.
bool Decode(std::span<const std::uint8_t> bytes, QSize control, QImage& image, QSize& fitted, TJpegError& error)
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
    const QSize picture(static_cast<int>(info.image_width), static_cast<int>(info.image_height));
    fitted = control.isValid() ? FitPicture(picture, control) : picture;
    info.out_color_space = kRgb32Order;
    info.scale_num = 1;
    info.scale_denom = ScaleDenominator(picture, fitted);
    jpeg_start_decompress(&info);
    image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height), QImage::Format_RGB32);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

struct TDecoded {
    QImage Image;
    QSize Fitted;
};

TDecoded DecodeOrThrow(std::span<const std::uint8_t> bytes, QSize control)
{
    TDecoded decoded;
    TJpegError error{};
    if (!Decode(bytes, control, decoded.Image, decoded.Fitted, error))
        throw Error(std::string("Invalid JPEG picture: ") + error.Message);
    return decoded;
}

}  // namespace

QImage DecodeJpeg(std::span<const std::uint8_t> bytes)
{
    return DecodeOrThrow(bytes, {}).Image;
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

QImage FittedPicture(TmxStoredItem& item, QSize control)
{
    TDecoded decoded = DecodeOrThrow(item.GetAsStream().Bytes(), control);
    if (decoded.Image.size() == decoded.Fitted)
        return std::move(decoded.Image);
    return decoded.Image.scaled(decoded.Fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void ShowPicture(const QImage& picture, QLabel& control)
{
    control.setPixmap(QPixmap::fromImage(picture));
}

}  // namespace quorvex
