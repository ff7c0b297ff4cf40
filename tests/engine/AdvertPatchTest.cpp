#include "engine/AdvertPatches.h"
#include "engine/TQuorvex.h"
#include "tests/fixtures/TestSupport.h"

#include <quorvex/BuildConfig.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace quorvex {
namespace {

using test::TFakePrefix;

// UTF-16LE of a text given as 8-bit characters (NULs included).
std::vector<std::uint8_t> Wide(const std::string& text)
{
    std::vector<std::uint8_t> bytes;
    for (char c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c));
        bytes.push_back(0);
    }
    return bytes;
}

std::vector<std::uint8_t> PathBlock(std::size_t length)
{
    std::vector<std::uint8_t> block = Wide("C:\\BlankQuorvex.html");
    block.resize(length, 0);
    return block;
}

TEST(AdvertPatchTable, PatternsAreTheAdvertUrlsInUtf16AndReplacementsKeepTheirLength)
{
    const std::string client = "http://" + std::string(config::kHostClient) + "/client_ad.php?p=";
    const std::string chat = "http://" + std::string(config::kHostChat) + "/c/admsg.html" + std::string(2, '\0');
    const struct {
        TAdvert advert;
        std::string text;
        std::size_t bytes;
        std::vector<std::uint8_t> replacement;
    } rows[] = {
        {TAdvert::Urls, "urls", 8, std::vector<std::uint8_t>(8, 0)},
        {TAdvert::ChangeBanner, "http://" + std::string(config::kHostBanner) + "/go/captchat/leftpane", 100, PathBlock(100)},
        {TAdvert::ChatAdvert, chat + "Chat Adurl", 92, Wide(std::string(1, '\0') + chat.substr(1) + std::string(1, '\0') + "hat Adurl")},
        {TAdvert::RegCam, client + "247048", 102, PathBlock(102)},
        {TAdvert::MedCam, client + "113214", 102, PathBlock(102)},
        {TAdvert::BigCam, client + "362951", 102, PathBlock(102)},
        {TAdvert::UpCam, client + "573892", 102, PathBlock(102)},
        {TAdvert::VidAd, client + "740130", 102, PathBlock(102)},
    };
    for (const auto& row : rows) {
        const TAdvertPatch& patch = AdvertPatch(row.advert);
        SCOPED_TRACE(std::string(patch.Name));
        EXPECT_EQ(patch.Advert, row.advert);
        EXPECT_EQ(patch.Pattern, Wide(row.text));
        EXPECT_EQ(patch.Pattern.size(), row.bytes);
        EXPECT_EQ(patch.Replacement, row.replacement);
    }
}

// Loads the fake prefix's messenger into the engine.
void Load(TQuorvex& engine)
{
    engine.YahooMessengerPath = "C:\\Program Files\\Yahoo!\\Messenger";
    engine.LoadYahooMessenger();
}

// Runs one of the engine's eight patch operations.
bool Apply(TQuorvex& engine, TAdvert advert)
{
    switch (advert) {
    case TAdvert::Urls: return engine.Urls();
    case TAdvert::ChangeBanner: return engine.ChangeBanner();
    case TAdvert::ChatAdvert: return engine.ChatAdvert();
    case TAdvert::RegCam: return engine.RegCam();
    case TAdvert::MedCam: return engine.MedCam();
    case TAdvert::BigCam: return engine.BigCam();
    case TAdvert::UpCam: return engine.UpCam();
    case TAdvert::VidAd: return engine.VidAd();
    }
    return false;
}

TEST(AdvertPatches, EachOperationReplacesOneOccurrenceLowestFirstUntilNoneIsLeft)
{
    TFakePrefix prefix;
    TQuorvex engine;
    Load(engine);
    std::vector<std::uint8_t> expected = prefix.Image.Bytes;
    for (const TAdvertPatch& patch : AdvertPatches()) {
        SCOPED_TRACE(std::string(patch.Name));
        const std::vector<std::size_t>& offsets = prefix.Image.Occurrences.at(patch.Advert);
        EXPECT_TRUE(std::ranges::any_of(offsets, [](std::size_t o) { return o % 2 == 1; }) || offsets.size() == 1);
        for (std::size_t offset : offsets) {
            ASSERT_TRUE(Apply(engine, patch.Advert)) << offset;
            std::ranges::copy(patch.Replacement, expected.begin() + static_cast<std::ptrdiff_t>(offset));
            ASSERT_TRUE(std::ranges::equal(engine.Image().Bytes(), expected)) << offset;
        }
        EXPECT_FALSE(Apply(engine, patch.Advert));
    }
    EXPECT_EQ(engine.Image().Size(), prefix.Image.Bytes.size());
}

TEST(AdvertPatches, PatchedPlacesReadAsThePathOrTheBlankedChatAdvert)
{
    TFakePrefix prefix;
    TQuorvex engine;
    Load(engine);
    ASSERT_TRUE(engine.RegCam());
    ASSERT_TRUE(engine.ChatAdvert());
    const auto at = [&](TAdvert advert, std::size_t length) {
        const std::size_t offset = prefix.Image.Occurrences.at(advert).front();
        const auto bytes = engine.Image().Bytes().subspan(offset, length);
        return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    };
    std::vector<std::uint8_t> path = Wide("C:\\BlankQuorvex.html");
    path.resize(102, 0);
    EXPECT_EQ(at(TAdvert::RegCam, 102), path);
    EXPECT_EQ(at(TAdvert::ChatAdvert, 92),
              Wide(std::string(1, '\0') + "ttp://" + config::kHostChat + "/c/admsg.html" + std::string(3, '\0') + "hat Adurl"));
}

TEST(AdvertPatches, AByteDifferenceOrAnEmptyImageIsNotFound)
{
    TFakeMessengerOptions options;
    options.ImageSize = 0x8000;
    options.Version = "8.0.0.863";  // no main advert offset to hold
    TFakePrefix prefix(options);
    std::vector<std::uint8_t> bytes = prefix.Image.Bytes;
    for (std::size_t offset : prefix.Image.Occurrences.at(TAdvert::Urls))
        bytes[offset] = 'U';
    test::WriteText(prefix.Executable(), std::string(bytes.begin(), bytes.end()));
    TQuorvex engine;
    Load(engine);
    EXPECT_FALSE(engine.Urls());
    EXPECT_TRUE(engine.VidAd());

    test::WriteText(prefix.Executable(), "");
    engine.LoadYahooMessenger();
    EXPECT_TRUE(engine.YahooLoaded);
    for (const TAdvertPatch& patch : AdvertPatches())
        EXPECT_FALSE(Apply(engine, patch.Advert)) << patch.Name;
    EXPECT_EQ(engine.Image().Size(), 0u);
}

}  // namespace
}  // namespace quorvex
