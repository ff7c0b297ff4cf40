// The command line of quorvex-cli: what it asks for, read from its words, and
// its usage text.
#pragma once

#include "cli/OptionLists.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvex::cli {

enum class TCommand { Status, Adverts, UI, Clean, Update, Help, Version };

// The rows that the OPTION words name: some by index or short name, and
// "all", every row that the list would let the user tick now.
struct TRowSelection {
    bool All = false;
    std::vector<int> Rows;  // in the order given
};

struct TCommandLine {
    TCommand Command = TCommand::Help;
    std::string Folder;       // empty when --folder was not given: the default folder
    std::uint32_t Color = 0;  // bits 0-7 red, 8-15 green, 16-23 blue
    bool Json = false;
    std::string Prefix;       // a Wine prefix chosen with --prefix; empty when none was
    std::string UpdateURL;    // update: the update information file; empty for the product web site's
    TRowSelection Selection;
};

// A command line that does not follow the usage; what() says what is wrong.
class TUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Whether this build works on a Wine prefix, and so takes --prefix.
#ifdef QUORVEX_WINE_PREFIX
inline constexpr bool kWinePrefixOption = true;
#else
inline constexpr bool kWinePrefixOption = false;
#endif

// The white of the main window's colour box at start.
inline constexpr std::uint32_t kDefaultAdvertColor = 0x00FFFFFF;

// The arguments after the program's name. Throws TUsageError.
TCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The list that a command works on.
const TOptionList& OptionListOf(TCommand command);

std::string UsageText();

}  // namespace quorvex::cli
