// quorvex-fake-messenger PREFIX [options]: makes a Wine-style prefix holding a
// synthetic messenger installation, to try Quorvex out without the messenger.
#include "tools/fakemessenger/FakeMessenger.h"

#include "platform/Error.h"

#include <charconv>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace {

using quorvex::TFakeMessengerOptions;

constexpr const char* kUsage =
    "usage: quorvex-fake-messenger PREFIX [options]\n"
    "  --version V               messenger version (default 10.0.0.1270; \"none\": not installed)\n"
    "  --arch win32|win64        prefix architecture (default win32)\n"
    "  --size BYTES              executable size (default 2097152)\n"
    "  --seed N                  seed of the filler bytes (default 1)\n"
    "  --launch-on-startup N|none  \"Launch on Startup\" (default 1)\n"
    "  --smiley-search N|none    \"SmileySearch\" (default 1)\n"
    "  --plural N|none           \"Plural\" (default none)\n"
    "  --no-test-key             leave out Software\\yahoo\\pager\\Test\n"
    "  --no-run-entries          leave out the messenger's Run entries\n"
    "  --user-padding BYTES      other programs' keys in user.reg (default 0)\n"
    "  --system-padding BYTES    other programs' keys in system.reg (default 0)\n"
    "PREFIX must not exist yet or be empty.\n";

template <class Number>
Number ParseNumber(std::string_view text)
{
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        throw quorvex::Error("'" + std::string(text) + "' is not a valid number");
    return value;
}

std::optional<std::int32_t> ParseSetting(std::string_view text)
{
    if (text == "none")
        return std::nullopt;
    return ParseNumber<std::int32_t>(text);
}

// Applies the option at args[i] (and its value); returns the index of the last argument used.
std::size_t ApplyOption(const std::vector<std::string>& args, std::size_t i, TFakeMessengerOptions& options)
{
    const std::string& name = args[i];
    if (name == "--no-test-key") {
        options.TestKey = false;
        return i;
    }
    if (name == "--no-run-entries") {
        options.RunEntries = false;
        return i;
    }
    if (i + 1 >= args.size())
        throw quorvex::Error("missing value after " + name);
    const std::string& value = args[i + 1];
    if (name == "--version")
        options.Version = value == "none" ? "" : value;
    else if (name == "--arch" && (value == "win32" || value == "win64"))
        options.Win64 = value == "win64";
    else if (name == "--size")
        options.ImageSize = ParseNumber<std::size_t>(value);
    else if (name == "--user-padding")
        options.UserRegistryPadding = ParseNumber<std::size_t>(value);
    else if (name == "--system-padding")
        options.SystemRegistryPadding = ParseNumber<std::size_t>(value);
    else if (name == "--seed")
        options.Seed = ParseNumber<std::uint32_t>(value);
    else if (name == "--launch-on-startup")
        options.LaunchOnStartup = ParseSetting(value);
    else if (name == "--smiley-search")
        options.SmileySearch = ParseSetting(value);
    else if (name == "--plural")
        options.Plural = ParseSetting(value);
    else
        throw quorvex::Error("unknown option " + name + " " + value);
    return i + 1;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0].starts_with("-")) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    try {
        TFakeMessengerOptions options;
        for (std::size_t i = 1; i < args.size(); ++i)
            i = ApplyOption(args, i, options);
        const std::filesystem::path prefix = args[0];
        if (std::filesystem::exists(prefix) && !std::filesystem::is_empty(prefix))
            throw quorvex::Error(prefix.string() + " exists and is not empty");
        const quorvex::TFakeImage image = quorvex::CreateFakeMessenger(prefix, options);
        std::printf("Fake messenger %s in %s (%zu bytes, main advert byte at %d)\n",
                    options.Version.empty() ? "without version" : options.Version.c_str(),
                    (prefix / quorvex::kFakeMessengerFolder).string().c_str(), image.Bytes.size(), image.MainAdvertOffset);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quorvex-fake-messenger: %s\n%s", error.what(), kUsage);
        return 1;
    }
}
