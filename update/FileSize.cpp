#include "update/FileSize.h"

#include <QLocale>

namespace quorvex {
namespace {

constexpr std::int64_t kKiloByte = 1024;
constexpr std::int64_t kMegaByte = 1024 * kKiloByte;
constexpr std::int64_t kGigaByte = 1024 * kMegaByte;

// The value's digits with a separator before every group of three, counted
// from the right, whatever grouping the locale itself would use.
QString Grouped(std::int64_t value, const QString& separator)
{
    QString digits = QString::number(value);
    const qsizetype firstDigit = value < 0 ? 1 : 0;
    for (qsizetype at = digits.size() - 3; at > firstDigit; at -= 3)
        digits.insert(at, separator);
    return digits;
}

// A fixed unit: zero reads 0, anything below one unit reads 1.
QString InFixedUnit(std::int64_t bytes, std::int64_t unitSize, const char* suffix, const QString& separator)
{
    const QString unit = QLatin1Char(' ') + QLatin1String(suffix);
    if (bytes == 0)
        return QLatin1Char('0') + unit;
    if (bytes < unitSize)
        return QLatin1Char('1') + unit;
    return Grouped(bytes / unitSize, separator) + unit;
}

QString InAutomaticUnit(std::int64_t bytes, const QString& separator)
{
    if (bytes > kGigaByte)
        return Grouped(bytes / kGigaByte, separator) + QLatin1String(" GB");
    if (bytes > kMegaByte)
        return Grouped(bytes / kMegaByte, separator) + QLatin1String(" MB");
    if (bytes > kKiloByte)
        return Grouped(bytes / kKiloByte, separator) + QLatin1String(" KB");
    return Grouped(bytes, separator) + QLatin1String(" B");
}

}  // namespace

QString FormatFileSize(std::int64_t bytes, TVelkAppUpdateFileSizeUnit unit, const QString& thousandsSeparator)
{
    switch (unit) {
    case TVelkAppUpdateFileSizeUnit::Auto: return InAutomaticUnit(bytes, thousandsSeparator);
    case TVelkAppUpdateFileSizeUnit::Bytes: return Grouped(bytes, thousandsSeparator) + QLatin1String(" B");
    case TVelkAppUpdateFileSizeUnit::KiloBytes: return InFixedUnit(bytes, kKiloByte, "KB", thousandsSeparator);
    case TVelkAppUpdateFileSizeUnit::MegaBytes: return InFixedUnit(bytes, kMegaByte, "MB", thousandsSeparator);
    case TVelkAppUpdateFileSizeUnit::GigaBytes: return InFixedUnit(bytes, kGigaByte, "GB", thousandsSeparator);
    }
    return {};
}

QString FormatFileSize(std::int64_t bytes, TVelkAppUpdateFileSizeUnit unit)
{
    return FormatFileSize(bytes, unit, QLocale().groupSeparator());
}

}  // namespace quorvex
