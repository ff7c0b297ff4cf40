// Which section of the update information file a program reads, and how
// its version compares with the server's. Texts are UTF-8.
#pragma once

#include <string>
#include <vector>

namespace quorvex {

// The section of the update information file that a program reads: its
// executable's file name, or for "rundll32.exe" the library named by its
// first argument (before any ","), cut before the first ".".
std::string UpdateSectionName(const std::string& executableFileName, const std::vector<std::string>& arguments);

// Versions compare as plain text, character by character (UTF-16 units): at
// the first difference the smaller character is the older; a prefix is
// older than the longer text; equal texts are not older.
bool IsOlderVersion(const std::string& version, const std::string& than);

}  // namespace quorvex
