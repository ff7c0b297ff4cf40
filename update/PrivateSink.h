// A private file (platform/PrivateFile.h) as the HTTP client's received-data
// sink: a file device on its descriptor, unbuffered, so that a write that the
// disk refuses fails at once with the system's reason.
#pragma once

#include "http/RcvdStream.h"
#include "platform/PrivateFile.h"

#include <QByteArray>
#include <QFile>
#include <QString>

namespace quorvex {

class TPrivateSink final : public TRcvdStream {
public:
    explicit TPrivateSink(TPrivateFile file);
    ~TPrivateSink() override;
    TPrivateSink(const TPrivateSink&) = delete;
    TPrivateSink& operator=(const TPrivateSink&) = delete;

    QIODevice& Device() { return device_; }

    // TRcvdStream.
    std::int64_t Write(std::span<const char> block) override;
    std::string ErrorString() const override;
    std::int64_t Position() const override { return device_.pos(); }
    void CutBack(std::int64_t position) override;

    QString FileName() const;
    std::int64_t Size() const { return device_.size(); }
    // Up to max bytes from the start of the file.
    QByteArray ReadBack(qint64 max);
    // Closes the file and gives it the name `name` in its folder (see TPrivateFile).
    void RenameTo(const QString& name);
    // Closes the file and deletes it, if it is still ours.
    void Discard();

private:
    TPrivateFile file_;
    QFile device_;
};

}  // namespace quorvex
