// The resources that quorvex.exe and quorvex-cli.exe carry, read from the
// built files: the manifest, the icon, the version information, the windows'
// artwork and the dropper's cursor.
//
//   win32_resources_tests.exe <quorvex.exe> <quorvex-cli.exe>
#include "resources/artwork/dropper-cursor-mask.xbm"
#include "resources/artwork/dropper-cursor.xbm"
#include "resources/windows/ResourceIds.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

std::wstring gQuorvex;
std::wstring gQuorvexCli;

// Resource types, as numbers (the RT_ macros are narrow texts without UNICODE).
constexpr WORD kCursor = 1;
constexpr WORD kGroupCursor = 12;
constexpr WORD kGroupIcon = 14;
constexpr WORD kManifest = 24;

// A program file loaded as data, for its resources.
class TResources {
public:
    explicit TResources(const std::wstring& path)
        : module_(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE))
    {
    }
    ~TResources()
    {
        if (module_ != nullptr)
            FreeLibrary(module_);
    }
    bool Loaded() const { return module_ != nullptr; }

    // The resource's bytes; empty when there is none.
    std::string Bytes(WORD type, int id) const { return Bytes(type, MAKEINTRESOURCEW(id)); }
    std::string Bytes(WORD type, const wchar_t* name) const
    {
        const HRSRC found = FindResourceW(module_, name, MAKEINTRESOURCEW(type));
        if (found == nullptr)
            return {};
        const auto* data = static_cast<const char*>(LockResource(LoadResource(module_, found)));
        return {data, SizeofResource(module_, found)};
    }

private:
    HMODULE module_;
};

// The pixel widths of the pictures of an icon group (0 in the file means 256).
std::set<int> IconWidths(const std::string& group)
{
    std::set<int> widths;
    if (group.size() < 6)
        return widths;
    const int count = static_cast<unsigned char>(group[4]) | static_cast<unsigned char>(group[5]) << 8;
    constexpr std::size_t kEntrySize = 14;  // GRPICONDIRENTRY
    for (int i = 0; i < count && 6 + (i + 1) * kEntrySize <= group.size(); ++i) {
        const int width = static_cast<unsigned char>(group[6 + i * kEntrySize]);
        widths.insert(width == 0 ? 256 : width);
    }
    return widths;
}

TEST(ProgramResources, BothProgramsCarryTheIconInEverySize)
{
    for (const std::wstring* program : {&gQuorvex, &gQuorvexCli}) {
        SCOPED_TRACE(std::string(program->begin(), program->end()));
        const TResources resources(*program);
        ASSERT_TRUE(resources.Loaded()) << GetLastError();
        EXPECT_EQ(IconWidths(resources.Bytes(kGroupIcon, IDI_QUORVEX)), (std::set<int>{16, 24, 32, 48, 64, 128, 256}));
    }
}

TEST(ProgramResources, TheWindowedProgramCarriesTheArtworkAtItsOwnSizes)
{
    const TResources resources(gQuorvex);
    ASSERT_TRUE(resources.Loaded()) << GetLastError();
    EXPECT_EQ(IconWidths(resources.Bytes(kGroupIcon, IDI_LOGO)), std::set<int>{125});
    EXPECT_EQ(IconWidths(resources.Bytes(kGroupIcon, IDI_DONATE)), std::set<int>{122});
    EXPECT_EQ(IconWidths(resources.Bytes(kGroupIcon, IDI_DROPPER)), std::set<int>{20});
}

