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
