// Writes the two case tables of the platform layer from the Unicode character
// database, each packed into runs of code points that map at the same
// distance, every code point or every second one:
// - the simple case folding, from CaseFolding.txt: the mappings of status C
//   (common) and S (simple);
// - the letter pairs of Wine's registry names, from UnicodeData.txt: an
//   upper-case letter of the Basic Multilingual Plane mapped to its simple
//   lower case where that letter's simple upper case is the first again.
//
//   quorvex_casefolding <CaseFolding.txt> <UnicodeData.txt> <folding.cpp> <registry.cpp>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string_view>
#include <string>
#include <vector>

namespace {

struct TRun {
    std::uint32_t First = 0;
    std::uint32_t Last = 0;
    std::int32_t Delta = 0;
    std::uint32_t Stride = 1;
};

// A field that holds one hexadecimal code point between blanks.
bool ParseCodePoint(std::string_view field, std::uint32_t& value)
{
    const std::size_t first = field.find_first_not_of(' ');
    const std::size_t last = field.find_last_not_of(' ');
    if (first == std::string_view::npos)
        return false;
    field = field.substr(first, last - first + 1);
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value, 16);
    return error == std::errc() && end == field.data() + field.size() && value <= 0x10FFFF;
}

// Code point to folded code point, for the C and S lines; empty with a
// message on standard error when the file cannot be read or a line is bad.
bool ReadMappings(const char* path, std::map<std::uint32_t, std::uint32_t>& mappings)
{
    std::ifstream in(path);
    if (!in) {
        std::cerr << "cannot read " << path << "\n";
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        line = line.substr(0, line.find('#'));
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        std::istringstream fields(line);
        std::string code, status, mapping;
        if (!std::getline(fields, code, ';') || !std::getline(fields, status, ';') ||
            !std::getline(fields, mapping, ';')) {
            std::cerr << path << ":" << number << ": not a case folding line\n";
            return false;
        }
        if (status != " C" && status != " S")
            continue;
        std::uint32_t from = 0, to = 0;
        if (!ParseCodePoint(code, from) || !ParseCodePoint(mapping, to)) {
            std::cerr << path << ":" << number << ": not a code point\n";
            return false;
        }
        mappings[from] = to;
    }
    return !mappings.empty();
}

// The fields of a UnicodeData.txt line, split at semicolons.
std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ';');)
        fields.push_back(field);
    return fields;
}

// Upper-case letter to lower-case letter, for the pairs whose simple case
// mappings lead from each to the other, both in the Basic Multilingual Plane.
bool ReadRegistryPairs(const char* path, std::map<std::uint32_t, std::uint32_t>& pairs)
{
    constexpr std::size_t kUpper = 12, kLower = 13;
    std::ifstream in(path);
    if (!in) {
        std::cerr << "cannot read " << path << "\n";
        return false;
    }
    std::map<std::uint32_t, std::uint32_t> upper, lower;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::vector<std::string> fields = Fields(line);
        std::uint32_t code = 0, mapped = 0;
        if (fields.size() <= kLower || !ParseCodePoint(fields[0], code)) {
            std::cerr << path << ":" << number << ": not a character line\n";
            return false;
        }
        if (ParseCodePoint(fields[kUpper], mapped))
            upper[code] = mapped;
        if (ParseCodePoint(fields[kLower], mapped))
            lower[code] = mapped;
    }
    for (const auto& [code, small] : lower) {
        const auto back = upper.find(small);
        if (code <= 0xFFFF && small <= 0xFFFF && back != upper.end() && back->second == code)
            pairs[code] = small;
    }
    return !pairs.empty();
}

std::vector<TRun> Runs(const std::map<std::uint32_t, std::uint32_t>& mappings)
{
    std::vector<TRun> runs;
    for (const auto& [code, folded] : mappings) {
        const auto delta = static_cast<std::int32_t>(folded) - static_cast<std::int32_t>(code);
        if (!runs.empty()) {
            TRun& run = runs.back();
            const bool single = run.First == run.Last;
            const std::uint32_t gap = code - run.Last;
            if (run.Delta == delta && ((single && gap <= 2) || (!single && gap == run.Stride))) {
                run.Stride = gap;
                run.Last = code;
                continue;
            }
        }
        runs.push_back({code, code, delta, 1});
    }
    return runs;
}

// source names what the table is made of; function is the name of the
// function that returns it.
bool WriteTable(const char* path, const char* source, const char* function, const std::vector<TRun>& runs)
{
    std::ofstream out(path, std::ios::binary);
    out << "// Generated by tools/casefolding from the Unicode character database's\n"
           "// " << source << "; remake it with the \"casefolding\" target.\n"
           "#include \"platform/wine/CaseFolding.h\"\n\n"
           "namespace quorvex {\n\n"
           "std::span<const TCaseFoldRun> " << function << "()\n"
           "{\n"
           "    static constexpr TCaseFoldRun kRuns[] = {\n";
    char row[96];
    for (const TRun& run : runs) {
        std::snprintf(row, sizeof row, "        {0x%05X, 0x%05X, %d, %u},\n", static_cast<unsigned>(run.First),
                      static_cast<unsigned>(run.Last), static_cast<int>(run.Delta), static_cast<unsigned>(run.Stride));
        out << row;
    }
    out << "    };\n"
           "    return kRuns;\n"
           "}\n\n"
           "}  // namespace quorvex\n";
    out.close();
    if (!out) {
        std::cerr << "cannot write " << path << "\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::cerr << "usage: quorvex_casefolding <CaseFolding.txt> <UnicodeData.txt> <folding.cpp> <registry.cpp>\n";
        return 2;
    }
    std::map<std::uint32_t, std::uint32_t> mappings, pairs;
    if (!ReadMappings(argv[1], mappings) || !ReadRegistryPairs(argv[2], pairs))
        return 1;
    const bool written =
        WriteTable(argv[3], "CaseFolding.txt (statuses C and S)", "CaseFoldRuns", Runs(mappings)) &&
        WriteTable(argv[4], "UnicodeData.txt (upper and lower case letter pairs)", "RegistryCaseRuns", Runs(pairs));
    return written ? 0 : 1;
}
