#include "archive/Catalogue.h"
#include "platform/Error.h"
#include "ui/PictureLoader.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPixmap>

namespace quorvex {
namespace {

struct TFitCase {
    QSize Picture;
    QSize Fitted;
};

class PictureFit : public ::testing::TestWithParam<TFitCase> {};

TEST_P(PictureFit, FillsTheLongerSideAndRoundsTheOtherDown)
{
    EXPECT_EQ(FitPicture(GetParam().Picture, QSize(189, 202)), GetParam().Fitted);
}

INSTANTIATE_TEST_SUITE_P(PreviewControl, PictureFit,
                         ::testing::Values(TFitCase{{277, 555}, {100, 202}}, TFitCase{{704, 409}, {189, 109}},
                                           TFitCase{{521, 457}, {189, 165}}, TFitCase{{300, 300}, {202, 202}},
                                           TFitCase{{190, 200}, {191, 202}}, TFitCase{{1, 5000}, {0, 202}},
                                           TFitCase{{0, 0}, {}}),
                         [](const auto& info) {
                             return std::to_string(info.param.Picture.width()) + "x"
                                 + std::to_string(info.param.Picture.height());
                         });

TEST(PictureLoader, DecodesTheStoredPreviews)
{
    TmxStorage storage;
    LoadStoredCatalogue(storage);
    const QImage main = DecodeJpeg(storage.ItemByIndex(0).GetAsStream().Bytes());
    EXPECT_EQ(main.size(), QSize(277, 555));

    QLabel preview;
    preview.resize(189, 202);
    LoadPicture(storage.ItemByIndex(1), preview);
    EXPECT_EQ(preview.pixmap().size(), QSize(189, 109));
}

TEST(PictureLoader, BytesThatAreNoJpegRaiseAnErrorAndKeepThePicture)
{
    TmxStorage storage;
    LoadStoredCatalogue(storage);
    QLabel preview;
    preview.resize(189, 202);
    LoadPicture(storage.ItemByIndex(0), preview);

    TmxStoredItem& help = storage.ItemByIndex(6);  // the help page, not a picture
    EXPECT_THROW(LoadPicture(help, preview), Error);
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
