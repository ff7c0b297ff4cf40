#include "update/PrivateProfile.h"

#include "update/UpdateText.h"

namespace quorvex {
namespace {

bool IsQuote(QChar c)
{
    return c == QLatin1Char('"') || c == QLatin1Char('\'');
}

QString WithoutEnclosingQuotes(const QString& value)
{
    if (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

// The value as the system's C string holds it: up to its first NUL.
QString UpToNul(const QString& value)
{
    return value.left(value.indexOf(QChar(u'\0')));
}

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

TPrivateProfile TPrivateProfile::FromBytes(const QByteArray& bytes)
{
    return FromText(DecodeTextFile(bytes));
}

TPrivateProfile TPrivateProfile::FromText(const QString& text)
{
    TPrivateProfile profile;
    for (const QString& line : SplitLines(text))
        profile.lines_.append(line.trimmed());
    return profile;
}

QString TPrivateProfile::ReadString(const QString& section, const QString& key) const
{
    bool inSection = false;
    for (const QString& line : lines_) {
        // A "[" without its "]" makes no header: the line is read as any other.
        const qsizetype close = line.startsWith(QLatin1Char('[')) ? line.indexOf(QLatin1Char(']')) : -1;
        if (close > 0) {
            if (inSection)
                return {};  // the end of the first section of that name
            inSection = SameName(line.mid(1, close - 1).trimmed(), section);
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inSection && equals >= 0 && SameName(line.left(equals).trimmed(), key))
            return WithoutEnclosingQuotes(UpToNul(line.mid(equals + 1).trimmed())).left(kMaxValueLength);
    }
    return {};
}

}  // namespace quorvex
