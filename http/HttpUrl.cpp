#include "http/HttpUrl.h"

namespace quorvex {
namespace {

constexpr auto kSchemeMark = QLatin1String("://");

bool IsAbsoluteLocation(const QString& value)
{
    return value.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || value.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

// "scheme://host[:port]" of a document, keeping a port other than 80 so that
// a relative Location stays on the server that sent it.
QString Origin(const THttpUrl& url)
{
    QString origin = url.Scheme + kSchemeMark + url.Host;
    if (!url.Port.isEmpty() && url.Port != QLatin1String("80"))
        origin += QLatin1Char(':') + url.Port;
    return origin;
}

// The document's path up to and including its last "/" or ":" before any "?".
QString Folder(const QString& path)
{
    const qsizetype query = path.indexOf(QLatin1Char('?'));
    const QString beforeQuery = query < 0 ? path : path.left(query);
    const qsizetype slash = beforeQuery.lastIndexOf(QLatin1Char('/'));
    const qsizetype colon = beforeQuery.lastIndexOf(QLatin1Char(':'));
    return beforeQuery.left(qMax(slash, colon) + 1);
}

}  // namespace

THttpUrl ParseUrl(const QString& url)
{
    THttpUrl parts;
    QString rest = url;
    const qsizetype mark = url.indexOf(kSchemeMark);
    if (mark >= 0) {
        parts.Scheme = url.left(mark).toLower();
        rest = url.mid(mark + kSchemeMark.size());
    }

    qsizetype pathStart = rest.size();
    for (qsizetype i = 0; i < rest.size(); ++i) {
        if (rest[i] == QLatin1Char('/') || rest[i] == QLatin1Char('?')) {
            pathStart = i;
            break;
        }
    }
    parts.Path = rest.mid(pathStart);
    QString authority = rest.left(pathStart);

    const qsizetype at = authority.lastIndexOf(QLatin1Char('@'));
    if (at >= 0) {
        const QString credentials = authority.left(at);
        const qsizetype colon = credentials.indexOf(QLatin1Char(':'));
        parts.User = colon < 0 ? credentials : credentials.left(colon);
        parts.Password = colon < 0 ? QString() : credentials.mid(colon + 1);
        authority = authority.mid(at + 1);
    }
    const THostPort hostPort = SplitHostPort(authority, QString());
    parts.Host = hostPort.Host;
    parts.Port = hostPort.Port;
    return parts;
}

THostPort SplitHostPort(const QString& text, const QString& defaultPort)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return {text, defaultPort};
    return {text.left(colon), text.mid(colon + 1)};
}

QString ResolveLocation(const QString& value, const THttpUrl& current)
{
    if (IsAbsoluteLocation(value))
        return value;
    if (value.startsWith(QLatin1Char('/')))
        return Origin(current) + value;
    return Origin(current) + Folder(current.Path) + value;
}

}  // namespace quorvex
