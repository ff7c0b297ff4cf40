// Which messenger Quorvex works on, as a table: a home folder with Wine
// prefixes in the front-ends' folders and elsewhere, $WINEPREFIX, --prefix and
// a folder text; the prefix, the reason and the folder expected, and the
// version read there. The workflow tests run it through LocateMessenger, the
// command-line tests through quorvex-cli status, the window tests through the
// main window, so all three are held to the one rule.
#pragma once

#include "platform/PrefixChoice.h"
#include "tests/fixtures/TestSupport.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex::test {

enum class TInstall {
    NoPrefix,      // a folder holding drive_c only: no Wine prefix
    Nothing,       // a Wine prefix holding no messenger
    ProgramFiles,  // C:\Program Files\Yahoo!\Messenger
    X86,           // C:\Program Files (x86)\Yahoo!\Messenger, in a 64-bit prefix
};

struct TPrefixSetup {
    const char* Path;  // relative to the home folder
    TInstall Install;
};

// Paths and texts relative to the home folder; "{home}" in a text stands for it.
struct TLocationCase {
    const char* Name;
    std::vector<TPrefixSetup> Prefixes;
    const char* WinePrefix;  // $WINEPREFIX; nullptr: not set
    const char* Given;       // --prefix; "" none
    const char* Folder;      // the folder text; "" none
    const char* ExpectedPrefix;
    TPrefixReason ExpectedReason;
    const char* ExpectedFolder;
    TPrefixState ExpectedState = TPrefixState::Usable;
};

void PrintTo(const TLocationCase& c, std::ostream* out);

const std::vector<TLocationCase>& LocationCases();
// The case of that name; a test fails where there is none.
const TLocationCase& LocationCase(std::string_view name);

// A case's home folder, made and set as HOME (XDG_DATA_HOME unset,
// $WINEPREFIX as the case says) for its lifetime; the prefix put in use is
// forgotten at its end.
class TLocationHome {
public:
    explicit TLocationHome(const TLocationCase& c);
    ~TLocationHome();
    TLocationHome(const TLocationHome&) = delete;
    TLocationHome& operator=(const TLocationHome&) = delete;

    std::filesystem::path Path(const std::string& relative) const;
    // "{home}" replaced by the home folder.
    std::string Text(const std::string& text) const;
    // The messenger version installed in a prefix of the case: each its own.
    std::string VersionIn(const std::string& prefix) const;

    const TLocationCase& Case;

private:
    TTempFolder home_;
    TScopedEnv homeEnv_;
    TScopedEnv dataHome_;
    TScopedEnv winePrefix_;
};

// The version that the case's expected prefix holds, "0.0.0.0" where none.
std::string ExpectedVersion(const TLocationHome& home);

// Whether the expected folder holds the executable, looked at directly.
bool ExpectedExecutableFound(const TLocationHome& home);

}  // namespace quorvex::test
