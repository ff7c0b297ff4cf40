#include "platform/win32/Win32Text.h"

#include "platform/Text.h"

#include <windows.h>

namespace quorvex {

// wchar_t is a UTF-16 code unit on Windows: the conversions go through the
// portable ones and copy the units across.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::wstring WideText(std::string_view text)
{
    const std::u16string units = Utf8ToUtf16(text);
    return std::wstring(units.begin(), units.end());
}

std::string NarrowText(std::wstring_view text)
{
    return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

std::string Win32ErrorText(unsigned long code)
{
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length == 0 || buffer == nullptr)
        return "Error " + std::to_string(code);
    std::wstring text(buffer, length);
    ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.pop_back();
    return NarrowText(text);
}

}  // namespace quorvex
