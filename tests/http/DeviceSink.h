// A Qt device (a buffer, a file) as the HTTP client's received-data stream,
// for the tests that read what arrived from a QBuffer or write to a file.
#pragma once

#include "http/RcvdStream.h"

#include <QBuffer>
#include <QFileDevice>
#include <QIODevice>

namespace quorvex::test {

class TDeviceSink final : public TRcvdStream {
public:
    explicit TDeviceSink(QIODevice& device) : device_(device) {}

    std::int64_t Write(std::span<const char> block) override
    {
        return device_.write(block.data(), static_cast<qint64>(block.size()));
    }
    std::string ErrorString() const override { return device_.errorString().toStdString(); }
    std::int64_t Position() const override { return device_.pos(); }
    void CutBack(std::int64_t position) override
    {
        if (device_.isSequential())
            return;
        if (auto* file = qobject_cast<QFileDevice*>(&device_))
            file->resize(position);
        else if (auto* buffer = qobject_cast<QBuffer*>(&device_))
            buffer->buffer().truncate(position);
        device_.seek(position);
    }

private:
    QIODevice& device_;
};

}  // namespace quorvex::test
