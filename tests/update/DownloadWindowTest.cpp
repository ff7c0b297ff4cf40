// The download window's one-second timer, on a clock the test sets.
#include "tests/fixtures/FakeUpdateSeams.h"
#include "ui/qt/update/VelkAppUpdateDownload.h"

#include <QLabel>

#include <gtest/gtest.h>

namespace quorvex {
namespace {

using namespace std::chrono_literals;

TEST(DownloadWindowTimer, TicksBeforeAnyByteShowTheTimeOnly)
{
    test::TFakeUpdateSeams seams;
    TVelkAppUpdateDownloadBox box(seams.Update);
    EXPECT_EQ(box.SpeedLabel->text(), QStringLiteral("0 KB/sec"));  // the design text
    TVelkAppUpdateDownloadBox::TClock::time_point now{};
    box.Now = [&now] { return now; };
    box.StartTime = now;

    now += 400ms;
    box.Timer1Timer();
    EXPECT_EQ(box.SpeedLabel->text(), QStringLiteral("0 B/sec"));
    EXPECT_EQ(box.ElapsedTimeLabel->text(), QStringLiteral("00:00:00"));

    now += 3722s + 900ms;
    box.Timer1Timer();
    EXPECT_EQ(box.SpeedLabel->text(), QStringLiteral("0 B/sec"));
    EXPECT_EQ(box.ElapsedTimeLabel->text(), QStringLiteral("01:02:03"));
    box.RemainingTimeLabel->setText(QStringLiteral("kept"));
    box.Timer1Timer();
    EXPECT_EQ(box.RemainingTimeLabel->text(), QStringLiteral("kept"));
}

TEST(DownloadWindowTimer, SpeedInTheChosenUnit)
{
    test::TFakeUpdateSeams seams;
    TVelkAppUpdateDownloadBox box(seams.Update);
    box.FileSizeUnit = TVelkAppUpdateFileSizeUnit::MegaBytes;
    box.Now = [] { return TVelkAppUpdateDownloadBox::TClock::time_point{} + 5s; };
    box.StartTime = {};
    box.Timer1Timer();
    EXPECT_EQ(box.SpeedLabel->text(), QStringLiteral("0 MB/sec"));
    EXPECT_EQ(box.ElapsedTimeLabel->text(), QStringLiteral("00:00:05"));
}

}  // namespace
}  // namespace quorvex
