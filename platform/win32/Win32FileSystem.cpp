#include "platform/win32/Win32FileSystem.h"

#include "platform/Error.h"
#include "platform/win32/Win32Text.h"

#include <windows.h>
// windows.h names DeleteFileW so; this file defines TFileSystem::DeleteFile.
#undef DeleteFile

#include <algorithm>
#include <chrono>
#include <random>

namespace quorvex {

namespace {

// How many random temporary names are tried before giving up.
constexpr int kTemporaryNameAttempts = 16;
// The largest block handed to one ReadFile or WriteFile call.
constexpr std::size_t kBlock = std::size_t{1} << 20;

// Closes the handle when it goes out of scope.
class THandle {
public:
    explicit THandle(HANDLE handle) : handle_(handle) {}
    ~THandle() { Close(); }
    THandle(const THandle&) = delete;
    THandle& operator=(const THandle&) = delete;

    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }
    // The error of CloseHandle, 0 when it succeeded.
    DWORD Close()
    {
        DWORD error = 0;
        if (Valid() && !::CloseHandle(handle_))
            error = ::GetLastError();
        handle_ = INVALID_HANDLE_VALUE;
        return error;
    }

private:
    HANDLE handle_;
};

// Removes the temporary file unless it was moved into place.
class TTemporaryFile {
public:
    explicit TTemporaryFile(std::wstring path) : path_(std::move(path)) {}
    ~TTemporaryFile()
    {
        if (!path_.empty())
            ::DeleteFileW(path_.c_str());
    }
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;

    const std::wstring& Path() const { return path_; }
    void Keep() { path_.clear(); }

private:
    std::wstring path_;
};

// The absolute path that Windows makes of a path text (relative names
// against the working folder); the text itself when it has none.
std::wstring FullPath(const std::string& path)
{
    const std::wstring wide = WideText(path);
    std::wstring full(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length = ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0)
            return wide;
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length);
    }
    return wide;
}

DWORD Attributes(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str());
}

bool IsFile(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The reason a file could not be created or replaced. Access denied here
// means the folder may not be written (Program Files, the root of C:).
std::string CreateRefusal(DWORD error)
{
    std::string reason = Win32ErrorText(error);
    if (error == ERROR_ACCESS_DENIED)
        reason += " Run Quorvex from an administrator prompt.";
    return reason;
}

[[noreturn]] void FailCreate(const std::string& path, DWORD error)
{
    throw FileCreateError(path, CreateRefusal(error));
}

[[noreturn]] void FailWrite(const std::string& path, DWORD error)
{
    throw Error("Cannot write file \"" + path + "\". " + Win32ErrorText(error));
}

// The change lock of a file: ".<name>.quorvex-lock" beside it, held open
// and shared with no one while a Quorvex process replaces the file, and
// deleted by the system when closed (or when its process ends).
class TChangeLock {
public:
    TChangeLock(const std::string& shown, const std::wstring& target, std::chrono::milliseconds wait)
        : handle_(Take(shown, LockPath(target), wait))
    {
    }

private:
    static std::wstring LockPath(const std::wstring& target)
    {
        const std::size_t slash = target.find_last_of(L"\\/");
        const std::size_t name = slash == std::wstring::npos ? 0 : slash + 1;
        return target.substr(0, name) + L"." + target.substr(name) + L".quorvex-lock";
    }

    static HANDLE Take(const std::string& shown, const std::wstring& path, std::chrono::milliseconds wait)
    {
        const auto deadline = std::chrono::steady_clock::now() + wait;
        for (;;) {
            const HANDLE handle = ::CreateFileW(path.c_str(), DELETE, 0, nullptr, OPEN_ALWAYS,
                                                FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
            if (handle != INVALID_HANDLE_VALUE)
                return handle;
            const DWORD error = ::GetLastError();
            if (error != ERROR_SHARING_VIOLATION)
                FailCreate(shown, error);
            if (std::chrono::steady_clock::now() >= deadline)
                throw FileCreateError(shown, kInUseByAnotherQuorvex);
            ::Sleep(10);
        }
    }

    THandle handle_;
};

std::wstring RandomSuffix()
{
    static std::random_device source;
    wchar_t text[10];
    ::swprintf(text, std::size(text), L".%08x", static_cast<unsigned>(source()));
    return text;
}

// Creates a new, empty file beside target, open for writing and shared with
// no one; its path is returned in temporary.
HANDLE CreateTemporaryBeside(const std::string& path, const std::wstring& target, std::wstring& temporary)
{
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        temporary = target + RandomSuffix();
        const HANDLE handle = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE)
            return handle;
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            FailCreate(path, error);
    }
    FailCreate(path, ERROR_FILE_EXISTS);
}

void WriteAll(const std::string& path, HANDLE file, std::span<const std::uint8_t> bytes)
{
    while (!bytes.empty()) {
        const auto block = static_cast<DWORD>(std::min(bytes.size(), kBlock));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), block, &written, nullptr))
            FailWrite(path, ::GetLastError());
        if (written == 0)
            FailWrite(path, ERROR_WRITE_FAULT);
        bytes = bytes.subspan(written);
    }
}

