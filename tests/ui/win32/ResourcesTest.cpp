// The resources that quorvex.exe and quorvex-cli.exe carry, read from the
// built files: the manifest, the icon and the version information.
//
//   win32_resources_tests.exe <quorvex.exe> <quorvex-cli.exe>
#include "resources/windows/ResourceIds.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

std::wstring gQuorvex;
std::wstring gQuorvexCli;

// Resource types, as numbers (the RT_ macros are narrow texts without UNICODE).
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
    std::string Bytes(WORD type, int id) const
    {
        const HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(type));
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

TEST(ProgramResources, TheWindowedProgramsVersionIsTheProjects)
{
    DWORD ignored = 0;
    std::vector<char> info(GetFileVersionInfoSizeW(gQuorvex.c_str(), &ignored));
    ASSERT_FALSE(info.empty()) << "no version information";
    ASSERT_TRUE(GetFileVersionInfoW(gQuorvex.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));

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
    EXPECT_EQ(text(L"OriginalFilename"), "quorvex.exe");
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
