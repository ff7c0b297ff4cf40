// The shell starts the program (ShellExecuteExW, as Explorer would: an
// installer that asks for elevation gets its prompt) from its own folder.
#include "platform/ProgramStartBackend.h"
#include "platform/win32/Win32Text.h"

#include <windows.h>

#include <shellapi.h>

namespace quorvex {
namespace {

// One argument as the program's start-up code reads it back
// (CommandLineToArgvW): quoted, with the backslashes before a quote doubled.
std::wstring QuotedArgument(const std::wstring& argument)
{
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t character : argument) {
        if (character == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(character == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        quoted += character;
        backslashes = 0;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

}  // namespace

void StartProgramFile(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                      TStartFailure onFailure)
{
    std::wstring parameters;
    for (const std::string& argument : arguments)
        parameters += (parameters.empty() ? L"" : L" ") + QuotedArgument(WideText(argument));
    const std::wstring file = program.wstring();
    const std::wstring folder = program.parent_path().wstring();
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.lpDirectory = folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info) && onFailure)
        onFailure("Windows could not start it: " + Win32ErrorText(GetLastError()));
}

}  // namespace quorvex
