#include "platform/Stream.h"

#include <gtest/gtest.h>

#include <array>

namespace quorvex {
namespace {

std::vector<std::uint8_t> Content(const TMemoryStream& s)
{
    return {s.Bytes().begin(), s.Bytes().end()};
}

TEST(MemoryStream, ReadReturnsOnlyTheBytesAvailableAndAdvances)
{
    TMemoryStream s;
    s.Assign({1, 2, 3, 4, 5});
    s.Seek(3);
    std::array<std::uint8_t, 4> buffer{};
    EXPECT_EQ(s.Read(buffer), 2u);
    EXPECT_EQ(buffer[0], 4);
    EXPECT_EQ(buffer[1], 5);
    EXPECT_EQ(s.Position(), 5u);
    EXPECT_EQ(s.Read(buffer), 0u);

    s.Seek(9);  // past the end: nothing to read, size unchanged
    EXPECT_EQ(s.Read(buffer), 0u);
    EXPECT_EQ(s.Size(), 5u);
}

TEST(MemoryStream, WriteOverwritesInPlaceAndGrowsPastTheEnd)
{
    TMemoryStream s;
    s.Assign({1, 2, 3});
    s.Seek(1);
    const std::array<std::uint8_t, 4> patch{9, 8, 7, 6};
    s.Write(patch);
    EXPECT_EQ(Content(s), (std::vector<std::uint8_t>{1, 9, 8, 7, 6}));
    EXPECT_EQ(s.Position(), 5u);

    s.Seek(7);  // a gap is filled with zero bytes
    s.Write(std::span(patch).first(1));
    EXPECT_EQ(Content(s), (std::vector<std::uint8_t>{1, 9, 8, 7, 6, 0, 0, 9}));
}

TEST(MemoryStream, ClearEmptiesAndResetsThePosition)
{
    TMemoryStream s;
    s.Assign({1, 2, 3});
    s.Seek(2);
    s.Clear();
    EXPECT_EQ(s.Size(), 0u);
    EXPECT_EQ(s.Position(), 0u);
    s.Clear();
    EXPECT_EQ(s.Size(), 0u);
}

}  // namespace
}  // namespace quorvex
