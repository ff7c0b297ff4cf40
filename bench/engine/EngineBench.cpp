// The advert scans over a 16 MiB image, beside the plain per-byte sliding
// comparison (seek, read, compare and an event-loop pass at every position),
// and the version read from a 2 MB system.reg: read again while the file is
// unchanged, and read first in a fresh process (2 and 20 MiB), as at start-up.
#include "bench/RatioReporter.h"
#include "engine/AdvertPatches.h"
#include "engine/MessengerInfo.h"
#include "engine/PatternScan.h"
#include "platform/wine/NativeFile.h"
#include "tests/fixtures/ScopedPump.h"
#include "tools/fakemessenger/FakeMessenger.h"

#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>

namespace quorvex {
namespace {

constexpr std::size_t kImageSize = std::size_t{16} << 20;

// The synthetic messenger image with every advert already patched away, so
// that each scan runs over the whole image, as it does on an executable that
// an earlier apply patched.
const TMemoryStream& PatchedImage()
{
    static const TMemoryStream image = [] {
        TFakeMessengerOptions options;
        options.ImageSize = kImageSize;
        TMemoryStream stream;
        stream.Assign(BuildFakeImage(options).Bytes);
        for (const TAdvertPatch& patch : AdvertPatches()) {
            while (ReplaceFirst(stream, patch.Pattern, patch.Replacement)) {
            }
        }
        return stream;
    }();
    return image;
}

// The scan as first designed: one seek, one read, one comparison and one
// event-loop pass per byte position.
bool PerByteScan(TMemoryStream& image, const TAdvertPatch& patch)
{
    const std::size_t length = patch.Pattern.size();
    if (image.Size() < length)
        return false;
    std::vector<std::uint8_t> scratch(length);
    for (std::size_t position = 0; position <= image.Size() - length; ++position) {
        image.Seek(position);
        image.Read(scratch);
        if (scratch == patch.Pattern) {
            image.Seek(position);
            image.Write(patch.Replacement);
            return true;
        }
        ServeEventLoop();
    }
    return false;
}

void AllAdvertPatches(benchmark::State& state)
{
    const TMemoryStream& image = PatchedImage();
    const TScopedPump pump;
    for (auto _ : state) {
        for (const TAdvertPatch& patch : AdvertPatches())
            benchmark::DoNotOptimize(FindFirst(image, patch.Pattern));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kAdvertCount * image.Size()));
}
BENCHMARK(AllAdvertPatches)->Unit(benchmark::kMillisecond);

// The floor of the scans: one memchr pass over the image per advert, for a
// byte that does not occur (the image's zero bytes made ones).
void AllAdvertPatchesMemchrFloor(benchmark::State& state)
{
    std::vector<std::uint8_t> bytes(PatchedImage().Bytes().begin(), PatchedImage().Bytes().end());
    std::ranges::replace(bytes, std::uint8_t{0}, std::uint8_t{1});
    for (auto _ : state) {
        for (std::size_t pass = 0; pass < kAdvertCount; ++pass)
            benchmark::DoNotOptimize(std::memchr(bytes.data(), 0, bytes.size()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kAdvertCount * bytes.size()));
}
BENCHMARK(AllAdvertPatchesMemchrFloor)->Unit(benchmark::kMillisecond);

void AllAdvertPatchesPerByteBaseline(benchmark::State& state)
{
    TMemoryStream image;
    image.Assign({PatchedImage().Bytes().begin(), PatchedImage().Bytes().end()});
    const TScopedPump pump;
    for (auto _ : state) {
        for (const TAdvertPatch& patch : AdvertPatches())
            benchmark::DoNotOptimize(PerByteScan(image, patch));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kAdvertCount * image.Size()));
}
BENCHMARK(AllAdvertPatchesPerByteBaseline)->Unit(benchmark::kMillisecond)->Iterations(1);

// A 64-bit prefix whose system.reg holds padding bytes of other keys before
// the messenger's.
class TLargeRegistryPrefix {
public:
    explicit TLargeRegistryPrefix(std::size_t padding = std::size_t{2} << 20)
    {
        char pattern[] = "/tmp/quorvex-bench-XXXXXX";
        folder_ = ::mkdtemp(pattern);
        TFakeMessengerOptions options;
        options.Win64 = true;
        options.SystemRegistryPadding = padding;
        const std::string text = FakeSystemRegistry(options);
        WriteNativeFileAtomically(folder_ / "system.reg",
                                  std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
        ::setenv("WINEPREFIX", folder_.c_str(), 1);
    }
    ~TLargeRegistryPrefix() { std::filesystem::remove_all(folder_); }

    std::uintmax_t RegistrySize() const { return std::filesystem::file_size(folder_ / "system.reg"); }

private:
    std::filesystem::path folder_;
};

void VersionFromLargeSystemRegistry(benchmark::State& state)
{
    const TLargeRegistryPrefix prefix;
    if (YahooVersion() != "10.0.0.1270")
        state.SkipWithError("the version was not found");
    for (auto _ : state)
        benchmark::DoNotOptimize(YahooVersion());
    state.counters["registry_bytes"] = static_cast<double>(prefix.RegistrySize());
}
BENCHMARK(VersionFromLargeSystemRegistry)->Unit(benchmark::kMicrosecond);

// Seconds that the first YahooVersion() takes in a child process forked
// from this one, which has read no registry file; a negative number when the
// version is wrong or the child fails.
double FirstVersionReadInAFreshProcess()
{
    int channel[2];
    if (::pipe(channel) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        const auto start = std::chrono::steady_clock::now();
        const bool found = YahooVersion() == "10.0.0.1270";
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        const double seconds = found ? took.count() : -1;
        const bool sent = ::write(channel[1], &seconds, sizeof seconds) == sizeof seconds;
        ::_exit(sent ? 0 : 1);  // no destructors: the prefix belongs to the parent
    }
    ::close(channel[1]);
    double seconds = -1;
    if (child < 0 || ::read(channel[0], &seconds, sizeof seconds) != sizeof seconds)
        seconds = -1;
    ::close(channel[0]);
    int status = 0;
    if (child > 0 && (::waitpid(child, &status, 0) != child || status != 0))
        seconds = -1;
    return seconds;
}

// Argument: the padding of system.reg in MiB.
void FirstVersionRead(benchmark::State& state)
{
    const TLargeRegistryPrefix prefix(static_cast<std::size_t>(state.range(0)) << 20);
    for (auto _ : state) {
        const double seconds = FirstVersionReadInAFreshProcess();
        if (seconds < 0) {
            state.SkipWithError("the version was not read");
            break;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["registry_bytes"] = static_cast<double>(prefix.RegistrySize());
}
BENCHMARK(FirstVersionRead)->Arg(2)->Arg(20)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorvex

int main(int argc, char** argv)
{
    return quorvex::bench::RunWithRatios(argc, argv, {{"AllAdvertPatches", "AllAdvertPatchesMemchrFloor"}});
}
