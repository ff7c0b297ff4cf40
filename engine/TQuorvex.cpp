#include "engine/TQuorvex.h"

#include "engine/AdvertPatches.h"
#include "engine/ByteSearch.h"
#include "engine/PatternScan.h"
#include "platform/Platform.h"

#include <algorithm>
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

// The end of an occurrence of pattern in bytes that covers offset; 0 when
// there is none.
std::size_t OccurrenceEndCovering(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> pattern,
                                  std::size_t offset)
{
    const std::size_t first = offset + 1 > pattern.size() ? offset + 1 - pattern.size() : 0;
    const std::size_t end = std::min(bytes.size(), offset + pattern.size());
    const std::size_t at = SearchBytes(bytes.subspan(first, end - first), pattern);
    return at == kNotFound ? 0 : first + at + pattern.size();
}

// Whether every byte where image differs from original is the main advert
// byte or lies inside an occurrence of an advert pattern in original.
bool DiffersOnlyByPatches(std::span<const std::uint8_t> original, std::span<const std::uint8_t> image,
                          std::size_t mainAdvertPos)
{
    if (original.size() != image.size())
        return false;
    for (std::size_t at = 0;;) {
        at = static_cast<std::size_t>(
            std::mismatch(original.begin() + static_cast<std::ptrdiff_t>(at), original.end(),
                          image.begin() + static_cast<std::ptrdiff_t>(at))
                .first -
            original.begin());
        if (at == original.size())
            return true;
        if (at == mainAdvertPos) {
            ++at;
            continue;
        }
        std::size_t covered = 0;
        for (const TAdvertPatch& patch : AdvertPatches())
            covered = std::max(covered, OccurrenceEndCovering(original, patch.Pattern, at));
        if (covered == 0)
            return false;
        at = covered;
    }
}

}  // namespace

std::string TQuorvex::ExecutablePath() const
{
    return YahooMessengerPath + std::string(kExecutableName);
}

void TQuorvex::LoadYahooMessenger()
{
    const std::string path = ExecutablePath();
    std::optional<TFileIdentity> before;
    std::vector<std::uint8_t> bytes;
    try {
        before = FileSystem().Identity(path);
        bytes = FileSystem().ReadFile(path);
    } catch (const std::exception&) {
        throw Error("Unable to load Yahoo Messenger data.");
    }
    const std::optional<TFileIdentity> after = FileSystem().Identity(path);
    image_.Assign(std::move(bytes));
    YahooLoaded = true;
    source_.reset();
    if (before && before == after)
        source_ = TSource{path, *before};
    imageIsSource_ = true;
}

bool TQuorvex::SaveYahooMessenger()
{
    // An image whose file changed while it was read has nothing to compare with.
    if (!source_)
        return false;
    try {
        if (!FileSystem().ReplaceUnchangedFile(ExecutablePath(), image_.Bytes(), source_->Identity))
            return false;
    } catch (const FileCreateError&) {
        return false;
    }
    // The file is now the image, under an identity of its own.
    source_.reset();
    return true;
}

bool TQuorvex::CreateBackup(const std::string& Path)
{
    if (!YahooLoaded)
        return false;
    if (!source_ || !imageIsSource_ || !FileSystem().CopyUnchangedFile(source_->Path, source_->Identity, Path))
        FileSystem().WriteFile(Path, image_.Bytes());
    return FileSystem().FileExists(Path);
}

bool TQuorvex::BackupIsOriginal(const std::string& Path, std::int32_t MainAdvertPos) const
{
    if (!YahooLoaded || !FileSystem().FileExists(Path))
        return false;
    std::vector<std::uint8_t> backup;
    try {
        backup = FileSystem().ReadFile(Path);
    } catch (const Error&) {
        return false;
    }
    const std::size_t mainAdvert = MainAdvertPos > 0 ? static_cast<std::size_t>(MainAdvertPos) : kNotFound;
    return DiffersOnlyByPatches(backup, image_.Bytes(), mainAdvert);
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
    source_.reset();
    imageIsSource_ = false;
}

bool TQuorvex::Patched(bool applied)
{
    if (applied)
        imageIsSource_ = false;
    return applied;
}

bool TQuorvex::ChangeBanner() { return Patched(ApplyPatch(image_, TAdvert::ChangeBanner)); }
bool TQuorvex::ChatAdvert() { return Patched(ApplyPatch(image_, TAdvert::ChatAdvert)); }
bool TQuorvex::RegCam() { return Patched(ApplyPatch(image_, TAdvert::RegCam)); }
bool TQuorvex::MedCam() { return Patched(ApplyPatch(image_, TAdvert::MedCam)); }
bool TQuorvex::BigCam() { return Patched(ApplyPatch(image_, TAdvert::BigCam)); }
bool TQuorvex::UpCam() { return Patched(ApplyPatch(image_, TAdvert::UpCam)); }
bool TQuorvex::VidAd() { return Patched(ApplyPatch(image_, TAdvert::VidAd)); }
bool TQuorvex::Urls() { return Patched(ApplyPatch(image_, TAdvert::Urls)); }

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
    return Patched(true);
}

void TQuorvex::CreateAdvertHTML(std::uint32_t Color)
{
    WriteAdvertHtml(AdvertHtmlPage(Color));
}

}  // namespace quorvex
