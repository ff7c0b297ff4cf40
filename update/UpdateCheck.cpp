#include "update/UpdateCheck.h"

#include "http/HttpCli.h"
#include "platform/Error.h"
#include "platform/PrivateFile.h"
#include "quorvex/BuildConfig.h"
#include "update/PrivateProfile.h"
#include "update/PrivateSink.h"
#include "update/UpdateHttp.h"
#include "update/UpdateText.h"
#include "update/UpdateVersion.h"

namespace quorvex {
namespace {

// Detaches the sink and the data handler from the client when a fetch ends.
class TFetchGuard {
public:
    explicit TFetchGuard(THttpCli& client) : client_(client) {}
    ~TFetchGuard()
    {
        client_.SetRcvdStream(nullptr);
        client_.OnDocData = nullptr;
    }
    TFetchGuard(const TFetchGuard&) = delete;
    TFetchGuard& operator=(const TFetchGuard&) = delete;

private:
    THttpCli& client_;
};

// Fetches url with the client into a new temporary file and returns what
// arrived, or nothing when the request failed (the client's status tells
// why). A body longer than limit ends the transfer at once and raises an
// Error naming what was fetched.
std::optional<std::string> Fetch(THttpCli& client, const std::string& url, std::int64_t limit, const char* what)
{
    TPrivateSink sink(TPrivateFile::Create(PrivateTemporaryFolder(), "AU", ".tmp"));
    bool tooLarge = false;
    const TFetchGuard guard(client);
    client.OnDocData = [&tooLarge, limit](THttpCli* sender, const char*, std::int64_t) {
        if (!tooLarge && sender->RcvdCount() > limit) {
            tooLarge = true;
            sender->Abort();
        }
    };
    client.SetURL(url);
    if (!GetInto(client, sink)) {
        if (tooLarge)
            throw Error(std::string("The ") + what + " at " + url + " is larger than " + std::to_string(limit / 1024)
                        + " KB.");
        return std::nullopt;
    }
    return sink.ReadBack(static_cast<std::size_t>(limit));
}

TUpdateInformation ReadInformation(const std::string& bytes, const std::string& section)
{
    const TPrivateProfile profile = TPrivateProfile::FromBytes(bytes);
    const auto read = [&](const char* key) { return profile.ReadString(section, key); };
    return TUpdateInformation{read("DownloadFileURL"), read("ReadmeFileURL"), read("UpdatePageURL"),
                              read("Version"),         read("CRC32Hash"),     read("MD5Hash"),
                              read("SHA1Hash"),        read("EdSignature")};
}

}  // namespace

std::string ProductUpdatePageURL()
{
    return std::string("http://") + config::kSiteHost + "/";
}

std::string ProductUpdateFileURL()
{
    return ProductUpdatePageURL() + "QuorvexUpdate.txt";
}

TUpdateCheckResult RunUpdateCheck(THttpCli& client, const TUpdateCheckSettings& settings,
                                  const std::function<bool()>& timeUp)
{
    TUpdateCheckResult result;
    if (!settings.UpdateFileURL.empty()) {
        const std::optional<std::string> bytes =
            Fetch(client, settings.UpdateFileURL, kUpdateInformationLimit, "update information file");
        if (bytes) {
            result.Information = ReadInformation(*bytes, settings.Section);
        } else {
            result.InformationFailure = RequestFailureLine(client);
            result.Readme = std::vector<std::string>{*result.InformationFailure};
        }
        if (result.Information.UpdatePageURL.empty())
            result.Information.UpdatePageURL = settings.UpdatePageURL;
    }
    if (!timeUp() && !result.Information.ReadmeFileURL.empty()) {
        const std::optional<std::string> bytes = Fetch(client, result.Information.ReadmeFileURL, kReadmeLimit, "readme");
        if (bytes) {
            result.Readme = SplitLines(DecodeTextFile(*bytes));
        } else {
            result.ReadmeFailure = RequestFailureLine(client);
            result.Readme = std::vector<std::string>{*result.ReadmeFailure};
        }
    }
    result.Newer = IsOlderVersion(settings.Version, result.Information.Version);
    return result;
}

}  // namespace quorvex
