#include "tools/fakemessenger/FakeMessenger.h"

#include "engine/MessengerInfo.h"
#include "engine/PatternScan.h"
#include "platform/Error.h"
#include "platform/wine/NativeFile.h"
#include "platform/wine/RegistryHive.h"
#include "platform/Text.h"

#include <algorithm>
#include <cstdio>
#include <span>

namespace quorvex {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kHeadZone = 0x1000;  // first occurrences start here
constexpr std::size_t kSpacing = 0x300;    // filler between placed patterns

struct TPlacement {
    TAdvert Advert;
    int Count;
    bool OddFirst;  // the first occurrence at an odd offset
};

constexpr TPlacement kPlacements[] = {
    {TAdvert::Urls, 3, true},    {TAdvert::ChangeBanner, 1, false}, {TAdvert::ChatAdvert, 2, true},
    {TAdvert::RegCam, 1, true},  {TAdvert::MedCam, 2, false},       {TAdvert::BigCam, 1, false},
    {TAdvert::UpCam, 1, true},   {TAdvert::VidAd, 2, true},
};

std::vector<std::uint8_t> Filler(std::size_t size, std::uint32_t seed)
{
    std::vector<std::uint8_t> bytes(size);
    std::uint32_t state = seed == 0 ? 0x9E3779B9u : seed;
    for (std::uint8_t& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    return bytes;
}

// Rounds offset up to the wanted parity.
std::size_t WithParity(std::size_t offset, bool odd)
{
    return (offset % 2 == 1) == odd ? offset : offset + 1;
}

// The offsets where the placements go: first occurrences one after another
// from the head zone; later ones backwards from the end of the image, one of
// them across the scan's first block border when the image is long enough.
std::vector<std::pair<TAdvert, std::size_t>> Layout(std::size_t imageSize)
{
    std::vector<std::pair<TAdvert, std::size_t>> layout;
    std::size_t head = kHeadZone;
    std::size_t tail = imageSize;
    bool borderUsed = imageSize < kScanBlockSize + kHeadZone;
    for (const TPlacement& placement : kPlacements) {
        const std::size_t length = AdvertPatch(placement.Advert).Pattern.size();
        head = WithParity(head, placement.OddFirst);
        layout.emplace_back(placement.Advert, head);
        head += length + kSpacing;
        for (int k = 1; k < placement.Count; ++k) {
            const bool odd = placement.OddFirst == (k % 2 == 0);
            std::size_t at = 0;
            if (!borderUsed) {
                at = WithParity(kScanBlockSize - length / 2, odd);
                borderUsed = true;
            } else {
                if (tail < length + kSpacing + 1)
                    throw Error("The fake messenger image is too small for its patterns.");
                tail -= length + kSpacing + 1;
                at = WithParity(tail, odd);
            }
            layout.emplace_back(placement.Advert, at);
        }
    }
    if (head > tail)
        throw Error("The fake messenger image is too small for its patterns.");
    return layout;
}

std::uint8_t MajorOrZero(const std::string& version)
{
    try {
        return YahooMajorVersion(version);
    } catch (const ConvertError&) {
        return 0;
    }
}

// Every occurrence of pattern, found by a plain search.
std::vector<std::size_t> AllOccurrences(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> pattern)
{
    std::vector<std::size_t> found;
    for (auto it = std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end()); it != bytes.end();
         it = std::search(it + 1, bytes.end(), pattern.begin(), pattern.end())) {
        found.push_back(static_cast<std::size_t>(it - bytes.begin()));
    }
    return found;
}

std::string Quoted(std::string_view text)
{
    return "\"" + EscapeRegistryString(Utf8ToUtf16(text)) + "\"";
}

std::string Dword(std::string_view name, std::int32_t value)
{
    char number[16];
    std::snprintf(number, sizeof number, "%08x", static_cast<unsigned>(value));
    return Quoted(name) + "=dword:" + number + "\n";
}

// A key header as Wine writes it, with its modification time lines.
std::string Key(std::string_view path)
{
    std::string escaped;
    for (char c : path)
        escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return "\n[" + escaped + "] 1700000000\n#time=1d9f2a3b4c5d6e7\n";
}

// The file's header, then padding bytes of keys of made-up components.
std::string Header(std::string_view root, bool win64, std::size_t padding)
{
    std::string text = "WINE REGISTRY Version 2\n;; All keys relative to " + std::string(root) + "\n\n#arch=" +
                       (win64 ? "win64" : "win32") + "\n";
    const std::size_t end = text.size() + padding;
    for (unsigned component = 0; text.size() < end; ++component) {
        char name[96];
        std::snprintf(name, sizeof name, "Software\\Classes\\CLSID\\{%08X-0000-4000-8000-00000000BEEF}", component);
        text += Key(name) + "@=" + Quoted("Component " + std::to_string(component)) + "\n" + Quoted("ThreadingModel") +
                "=" + Quoted("Both") + "\n";
    }
    return text;
}

void WriteText(const fs::path& path, std::string_view text)
{
    WriteNativeFileAtomically(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::string SkinPlaceholder(std::string_view name)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<theme name=\"" + std::string(name) +
           "\">\r\n  <!-- placeholder skin of the synthetic messenger -->\r\n</theme>\r\n";
}

}  // namespace

TFakeImage BuildFakeImage(const TFakeMessengerOptions& options)
{
    TFakeImage image;
    image.Bytes = Filler(options.ImageSize, options.Seed);
    if (image.Bytes.size() < kHeadZone)
        throw Error("The fake messenger image is too small for its patterns.");
    image.Bytes[0] = 'M';
    image.Bytes[1] = 'Z';
    for (const auto& [advert, offset] : Layout(image.Bytes.size())) {
        const auto& pattern = AdvertPatch(advert).Pattern;
        std::ranges::copy(pattern, image.Bytes.begin() + static_cast<std::ptrdiff_t>(offset));
        image.Occurrences[advert].push_back(offset);
    }
    image.MainAdvertOffset = VersionOffset(options.Version);
    if (image.MainAdvertOffset != 0) {
        if (static_cast<std::size_t>(image.MainAdvertOffset) >= image.Bytes.size())
            throw Error("The fake messenger image is too small for the main advert offset of " + options.Version + ".");
        image.Bytes[static_cast<std::size_t>(image.MainAdvertOffset)] = MainAdvertByte(MajorOrZero(options.Version)).Expected;
    }
    // The layout must be the whole truth: no pattern may occur elsewhere by
    // chance or be cut by the main advert byte.
    for (auto& [advert, offsets] : image.Occurrences) {
        std::ranges::sort(offsets);
        if (AllOccurrences(image.Bytes, AdvertPatch(advert).Pattern) != offsets)
            throw Error("The fake messenger image cannot keep its patterns and main advert byte apart; choose another size or seed.");
    }
    return image;
}

std::string FakeUserRegistry(const TFakeMessengerOptions& options)
{
    std::string text = Header("\\\\User\\\\S-1-5-21-0-0-0-1000", options.Win64, options.UserRegistryPadding);
    text += Key("Control Panel\\Desktop") + Quoted("Wallpaper") + "=" + Quoted("") + "\n" + Quoted("UserPreferencesMask") +
            "=hex:9e,1e,07,80,12,00,00,00,\\\n  01,00\n";
    text += Key("Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    if (options.RunEntries) {
        const std::string command = "\"C:\\Program Files\\Yahoo!\\Messenger\\YahooMessenger.exe\" -quiet";
        text += Quoted("Messenger (Yahoo!)") + "=" + Quoted(command) + "\n";
        text += Quoted("Yahoo! Pager") + "=" + Quoted(command) + "\n";
    }
    text += Key("Software\\yahoo\\pager") + Quoted("Version") + "=" + Quoted(options.Version) + "\n";
    if (options.LaunchOnStartup)
        text += Dword("Launch on Startup", *options.LaunchOnStartup);
    if (options.SmileySearch)
        text += Dword("SmileySearch", *options.SmileySearch);
    if (options.TestKey) {
        text += Key("Software\\yahoo\\pager\\Test");
        if (options.Plural)
            text += Dword("Plural", *options.Plural);
    }
    text += Key("Software\\Wine\\Fonts") + Quoted("LogPixels") + "=dword:00000060\n";
    return text;
}

std::string FakeSystemRegistry(const TFakeMessengerOptions& options)
{
    std::string text = Header("\\\\Machine", options.Win64, options.SystemRegistryPadding);
    text += Key("Software\\Microsoft\\Windows NT\\CurrentVersion") + Quoted("CurrentVersion") + "=" + Quoted("6.1") + "\n";
    if (!options.Version.empty()) {
        text += Key(options.Win64 ? "Software\\Wow6432Node\\yahoo\\pager" : "Software\\yahoo\\pager");
        text += Quoted("ProductVersion") + "=" + Quoted(options.Version) + "\n";
    }
    return text;
}

TFakeImage CreateFakeMessenger(const fs::path& prefix, const TFakeMessengerOptions& options)
{
    TFakeImage image = BuildFakeImage(options);
    fs::create_directories(prefix / "dosdevices");
    fs::create_directories(prefix / "drive_c" / "windows" / "temp");
    const fs::path drive = prefix / "dosdevices" / "c:";
    if (!fs::is_symlink(drive))
        fs::create_directory_symlink("../drive_c", drive);
    const fs::path messenger = prefix / kFakeMessengerFolder;
    for (const char* skin : {"IMWindow", "FriendList", "ContactCard"}) {
        const fs::path folder = messenger / "skins" / "Default" / skin;
        fs::create_directories(folder);
        WriteText(folder / (std::string(skin) + ".xml"), SkinPlaceholder(skin));
    }
    WriteNativeFileAtomically(messenger / "YahooMessenger.exe", image.Bytes);
    WriteText(prefix / "user.reg", FakeUserRegistry(options));
    WriteText(prefix / "system.reg", FakeSystemRegistry(options));
    return image;
}

}  // namespace quorvex
