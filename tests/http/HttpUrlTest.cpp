#include "http/HttpText.h"
#include "http/HttpUrl.h"

#include <gtest/gtest.h>

#include <ostream>

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
    const THttpUrl url = ParseUrl(QString::fromLatin1(c.url));
    EXPECT_EQ(url.Scheme, QString::fromLatin1(c.scheme));
    EXPECT_EQ(url.User, QString::fromLatin1(c.user));
    EXPECT_EQ(url.Password, QString::fromLatin1(c.password));
    EXPECT_EQ(url.Host, QString::fromLatin1(c.host));
    EXPECT_EQ(url.Port, QString::fromLatin1(c.port));
    EXPECT_EQ(url.Path, QString::fromLatin1(c.path));
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
    EXPECT_EQ(ResolveLocation(QString::fromLatin1(c.value), ParseUrl(QString::fromLatin1(c.current))),
              QString::fromLatin1(c.resolved));
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
    EXPECT_FALSE(HasControlCharacter(u"Mozilla/4.0 (compatible; Quorvex) caf\u00e9 \u20ac"));
    for (const char16_t c : {u'\r', u'\n', u'\t', u'\0', u'\x7f', u'\x85', u'\x9f'})
        EXPECT_TRUE(HasControlCharacter(QStringLiteral("a") + QChar(c) + QStringLiteral("b"))) << int(c);
}

TEST(RequestText, IsEncodedInWindows1252)
{
    EXPECT_EQ(EncodeAnsi(u"GET /caf\u00e9 \u20ac\u2122 \u4e2d"), QByteArray("GET /caf\xe9 \x80\x99 ?"));
}

TEST(RequestText, Windows1252DecodesEveryByteAndEncodesBack)
{
    EXPECT_EQ(DecodeAnsi("caf\xe9 \x80\x99\x9f"), QStringView(u"caf\u00e9 \u20ac\u2122\u0178").toString());
    // Bytes the code page leaves undefined keep their code.
    EXPECT_EQ(DecodeAnsi("\x81\x8d\x8f\x90\x9d"), QStringView(u"\u0081\u008d\u008f\u0090\u009d").toString());
    QByteArray everyByte;
    for (int byte = 0; byte < 256; ++byte)
        everyByte.append(static_cast<char>(byte));
    const QString text = DecodeAnsi(everyByte);
    ASSERT_EQ(text.size(), 256);
    for (const char undefined : {'\x81', '\x8d', '\x8f', '\x90', '\x9d'})
        everyByte[static_cast<unsigned char>(undefined)] = '?';
    EXPECT_EQ(EncodeAnsi(text), everyByte);
}

}  // namespace
}  // namespace quorvex
