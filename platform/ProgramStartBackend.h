// The system's half of StartProgram (platform/ProgramStart.h), for an
// existing file: platform/wine/ProgramStart.cpp, platform/win32/Win32ProgramStart.cpp.
#pragma once

#include "platform/ProgramStart.h"

#include <filesystem>

namespace quorvex {

void StartProgramFile(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                      TStartFailure onFailure);

}  // namespace quorvex
