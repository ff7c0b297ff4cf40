#include "engine/TQuorvex.h"

#include "engine/AdvertPatches.h"
#include "engine/PatternScan.h"
#include "platform/Platform.h"

#include <exception>
#include <span>
#include <vector>

namespace quorvex {

namespace {

constexpr std::string_view kExecutableName = "\\YahooMessenger.exe";

bool ApplyPatch(TMemoryStream& image, TAdvert advert)
{
    const TAdvertPatch& patch = AdvertPatch(advert);
    return ReplaceFirst(image, patch.Pattern, patch.Replacement);
}

}  // namespace

std::string TQuorvex::ExecutablePath() const
{
    return YahooMessengerPath + std::string(kExecutableName);
}

void TQuorvex::LoadYahooMessenger()
{
    std::vector<std::uint8_t> bytes;
    try {
        bytes = FileSystem().ReadFile(ExecutablePath());
    } catch (const std::exception&) {
        throw Error("Unable to load Yahoo Messenger data.");
    }
    image_.Assign(std::move(bytes));
    YahooLoaded = true;
}

bool TQuorvex::SaveYahooMessenger()
{
    try {
        FileSystem().WriteFile(ExecutablePath(), image_.Bytes());
    } catch (const FileCreateError&) {
        return false;
    }
    return true;
}

bool TQuorvex::CreateBackup(const std::string& Path)
{
    if (!YahooLoaded)
        return false;
    FileSystem().WriteFile(Path, image_.Bytes());
    return FileSystem().FileExists(Path);
}

bool TQuorvex::RestoreBackup(const std::string& Path)
{
    if (!FileSystem().FileExists(Path))
        return false;
    try {
        const std::vector<std::uint8_t> backup = FileSystem().ReadFile(Path);
        FileSystem().WriteFile(ExecutablePath(), backup);
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

void TQuorvex::Clear()
{
    image_.Clear();
    YahooLoaded = false;
}

bool TQuorvex::ChangeBanner() { return ApplyPatch(image_, TAdvert::ChangeBanner); }
bool TQuorvex::ChatAdvert() { return ApplyPatch(image_, TAdvert::ChatAdvert); }
bool TQuorvex::RegCam() { return ApplyPatch(image_, TAdvert::RegCam); }
bool TQuorvex::MedCam() { return ApplyPatch(image_, TAdvert::MedCam); }
bool TQuorvex::BigCam() { return ApplyPatch(image_, TAdvert::BigCam); }
bool TQuorvex::UpCam() { return ApplyPatch(image_, TAdvert::UpCam); }
bool TQuorvex::VidAd() { return ApplyPatch(image_, TAdvert::VidAd); }
bool TQuorvex::Urls() { return ApplyPatch(image_, TAdvert::Urls); }

bool TQuorvex::MainAdvert(std::int32_t Pos)
{
    if (Pos < 0)
        return false;
    std::uint8_t found = 0;
    image_.Seek(static_cast<std::size_t>(Pos));
    if (image_.Read(std::span(&found, 1)) != 1)
        return false;
    const TMainAdvertByte rule = MainAdvertByte(YahooMajor);
    if (found != rule.Expected)
        return false;
    image_.Seek(static_cast<std::size_t>(Pos));
    image_.Write(std::span(&rule.Replacement, 1));
    return true;
}

void TQuorvex::CreateAdvertHTML(std::uint32_t Color)
{
    WriteAdvertHtml(AdvertHtmlPage(Color));
}

}  // namespace quorvex
