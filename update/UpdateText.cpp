#include "update/UpdateText.h"

#include "http/HttpText.h"

#include <QStringDecoder>

namespace quorvex {
namespace {

struct TByteOrderMark {
    QByteArrayView Bytes;
    QStringConverter::Encoding Encoding;
};

constexpr TByteOrderMark kByteOrderMarks[] = {
    {"\xEF\xBB\xBF", QStringConverter::Utf8},
    {"\xFF\xFE", QStringConverter::Utf16LE},
    {"\xFE\xFF", QStringConverter::Utf16BE},
};

}  // namespace

QString DecodeTextFile(const QByteArray& bytes)
{
    for (const TByteOrderMark& mark : kByteOrderMarks) {
        // The decoder drops the mark itself.
        if (bytes.startsWith(mark.Bytes))
            return QStringDecoder(mark.Encoding)(bytes);
    }
    return QString::fromStdString(DecodeAnsi(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
}

QStringList SplitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype at = 0; at < text.size(); ++at) {
        const QChar c = text.at(at);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, at - start));
        if (c == QLatin1Char('\r') && at + 1 < text.size() && text.at(at + 1) == QLatin1Char('\n'))
            ++at;
        start = at + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

}  // namespace quorvex
