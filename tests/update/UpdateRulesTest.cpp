// The update checker's size texts in the user's locale.
#include "ui/qt/update/UpdateWindows.h"

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

}  // namespace
}  // namespace quorvex
