// The help document's HTML turned into RTF, read back by a real RichEdit
// (RICHEDIT50W) as the help window shows it: its text and its formatting.
#include "platform/Text.h"
#include "ui/win32/HtmlToRtf.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

namespace quorvex::win32 {
namespace {

// Checks that the RTF is plain ASCII with balanced groups.
::testing::AssertionResult WellFormed(const std::string& rtf)
{
    int depth = 0;
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(rtf[i]);
        if (c > 0x7E || (c < 0x20 && c != '\n'))
            return ::testing::AssertionFailure() << "byte " << int(c) << " at " << i;
        if (c == '\\') {
            ++i;  // an escaped character or the first letter of a control word
            continue;
        }
        depth += c == '{' ? 1 : c == '}' ? -1 : 0;
        if (depth < 0)
            return ::testing::AssertionFailure() << "a group closed that was not open, at " << i;
        if (depth == 0 && i + 1 != rtf.size())
            return ::testing::AssertionFailure() << "text after the document's group, at " << i;
    }
    if (depth != 0)
        return ::testing::AssertionFailure() << depth << " groups left open";
    return ::testing::AssertionSuccess();
}

// A hidden RichEdit of this process holding the converted document.
class RichEdit : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_NE(LoadLibraryW(L"Msftedit.dll"), nullptr); }

    void SetUp() override
    {
        edit_ = CreateWindowExW(0, MSFTEDIT_CLASS, L"", WS_POPUP | ES_MULTILINE | ES_READONLY, 0, 0, 600, 400, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(edit_, nullptr);
    }
    void TearDown() override { DestroyWindow(edit_); }

    void Load(const std::string& html)
    {
        const std::string rtf = HtmlToRtf(html);
        ASSERT_TRUE(WellFormed(rtf)) << rtf;
        struct Source {
            const std::string& text;
            std::size_t at = 0;
        } source{rtf};
        EDITSTREAM stream{};
        stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
        stream.pfnCallback = [](DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* read) -> DWORD {
            auto& s = *reinterpret_cast<Source*>(cookie);
            const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(size), s.text.size() - s.at);
            std::memcpy(buffer, s.text.data() + s.at, count);
            s.at += count;
            *read = static_cast<LONG>(count);
            return 0;
        };
        SendMessageW(edit_, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
        ASSERT_EQ(stream.dwError, 0u);
        text_ = Text();
    }

    // The text, in UTF-8, with each paragraph end and line break as "\n" and
    // the final paragraph mark left out.
    std::string Text() const
    {
        GETTEXTLENGTHEX lengthOf{GTL_DEFAULT, 1200};
        const auto length = SendMessageW(edit_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthOf), 0);
        std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
        GETTEXTEX get{static_cast<DWORD>(text.size() * 2), GT_DEFAULT, 1200, nullptr, nullptr};
        const auto got = SendMessageW(edit_, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                                      reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(got));
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                continue;
            const bool lineEnd = text[i] == u'\r' || text[i] == u'\n' || text[i] == u'\v';
            out += lineEnd ? std::string("\n") : Utf16ToUtf8(text.substr(i, 1 + (text[i] >= 0xD800 && text[i] < 0xDC00)));
            i += text[i] >= 0xD800 && text[i] < 0xDC00;
        }
        while (!out.empty() && out.back() == '\n')
            out.pop_back();
        return out;
    }

    // The character format of the first occurrence of word in the text.
    CHARFORMAT2W FormatOf(const std::string& word) const
    {
        const std::u16string all = Utf8ToUtf16(text_);
        const std::u16string wanted = Utf8ToUtf16(word);
        const auto at = all.find(wanted);
        EXPECT_NE(at, std::u16string::npos) << word;
        // The text positions count each line end as one character.
        CHARRANGE range{static_cast<LONG>(at), static_cast<LONG>(at + wanted.size())};
        SendMessageW(edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        CHARFORMAT2W format{};
        format.cbSize = sizeof format;
        SendMessageW(edit_, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        return format;
    }

    HWND edit_ = nullptr;
    std::string text_;
};

struct TextCase {
    const char* what;
    const char* html;
    const char* text;
};

TEST_F(RichEdit, ShowsTheTextOfEachConstruct)
{
    const TextCase cases[] = {
        {"heading and paragraph", "<h1>Title</h1><p>One  two\n\tthree</p>", "Title\nOne two three"},
        {"paragraphs in a row", "<p>a</p>\n<p>b</p><div>c</div>", "a\nb\nc"},
        {"text around blocks", "x<p>y</p>z", "x\ny\nz"},
        {"unordered list", "<ul><li>one</li><li>two</ul>", "\u2022\tone\n\u2022\ttwo"},
        {"items left open", "<ul><li>one<li>two</ul>after", "\u2022\tone\n\u2022\ttwo\nafter"},
        {"ordered list", "<ol><li>a</li><li>b</li></ol>", "1.\ta\n2.\tb"},
        {"definition list", "<dl><dt>Term</dt><dd>Its meaning</dd></dl>", "Term\nIts meaning"},
        {"line break", "<p>a<br>b<br/>c</p>", "a\nb\nc"},
        {"preformatted", "<pre>a  b\n  c</pre>", "a  b\n  c"},
        {"inline tags keep spacing", "<p>a <b>bold</b> and <i>it</i>.</p>", "a bold and it."},
        {"named entities", "<p>&amp; &lt;x&gt; &quot;q&quot; &apos;a&apos;&nbsp;n &copy; &mdash;</p>",
         "& <x> \"q\" 'a'\u00A0n \u00A9 \u2014"},
        {"numeric entities", "<p>&#65;&#x42;&#X43;&#8364; &#0; &#xD800;</p>", "ABC\u20AC \uFFFD \uFFFD"},
        {"entities that cannot be read", "<p>&eacute; &bogus; & x &#zz; &#;</p>", "&eacute; &bogus; & x &#zz; &#;"},
        {"characters beyond ASCII", "<p>\xC3\x9Cn\xC3\xAF \xE4\xBF\xA1\xE4\xBD\xBF \xF0\x9F\x98\x80</p>",
         "\u00DCn\u00EF \u4FE1\u4F7F \U0001F600"},
        {"bytes that are not UTF-8", "<p>caf\xE9</p>", "caf\u00E9"},
        {"RTF's own characters", "<p>\\par {x} \\u65?</p>", "\\par {x} \\u65?"},
        {"unknown tags leave their text", "<blink>x</blink> <foo bar=\"1\">y</foo>", "x y"},
        {"title, style and script are not shown",
         "<head><title>T</title><style>p { x: 1 }</style></head><script>if (a<b) f();</script><p>z</p>", "z"},
        {"declarations and comments", "<!DOCTYPE html><!-- a <p>comment</p> --><?xml x?><p>v</p>", "v"},
        {"a lone less-than sign", "<p>a < b and c<d</p>", "a < b and c<d"},
        {"markup never closed", "<p>x <b class=\"y", "x <b class=\"y"},
        {"comment never closed", "<p>v</p><!-- open", "v\n<!-- open"},
        {"style never closed", "<style>shown", "shown"},
        {"a quoted greater-than sign", "<a href=\"x>y\">link</a>", "link"},
        {"tags closed that were never opened", "</i></p></ul>text</b>", "text"},
        {"tags closed out of order", "<b><i>a</b>b</i>", "ab"},
        {"control characters", "a\x01" "b", "ab"},
        {"empty", "", ""},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.what);
        Load(c.html);
        EXPECT_EQ(text_, c.text);
    }
}

