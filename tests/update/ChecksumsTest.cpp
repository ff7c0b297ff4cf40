// Checksums of a downloaded installer, as upper-case hexadecimal text.
#include "update/Checksums.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <zlib.h>

#include <gtest/gtest.h>

namespace quorvex {
namespace {

class Checksums : public testing::Test {
protected:
    QString Write(const QByteArray& bytes)
    {
        const QString path = folder.filePath(QStringLiteral("setup.exe"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }

    QTemporaryDir folder;
};

// Whether the file at path, opened if it can be, has the expected checksum.
bool Matches(const QString& path, THashType type, const QString& expected)
{
    QFile file(path);
    static_cast<void>(file.open(QIODevice::ReadOnly));  // one that cannot be opened is given unopened
    return ChecksumMatches(file, type, expected);
}

TEST_F(Checksums, KnownValues)
{
    const QString digits = Write("123456789");
    EXPECT_EQ(FileChecksum(digits, THashType::CRC32), QStringLiteral("CBF43926"));
    const QString abc = Write("abc");
    EXPECT_EQ(FileChecksum(abc, THashType::MD5), QStringLiteral("900150983CD24FB0D6963F7D28E17F72"));
    EXPECT_EQ(FileChecksum(abc, THashType::SHA1), QStringLiteral("A9993E364706816ABA3E25717850C26C9CD0D89D"));
    const QString empty = Write({});
    EXPECT_EQ(FileChecksum(empty, THashType::CRC32), QStringLiteral("00000000"));
    EXPECT_EQ(FileChecksum(empty, THashType::MD5), QStringLiteral("D41D8CD98F00B204E9800998ECF8427E"));
    // A small CRC keeps its leading zeros.
    EXPECT_EQ(FileChecksum(Write("62"), THashType::CRC32), QStringLiteral("0012D20A"));
}

// Files of several blocks (102,400 bytes for CRC-32 and MD5, 4,096 for SHA-1)
// give the checksum of the whole.
TEST_F(Checksums, ManyBlocksGiveTheWholeFilesChecksum)
{
    QByteArray bytes(250'001, Qt::Uninitialized);
    QRandomGenerator generator(8);
    for (char& byte : bytes)
        byte = static_cast<char>(generator.bounded(256));
    const QString path = Write(bytes);
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(bytes.constData()),
                            static_cast<uInt>(bytes.size()));
    EXPECT_EQ(FileChecksum(path, THashType::CRC32), QStringLiteral("%1").arg(crc, 8, 16, QLatin1Char('0')).toUpper());
    EXPECT_EQ(FileChecksum(path, THashType::MD5),
              QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex().toUpper()));
    EXPECT_EQ(FileChecksum(path, THashType::SHA1),
              QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex().toUpper()));
    // An open file is read from its start, wherever it stood.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    ASSERT_TRUE(file.seek(123'456));
    EXPECT_EQ(FileChecksum(file, THashType::CRC32), FileChecksum(path, THashType::CRC32));
}

TEST_F(Checksums, MatchIsExact)
{
    const QString path = Write("abc");
    EXPECT_TRUE(Matches(path, THashType::MD5, QStringLiteral("900150983CD24FB0D6963F7D28E17F72")));
    EXPECT_FALSE(Matches(path, THashType::MD5, QStringLiteral("900150983cd24fb0d6963f7d28e17f72")));
    EXPECT_FALSE(Matches(path, THashType::MD5, QStringLiteral(" 900150983CD24FB0D6963F7D28E17F72")));
    EXPECT_FALSE(Matches(path, THashType::SHA1, QString()));
    EXPECT_TRUE(Matches(path, THashType::CRC32, QStringLiteral("352441C2")));
    EXPECT_FALSE(Matches(path, THashType::MD5, QStringLiteral("352441C2")));  // the CRC given for an MD5
}

TEST_F(Checksums, UnreadableFileHasNone)
{
    const QString missing = folder.filePath(QStringLiteral("missing.exe"));
    for (const THashType type : {THashType::CRC32, THashType::MD5, THashType::SHA1}) {
        EXPECT_FALSE(FileChecksum(missing, type).has_value());
        EXPECT_FALSE(Matches(missing, type, QString()));
    }
    EXPECT_FALSE(FileChecksum(Write("abc"), THashType::None).has_value());
}

}  // namespace
}  // namespace quorvex
