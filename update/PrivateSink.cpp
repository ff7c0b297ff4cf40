#include "update/PrivateSink.h"

#include "platform/Error.h"

#include <utility>

namespace quorvex {

TPrivateSink::TPrivateSink(TPrivateFile file) : file_(std::move(file))
{
    if (!device_.open(file_.Descriptor(), QIODevice::ReadWrite | QIODevice::Unbuffered, QFileDevice::DontCloseHandle))
        throw FileCreateError(file_.Path().string(), device_.errorString().toStdString());
}

TPrivateSink::~TPrivateSink()
{
    Discard();
}

std::int64_t TPrivateSink::Write(std::span<const char> block)
{
    return device_.write(block.data(), static_cast<qint64>(block.size()));
}

std::string TPrivateSink::ErrorString() const
{
    return device_.errorString().toStdString();
}

void TPrivateSink::CutBack(std::int64_t position)
{
    device_.resize(position);
    device_.seek(position);
}

QString TPrivateSink::FileName() const
{
    return QString::fromStdString(file_.Path().string());
}

QByteArray TPrivateSink::ReadBack(qint64 max)
{
    if (!device_.seek(0))
        return {};
    return device_.read(max);
}

void TPrivateSink::RenameTo(const QString& name)
{
    device_.close();
    file_.RenameTo(name.toStdString());
}

void TPrivateSink::Discard()
{
    device_.close();
    file_.Discard();
}

}  // namespace quorvex
