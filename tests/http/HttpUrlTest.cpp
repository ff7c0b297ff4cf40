#include "http/HttpText.h"
#include "http/HttpUrl.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace quorvex {
namespace {

struct TUrlCase {
    const char* url;
    const char* scheme;
    const char* user;
    const char* password;
    const char* host;
    const char* port;
    const char* path;
};

void PrintTo(const TUrlCase& c, std::ostream* os)
{
    *os << c.url;
}

class UrlParts : public testing::TestWithParam<TUrlCase> {};

TEST_P(UrlParts, AreSplitAtTheirMarks)
{
    const TUrlCase& c = GetParam();
    const THttpUrl url = ParseUrl(c.url);
    EXPECT_EQ(url.Scheme, std::string(c.scheme));
    EXPECT_EQ(url.User, std::string(c.user));
    EXPECT_EQ(url.Password, std::string(c.password));
    EXPECT_EQ(url.Host, std::string(c.host));
    EXPECT_EQ(url.Port, std::string(c.port));
    EXPECT_EQ(url.Path, std::string(c.path));
}

INSTANTIATE_TEST_SUITE_P(
    Urls, UrlParts,
    testing::Values(TUrlCase{"http://quorvex.example.com/QuorvexUpdate.txt", "http", "", "", "quorvex.example.com", "",
                             "/QuorvexUpdate.txt"},
                    TUrlCase{"HTTPS://Host:8443", "https", "", "", "Host", "8443", ""},
                    TUrlCase{"http://host?query=/a", "http", "", "", "host", "", "?query=/a"},
                    TUrlCase{"http://me:se:cret@a@host:81/p/q?x=1#f", "http", "me", "se:cret@a", "host", "81",
                             "/p/q?x=1#f"},
                    TUrlCase{"host.example:8080/file", "", "", "", "host.example", "8080", "/file"},
                    TUrlCase{"http:///nohost", "http", "", "", "", "", "/nohost"}));

struct TLocationCase {
    const char* current;
    const char* value;
    const char* resolved;
};

void PrintTo(const TLocationCase& c, std::ostream* os)
{
    *os << c.current << " + " << c.value;
}

class LocationValue : public testing::TestWithParam<TLocationCase> {};

TEST_P(LocationValue, ResolvesAgainstTheDocumentThatCarriedIt)
{
    const TLocationCase& c = GetParam();
    EXPECT_EQ(ResolveLocation(c.value, ParseUrl(c.current)), c.resolved);
}

INSTANTIATE_TEST_SUITE_P(
    Values, LocationValue,
    testing::Values(TLocationCase{"http://a/x", "HTTP://b:81/y", "HTTP://b:81/y"},
                    TLocationCase{"http://a/x", "https://b/", "https://b/"},
                    TLocationCase{"http://a/dir/page", "/root?q", "http://a/root?q"},
                    TLocationCase{"http://a:80/dir/page", "/root", "http://a/root"},
                    TLocationCase{"http://a:8080/dir/page", "/root", "http://a:8080/root"},
                    TLocationCase{"http://a:8080/dir/page?q=x/y", "next", "http://a:8080/dir/next"},
                    TLocationCase{"http://a/dir/a:b", "c", "http://a/dir/a:c"},
                    TLocationCase{"http://a/", "ftp://elsewhere/f", "http://a/ftp://elsewhere/f"}));

TEST(RequestText, ControlCharactersAreFoundAndPrintableOnesAreNot)
{
    EXPECT_FALSE(HasControlCharacter("Mozilla/4.0 (compatible; Quorvex) caf\xc3\xa9 \xe2\x82\xac"));
    // C0 controls, DEL, and C1 controls in UTF-8 (U+0085, U+009F) or as a
    // lone byte that is no UTF-8.
    for (const std::string& c : std::vector<std::string>{"\r", "\n", "\t", std::string(1, '\0'), "\x7f", "\xc2\x85", "\xc2\x9f", "\x85"})
        EXPECT_TRUE(HasControlCharacter("a" + c + "b")) << c;
}

TEST(RequestText, IsEncodedInWindows1252)
{
    EXPECT_EQ(EncodeAnsi("GET /caf\xc3\xa9 \xe2\x82\xac\xe2\x84\xa2 \xe4\xb8\xad"), "GET /caf\xe9 \x80\x99 ?");
}

TEST(RequestText, Windows1252DecodesEveryByteAndEncodesBack)
{
    EXPECT_EQ(DecodeAnsi("caf\xe9 \x80\x99\x9f"), "caf\xc3\xa9 \xe2\x82\xac\xe2\x84\xa2\xc5\xb8");
    // Bytes the code page leaves undefined keep their code.
    EXPECT_EQ(DecodeAnsi("\x81\x8d\x8f\x90\x9d"), "\xc2\x81\xc2\x8d\xc2\x8f\xc2\x90\xc2\x9d");
    std::string everyByte;
    for (int byte = 0; byte < 256; ++byte)
        everyByte += static_cast<char>(byte);
    const std::string text = DecodeAnsi(everyByte);
    ASSERT_EQ(Utf8ToUtf16(text).size(), 256u);
    for (const char undefined : {'\x81', '\x8d', '\x8f', '\x90', '\x9d'})
        everyByte[static_cast<unsigned char>(undefined)] = '?';
    EXPECT_EQ(EncodeAnsi(text), everyByte);
}

TEST(ResponseText, Latin1BytesBecomeTheirCharacters)
{
    EXPECT_EQ(DecodeLatin1("caf\xe9 \x80\xff"), "caf\xc3\xa9 \xc2\x80\xc3\xbf");
}

}  // namespace
}  // namespace quorvex
