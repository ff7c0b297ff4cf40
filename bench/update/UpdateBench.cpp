// What verifying a downloaded installer costs: each checksum over a 64 MiB
// file, read in its blocks (102,400 bytes for CRC-32 and MD5, 4,096 for
// SHA-1) from the page cache.
#include "update/Checksums.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace quorvex {
namespace {

constexpr qint64 kFileSize = 64 * 1024 * 1024;

// One file for all runs, made at first use.
const QString& Installer()
{
    static QTemporaryDir folder;
    static const QString path = [] {
        const QString file = folder.filePath(QStringLiteral("installer.exe"));
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly))
            return QString();
        QByteArray block(1024 * 1024, Qt::Uninitialized);
        QRandomGenerator generator(64);
        for (qint64 written = 0; written < kFileSize; written += block.size()) {
            generator.fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
            out.write(block);
        }
        return file;
    }();
    return path;
}

// Argument: the THashType.
void BM_FileChecksum(benchmark::State& state)
{
    const auto type = static_cast<THashType>(state.range(0));
    if (Installer().isEmpty()) {
        state.SkipWithError("cannot write the test file");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(FileChecksum(Installer().toStdString(), type));
    state.SetBytesProcessed(state.iterations() * kFileSize);
}
BENCHMARK(BM_FileChecksum)
    ->Arg(static_cast<int>(THashType::CRC32))
    ->Arg(static_cast<int>(THashType::MD5))
    ->Arg(static_cast<int>(THashType::SHA1))
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorvex
