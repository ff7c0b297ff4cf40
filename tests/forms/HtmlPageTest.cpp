#include "engine/HtmlFile.h"
#include "forms/HtmlPage.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace quorvex {
namespace {

TEST(HtmlPage, TheCannotShowPageNamesTheFileAndTheReasonEscaped)
{
    EXPECT_EQ(CannotShowPage("C:\\BlankQuorvex.html", "No such file or directory"),
              "<html><body><p><b>This page cannot be shown.</b></p><p>C:\\BlankQuorvex.html</p>"
              "<p>No such file or directory</p></body></html>");
    EXPECT_EQ(CannotShowPage("C:\\a<b>&\"c\".html", "x < y"),
              "<html><body><p><b>This page cannot be shown.</b></p><p>C:\\a&lt;b&gt;&amp;&quot;c&quot;.html</p>"
              "<p>x &lt; y</p></body></html>");
}

struct TBackgroundCase {
    const char* Name;
    std::string Html;
    std::optional<std::uint32_t> Background;
};

void PrintTo(const TBackgroundCase& c, std::ostream* out)
{
    *out << c.Name;
}

class PageBackgroundOf : public ::testing::TestWithParam<TBackgroundCase> {};

TEST_P(PageBackgroundOf, IsTheBodysBgcolorWithRedInTheLowByte)
{
    EXPECT_EQ(PageBackground(GetParam().Html), GetParam().Background);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, PageBackgroundOf,
    ::testing::Values(
        TBackgroundCase{"AdvertPage", AdvertHtmlPage(0x996633), 0x996633},
        TBackgroundCase{"UpperCaseAndSingleQuotes", "<HTML><BODY BGCOLOR='#0FA0c3'></BODY></HTML>", 0xC3A00F},
        TBackgroundCase{"Unquoted", "<body class=x bgcolor=#FF0000>", 0x0000FF},
        TBackgroundCase{"NoBgcolor", "<html><body><p>text</p></body></html>", std::nullopt},
        TBackgroundCase{"BgcolorOutsideTheBodyTag", "<body><p bgcolor=\"#FF0000\">", std::nullopt},
        TBackgroundCase{"ColourName", "<body bgcolor=\"red\">", std::nullopt},
        TBackgroundCase{"ShortHex", "<body bgcolor=\"#F00\">", std::nullopt},
        TBackgroundCase{"NotHex", "<body bgcolor=\"#12345G\">", std::nullopt},
        TBackgroundCase{"CutShort", "<body bgcolor=\"#1234", std::nullopt},
        TBackgroundCase{"NoBody", "bgcolor=\"#123456\"", std::nullopt}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace quorvex
