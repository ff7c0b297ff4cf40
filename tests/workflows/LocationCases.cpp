#include "tests/workflows/LocationCases.h"

#include "platform/wine/WinePrefix.h"
#include "tools/fakemessenger/FakeMessenger.h"

#include <algorithm>
#include <stdexcept>

namespace quorvex::test {

namespace fs = std::filesystem;

namespace {

using enum TInstall;
using enum TPrefixReason;

constexpr char kDefault[] = "C:\\Program Files\\Yahoo!\\Messenger";
constexpr char kX86[] = "C:\\Program Files (x86)\\Yahoo!\\Messenger";
constexpr char kLutris[] = "Games/yim";
constexpr char kLutrisFolder[] = "{home}/Games/yim/drive_c/Program Files/Yahoo!/Messenger";
// Searched before Lutris' folder, holding no messenger.
constexpr TPrefixSetup kEmptyWinetricks{".local/share/wineprefixes/empty", Nothing};

void MakeBarePrefix(const fs::path& prefix)
{
    fs::create_directories(prefix / "drive_c");
    fs::create_directories(prefix / "dosdevices");
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
    WriteText(prefix / "system.reg", "WINE REGISTRY Version 2\n");
    WriteText(prefix / "user.reg", "WINE REGISTRY Version 2\n");
}

}  // namespace

void PrintTo(const TLocationCase& c, std::ostream* out)
{
    *out << c.Name;
}

const std::vector<TLocationCase>& LocationCases()
{
    static const std::vector<TLocationCase> cases{
        {"EnvironmentHoldsIt", {{"env", ProgramFiles}, {kLutris, ProgramFiles}}, "env", "", "", "env", Environment,
         kDefault},
        {"DefaultPrefixHoldsIt", {{".wine", ProgramFiles}, {kLutris, ProgramFiles}}, nullptr, "", "", ".wine", Default,
         kDefault},
        {"FrontEndWhenTheEnvironmentsHoldsNone", {{"env", Nothing}, kEmptyWinetricks, {kLutris, ProgramFiles}}, "env",
         "", "", kLutris, FrontEnd, kDefault},
        {"FrontEndWhenThereIsNoDefaultPrefix", {kEmptyWinetricks, {kLutris, ProgramFiles}}, nullptr, "", "", kLutris,
         FrontEnd, kDefault},
        {"GivenWinsOverAMessengerElsewhere", {{"given", Nothing}, {"env", ProgramFiles}}, "env", "given", "", "given",
         Given, kDefault},
        {"GivenButMissing", {{kLutris, ProgramFiles}}, nullptr, "missing", "", "missing", Given, kDefault,
         TPrefixState::Missing},
        {"EnvironmentNotAPrefix", {{"env", NoPrefix}}, "env", "", "", "env", Environment, kDefault,
         TPrefixState::NotAPrefix},
        {"NothingAnywhere", {kEmptyWinetricks}, nullptr, "", "", ".wine", Default, kDefault, TPrefixState::Missing},
        {"NativeFolderMovesToItsPrefix", {{"env", ProgramFiles}, {kLutris, ProgramFiles}}, "env", "", kLutrisFolder,
         kLutris, Folder, kLutrisFolder},
        {"NativeFolderMovesFromAGivenPrefix", {{"given", ProgramFiles}, {kLutris, ProgramFiles}}, nullptr, "given",
         kLutrisFolder, kLutris, Folder, kLutrisFolder},
        {"WindowsFolderKeepsThePrefix", {{"env", ProgramFiles}, {kLutris, ProgramFiles}}, "env", "", kX86, "env",
         Environment, kX86},
        {"X86WhereOnlyItHoldsTheMessenger", {{"env", X86}}, "env", "", "", "env", Environment, kX86},
        {"X86FoundInAFrontEnd", {{".wine", Nothing}, {kLutris, X86}}, nullptr, "", "", kLutris, FrontEnd, kX86},
        {"ProgramFilesWinsOverX86", {{"env", X86}, {"env", ProgramFiles}}, "env", "", "", "env", Environment,
         kDefault},
    };
    return cases;
}

const TLocationCase& LocationCase(std::string_view name)
{
    const auto& cases = LocationCases();
    const auto found = std::ranges::find(cases, name, [](const TLocationCase& c) { return std::string_view(c.Name); });
    if (found == cases.end())
        throw std::invalid_argument("no location case " + std::string(name));
    return *found;
}

TLocationHome::TLocationHome(const TLocationCase& c)
    : Case(c),
      homeEnv_("HOME", home_.Path().string()),
      dataHome_("XDG_DATA_HOME", std::nullopt),
      winePrefix_("WINEPREFIX", c.WinePrefix ? std::optional(Path(c.WinePrefix).string()) : std::nullopt)
{
    for (const TPrefixSetup& setup : c.Prefixes) {
        const fs::path prefix = Path(setup.Path);
        if (setup.Install == NoPrefix) {
            fs::create_directories(prefix / "drive_c");
            continue;
        }
        if (setup.Install == Nothing) {
            MakeBarePrefix(prefix);
            continue;
        }
        TFakeMessengerOptions options;
        options.Version = VersionIn(setup.Path);
        options.Win64 = setup.Install == X86;
        options.ImageSize = std::size_t{256} << 10;  // the rule reads no more than the registry
        const fs::path staged = home_.Path() / ".staging";
        CreateFakeMessenger(staged, options);
        if (setup.Install == X86)
            fs::rename(staged / "drive_c" / "Program Files", staged / "drive_c" / "Program Files (x86)");
        // Into the prefix, beside what is there (a second installation).
        if (fs::exists(prefix / "dosdevices"))
            fs::remove_all(staged / "dosdevices");
        fs::create_directories(prefix);
        fs::copy(staged, prefix, fs::copy_options::recursive | fs::copy_options::overwrite_existing |
                                     fs::copy_options::copy_symlinks);
        fs::remove_all(staged);
    }
}

TLocationHome::~TLocationHome()
{
    UseWinePrefix({});
}

fs::path TLocationHome::Path(const std::string& relative) const
{
    return home_.Path() / relative;
}

std::string TLocationHome::Text(const std::string& text) const
{
    std::string replaced = text;
    if (const std::size_t at = replaced.find("{home}"); at != std::string::npos)
        replaced.replace(at, 6, home_.Path().string());
    return replaced;
}

std::string TLocationHome::VersionIn(const std::string& prefix) const
{
    for (std::size_t index = 0; index < Case.Prefixes.size(); ++index) {
        const TInstall install = Case.Prefixes[index].Install;
        if (Case.Prefixes[index].Path == prefix && (install == ProgramFiles || install == X86))
            return "10.7.0." + std::to_string(index);  // builds without a known advert offset
    }
    return "0.0.0.0";
}

std::string ExpectedVersion(const TLocationHome& home)
{
    return home.VersionIn(home.Case.ExpectedPrefix);
}

bool ExpectedExecutableFound(const TLocationHome& home)
{
    std::string folder = home.Text(home.Case.ExpectedFolder);
    if (folder.starts_with("C:\\")) {
        std::ranges::replace(folder, '\\', '/');
        folder = (home.Path(home.Case.ExpectedPrefix) / "drive_c" / folder.substr(3)).string();
    }
    return fs::is_regular_file(fs::path(folder) / "YahooMessenger.exe");
}

}  // namespace quorvex::test
