// The download window's rules, without a toolkit: what its labels say while
// an installer is downloaded (size, progress, speed and times), its status
// lines and messages, and what closing it does. The Qt window only draws
// what these give. Texts are UTF-8.
#pragma once

#include "update/FileSize.h"

#include <cstdint>
#include <optional>
#include <string>

namespace quorvex {

// What the one-second timer shows, from the bytes received and expected and
// the whole seconds since the transfer started.
struct TTransferTimes {
    std::int64_t BytesPerSecond;  // 0 within the first second
    std::int64_t ElapsedSeconds;
    std::optional<std::int64_t> RemainingSeconds;  // none before any byte arrived
};
TTransferTimes TransferTimes(std::int64_t received, std::int64_t expected, std::int64_t seconds);

// Seconds as "hh:nn:ss"; the hours wrap at 24, a negative time reads 0.
std::string LongTimeText(std::int64_t seconds);

// The labels that a timer tick sets; Remaining is unset while no byte has
// arrived, and the label then keeps what it showed.
struct TDownloadTickTexts {
    std::string Speed;
    std::string Elapsed;
    std::optional<std::string> Remaining;
};

class TUpdateDownloadForm {
public:
    static constexpr const char* kGettingFileInformation = "Getting file information";
    static constexpr const char* kCancelQuestion = "Do you want to cancel the download?";
    static constexpr const char* kNotCompleted = "The update was not completed.";
    static constexpr const char* kCorrupted = "The downloaded file is corrupted.";
    static constexpr const char* kNotSigned = "The downloaded file is not signed by its publisher.";
    static constexpr const char* kNotThePublishers = "The downloaded file's signature is not its publisher's.";
    static constexpr const char* kWillClose = "The application will close to start the update.";

    // Sizes in the unit chosen, with the user's thousands separator.
    TUpdateDownloadForm(TVelkAppUpdateFileSizeUnit unit, std::string thousandsSeparator);

    // "<received> of <expected> (<percent>%)"; 0% while the size is unknown.
    std::string TransferText(std::int64_t received, std::int64_t expected) const;
    // The timer's labels.
    TDownloadTickTexts TickTexts(std::int64_t received, std::int64_t expected, std::int64_t seconds) const;
    // The status line of a transfer, direct or through the proxy given.
    static std::string DownloadingText(const std::string& proxy, const std::string& proxyPort);
    // Why a name taken from the URL cannot be the download's.
    static std::string NotAPlainNameText(const std::string& name);
    // Closing the window while the transfer runs asks the cancel question.
    static bool CloseAsksToCancel(bool transferring) { return transferring; }

private:
    std::string Size(std::int64_t bytes) const;

    TVelkAppUpdateFileSizeUnit unit_;
    std::string separator_;
};

}  // namespace quorvex
