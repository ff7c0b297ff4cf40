// Peak memory of an update check against a site that serves 300 MB files as
// its update information file and as its readme, beside the peak of the same
// process before any check (Qt and the windows' libraries loaded, an update
// component made). The check reads at most 256 KB and 1 MB of them, so the
// peak must stay within a few MB of the idle one.
//
// Starts nginx on loopback through tests/http/peers (nginx-light).
#include "ui/qt/update/VelkAppUpdate.h"

#include "bench/BenchPeers.h"

#include "ui/qt/QtEventPump.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace quorvex {
namespace {

constexpr qint64 kServedSize = 300LL * 1024 * 1024;

struct TSite {
    QTemporaryDir folder;
    QString port;
    QString Url(const char* name) const { return QStringLiteral("http://127.0.0.1:%1/%2").arg(port, QLatin1String(name)); }
};

TSite* site = nullptr;
double idlePeakMib = 0;

double PeakRssMib()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void Check(benchmark::State& state, const char* updateFile)
{
    TUpdateSeams seams{DesktopMessageBoxes(), DesktopShell(), DesktopApplicationControl(), DesktopDeadlineTimer()};
    TVelkAppUpdate update(seams);
    update.SetVersion(QStringLiteral("1.0.4.9"));
    update.SetUpdateFileURL(site->Url(updateFile));
    for (auto _ : state) {
        try {
            update.Execute(true);
            state.SkipWithError("the check read the large file without an error");
        } catch (const std::exception&) {
            // The size limit's error: expected.
        }
    }
    state.counters["peak_rss_MiB"] = PeakRssMib();
    state.counters["above_idle_MiB"] = PeakRssMib() - idlePeakMib;
}

void BM_LargeUpdateInformationFile(benchmark::State& state)
{
    Check(state, "large-update.txt");
}

void BM_LargeReadme(benchmark::State& state)
{
    Check(state, "QuorvexUpdate.txt");
}

BENCHMARK(BM_LargeUpdateInformationFile)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeReadme)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

// A file of the size that takes no room on disk.
bool WriteSparse(const QString& path, qint64 size)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.resize(size);
}

}  // namespace
}  // namespace quorvex

int main(int argc, char** argv)
{
    using namespace quorvex;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const TQtEventPump pump;
    benchmark::Initialize(&argc, argv);

    TSite started;
    site = &started;
    qputenv("XDG_CACHE_HOME", started.folder.filePath(QStringLiteral("cache")).toLocal8Bit());
    const QString dir = started.folder.filePath(QStringLiteral("peers"));
    started.port = bench::StartPeers(dir, 1);
    if (started.port.isEmpty())
        return 1;
    const QString root = dir + QStringLiteral("/nginx/root/");
    QFile info(root + QStringLiteral("QuorvexUpdate.txt"));
    const bool written = WriteSparse(root + QStringLiteral("large-update.txt"), kServedSize)
                         && WriteSparse(root + QStringLiteral("large-readme.txt"), kServedSize)
                         && info.open(QIODevice::WriteOnly)
                         && info.write(QStringLiteral("[%1]\r\nVersion=1.0.5.0\r\nReadmeFileURL=%2\r\n")
                                           .arg(UpdateSection(), started.Url("large-readme.txt"))
                                           .toUtf8())
                                > 0;
    info.close();
    if (!written) {
        std::fprintf(stderr, "could not write the site's files\n");
        bench::StopPeers(dir);
        return 1;
    }
    {
        TUpdateSeams seams{DesktopMessageBoxes(), DesktopShell(), DesktopApplicationControl(), DesktopDeadlineTimer()};
        TVelkAppUpdate idle(seams);
        idlePeakMib = PeakRssMib();
    }

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    bench::StopPeers(dir);
    std::printf("peak resident memory: %.1f MiB idle, %.1f MiB after checks against 300 MB files (+%.1f MiB)\n",
                idlePeakMib, PeakRssMib(), PeakRssMib() - idlePeakMib);
    return 0;
}
