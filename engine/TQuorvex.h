// The patch engine: the messenger image (the executable loaded into memory),
// the advert patches applied to it, the messenger's registry settings and the
// HTML replacement file. One per process, owned by the main window; used on
// the user-interface thread only.
#pragma once

#include "engine/HtmlFile.h"
#include "engine/MessengerInfo.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Stream.h"

#include <cstdint>
#include <optional>
#include <string>

namespace quorvex {

class TQuorvex {
public:
    std::string YahooMessengerPath;  // the messenger folder exactly as typed
    std::uint8_t YahooMajor = 0;     // major version of the installed messenger
    bool YahooLoaded = false;

    // Loads YahooMessengerPath + "\YahooMessenger.exe" into the image. Throws
    // Error("Unable to load Yahoo Messenger data.") on any failure, leaving the
    // image and YahooLoaded as they were.
    void LoadYahooMessenger();
    // Writes the image over the executable (a new file renamed over the old
    // one), only while the executable is still the file that was loaded: a
    // change another program (another Quorvex) made since is kept and this
    // save fails. False when the executable has changed since it was loaded
    // or cannot be created or replaced; throws Error when writing fails (the
    // executable is then unchanged).
    bool SaveYahooMessenger();
    // Writes the image to Path (relative to the working folder); false when
    // nothing is loaded. While the image holds exactly the executable's bytes
    // and the executable has not changed since it was loaded, the backup is a
    // copy of the file, which shares its data where the file system can.
    // Throws FileCreateError when the file cannot be created.
    bool CreateBackup(const std::string& Path);
    // Whether the backup at Path is the executable that the loaded image was
    // made from by advert patches alone, so that it must be kept: both have
    // the same size and every byte that differs lies inside an occurrence of
    // an advert pattern in the backup or is the main advert byte at
    // MainAdvertPos. False when nothing is loaded or the backup cannot be read.
    bool BackupIsOriginal(const std::string& Path, std::int32_t MainAdvertPos) const;
    // Copies the file at Path over the executable; false on any failure, with
    // the executable unchanged. Needs no loaded image and leaves it alone.
    bool RestoreBackup(const std::string& Path);
    // Empties the image and marks it not loaded.
    void Clear();

    // The advert patches: each replaces the first occurrence of its pattern in
    // the image; false when the pattern does not occur.
    bool ChangeBanner();
    bool ChatAdvert();
    bool RegCam();
    bool MedCam();
    bool BigCam();
    bool UpCam();
    bool VidAd();
    bool Urls();
    // Flips the main advert byte at Pos when it holds the byte expected for
    // YahooMajor; false otherwise (also when Pos is outside the image).
    bool MainAdvert(std::int32_t Pos);

    // The messenger's settings under HKEY_CURRENT_USER.
    bool CheckAuto();
    bool AutoStart();
    bool CheckMulti();
    bool YahooMulti(bool Remove);
    bool CheckSmiley();
    bool SmileySearch(bool Remove);

    // Writes "C:\BlankQuorvex.html" for the colour. Throws FileCreateError when
    // the file cannot be created.
    void CreateAdvertHTML(std::uint32_t Color);

    const TMemoryStream& Image() const { return image_; }

private:
    // The executable the image was loaded from, as it was then.
    struct TSource {
        std::string Path;
        TFileIdentity Identity;
    };

    std::string ExecutablePath() const;
    // Passes applied on; a patch that applied makes the image differ from the file.
    bool Patched(bool applied);

    TMemoryStream image_;
    // Set when the image holds the bytes of a file that showed the same
    // identity before and after it was read.
    std::optional<TSource> source_;
    // True while no patch has changed the image since it was read.
    bool imageIsSource_ = false;
};

}  // namespace quorvex
