// The Wine prefix that the messenger is looked for in, and why it is that one.
// Plain data, the same on every system; only the Wine-prefix platform chooses
// one (PrefixDiscovery.h).
#pragma once

#include <filesystem>

namespace quorvex {

enum class TPrefixReason {
    Given,        // named on the command line (--prefix)
    Environment,  // $WINEPREFIX
    Default,      // ~/.wine
    FrontEnd,     // the first prefix of a Wine front-end holding a messenger
    Folder,       // holds the native messenger folder given
};

enum class TPrefixState {
    Usable,      // a Wine prefix of the user's own
    Missing,     // nothing is there
    NotAPrefix,  // something is there, but not a Wine prefix of the user's own
};

struct TPrefixChoice {
    std::filesystem::path Prefix;
    TPrefixReason Reason = TPrefixReason::Default;
    TPrefixState State = TPrefixState::Usable;

    bool operator==(const TPrefixChoice&) const = default;
};

}  // namespace quorvex