unsigned Word(const std::string& bytes, std::size_t at)
{
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

enum class TLook { Transparent, Black, White, Inverted };

// How an X bitmap cursor's pixel looks: the mask keeps the screen where it
// is clear (inverting it where the shape is set), else the shape is black
// where set, white where clear.
TLook XLook(int x, int y)
{
    const auto bit = [](const unsigned char* bits, int x, int y) { return (bits[y * 4 + x / 8] >> (x % 8) & 1) != 0; };
    const bool shape = bit(dropper_cursor_bits, x, y);
    if (!bit(dropper_cursor_mask_bits, x, y))
        return shape ? TLook::Inverted : TLook::Transparent;
    return shape ? TLook::Black : TLook::White;
}

TEST(ProgramResources, TheWindowedProgramsDropperCursorIsTheXCursorWithItsHotSpot)
{
    const TResources resources(gQuorvex);
    ASSERT_TRUE(resources.Loaded()) << GetLastError();
    const std::string group = resources.Bytes(kGroupCursor, L"Dropper");
    ASSERT_EQ(group.size(), 6u + 14u) << "one cursor picture";
    const std::string cursor = resources.Bytes(kCursor, static_cast<int>(Word(group, 6 + 12)));
    ASSERT_EQ(cursor.size(), 4u + 40u + 8u + 2 * 128u);
    EXPECT_EQ(Word(cursor, 0), 0u) << "hot spot x";
    EXPECT_EQ(Word(cursor, 2), 15u) << "hot spot y";
    EXPECT_EQ(Word(cursor, 4 + 4), 32u) << "width";
    EXPECT_EQ(Word(cursor, 4 + 8), 64u) << "height of both masks";
    EXPECT_EQ(Word(cursor, 4 + 14), 1u) << "one bit per pixel";
    EXPECT_EQ(cursor.substr(4 + 40, 8), std::string("\0\0\0\0\xff\xff\xff\0", 8)) << "black, white";
    const std::size_t xorMask = 4 + 40 + 8;
    const std::size_t andMask = xorMask + 128;
    int differing = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const std::size_t at = static_cast<std::size_t>(31 - y) * 4 + x / 8;  // rows from the bottom up
            const int bit = 0x80 >> (x % 8);
            const bool keep = (static_cast<unsigned char>(cursor[andMask + at]) & bit) != 0;
            const bool flip = (static_cast<unsigned char>(cursor[xorMask + at]) & bit) != 0;
            const TLook look = keep ? (flip ? TLook::Inverted : TLook::Transparent) : (flip ? TLook::White : TLook::Black);
            differing += look != XLook(x, y);
        }
    }
    EXPECT_EQ(differing, 0) << "pixels that look otherwise than in the X cursor";
    int drawn = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            drawn += XLook(x, y) != TLook::Transparent;
    EXPECT_GT(drawn, 50) << "the X cursor draws a pipette";
}

TEST(ProgramResources, TheWindowedProgramsManifestAsksForVisualStylesPerMonitorDpiAndLongPaths)
{
    const TResources resources(gQuorvex);
    ASSERT_TRUE(resources.Loaded()) << GetLastError();
    const std::string manifest = resources.Bytes(kManifest, 1);
    for (const char* wanted : {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
                               "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2",
                               ">true/pm</dpiAware>", ">true</longPathAware>", "level=\"asInvoker\""})
        EXPECT_NE(manifest.find(wanted), std::string::npos) << wanted << " in\n" << manifest;
}

// Each program carries the project's version, and its own file name.
TEST(ProgramResources, EachProgramsVersionIsTheProjects)
{
    for (const auto& [program, fileName] :
         {std::pair{&gQuorvex, "quorvex.exe"}, std::pair{&gQuorvexCli, "quorvex-cli.exe"}}) {
        SCOPED_TRACE(fileName);
        DWORD ignored = 0;
        std::vector<char> info(GetFileVersionInfoSizeW(program->c_str(), &ignored));
        ASSERT_FALSE(info.empty()) << "no version information";
        ASSERT_TRUE(GetFileVersionInfoW(program->c_str(), 0, static_cast<DWORD>(info.size()), info.data()));

        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT size = 0;
        ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
        char numbers[32];
        std::snprintf(numbers, sizeof numbers, "%u.%u.%u.%u", unsigned{HIWORD(fixed->dwFileVersionMS)},
                      unsigned{LOWORD(fixed->dwFileVersionMS)}, unsigned{HIWORD(fixed->dwFileVersionLS)},
                      unsigned{LOWORD(fixed->dwFileVersionLS)});
        EXPECT_EQ(std::string(numbers), QUORVEX_VERSION);

        const auto text = [&](const wchar_t* name) {
            wchar_t* value = nullptr;
            UINT length = 0;
            const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
            if (!VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || length == 0)
                return std::string();
            return std::string(value, value + length - 1);
        };
        EXPECT_EQ(text(L"FileVersion"), QUORVEX_VERSION);
        EXPECT_EQ(text(L"ProductVersion"), QUORVEX_VERSION);
        EXPECT_EQ(text(L"ProductName"), "Quorvex");
        EXPECT_EQ(text(L"OriginalFilename"), fileName);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: win32_resources_tests <quorvex.exe> <quorvex-cli.exe>\n");
        return 2;
    }
    gQuorvex = argv[1];
    gQuorvexCli = argv[2];
    return RUN_ALL_TESTS();
}
