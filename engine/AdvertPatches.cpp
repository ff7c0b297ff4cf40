#include "engine/AdvertPatches.h"

#include "engine/HtmlFile.h"

#include <quorvex/BuildConfig.h>

#include <string>

namespace quorvex {

namespace {

// The replacement file's path in UTF-16LE, padded with zero bytes to length.
std::vector<std::uint8_t> PathBlock(std::size_t length)
{
    std::vector<std::uint8_t> block = Utf16Le(kAdvertHtmlPath);
    block.resize(length, 0);
    return block;
}

TAdvertPatch RedirectedUrl(TAdvert advert, std::string_view name, const std::string& url)
{
    std::vector<std::uint8_t> pattern = Utf16Le(url);
    std::vector<std::uint8_t> replacement = PathBlock(pattern.size());
    return {advert, name, std::move(pattern), std::move(replacement)};
}

std::string ClientAd(std::string_view page)
{
    return "http://" + std::string(config::kHostClient) + "/client_ad.php?p=" + std::string(page);
}

// The chat advert's URL and its "Chat Adurl" label, separated by two NUL
// code units; blanking the first unit of each disables both.
TAdvertPatch ChatAdvertPatch()
{
    const std::string text = "http://" + std::string(config::kHostChat) + "/c/admsg.html" + std::string(2, '\0') +
                             "Chat Adurl";
    std::vector<std::uint8_t> pattern = Utf16Le(text);
    std::vector<std::uint8_t> replacement = pattern;
    const std::size_t label = text.find("Chat Adurl");
    replacement[0] = 0;
    replacement[label * 2] = 0;
    return {TAdvert::ChatAdvert, "ChatAdvert", std::move(pattern), std::move(replacement)};
}

std::array<TAdvertPatch, kAdvertCount> BuildTable()
{
    std::vector<std::uint8_t> urls = Utf16Le("urls");
    return {
        TAdvertPatch{TAdvert::Urls, "Urls", urls, std::vector<std::uint8_t>(urls.size(), 0)},
        RedirectedUrl(TAdvert::ChangeBanner, "ChangeBanner",
                      "http://" + std::string(config::kHostBanner) + "/go/captchat/leftpane"),
        ChatAdvertPatch(),
        RedirectedUrl(TAdvert::RegCam, "RegCam", ClientAd("247048")),
        RedirectedUrl(TAdvert::MedCam, "MedCam", ClientAd("113214")),
        RedirectedUrl(TAdvert::BigCam, "BigCam", ClientAd("362951")),
        RedirectedUrl(TAdvert::UpCam, "UpCam", ClientAd("573892")),
        RedirectedUrl(TAdvert::VidAd, "VidAd", ClientAd("740130")),
    };
}

}  // namespace

std::vector<std::uint8_t> Utf16Le(std::string_view ascii)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(ascii.size() * 2);
    for (char c : ascii) {
        bytes.push_back(static_cast<std::uint8_t>(c));
        bytes.push_back(0);
    }
    return bytes;
}

const std::array<TAdvertPatch, kAdvertCount>& AdvertPatches()
{
    static const std::array<TAdvertPatch, kAdvertCount> table = BuildTable();
    return table;
}

const TAdvertPatch& AdvertPatch(TAdvert advert)
{
    return AdvertPatches()[static_cast<std::size_t>(advert)];
}

}  // namespace quorvex
