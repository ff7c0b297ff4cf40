#include "archive/Catalogue.h"
#include "platform/Error.h"
#include "ui/qt/PictureLoader.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPixmap>
#include <QSysInfo>

#include <cstdlib>

namespace quorvex {
namespace {

// The picture loader's fitted size, in Qt's sizes.
QSize FittedSize(QSize picture, QSize control)
{
    const TPictureSize fitted = FitPicture({picture.width(), picture.height()}, {control.width(), control.height()});
    return {fitted.Width, fitted.Height};
}

TEST(PictureLoader, DecodesTheStoredPreviews)
{
    TmxStorage storage;
    LoadStoredCatalogue(storage);
    const QImage main = ToImage(DecodeJpeg(storage.ItemByIndex(0).GetAsStream().Bytes()));
    EXPECT_EQ(main.size(), QSize(277, 555));

    QLabel preview;
    preview.resize(189, 202);
    ShowPicture(FittedPicture(storage.ItemByIndex(1), preview.size()), preview);
    EXPECT_EQ(preview.pixmap().size(), QSize(189, 109));
}

// The mean difference of two pictures of one size, per colour channel (0 to 255).
double MeanDifference(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * a.width() * a.height());
}

TEST(PictureLoader, DecodesIntoTheFormatItIsDrawnInAndShowsThePictureAsScaledWhole)
{
    TmxStorage storage;
    LoadStoredCatalogue(storage);
    for (int item = 0; item <= 5; ++item) {
        SCOPED_TRACE(item);
        const QImage whole = ToImage(DecodeJpeg(storage.ItemByIndex(item).GetAsStream().Bytes()));
        ASSERT_EQ(whole.format(), QImage::Format_RGB32);
        const uchar* bytes = whole.constBits();
        const int alpha = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? 3 : 0;
        bool opaque = true;
        for (qsizetype at = alpha; at < whole.sizeInBytes(); at += 4)
            opaque = opaque && bytes[at] == 0xFF;
        EXPECT_TRUE(opaque) << "every pixel's unused byte is 0xff, as the format requires";

        QLabel preview;
        preview.resize(189, 202);
        ShowPicture(FittedPicture(storage.ItemByIndex(item), preview.size()), preview);
        const QSize fitted = FittedSize(whole.size(), preview.size());
        const QImage shown = preview.pixmap().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shown.size(), fitted);
        const QImage expected = whole.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        // Scaled by the decoder first, then smoothly: a little different from
        // the whole picture scaled smoothly, far less than colours in the
        // wrong order (about 20) would be.
        EXPECT_LT(MeanDifference(shown, expected), 8.0);
    }
}

TEST(PictureLoader, BytesThatAreNoJpegRaiseAnErrorAndKeepThePicture)
{
    TmxStorage storage;
    LoadStoredCatalogue(storage);
    QLabel preview;
    preview.resize(189, 202);
    ShowPicture(FittedPicture(storage.ItemByIndex(0), preview.size()), preview);

    TmxStoredItem& help = storage.ItemByIndex(6);  // the help page, not a picture
    EXPECT_THROW(ShowPicture(FittedPicture(help, preview.size()), preview), Error);
    EXPECT_EQ(preview.pixmap().size(), QSize(100, 202));

    try {
        DecodeJpeg({});
        FAIL() << "no error for an empty picture";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("Invalid JPEG picture: "), std::string::npos) << error.what();
    }
}

}  // namespace
}  // namespace quorvex
