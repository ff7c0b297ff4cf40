// Replays the kept fuzzing corpus through the response reader's harness.
#include "fuzz/ResponseReaderHarness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace quorvex {
namespace {

TEST(ResponseReaderCorpus, EveryKeptInputKeepsTheReadersRules)
{
    int inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(QUORVEX_HTTP_CORPUS)) {
        std::ifstream file(entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
        EXPECT_EQ(fuzz::ReadResponse(bytes.data(), bytes.size()), "") << entry.path();
        ++inputs;
    }
    EXPECT_GT(inputs, 0);
}

}  // namespace
}  // namespace quorvex
