#include "update/Checksums.h"

#include <QCryptographicHash>
#include <QFile>

#include <zlib.h>

#include <functional>

namespace quorvex {
namespace {

constexpr qint64 kLargeBlock = 102400;  // CRC-32 and MD5
constexpr qint64 kSmallBlock = 4096;  // SHA-1

// Feeds the whole device, from its start, to consume in blocks; false when
// it cannot be read.
bool ReadInBlocks(QIODevice& file, qint64 blockSize, const std::function<void(const QByteArray&)>& consume)
{
    if (!file.seek(0))
        return false;
    for (;;) {
        const QByteArray block = file.read(blockSize);
        if (block.isEmpty())
            return file.atEnd();
        consume(block);
    }
}

std::optional<QString> Crc32(QIODevice& file)
{
    uLong crc = crc32(0L, Z_NULL, 0);
    const bool read = ReadInBlocks(file, kLargeBlock, [&crc](const QByteArray& block) {
        crc = crc32(crc, reinterpret_cast<const Bytef*>(block.constData()), static_cast<uInt>(block.size()));
    });
    if (!read)
        return std::nullopt;
    return QStringLiteral("%1").arg(static_cast<quint32>(crc), 8, 16, QLatin1Char('0')).toUpper();
}

std::optional<QString> Digest(QIODevice& file, QCryptographicHash::Algorithm algorithm, qint64 blockSize)
{
    QCryptographicHash hash(algorithm);
    if (!ReadInBlocks(file, blockSize, [&hash](const QByteArray& block) { hash.addData(block); }))
        return std::nullopt;
    return QString::fromLatin1(hash.result().toHex().toUpper());
}

}  // namespace

std::optional<QString> FileChecksum(QIODevice& file, THashType type)
{
    switch (type) {
    case THashType::None: return std::nullopt;
    case THashType::CRC32: return Crc32(file);
    case THashType::MD5: return Digest(file, QCryptographicHash::Md5, kLargeBlock);
    case THashType::SHA1: return Digest(file, QCryptographicHash::Sha1, kSmallBlock);
    }
    return std::nullopt;
}

std::optional<QString> FileChecksum(const QString& path, THashType type)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return FileChecksum(file, type);
}

bool ChecksumMatches(QIODevice& file, THashType type, const QString& expected)
{
    const std::optional<QString> checksum = FileChecksum(file, type);
    return checksum.has_value() && *checksum == expected;
}

}  // namespace quorvex
