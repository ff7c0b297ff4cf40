// The download and notification windows' rules, without widgets: the
// transfer's times and texts, the status lines, closing, the checksum asked
// for and the readme's lines.
#include "forms/UpdateDownloadForm.h"
#include "forms/UpdateNotifyForm.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

using Unit = TVelkAppUpdateFileSizeUnit;

TEST(TransferTimes, SpeedElapsedAndRemaining)
{
    const TTransferTimes firstSecond = TransferTimes(5000, 100000, 0);
    EXPECT_EQ(firstSecond.BytesPerSecond, 0);
    EXPECT_EQ(firstSecond.RemainingSeconds, 0);
    const TTransferTimes later = TransferTimes(25000, 100000, 5);
    EXPECT_EQ(later.BytesPerSecond, 5000);
    EXPECT_EQ(later.ElapsedSeconds, 5);
    EXPECT_EQ(later.RemainingSeconds, 15);
    // Three bytes in 2 s with 10 to go: 10 * 2 / 3, the remainder dropped.
    EXPECT_EQ(TransferTimes(3, 13, 2).RemainingSeconds, 6);
    EXPECT_FALSE(TransferTimes(0, 100000, 9).RemainingSeconds.has_value());
}

TEST(TransferTimes, LongTimeTextWrapsTheHours)
{
    EXPECT_EQ(LongTimeText(0), "00:00:00");
    EXPECT_EQ(LongTimeText(3723), "01:02:03");
    EXPECT_EQ(LongTimeText(86399), "23:59:59");
    EXPECT_EQ(LongTimeText(86400 + 61), "00:01:01");
    EXPECT_EQ(LongTimeText(-40), "00:00:00");
}

TEST(UpdateDownloadForm, TransferTextInTheChosenUnit)
{
    const TUpdateDownloadForm automatic(Unit::Auto, ".");
    EXPECT_EQ(automatic.TransferText(1'500'000, 3'000'000), "1 MB of 2 MB (50%)");
    EXPECT_EQ(automatic.TransferText(0, 0), "0 B of 0 B (0%)");  // the size is not known
    EXPECT_EQ(automatic.TransferText(2'000, 1'000), "1 KB of 1.000 B (200%)");  // more than announced
    const TUpdateDownloadForm bytes(Unit::Bytes, ",");
    EXPECT_EQ(bytes.TransferText(999, 1'000'000), "999 B of 1,000,000 B (0%)");
}

TEST(UpdateDownloadForm, TickTextsKeepTheRemainingTimeUntilAByteArrived)
{
    const TUpdateDownloadForm form(Unit::KiloBytes, ",");
    const TDownloadTickTexts before = form.TickTexts(0, 100'000, 3);
    EXPECT_EQ(before.Speed, "0 KB/sec");
    EXPECT_EQ(before.Elapsed, "00:00:03");
    EXPECT_FALSE(before.Remaining.has_value());
    const TDownloadTickTexts during = form.TickTexts(20'480, 102'400, 4);
    EXPECT_EQ(during.Speed, "5 KB/sec");
    EXPECT_EQ(during.Elapsed, "00:00:04");
    EXPECT_EQ(during.Remaining, "00:00:16");
}

TEST(UpdateDownloadForm, StatusLinesMessagesAndClosing)
{
    EXPECT_EQ(TUpdateDownloadForm::DownloadingText("", "80"), "Downloading file");
    EXPECT_EQ(TUpdateDownloadForm::DownloadingText("proxy.example.com", "3128"),
              "Downloading file using proxy server (proxy.example.com:3128)");
    EXPECT_EQ(TUpdateDownloadForm::NotAPlainNameText(".."),
              "The update cannot be saved under the name \"..\": it is not a plain file name.");
    EXPECT_TRUE(TUpdateDownloadForm::CloseAsksToCancel(true));
    EXPECT_FALSE(TUpdateDownloadForm::CloseAsksToCancel(false));
}

TEST(UpdateNotifyForm, ChecksumOfTheTypeAskedForAndTheDownloadButton)
{
    TUpdateInformation information;
    information.CRC32Hash = "CBF43926";
    information.MD5Hash = "900150983CD24FB0D6963F7D28E17F72";
    information.SHA1Hash = "A9993E364706816ABA3E25717850C26C9CD0D89D";
    const std::optional<std::vector<std::string>> noReadme;
    const TUpdateNotifyForm withoutInstaller(information, noReadme);
    EXPECT_EQ(withoutInstaller.ExpectedChecksum(THashType::None), "");
    EXPECT_EQ(withoutInstaller.ExpectedChecksum(THashType::CRC32), information.CRC32Hash);
    EXPECT_EQ(withoutInstaller.ExpectedChecksum(THashType::MD5), information.MD5Hash);
    EXPECT_EQ(withoutInstaller.ExpectedChecksum(THashType::SHA1), information.SHA1Hash);
    EXPECT_FALSE(withoutInstaller.CanDownload());
    information.DownloadFileURL = "http://quorvex.example.com/QuorvexSetup.exe";
    EXPECT_TRUE(TUpdateNotifyForm(information, noReadme).CanDownload());
}

TEST(UpdateNotifyForm, ReadmeLinesOrTheEmptyLine)
{
    const TUpdateInformation information;
    EXPECT_EQ(TUpdateNotifyForm(information, std::nullopt).ReadmeLines(), std::vector<std::string>{""});
    const std::optional<std::vector<std::string>> readme = std::vector<std::string>{"What is new", "", "Fixes"};
    EXPECT_EQ(TUpdateNotifyForm(information, readme).ReadmeLines(), *readme);
}

}  // namespace
}  // namespace quorvex
