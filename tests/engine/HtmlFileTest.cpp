#include "engine/TQuorvex.h"
#include "tests/fixtures/TestSupport.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

TEST(ColorToHtml, GivesRedGreenBlueInUpperCaseHexAndIgnoresTheTopByte)
{
    const struct {
        std::uint32_t color;
        const char* text;
    } cases[] = {
        {0x000000, "#000000"}, {0xFF0000, "#0000FF"}, {0x0000FF, "#FF0000"}, {0x05AB12, "#12AB05"},
        {0xFFFFFF, "#FFFFFF"}, {0xFF00000F, "#0F0000"}, {0x00010203, "#030201"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColorToHtml(c.color), c.text) << std::hex << c.color;
}

TEST(CreateAdvertHTML, WritesTheOneLinePageToDriveC)
{
    test::TFakePrefix prefix;
    const std::filesystem::path file = prefix.Path() / "drive_c" / "BlankQuorvex.html";
    TQuorvex engine;
    engine.CreateAdvertHTML(0xFFFFFF);
    const std::string white = test::ReadText(file);
    EXPECT_EQ(white, "<html><body bgcolor=\"#FFFFFF\" style=\"overflow: hidden;\"></body></html>\r\n");
    EXPECT_EQ(white.size(), 72u);

    engine.CreateAdvertHTML(0x00336699);
    EXPECT_EQ(test::ReadText(file), "<html><body bgcolor=\"#996633\" style=\"overflow: hidden;\"></body></html>\r\n");
}

TEST(CreateAdvertHTML, RaisesTheFileCreationErrorWhenDriveCIsMissing)
{
    test::TTempFolder prefix;
    test::TScopedEnv usePrefix("WINEPREFIX", prefix.Path().string());
    try {
        TQuorvex().CreateAdvertHTML(0);
        FAIL() << "no error";
    } catch (const FileCreateError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create file \"" +
                                                 (prefix.Path() / "dosdevices" / "c:" / "BlankQuorvex.html").string() +
                                                 "\". No such file or directory");
    }
}

}  // namespace
}  // namespace quorvex
