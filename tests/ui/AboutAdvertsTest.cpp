// The About Adverts tab: each row's preview picture, fitted into imgPreview,
// and its description, following the list's selection.
#include "WindowsFixture.h"
#include "ui/qt/OptionListView.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QLabel>
#include <QTest>

namespace quorvex::test {
namespace {

class AboutAdverts : public ::testing::Test {
protected:
    void SetUp() override
    {
        fixture.windows.main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(fixture.windows.main.get()));
        fixture.ShowTab("tbAboutAdverts");
    }

    TOptionListView* List() const { return fixture.Find<TOptionListView>("lvAboutAds"); }
    QLabel* Preview() const { return fixture.Find<QLabel>("imgPreview"); }
    QString Description() const { return fixture.Find<QLabel>("lbDisc")->text(); }
    QImage Picture() const { return Preview()->pixmap().toImage(); }

    void ClickRow(int index) const
    {
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, List()->visualItemRect(List()->Item(index)).center());
    }
    void ClickEmptySpace() const
    {
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, QPoint(10, List()->viewport()->height() - 5));
    }
    void ReplaceItem(int index, const QByteArray& bytes) const
    {
        TMemoryStream content;
        content.Write(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), bytes.size()));
        fixture.windows.main->Storage().ItemByIndex(index).LoadFromStream(&content);
    }

    TWindowsFixture fixture;
};

TEST_F(AboutAdverts, EachRowShowsItsPictureFittedAndItsDescription)
{
    // The stored pictures are 277 x 555, 704 x 409, 704 x 549, 380 x 416, 480 x 552 and 521 x 457.
    const QSize fitted[] = {{100, 202}, {189, 109}, {189, 147}, {184, 202}, {175, 202}, {189, 165}};
    for (int row : {3, 0, 5, 1, 4, 2}) {
        ClickRow(row);
        EXPECT_EQ(Preview()->pixmap().size(), fitted[row]) << "row " << row;
        EXPECT_EQ(Description(), List()->Item(row)->text(1)) << "row " << row;
    }
    EXPECT_TRUE(Description().startsWith("The Chat Room Advert is")) << "moving the selection ends on the new row";
}

TEST_F(AboutAdverts, ClearingTheSelectionKeepsThePictureAndTheDescription)
{
    ClickRow(3);
    const QImage webcam = Picture();
    const QString description = Description();

    ClickEmptySpace();
    List()->clearSelection();
    EXPECT_TRUE(List()->selectedItems().isEmpty());
    EXPECT_EQ(Picture(), webcam);
    EXPECT_EQ(Description(), description);
}

TEST_F(AboutAdverts, APictureThatDoesNotDecodeIsReportedAndThePreviousOneStays)
{
    ClickRow(1);
    const QImage banner = Picture();
    ReplaceItem(2, "not a picture");

    ClickRow(2);

    ASSERT_EQ(fixture.seams.Messages->Shown.size(), 1u);
    const TShownMessage& report = fixture.seams.Messages->Shown[0];
    EXPECT_EQ(report.Caption, "Quorvex");
    EXPECT_EQ(report.Type, TMsgDlgType::Error);
    EXPECT_TRUE(report.Text.startsWith("Invalid JPEG picture: ")) << report.Text.toStdString();
    EXPECT_EQ(Picture(), banner);
    EXPECT_TRUE(Description().startsWith("The Change Room Banner is"));
}

TEST_F(AboutAdverts, ASquarePictureTakesTheHeightAndIsClippedAtTheRight)
{
    // Red on the left half, blue on the right: drawn at 202 x 202 the edge
    // lies at x = 101, inside the 189-pixel-wide control.
    QImage square(300, 300, QImage::Format_RGB32);
    square.fill(Qt::blue);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 150; ++x)
            square.setPixelColor(x, y, Qt::red);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    ASSERT_TRUE(square.save(&buffer, "JPG", 100));
    ReplaceItem(0, jpeg);

    ClickRow(0);
    EXPECT_EQ(Preview()->pixmap().size(), QSize(202, 202));
    const QImage shown = Preview()->grab().toImage();
    ASSERT_EQ(shown.size(), QSize(189, 202));
    const auto isRed = [&shown](int x, int y) {
        return shown.pixelColor(x, y).red() > 200 && shown.pixelColor(x, y).blue() < 60;
    };
    const auto isBlue = [&shown](int x, int y) {
        return shown.pixelColor(x, y).blue() > 200 && shown.pixelColor(x, y).red() < 60;
    };
    EXPECT_TRUE(isRed(0, 0));
    EXPECT_TRUE(isRed(96, 201)) << "drawn from the top left, not shrunk or centred";
    EXPECT_TRUE(isBlue(106, 0));
    EXPECT_TRUE(isBlue(188, 201));
}

}  // namespace
}  // namespace quorvex::test
