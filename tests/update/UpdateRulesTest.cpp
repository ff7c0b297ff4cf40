// The update checker's small rules of its windows: size texts in the user's
// locale and the transfer's times.
#include "update/UpdateWindows.h"
#include "update/VelkAppUpdateDownload.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace quorvex {
namespace {

using Unit = TVelkAppUpdateFileSizeUnit;

TEST(FileSizeLocale, ThousandsSeparatorIsTheUsersEveryThreeDigits)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(LocaleFileSize(1234567, Unit::Bytes), QStringLiteral("1.234.567 B"));
    // Indian English groups by two above the thousands; the size text keeps threes.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::India));
    EXPECT_EQ(LocaleFileSize(123456789, Unit::Bytes), QStringLiteral("123,456,789 B"));
    QLocale::setDefault(saved);
}

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
    EXPECT_EQ(LongTimeText(0), QStringLiteral("00:00:00"));
    EXPECT_EQ(LongTimeText(3723), QStringLiteral("01:02:03"));
    EXPECT_EQ(LongTimeText(86399), QStringLiteral("23:59:59"));
    EXPECT_EQ(LongTimeText(86400 + 61), QStringLiteral("00:01:01"));
    EXPECT_EQ(LongTimeText(-40), QStringLiteral("00:00:00"));
}

}  // namespace
}  // namespace quorvex
