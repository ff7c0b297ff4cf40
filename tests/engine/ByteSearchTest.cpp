#include "engine/ByteSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace quorvex {
namespace {

using TSearch = std::size_t (*)(std::span<const std::uint8_t>, std::span<const std::uint8_t>);

struct TSearchCase {
    const char* name;
    TSearch search;
};

void PrintTo(const TSearchCase& c, std::ostream* out)
{
    *out << c.name;
}

std::size_t Reference(std::span<const std::uint8_t> text, std::span<const std::uint8_t> pattern)
{
    if (pattern.empty() || text.size() < pattern.size())
        return kNotFound;
    const auto it = std::search(text.begin(), text.end(), pattern.begin(), pattern.end());
    return it == text.end() ? kNotFound : static_cast<std::size_t>(it - text.begin());
}

class ByteSearch : public ::testing::TestWithParam<TSearchCase> {};

// Texts over a small alphabet hold many near matches; patterns are cut from
// the text (found) or drawn anew (mostly absent), at every length the advert
// patterns have and around the 32-byte vector width.
TEST_P(ByteSearch, FindsTheLowestOccurrenceAsAPlainSearchDoes)
{
    std::mt19937 random(11);
    const std::size_t lengths[] = {1, 2, 3, 8, 15, 16, 31, 32, 33, 92, 100, 102};
    for (int round = 0; round < 400; ++round) {
        const std::uint8_t alphabet = round % 2 == 0 ? 2 : 4;
        std::vector<std::uint8_t> text(random() % 300);
        std::ranges::generate(text, [&] { return static_cast<std::uint8_t>(random() % alphabet); });
        const std::size_t length = lengths[random() % std::size(lengths)];
        std::vector<std::uint8_t> pattern(length);
        if (round % 3 != 0 && text.size() >= length) {
            const std::size_t from = random() % (text.size() - length + 1);
            std::copy_n(text.begin() + static_cast<std::ptrdiff_t>(from), length, pattern.begin());
        } else {
            std::ranges::generate(pattern, [&] { return static_cast<std::uint8_t>(random() % alphabet); });
        }
        ASSERT_EQ(GetParam().search(text, pattern), Reference(text, pattern)) << "round " << round;
    }
}

TEST_P(ByteSearch, FindsPatternsAtBothEndsAndNothingInShortTexts)
{
    std::vector<std::uint8_t> text(1000, 7);
    const std::vector<std::uint8_t> pattern = {'u', 0, 'r', 0, 'l', 0, 's', 0};
    EXPECT_EQ(GetParam().search(text, pattern), kNotFound);
    std::ranges::copy(pattern, text.end() - 8);
    EXPECT_EQ(GetParam().search(text, pattern), 992u);
    std::ranges::copy(pattern, text.begin() + 33);
    EXPECT_EQ(GetParam().search(text, pattern), 33u);
    std::ranges::copy(pattern, text.begin());
    EXPECT_EQ(GetParam().search(text, pattern), 0u);
    EXPECT_EQ(GetParam().search(std::span(text).first(7), pattern), kNotFound);
    EXPECT_EQ(GetParam().search(std::span(text).first(8), pattern), 0u);
    EXPECT_EQ(GetParam().search(text, {}), kNotFound);
}

INSTANTIATE_TEST_SUITE_P(Searches, ByteSearch,
                         ::testing::Values(TSearchCase{"Chosen", &SearchBytes}, TSearchCase{"Anchored", &SearchAnchored},
                                           TSearchCase{"Library", &SearchLibrary}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quorvex