TEST_F(RichEdit, ANulByteIsNoEndOfTheDocument)
{
    Load(std::string("<p>a\0b</p><p>c</p>", 18));
    EXPECT_EQ(text_, "ab\nc");
}

TEST_F(RichEdit, DrawsEachConstructWithItsFormatting)
{
    Load("<h1>Heading</h1><h2>Section</h2><p>plain <b>bold</b> <strong>strong</strong> <i>italic</i> <em>emphasis</em> "
         "<u>under</u> <a href=\"http://x\">link</a> <span class=\"path\">C:\\Path</span> <span class=\"only\">only</span>"
         " <code>code</code></p><dl><dt>Term</dt><dd>Meaning</dd></dl>");

    const CHARFORMAT2W plain = FormatOf("plain");
    EXPECT_FALSE(plain.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE));
    EXPECT_STREQ(plain.szFaceName, L"Trebuchet MS");
    EXPECT_EQ(plain.yHeight, 200) << "10 points";

    const CHARFORMAT2W heading = FormatOf("Heading");
    EXPECT_TRUE(heading.dwEffects & CFE_BOLD);
    EXPECT_EQ(heading.yHeight, 300) << "15 points";
    EXPECT_EQ(heading.crTextColor, RGB(0, 85, 127));
    const CHARFORMAT2W section = FormatOf("Section");
    EXPECT_TRUE(section.dwEffects & CFE_BOLD);
    EXPECT_EQ(section.yHeight, 240) << "12 points";

    for (const char* word : {"bold", "strong", "Term"})
        EXPECT_TRUE(FormatOf(word).dwEffects & CFE_BOLD) << word;
    for (const char* word : {"italic", "emphasis"})
        EXPECT_TRUE(FormatOf(word).dwEffects & CFE_ITALIC) << word;
    EXPECT_TRUE(FormatOf("under").dwEffects & CFE_UNDERLINE);
    const CHARFORMAT2W link = FormatOf("link");
    EXPECT_TRUE(link.dwEffects & CFE_UNDERLINE);
    EXPECT_EQ(link.crTextColor, RGB(0, 0, 238));
    EXPECT_STREQ(FormatOf("C:\\Path").szFaceName, L"Courier New");
    EXPECT_STREQ(FormatOf("code").szFaceName, L"Courier New");
    const CHARFORMAT2W only = FormatOf("only");
    EXPECT_STREQ(only.szFaceName, L"Trebuchet MS");
    EXPECT_FALSE(only.dwEffects & CFE_BOLD);
    EXPECT_FALSE(FormatOf("Meaning").dwEffects & CFE_BOLD);
}

