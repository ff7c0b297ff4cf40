#include "cli/CommandLine.h"

#include "engine/MessengerInfo.h"
#include "update/UpdateCheck.h"
#include "workflows/MessengerLocation.h"

#include <array>
#include <charconv>
#include <utility>

namespace quorvex::cli {
namespace {

constexpr std::array<std::pair<std::string_view, TCommand>, 5> kCommands = {{
    {"status", TCommand::Status},
    {"adverts", TCommand::Adverts},
    {"ui", TCommand::UI},
    {"clean", TCommand::Clean},
    {"update", TCommand::Update},
}};

// Whether a command takes OPTION words: the three that apply the lists.
bool TakesRows(TCommand command)
{
    return command == TCommand::Adverts || command == TCommand::UI || command == TCommand::Clean;
}

TCommand CommandNamed(const std::string& word)
{
    for (const auto& [name, command] : kCommands) {
        if (name == word)
            return command;
    }
    throw TUsageError("unknown command \"" + word + "\"");
}

// "RRGGBB" (or "#RRGGBB") in hexadecimal, as the colour value.
std::uint32_t ParseColor(std::string_view text)
{
    if (text.starts_with('#'))
        text.remove_prefix(1);
    std::uint32_t rgb = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, rgb, 16);
    if (text.size() != 6 || error != std::errc() || stop != end)
        throw TUsageError("--color needs six hexadecimal digits RRGGBB");
    const std::uint32_t red = rgb >> 16, green = (rgb >> 8) & 0xFF, blue = rgb & 0xFF;
    return red | (green << 8) | (blue << 16);
}

// cmd quotes a folder that ends in a backslash as "C:\Folder\", which reaches
// a Windows program as C:\Folder" (the backslash escapes the quote): a quote
// is no part of a Windows name, so it is dropped there.
std::string FolderValue(std::string value)
{
    if (!kWinePrefixOption && value.size() > 1 && value.back() == '"')
        value.pop_back();
    return value;
}

// Reads the command's options and OPTION words, in any order.
class TParser {
public:
    TParser(const std::vector<std::string>& arguments, TCommandLine& line) : arguments_(arguments), line_(line) {}

    void Run()
    {
        for (next_ = 1; next_ < arguments_.size();) {
            const std::string& word = arguments_[next_++];
            if (word.starts_with("--"))
                Option(word);
            else
                Row(word);
        }
        if (TakesRows(line_.Command) && !line_.Selection.All && line_.Selection.Rows.empty())
            throw TUsageError("name at least one option");
    }

private:
    void Option(const std::string& word)
    {
        const bool messenger = line_.Command != TCommand::Update;
        if (word == "--folder" && messenger)
            line_.Folder = FolderValue(Value(word));
        else if (word == "--prefix" && kWinePrefixOption && messenger)
            line_.Prefix = Value(word);
        else if (word == "--color" && line_.Command == TCommand::Adverts)
            line_.Color = ParseColor(Value(word));
        else if (word == "--json" && line_.Command == TCommand::Status)
            line_.Json = true;
        else if (word == "--url" && line_.Command == TCommand::Update)
            line_.UpdateURL = Value(word);
        else
            throw TUsageError("unknown option \"" + word + "\" for this command");
    }

    const std::string& Value(const std::string& option)
    {
        if (next_ >= arguments_.size() || arguments_[next_].empty())
            throw TUsageError(option + " needs a value");
        return arguments_[next_++];
    }

    void Row(const std::string& word)
    {
        if (!TakesRows(line_.Command))
            throw TUsageError(std::string(line_.Command == TCommand::Status ? "status" : "update")
                              + " takes no options to apply");
        const TOptionList& list = OptionListOf(line_.Command);
        if (word == "all") {
            line_.Selection.All = true;
            return;
        }
        const int row = RowNamed(list, word);
        if (row < 0)
            throw TUsageError("\"" + word + "\" is none of the " + std::string(list.Title) +
                              " (0 to " + std::to_string(list.Count() - 1) + ", a name or all)");
        line_.Selection.Rows.push_back(row);
    }

    const std::vector<std::string>& arguments_;
    TCommandLine& line_;
    std::size_t next_ = 1;
};

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    if (arguments.empty())
        throw TUsageError("name a command");
    TCommandLine line;
    line.Color = kDefaultAdvertColor;
    for (const std::string& word : arguments) {
        if (word == "--help" || word == "-h") {
            line.Command = TCommand::Help;
            return line;
        }
    }
    if (arguments.front() == "--version") {
        if (arguments.size() > 1)
            throw TUsageError("--version takes nothing more");
        line.Command = TCommand::Version;
        return line;
    }
    line.Command = CommandNamed(arguments.front());
    TParser(arguments, line).Run();
    return line;
}

const TOptionList& OptionListOf(TCommand command)
{
    switch (command) {
    case TCommand::UI: return UIOptionList();
    case TCommand::Clean: return CleanOptionList();
    default: return AdvertOptionList();
    }
}

std::string UsageText()
{
    const std::string prefix = kWinePrefixOption ? " [--prefix DIR]" : "";
    std::string text = "Usage:\n"
                       "  quorvex-cli status" + prefix + " [--folder F] [--json]\n"
                       "  quorvex-cli adverts" + prefix + " [--folder F] [--color RRGGBB] OPTION...\n"
                       "  quorvex-cli ui" + prefix + " [--folder F] OPTION...\n"
                       "  quorvex-cli clean" + prefix + " [--folder F] OPTION...\n"
                       "  quorvex-cli update [--url URL]\n"
                       "  quorvex-cli --help | --version\n"
                       "\n"
                       "OPTION is a row of the command's option list, by index or name, or all (every\n"
                       "row that can be ticked now):\n";
    for (const TCommand command : {TCommand::Adverts, TCommand::UI, TCommand::Clean}) {
        const TOptionList& list = OptionListOf(command);
        text += "  " + std::string(list.Title) + ":";
        for (int index = 0; index < list.Count(); ++index)
            text += " " + std::to_string(index) + "=" + std::string(list.Names[static_cast<std::size_t>(index)]);
        text += "\n";
    }
    text += "\n"
            "--folder F     the messenger folder (default \"" + std::string(kDefaultMessengerFolder) + "\", or\n"
            "               \"" + std::string(kDefaultMessengerFolderX86) + "\" where only that holds it)\n"
            "--color RRGGBB the colour of a new HTML replacement file (default FFFFFF)\n"
            "--json         status as one JSON object\n"
            "--url URL      update: the update information file (default " + ProductUpdateFileURL() + ")\n";
    if (kWinePrefixOption)
        text += "--prefix DIR   the Wine prefix (default $WINEPREFIX, else ~/.wine; where that holds no\n"
                "               messenger, the first prefix of a Wine front-end that does)\n";
    text += "\n"
            "Exit status: 0 completed, 1 refused (a precondition or an option not available now),\n"
            "2 usage error, 3 an error ended the run midway. update: 0 a newer version is\n"
            "available, 1 none is, 3 the check failed.\n";
    return text;
}

}  // namespace quorvex::cli
