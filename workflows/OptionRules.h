// When an option of the option lists is unavailable: the main window draws
// it grey and refuses a tick, the command line refuses it. The rules read the
// installed messenger afresh at each call through IOptionFacts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quorvex {

// What the rules read, asked anew at each use.
class IOptionFacts {
public:
    virtual ~IOptionFacts() = default;
    virtual std::string MessengerVersion() = 0;  // "0.0.0.0" when none is installed
    virtual bool AutoStartOn() = 0;              // the messenger starts with Windows
    virtual bool BackupExists() = 0;             // "YahooMessenger.bak" in the working folder
    virtual bool HtmlReplacementExists() = 0;    // "C:\BlankQuorvex.html"
};

// Facts asked once: each answer is read at its first use and kept for this
// object's life. For reads that belong together, such as one draw of a list
// whose rows all ask the same facts.
class TRememberedFacts final : public IOptionFacts {
public:
    explicit TRememberedFacts(IOptionFacts& facts) : facts_(facts) {}

    std::string MessengerVersion() override;
    bool AutoStartOn() override;
    bool BackupExists() override;
    bool HtmlReplacementExists() override;

private:
    IOptionFacts& facts_;
    std::optional<std::string> version_;
    std::optional<bool> autoStart_;
    std::optional<bool> backup_;
    std::optional<bool> htmlReplacement_;
};

// The major version of a version text; nothing when its first part is not a
// number, which the rules treat as no usable major version.
std::optional<std::uint8_t> UsableMajorVersion(const std::string& version);

// Why an option cannot be ticked now; Available when it can.
enum class TUnavailableReason {
    Available,
    UnlistedVersion,     // the version is not in the version offset table
    NotVersion10To11,    // the major version is below 10 or above 11
    NotVersion8To11,     // the major version is below 8 or above 11
    NoMessenger,         // no messenger is installed
    AutoStartOff,        // the messenger does not start with Windows
    NoBackup,            // no backup in the working folder
    NoHtmlReplacement,   // no HTML replacement file
};

// Rows of the advert option list, by option index.
TUnavailableReason AdvertOptionReason(int index, IOptionFacts& facts);
bool AdvertOptionUnavailable(int index, IOptionFacts& facts);
// Rows of the clean option list, by option index.
TUnavailableReason CleanOptionReason(int index, IOptionFacts& facts);
bool CleanOptionUnavailable(int index, IOptionFacts& facts);

// The Adverts tab works only with a messenger installed.
bool AdvertsTabEnabled(const std::string& version);
// The UI tab works only with messenger 10 or 11.
bool UITabEnabled(const std::string& version);

}  // namespace quorvex
