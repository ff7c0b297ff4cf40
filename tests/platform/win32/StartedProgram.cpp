// The program that the start tests start: it writes its working folder and
// its arguments, one a line in UTF-8, to the file that QUORVEX_STARTED_LOG
// names, then "end".
#include <windows.h>

#include <shellapi.h>

#include <fstream>
#include <string>

namespace {

std::string Utf8(const wchar_t* text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), size, nullptr, nullptr);
    bytes.resize(bytes.size() - 1);
    return bytes;
}

}  // namespace

int main()
{
    wchar_t log[MAX_PATH];
    if (GetEnvironmentVariableW(L"QUORVEX_STARTED_LOG", log, MAX_PATH) == 0)
        return 2;
    std::ofstream out(log, std::ios::binary);
    wchar_t folder[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, folder);
    out << Utf8(folder) << '\n';
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int index = 1; index < count; ++index)
        out << Utf8(arguments[index]) << '\n';
    LocalFree(arguments);
    out << "end\n";
    return out.good() ? 0 : 1;
}
