#include "update/UpdateHttp.h"

#include "platform/Error.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <limits>

namespace quorvex {
namespace {

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// A signed 32-bit decimal number, blanks around it allowed; 0 when the text
// is not one.
int ToInt(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    if (text.starts_with('+'))
        text.remove_prefix(1);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() ? value : 0;
}

}  // namespace

void ConfigureUpdateClient(THttpCli& client)
{
    client.SetName("HttpCli1");
    client.SetLocalAddr("0.0.0.0");
    client.SetProxyPort("80");
    client.SetAgent("Mozilla/4.0 (compatible; Quorvex)");
    client.SetAccept("image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*");
    client.SetNoCache(true);
    client.SetRequestVer("1.0");
    client.SetFollowRelocation(true);
    client.SetLocationChangeMaxCount(5);
    client.SetTimeout(30);
}

int AnnouncedLength(const std::vector<std::string>& header)
{
    static const std::string kName = "content-length: ";
    for (const std::string& line : header) {
        const std::string lower = Lower(line);
        if (lower.starts_with(kName))
            return ToInt(std::string_view(lower).substr(kName.size()));
    }
    return 0;
}

int RemoteFileSize(THttpCli& client)
{
    try {
        client.Head();
    } catch (const EHttpException&) {
        return 0;
    }
    return AnnouncedLength(client.RcvdHeader());
}

bool GetInto(THttpCli& client, TPrivateSink& sink)
{
    client.SetRcvdStream(&sink);
    try {
        client.Get();
    } catch (const EHttpException&) {
        return false;
    } catch (const ERcvdStreamError& error) {
        throw Error("Cannot write file \"" + sink.FileName() + "\". " + error.Reason());
    }
    return true;
}

std::string RequestFailureLine(const THttpCli& client)
{
    return "Failed: " + std::to_string(client.StatusCode()) + " " + client.ReasonPhrase();
}

}  // namespace quorvex
