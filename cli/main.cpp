// quorvex-cli: the advert, UI and clean workflows from the command line.
#include "cli/Run.h"
#include "platform/Console.h"

#include <string>
#include <vector>

#ifdef _WIN32
#include "platform/Text.h"

#include <cwchar>

// Windows hands the arguments over in UTF-16 (wmain, linked with -municode),
// so that any folder name arrives whole.
int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(quorvex::Utf16ToUtf8(std::u16string(argv[i], argv[i] + std::wcslen(argv[i]))));
    return quorvex::cli::RunCommandLine(arguments, quorvex::StandardOutput(), quorvex::StandardError());
}
#else
int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return quorvex::cli::RunCommandLine(arguments, quorvex::StandardOutput(), quorvex::StandardError());
}
#endif
