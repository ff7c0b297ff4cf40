// Names compared without regard to case: file names as Windows and Wine
// compare them, where every letter folds by Unicode simple case folding, and
// registry names as Wine compares them, a narrower rule.
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

// The pairs of letters that Wine's registry takes for one another: an
// upper-case letter of the Basic Multilingual Plane and its simple lower case
// whose simple upper case is the first again (generated). Wine leaves out
// every other mapping (Kelvin sign and k, final and plain sigma, title-case
// letters, sharp s) and compares UTF-16 units, so no letter outside that
// plane matches another.
std::span<const TCaseFoldRun> RegistryCaseRuns();

// The UTF-16 unit with an upper-case letter of those pairs made lower-case.
char16_t RegistryCaseFold(char16_t unit);

// Whether two registry key or value names are the same to Wine.
bool SameRegistryName(std::u16string_view a, std::u16string_view b);

// Whether two UTF-8 names are equal once every character is folded; a byte
// that is not part of valid UTF-8 matches only the same byte.
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

}  // namespace quorvex
