// Throughput and peak memory of a THttpCli download against curl -o of the
// same file from the same nginx on loopback, in one run; and the download
// timed as whole processes, http_get (THttpCli) beside curl -o.
//
// In the process the client serves Qt's event loop while it waits, as in the
// download window; http_get runs without any event loop, as quorvex-cli would.
//
// The files are 16 MiB and 256 MiB; the client's peak resident memory after
// each shows whether memory grows with the file's size (it must not: the body
// is streamed to the file block by block).
#include "http/HttpCli.h"

#include "bench/BenchPeers.h"
#include "tests/http/Sinks.h"
#include "ui/qt/QtEventPump.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <map>

namespace quorvex {
namespace {

constexpr int kLargeMib = 256;
constexpr int kSmallMib = 16;

struct TPeers {
    QTemporaryDir folder;
    QString port;

    QString Url(int mib) const { return QStringLiteral("http://127.0.0.1:%1/%2.bin").arg(port).arg(mib); }
    QString Target() const { return folder.filePath(QStringLiteral("download.bin")); }
};

TPeers* peers = nullptr;
std::map<std::string, double> throughput;  // bytes per second, by benchmark
std::map<int, double> peakRssMib;  // by file size in MiB

double PeakRssMib()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

// Records the throughput of a download benchmark under its name.
void Finish(benchmark::State& state, int mib, double seconds, const std::string& name)
{
    const std::int64_t bytes = (std::int64_t{mib} << 20) * static_cast<std::int64_t>(state.iterations());
    state.SetBytesProcessed(bytes);
    throughput[name + "/" + std::to_string(mib)] = static_cast<double>(bytes) / seconds;
}

void BM_HttpCliDownload(benchmark::State& state)
{
    const int mib = static_cast<int>(state.range(0));
    THttpCli cli;
    cli.SetURL(peers->Url(mib).toStdString());
    cli.SetNoCache(true);
    double seconds = 0;
    for (auto _ : state) {
        test::TFileSink targetStream(peers->Target().toStdString(), "wb");
        cli.SetRcvdStream(&targetStream);
        const auto start = std::chrono::steady_clock::now();
        cli.Get();
        targetStream.Close();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (QFile(peers->Target()).size() != std::int64_t{mib} << 20)
            state.SkipWithError("incomplete download");
    }
    Finish(state, mib, seconds, "THttpCli");
    peakRssMib[mib] = PeakRssMib();
    state.counters["peak_rss_MiB"] = peakRssMib[mib];
}

// A download timed as a whole process: start, connection, transfer, exit.
void TimeProcess(benchmark::State& state, const QString& program, const QStringList& arguments, const std::string& name)
{
    const int mib = static_cast<int>(state.range(0));
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int exit = QProcess::execute(program, arguments);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (exit != 0 || QFile(peers->Target()).size() != std::int64_t{mib} << 20)
            state.SkipWithError("the download failed");
    }
    Finish(state, mib, seconds, name);
}

void BM_HttpGetProcessDownload(benchmark::State& state)
{
    const int mib = static_cast<int>(state.range(0));
    TimeProcess(state, QStringLiteral(HTTP_GET_EXE), {peers->Url(mib), peers->Target()}, "http_get");
}

void BM_CurlDownload(benchmark::State& state)
{
    const int mib = static_cast<int>(state.range(0));
    TimeProcess(state, QStringLiteral("curl"), {QStringLiteral("-s"), QStringLiteral("-o"), peers->Target(), peers->Url(mib)},
                "curl");
}

BENCHMARK(BM_HttpCliDownload)->Arg(kSmallMib)->Arg(kLargeMib)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HttpGetProcessDownload)->Arg(kSmallMib)->Arg(kLargeMib)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CurlDownload)->Arg(kSmallMib)->Arg(kLargeMib)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorvex

int main(int argc, char** argv)
{
    using namespace quorvex;
    QCoreApplication app(argc, argv);
    const TQtEventPump pump;
    benchmark::Initialize(&argc, argv);

    TPeers started;
    peers = &started;
    const QString dir = started.folder.filePath(QStringLiteral("peers"));
    started.port = bench::StartPeers(dir, kLargeMib);
    if (started.port.isEmpty())
        return 1;
    const QString root = dir + QStringLiteral("/nginx/root/");
    QFile::rename(root + QStringLiteral("large.bin"), root + QStringLiteral("%1.bin").arg(kLargeMib));
    QFile large(root + QStringLiteral("%1.bin").arg(kLargeMib));
    QFile small(root + QStringLiteral("%1.bin").arg(kSmallMib));
    if (large.open(QIODevice::ReadOnly) && small.open(QIODevice::WriteOnly))
        small.write(large.read(std::int64_t{kSmallMib} << 20));
    small.close();

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    bench::StopPeers(dir);

    const std::string size = std::to_string(kLargeMib);
    if (throughput.count("THttpCli/" + size) && throughput.count("curl/" + size)) {
        std::printf("%d MiB: THttpCli %.0f MiB/s, curl %.0f MiB/s, ratio %.2f (goal >= 0.80)\n", kLargeMib,
                    throughput["THttpCli/" + size] / (1 << 20), throughput["curl/" + size] / (1 << 20),
                    throughput["THttpCli/" + size] / throughput["curl/" + size]);
        std::printf("peak resident memory: %.1f MiB after %d MiB, %.1f MiB after %d MiB\n", peakRssMib[kSmallMib],
                    kSmallMib, peakRssMib[kLargeMib], kLargeMib);
    }
    for (const int mib : {kSmallMib, kLargeMib}) {
        const std::string ours = "http_get/" + std::to_string(mib);
        const std::string curl = "curl/" + std::to_string(mib);
        if (throughput.count(ours) && throughput.count(curl))
            std::printf("%d MiB as whole processes: http_get takes %.2f times the time of curl -o\n", mib,
                        throughput[curl] / throughput[ours]);
    }
    return 0;
}
