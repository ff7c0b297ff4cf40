#include "forms/UpdateDownloadForm.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace quorvex {

TTransferTimes TransferTimes(std::int64_t received, std::int64_t expected, std::int64_t seconds)
{
    TTransferTimes times{seconds > 0 ? received / seconds : 0, seconds, std::nullopt};
    if (received > 0)
        times.RemainingSeconds = (expected - received) * seconds / received;
    return times;
}

std::string LongTimeText(std::int64_t seconds)
{
    // More than announced may arrive: the time left is then none.
    seconds = std::max<std::int64_t>(seconds, 0);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(seconds / 3600 % 24),
                  static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
    return text;
}

TUpdateDownloadForm::TUpdateDownloadForm(TVelkAppUpdateFileSizeUnit unit, std::string thousandsSeparator)
    : unit_(unit), separator_(std::move(thousandsSeparator))
{
}

std::string TUpdateDownloadForm::Size(std::int64_t bytes) const
{
    return FormatFileSize(bytes, unit_, separator_);
}

std::string TUpdateDownloadForm::TransferText(std::int64_t received, std::int64_t expected) const
{
    const std::int64_t percent = expected > 0 ? received * 100 / expected : 0;
    return Size(received) + " of " + Size(expected) + " (" + std::to_string(percent) + "%)";
}

TDownloadTickTexts TUpdateDownloadForm::TickTexts(std::int64_t received, std::int64_t expected,
                                                  std::int64_t seconds) const
{
    const TTransferTimes times = TransferTimes(received, expected, seconds);
    TDownloadTickTexts texts{Size(times.BytesPerSecond) + "/sec", LongTimeText(times.ElapsedSeconds), std::nullopt};
    if (times.RemainingSeconds)
        texts.Remaining = LongTimeText(*times.RemainingSeconds);
    return texts;
}

std::string TUpdateDownloadForm::DownloadingText(const std::string& proxy, const std::string& proxyPort)
{
    if (proxy.empty())
        return "Downloading file";
    return "Downloading file using proxy server (" + proxy + ":" + proxyPort + ")";
}

std::string TUpdateDownloadForm::NotAPlainNameText(const std::string& name)
{
    return "The update cannot be saved under the name \"" + name + "\": it is not a plain file name.";
}

}  // namespace quorvex