TEST_F(RichEdit, FormattingLeftOpenEndsWithItsParagraphAndComesBackInTheNext)
{
    Load("<p><b>bold <i>both</p><p>again</b> plain");
    EXPECT_EQ(text_, "bold both\nagain plain");
    EXPECT_TRUE(FormatOf("both").dwEffects & CFE_ITALIC);
    const CHARFORMAT2W again = FormatOf("again");
    EXPECT_TRUE(again.dwEffects & CFE_BOLD);
    EXPECT_TRUE(again.dwEffects & CFE_ITALIC);
    EXPECT_FALSE(FormatOf("plain").dwEffects & (CFE_BOLD | CFE_ITALIC));
}

TEST(HtmlToRtf, AnyInputGivesWellFormedRtf)
{
    // Random pieces of markup and bytes, from a fixed seed.
    const char* pieces[] = {"<p>", "</p>", "<b>", "</b>", "<li>", "<ul>", "</ol>", "<pre>", "</pre>", "<br>", "<",
                            ">", "&", "&amp;", "&#x", ";", "\"", "'", "{", "}", "\\", "<!--", "-->", "<style>",
                            "</style", "\xF0\x9F", "\xFF", "\n", " ", "x", "<a href='", "<h1>", "</h2>", "\x00"};
    std::mt19937 random(20261211);
    for (int round = 0; round < 2000; ++round) {
        std::string html;
        const int count = static_cast<int>(random() % 40);
        for (int i = 0; i < count; ++i) {
            const char* piece = pieces[random() % std::size(pieces)];
            html += *piece == '\0' ? std::string(1, '\0') : std::string(piece);
        }
        ASSERT_TRUE(WellFormed(HtmlToRtf(html))) << "input: " << html;
    }
}

}  // namespace
}  // namespace quorvex::win32
