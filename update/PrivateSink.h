// A private file (platform/PrivateFile.h) as the HTTP client's received-data
// sink: every block goes straight to the file, so that a write that the disk
// refuses fails at once with the system's reason.
#pragma once

#include "http/RcvdStream.h"
#include "platform/PrivateFile.h"

#include <memory>
#include <string>

namespace quorvex {

class TPrivateSink final : public TRcvdStream {
public:
    explicit TPrivateSink(TPrivateFile file);
    ~TPrivateSink() override;
    TPrivateSink(const TPrivateSink&) = delete;
    TPrivateSink& operator=(const TPrivateSink&) = delete;

    // TRcvdStream.
    std::int64_t Write(std::span<const char> block) override;
    std::string ErrorString() const override { return error_; }
    std::int64_t Position() const override { return static_cast<std::int64_t>(file_.Position()); }
    void CutBack(std::int64_t position) override;

    std::string FileName() const { return file_.Path().string(); }
    std::int64_t Size() const { return static_cast<std::int64_t>(file_.Size()); }
    // The file's bytes from its start, for checksums and signatures.
    std::unique_ptr<TFileBlocks> ReadBlocks() const { return file_.ReadBlocks(); }
    // Up to max bytes from the start of the file; empty when they cannot be read.
    std::string ReadBack(std::size_t max) const;
    // Closes the file and gives it the name `name` in its folder (see TPrivateFile).
    void RenameTo(const std::string& name);
    // Closes the file and deletes it, if it is still ours.
    void Discard();

private:
    TPrivateFile file_;
    std::string error_;
};

}  // namespace quorvex
