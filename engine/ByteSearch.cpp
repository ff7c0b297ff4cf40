#include "engine/ByteSearch.h"

#include "platform/MemorySearch.h"

#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace quorvex {

namespace {

// Patterns at least this long are searched by the C library, whose skips
// grow with the pattern; shorter ones by comparing anchors.
constexpr std::size_t kLongPattern = 16;

#if defined(__x86_64__)
bool MatchesAt(std::span<const std::uint8_t> text, std::span<const std::uint8_t> pattern, std::size_t start)
{
    return start + pattern.size() <= text.size() &&
           std::memcmp(text.data() + start, pattern.data(), pattern.size()) == 0;
}

__attribute__((target("avx2"))) std::size_t SearchAnchoredAvx2(std::span<const std::uint8_t> text,
                                                                std::span<const std::uint8_t> pattern)
{
    const std::size_t last = pattern.size() - 1;
    const __m256i first = _mm256_set1_epi8(static_cast<char>(pattern[0]));
    const __m256i final = _mm256_set1_epi8(static_cast<char>(pattern[last]));
    const std::size_t starts = text.size() - last;  // candidate starts: 0 .. starts - 1
    std::size_t start = 0;
    for (; start + 32 <= starts; start += 32) {
        const __m256i head = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text.data() + start));
        const __m256i tail = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text.data() + start + last));
        auto mask = static_cast<std::uint32_t>(
            _mm256_movemask_epi8(_mm256_and_si256(_mm256_cmpeq_epi8(head, first), _mm256_cmpeq_epi8(tail, final))));
        for (; mask != 0; mask &= mask - 1) {
            const std::size_t candidate = start + static_cast<std::size_t>(__builtin_ctz(mask));
            if (MatchesAt(text, pattern, candidate))
                return candidate;
        }
    }
    for (; start < starts; ++start) {
        if (MatchesAt(text, pattern, start))
            return start;
    }
    return kNotFound;
}
#endif

}  // namespace

std::size_t SearchLibrary(std::span<const std::uint8_t> text, std::span<const std::uint8_t> pattern)
{
    const std::size_t match = FindInMemory(text, pattern);
    return match == text.size() ? kNotFound : match;
}

std::size_t SearchAnchored(std::span<const std::uint8_t> text, std::span<const std::uint8_t> pattern)
{
#if defined(__x86_64__)
    if (!pattern.empty() && text.size() >= pattern.size() && __builtin_cpu_supports("avx2"))
        return SearchAnchoredAvx2(text, pattern);
#endif
    return SearchLibrary(text, pattern);
}

std::size_t SearchBytes(std::span<const std::uint8_t> text, std::span<const std::uint8_t> pattern)
{
    return pattern.size() >= kLongPattern ? SearchLibrary(text, pattern) : SearchAnchored(text, pattern);
}

}  // namespace quorvex
