#include "http/HttpUrl.h"

#include "http/HttpText.h"

#include <algorithm>
#include <string_view>

namespace quorvex {
namespace {

constexpr std::string_view kSchemeMark = "://";

bool IsAbsoluteLocation(const std::string& value)
{
    return StartsWithNoCase(value, "http://") || StartsWithNoCase(value, "https://");
}

// "scheme://host[:port]" of a document, keeping a port other than 80 so that
// a relative Location stays on the server that sent it.
std::string Origin(const THttpUrl& url)
{
    std::string origin = url.Scheme + std::string(kSchemeMark) + url.Host;
    if (!url.Port.empty() && url.Port != "80")
        origin += ':' + url.Port;
    return origin;
}

// The document's path up to and including its last "/" or ":" before any "?".
std::string Folder(const std::string& path)
{
    const std::string beforeQuery = path.substr(0, path.find('?'));
    const std::size_t end = beforeQuery.find_last_of("/:");
    return end == std::string::npos ? std::string() : beforeQuery.substr(0, end + 1);
}

}  // namespace

THttpUrl ParseUrl(const std::string& url)
{
    THttpUrl parts;
    std::string rest = url;
    if (const std::size_t mark = url.find(kSchemeMark); mark != std::string::npos) {
        parts.Scheme = AsciiLower(url.substr(0, mark));
        rest = url.substr(mark + kSchemeMark.size());
    }

    const std::size_t pathStart = std::min(rest.find_first_of("/?"), rest.size());
    parts.Path = rest.substr(pathStart);
    std::string authority = rest.substr(0, pathStart);

    if (const std::size_t at = authority.rfind('@'); at != std::string::npos) {
        const std::string credentials = authority.substr(0, at);
        const std::size_t colon = credentials.find(':');
        parts.User = credentials.substr(0, colon);
        parts.Password = colon == std::string::npos ? std::string() : credentials.substr(colon + 1);
        authority = authority.substr(at + 1);
    }
    THostPort hostPort = SplitHostPort(authority, std::string());
    parts.Host = std::move(hostPort.Host);
    parts.Port = std::move(hostPort.Port);
    return parts;
}

THostPort SplitHostPort(const std::string& text, const std::string& defaultPort)
{
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos)
        return {text, defaultPort};
    return {text.substr(0, colon), text.substr(colon + 1)};
}

std::string ResolveLocation(const std::string& value, const THttpUrl& current)
{
    if (IsAbsoluteLocation(value))
        return value;
    if (!value.empty() && value.front() == '/')
        return Origin(current) + value;
    return Origin(current) + Folder(current.Path) + value;
}

}  // namespace quorvex
