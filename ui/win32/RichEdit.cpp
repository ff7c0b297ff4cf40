#include "ui/win32/RichEdit.h"

#include "platform/Error.h"
#include "platform/win32/Win32Text.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace quorvex::win32 {
namespace {

struct TRtfSource {
    std::string_view text;
    std::size_t position = 0;
};

DWORD CALLBACK ReadRtf(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* read)
{
    auto& source = *reinterpret_cast<TRtfSource*>(cookie);
    const std::size_t count = std::min(static_cast<std::size_t>(std::max(size, LONG{0})),
                                       source.text.size() - source.position);
    std::memcpy(buffer, source.text.data() + source.position, count);
    source.position += count;
    *read = static_cast<LONG>(count);
    return 0;
}

}  // namespace

void LoadRichEdit()
{
    static const HMODULE library = LoadLibraryW(L"Msftedit.dll");
    if (library == nullptr)
        throw Error("Cannot load Msftedit.dll: " + Win32ErrorText(GetLastError()));
}

void StreamRtfInto(HWND richEdit, std::string_view rtf)
{
    TRtfSource source{rtf};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
    stream.pfnCallback = &ReadRtf;
    SendMessageW(richEdit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    if (stream.dwError != 0)
        throw Error("The page cannot be shown: error " + std::to_string(stream.dwError));
    SendMessageW(richEdit, EM_SETSEL, 0, 0);
}

}  // namespace quorvex::win32
