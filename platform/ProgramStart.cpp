#include "platform/ProgramStart.h"

#include "platform/Platform.h"
#include "platform/ProgramStartBackend.h"

namespace quorvex {

void StartProgram(const std::string& program, const std::vector<std::string>& arguments, TStartFailure onFailure)
{
    if (!FileSystem().FileExists(program))
        return;
    StartProgramFile(FileSystem().NativePath(program), arguments, std::move(onFailure));
}

}  // namespace quorvex
