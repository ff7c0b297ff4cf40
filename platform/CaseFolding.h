// Names compared without regard to case as Windows and Wine compare file
// names: every letter folds by Unicode simple case folding.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace quorvex {

// Code points First, First + Stride, ... up to Last fold to themselves plus Delta.
struct TCaseFoldRun {
    std::uint32_t First;
    std::uint32_t Last;
    std::int32_t Delta;
    std::uint32_t Stride;
};

// The runs of the simple case folding table, sorted and apart (generated).
std::span<const TCaseFoldRun> CaseFoldRuns();

// The code point's simple case folding; itself when it has none.
char32_t SimpleCaseFold(char32_t codePoint);

// Whether two UTF-8 names are equal once every character is folded; a byte
// that is not part of valid UTF-8 matches only the same byte.
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

}  // namespace quorvex
