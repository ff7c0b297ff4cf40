#include "platform/Console.h"
#include "platform/Text.h"

#include <windows.h>

#include <streambuf>
#include <string>

namespace quorvex {
namespace {

// Writes what it is given at once: to a console as UTF-16 through
// WriteConsoleW, to anything else as the bytes given. A character whose
// UTF-8 bytes arrive in two writes waits for its end.
class TConsoleBuffer final : public std::streambuf {
public:
    explicit TConsoleBuffer(DWORD which) : handle_(::GetStdHandle(which))
    {
        DWORD mode = 0;
        console_ = handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle_, &mode);
    }

protected:
    int_type overflow(int_type c) override
    {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        const char byte = traits_type::to_char_type(c);
        return Put(&byte, 1) ? c : traits_type::eof();
    }

    std::streamsize xsputn(const char* text, std::streamsize count) override
    {
        return Put(text, static_cast<std::size_t>(count)) ? count : 0;
    }

private:
    bool Put(const char* text, std::size_t count)
    {
        if (!console_)
            return WriteBytes(text, count);
        pending_.append(text, count);
        const std::size_t complete = CompleteUtf8Length(pending_);
        const std::u16string wide = Utf8ToUtf16(std::string_view(pending_).substr(0, complete));
        pending_.erase(0, complete);
        return WriteWide(wide);
    }

    bool WriteBytes(const char* text, std::size_t count) const
    {
        while (count > 0) {
            DWORD written = 0;
            const DWORD chunk = count > 0x10000 ? 0x10000 : static_cast<DWORD>(count);
            if (!::WriteFile(handle_, text, chunk, &written, nullptr) || written == 0)
                return false;
            text += written;
            count -= written;
        }
        return true;
    }

    bool WriteWide(std::u16string_view text) const
    {
        while (!text.empty()) {
            DWORD written = 0;
            const DWORD chunk = text.size() > 0x4000 ? 0x4000 : static_cast<DWORD>(text.size());
            if (!::WriteConsoleW(handle_, text.data(), chunk, &written, nullptr) || written == 0)
                return false;
            text.remove_prefix(written);
        }
        return true;
    }

    HANDLE handle_;
    bool console_ = false;
    std::string pending_;
};

}  // namespace

std::ostream& StandardOutput()
{
    static TConsoleBuffer buffer(STD_OUTPUT_HANDLE);
    static std::ostream stream(&buffer);
    return stream;
}

std::ostream& StandardError()
{
    static TConsoleBuffer buffer(STD_ERROR_HANDLE);
    static std::ostream stream(&buffer);
    return stream;
}

}  // namespace quorvex