// Reads the whole content of an open file from its start into data; the
// error of the read that failed, 0 when all went well.
DWORD ReadAll(HANDLE file, std::vector<std::uint8_t>& data)
{
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size))
        return ::GetLastError();
    // One read for the size the file has now; more if it grew meanwhile.
    data.resize(static_cast<std::size_t>(size.QuadPart) + 1);
    std::size_t filled = 0;
    for (;;) {
        if (filled == data.size())
            data.resize(data.size() * 2);
        const auto block = static_cast<DWORD>(std::min(data.size() - filled, kBlock));
        DWORD count = 0;
        if (!::ReadFile(file, data.data() + filled, block, &count, nullptr))
            return ::GetLastError();
        if (count == 0)
            break;
        filled += count;
    }
    data.resize(filled);
    return 0;
}

std::optional<TFileIdentity> OpenFileIdentity(HANDLE file)
{
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_BASIC_INFO times{};
    if (!::GetFileInformationByHandle(file, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0
        || !::GetFileInformationByHandleEx(file, FileBasicInfo, &times, sizeof times))
        return std::nullopt;
    const auto wide = [](DWORD high, DWORD low) { return (std::uint64_t{high} << 32) | low; };
    return TFileIdentity{info.dwVolumeSerialNumber, wide(info.nFileIndexHigh, info.nFileIndexLow),
                         wide(info.nFileSizeHigh, info.nFileSizeLow), times.LastWriteTime.QuadPart,
                         times.ChangeTime.QuadPart};
}

std::optional<TFileIdentity> IdentityOf(const std::wstring& path)
{
    THandle file(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.Valid())
        return std::nullopt;
    return OpenFileIdentity(file.Get());
}

}  // namespace

std::filesystem::path TWin32FileSystem::NativePath(const std::string& path) const
{
    return std::filesystem::path(FullPath(path));
}

bool TWin32FileSystem::FileExists(const std::string& path) const
{
    return IsFile(Attributes(WideText(path)));
}

std::vector<std::uint8_t> TWin32FileSystem::ReadFile(const std::string& path) const
{
    const std::wstring source = FullPath(path);
    const auto fail = [&source](DWORD error) {
        return Error("Cannot open file \"" + NarrowText(source) + "\". " + Win32ErrorText(error));
    };
    THandle file(::CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        throw fail(::GetLastError());
    std::vector<std::uint8_t> data;
    if (const DWORD error = ReadAll(file.Get(), data))
        throw fail(error);
    return data;
}

void TWin32FileSystem::WriteFile(const std::string& path, std::span<const std::uint8_t> bytes) const
{
    Replace(path, bytes, [](const std::wstring&) { return true; });
}

bool TWin32FileSystem::ReplaceUnchangedFile(const std::string& path, std::span<const std::uint8_t> bytes,
                                            const TFileIdentity& identity) const
{
    return Replace(path, bytes, [&](const std::wstring& target) { return IdentityOf(target) == identity; });
}

bool TWin32FileSystem::Replace(const std::string& path, std::span<const std::uint8_t> bytes,
                               const std::function<bool(const std::wstring&)>& unchanged) const
{
    const std::wstring target = FullPath(path);
    const std::string shown = NarrowText(target);  // the full path, for messages
    const DWORD attributes = Attributes(target);
    if (attributes != INVALID_FILE_ATTRIBUTES
        && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
        throw FileCreateError(shown, Win32ErrorText(ERROR_ACCESS_DENIED));

    const TChangeLock lock(shown, target, changeWait_);
    if (!unchanged(target))
        return false;
    std::wstring temporaryPath;
    THandle file(CreateTemporaryBeside(shown, target, temporaryPath));
    TTemporaryFile temporary(temporaryPath);
    WriteAll(shown, file.Get(), bytes);
    if (!::FlushFileBuffers(file.Get()))
        FailWrite(shown, ::GetLastError());
    if (const DWORD error = file.Close())
        FailWrite(shown, error);
    if (!::MoveFileExW(temporary.Path().c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        FailCreate(shown, ::GetLastError());
    temporary.Keep();
    return true;
}

std::optional<TFileIdentity> TWin32FileSystem::Identity(const std::string& path) const
{
    return IdentityOf(FullPath(path));
}

bool TWin32FileSystem::CopyUnchangedFile(const std::string& source, const TFileIdentity& identity,
                                         const std::string& target) const
{
    // Shared with readers only: no one can change the file while it is copied.
    THandle file(::CreateFileW(FullPath(source).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid() || OpenFileIdentity(file.Get()) != identity)
        return false;
    std::vector<std::uint8_t> bytes;
    if (ReadAll(file.Get(), bytes) != 0)
        return false;
    WriteFile(target, bytes);
    return true;
}

bool TWin32FileSystem::DeleteFile(const std::string& path) const
{
    const std::wstring native = WideText(path);
    const DWORD attributes = Attributes(native);
    return IsFile(attributes) && (attributes & FILE_ATTRIBUTE_READONLY) == 0 && ::DeleteFileW(native.c_str()) != 0;
}

}  // namespace quorvex
