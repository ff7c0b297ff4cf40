// A stream that writes a new file in place of another, atomically: the bytes
// go to a temporary file ".<name>.quorvex-XXXXXX" in the target's folder, and
// Commit() renames it over the target. Destroyed without Commit(), it removes
// the temporary file and the target is left as it was, so a failed write never
// leaves a half-written file; the temporary files of a write cut short (a
// crash) are removed when the target is next written, those of a write under
// way never (its writer holds their flock). From its creation to the commit
// the stream holds the target's change lock (TFileChangeLock), so that Quorvex
// processes replace a file one after the other. A symbolic link is
// followed (the file it points to is replaced); a replaced file keeps its
// owner, group and permissions; a read-only file or a folder is not replaced.
#pragma once

#include "platform/wine/FileChangeLock.h"
#include "platform/wine/FileIdentity.h"
#include "platform/Stream.h"

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

namespace quorvex {

class TFileWriteStream final : public TStream {
public:
    // Throws FileCreateError ("Cannot create file "<path>". <reason>") when the
    // file cannot be created (missing folder, no permission, read-only target)
    // or another Quorvex process holds its change lock beyond lockWait.
    explicit TFileWriteStream(std::string path,
                              std::chrono::milliseconds lockWait = kFileChangeWait);
    ~TFileWriteStream() override;
    TFileWriteStream(const TFileWriteStream&) = delete;
    TFileWriteStream& operator=(const TFileWriteStream&) = delete;

    std::size_t Size() const override { return size_; }
    std::size_t Position() const override { return position_; }
    void Seek(std::size_t offset) override;
    std::size_t Read(std::span<std::uint8_t> buffer) override;
    // Throws Error("Cannot write file "<path>". <reason>") when the bytes cannot
    // be written (disk full); the target is left as it was.
    void Write(std::span<const std::uint8_t> bytes) override;

    // Fills the still empty file with a copy-on-write clone of the open file
    // source: the file shares source's data and none of it is written. False,
    // with the stream unchanged, where the file system cannot share it (most
    // cannot) or something was written already.
    bool CloneFrom(int source);

    // Flushes the file to disk and puts it in place of the target. A failed
    // flush throws the write error, a failed rename the creation error; the
    // target is left as it was in both cases.
    // Returns the identity of the file now at the target (taken after the
    // rename), or nothing when that is no longer the file written here.
    std::optional<TFileIdentity> Commit();

    const std::string& Path() const { return path_; }

private:
    [[noreturn]] void FailCreate(int error) const;
    [[noreturn]] void FailWrite(int error);
    void Discard();

    std::string path_;    // as given, for messages
    std::string target_;  // the file replaced at the commit
    std::optional<TFileChangeLock> lock_;  // until the commit
    std::string temporary_;
    std::FILE* file_ = nullptr;
    std::size_t size_ = 0;
    std::size_t position_ = 0;
};

}  // namespace quorvex
