// The Win32 implementation of the private folder and files: the user's own
// folder under the local application data, with an access list that lets
// the user alone in. A folder is held open without delete sharing, so that
// it can be neither renamed nor removed while files are made in it, and a
// file is created only where no name exists yet (a link included).
//
// The interface keeps handles as int: Win32 handles are 32-bit values, even
// in 64-bit processes, and are sign-extended back.
#include "platform/PrivateFile.h"

#include "platform/Error.h"
#include "platform/PrivateFolder.h"
#include "platform/SpecialFolders.h"
#include "platform/win32/Win32Text.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace quorvex {

namespace fs = std::filesystem;

namespace {

constexpr int kCreateAttempts = 100;
// What lets another user put, remove or change entries in a folder.
constexpr DWORD kWriteRights = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_DELETE_CHILD | FILE_WRITE_ATTRIBUTES
                               | FILE_WRITE_EA | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

HANDLE AsHandle(int descriptor)
{
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(descriptor));
}

int AsDescriptor(HANDLE handle)
{
    return static_cast<int>(reinterpret_cast<std::intptr_t>(handle));
}

std::string Quoted(const fs::path& path)
{
    return "\"" + path.string() + "\"";
}

std::string LastErrorText()
{
    return Win32ErrorText(GetLastError());
}

// The current user's SID, from the process token.
std::vector<std::uint8_t> UserSid()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        throw Error("Cannot read the current user. " + LastErrorText());
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<std::uint8_t> buffer(size);
    const bool read = GetTokenInformation(token, TokenUser, buffer.data(), size, &size) != 0;
    const DWORD error = GetLastError();
    CloseHandle(token);
    if (!read)
        throw Error("Cannot read the current user. " + Win32ErrorText(error));
    const PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
    const auto* bytes = static_cast<const std::uint8_t*>(sid);
    return {bytes, bytes + GetLengthSid(sid)};
}

std::string SidText(const std::vector<std::uint8_t>& sid)
{
    LPWSTR text = nullptr;
    if (!ConvertSidToStringSidW(const_cast<std::uint8_t*>(sid.data()), &text))
        return {};
    std::string result = NarrowText(text);
    LocalFree(text);
    return result;
}

bool IsWellKnown(PSID sid, WELL_KNOWN_SID_TYPE type)
{
    return IsWellKnownSid(sid, type) != 0;
}

// Whether a SID may write wherever the user may: the user, the system and
// the administrators.
bool IsTrusted(PSID sid, PSID user)
{
    return EqualSid(sid, user) || IsWellKnown(sid, WinLocalSystemSid) || IsWellKnown(sid, WinBuiltinAdministratorsSid)
           || IsWellKnown(sid, WinCreatorOwnerSid);
}

// Why the folder held by handle is not private; empty when it is.
std::string HandleRefusal(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info))
        return LastErrorText() + ".";
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0
        || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return "It is not a folder but a link or a file.";
    PSID owner = nullptr;
    PACL access = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD error = GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                        &owner, nullptr, &access, nullptr, &descriptor);
    if (error != ERROR_SUCCESS)
        return Win32ErrorText(error) + ".";
    const std::unique_ptr<void, decltype(&LocalFree)> release(descriptor, &LocalFree);
    std::vector<std::uint8_t> user = UserSid();
    if (owner == nullptr || !EqualSid(owner, user.data()))
        return "It belongs to another user.";
    if (access == nullptr)
        return "Other users can write into it.";  // no access list: everyone may do anything
    for (DWORD index = 0; index < access->AceCount; ++index) {
        void* entry = nullptr;
        if (!GetAce(access, index, &entry))
            return LastErrorText() + ".";
        const auto* header = static_cast<const ACE_HEADER*>(entry);
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE) != 0)
            continue;
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
        const PSID sid = const_cast<DWORD*>(&allowed->SidStart);
        if ((allowed->Mask & kWriteRights) != 0 && !IsTrusted(sid, user.data()))
            return "Other users can write into it.";
    }
    return {};
}

// The folder at path opened as it is, a link not followed; nothing with the
// system's error code when it cannot be.
HANDLE OpenFolderItself(const fs::path& path, DWORD& error)
{
    const HANDLE handle = CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | FILE_TRAVERSE | READ_CONTROL
                                                        | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    error = handle == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    return handle;
}

fs::path KnownFolder(REFKNOWNFOLDERID id)
{
    PWSTR path = nullptr;
    if (FAILED(SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path)))
        return {};
    fs::path folder(path);
    CoTaskMemFree(path);
    return folder;
}

// Reads a file through a handle of its own, so that the writer's position
// stays where it was.
class THandleBlocks final : public TFileBlocks {
public:
    explicit THandleBlocks(HANDLE handle) : handle_(handle) {}
    ~THandleBlocks() override
    {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    THandleBlocks(const THandleBlocks&) = delete;
    THandleBlocks& operator=(const THandleBlocks&) = delete;

    bool Rewind() override
    {
        LARGE_INTEGER start{};
        return handle_ != INVALID_HANDLE_VALUE && SetFilePointerEx(handle_, start, nullptr, FILE_BEGIN) != 0;
    }

    std::optional<std::size_t> Read(std::span<std::uint8_t> block) override
    {
        DWORD count = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(block.size(), 1u << 30));
        if (handle_ == INVALID_HANDLE_VALUE || !ReadFile(handle_, block.data(), wanted, &count, nullptr))
            return std::nullopt;
        return count;
    }

private:
    HANDLE handle_;
};

// Renames the open file itself, so that no other file can take its place
// between a close and the rename.
bool RenameHandle(HANDLE handle, const fs::path& target, bool replace)
{
    const std::wstring name = target.wstring();
    std::vector<std::uint8_t> buffer(sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = replace ? TRUE : FALSE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
    std::copy(name.begin(), name.end(), info->FileName);
    return SetFileInformationByHandle(handle, FileRenameInfo, info, static_cast<DWORD>(buffer.size())) != 0;
}

}  // namespace

std::string PrivateFolderRefusal(const fs::path& path)
{
    DWORD error = ERROR_SUCCESS;
    const HANDLE handle = OpenFolderItself(path, error);
    if (handle == INVALID_HANDLE_VALUE)
        return Win32ErrorText(error) + ".";
    std::string refusal = HandleRefusal(handle);
    CloseHandle(handle);
    return refusal;
}

std::string EnsurePrivateFolder(const fs::path& path)
{
    // The user alone, and the system, may use the folder and what is made in it.
    const std::wstring descriptorText =
        L"O:" + WideText(CurrentUserId()) + L"D:P(A;OICI;FA;;;" + WideText(CurrentUserId()) + L")(A;OICI;FA;;;SY)";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(descriptorText.c_str(), SDDL_REVISION_1, &descriptor,
                                                              nullptr))
        return LastErrorText() + ".";
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    const bool made = CreateDirectoryW(path.c_str(), &attributes) != 0;
    const DWORD error = GetLastError();
    LocalFree(descriptor);
    if (!made && error != ERROR_ALREADY_EXISTS)
        return Win32ErrorText(error) + ".";
    return PrivateFolderRefusal(path);
}

std::string CurrentUserId()
{
    return SidText(UserSid());
}

TUserAccount CurrentUserAccount()
{
    wchar_t name[257];
    DWORD size = 257;
    TUserAccount account;
    if (GetUserNameW(name, &size))
        account.Name = NarrowText(name);
    account.Home = KnownFolder(FOLDERID_Profile).string();
    return account;
}

fs::path PrivateTemporaryFolder()
{
    const fs::path local = KnownFolder(FOLDERID_LocalAppData);
    if (local.empty())
        throw Error("Cannot use the temporary folder: the user has no local application data folder.");
    const fs::path folder = local / "Quorvex";
    if (const std::string refusal = EnsurePrivateFolder(folder); !refusal.empty())
        throw Error("Cannot use the temporary folder " + Quoted(folder) + ". " + refusal);
    return folder;
}

TSpecialFolders SystemSpecialFolders()
{
    wchar_t windows[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    return TSpecialFolders{KnownFolder(FOLDERID_LocalAppData).string(),
                           length > 0 && length < MAX_PATH ? NarrowText(windows) : std::string(),
                           PrivateTemporaryFolder().string()};
}

TFolderHandle TFolderHandle::OpenPrivate(const fs::path& path)
{
    DWORD error = ERROR_SUCCESS;
    const HANDLE handle = OpenFolderItself(path, error);
    std::string refusal = handle == INVALID_HANDLE_VALUE ? Win32ErrorText(error) + "." : HandleRefusal(handle);
    if (!refusal.empty()) {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
        throw Error("Cannot use the folder \"" + path.string() + "\". " + refusal);
    }
    return TFolderHandle(path, AsDescriptor(handle));
}

std::optional<TFolderHandle> TFolderHandle::Open(const fs::path& path, int& error)
{
    const HANDLE handle = CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | FILE_TRAVERSE | SYNCHRONIZE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = static_cast<int>(GetLastError());
        return std::nullopt;
    }
    return TFolderHandle(path, AsDescriptor(handle));
}

TFolderHandle::TFolderHandle(fs::path path, int descriptor) : path_(std::move(path)), descriptor_(descriptor) {}

TFolderHandle::TFolderHandle(TFolderHandle&& other) noexcept
    : path_(std::move(other.path_)), descriptor_(std::exchange(other.descriptor_, -1))
{
}

TFolderHandle& TFolderHandle::operator=(TFolderHandle&& other) noexcept
{
    if (this != &other) {
        if (descriptor_ != -1)
            CloseHandle(AsHandle(descriptor_));
        path_ = std::move(other.path_);
        descriptor_ = std::exchange(other.descriptor_, -1);
    }
    return *this;
}

TFolderHandle::~TFolderHandle()
{
    if (descriptor_ != -1)
        CloseHandle(AsHandle(descriptor_));
}

std::optional<TFolderHandle> TFolderHandle::Duplicate(int& error) const
{
    HANDLE copy = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), AsHandle(descriptor_), GetCurrentProcess(), &copy, 0, FALSE,
                         DUPLICATE_SAME_ACCESS)) {
        error = static_cast<int>(GetLastError());
        return std::nullopt;
    }
    return TFolderHandle(path_, AsDescriptor(copy));
}

bool TFolderHandle::StillAtItsPath() const
{
    DWORD error = ERROR_SUCCESS;
    const HANDLE named = OpenFolderItself(path_, error);
    if (named == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION held{};
    BY_HANDLE_FILE_INFORMATION found{};
    const bool same = GetFileInformationByHandle(AsHandle(descriptor_), &held)
                      && GetFileInformationByHandle(named, &found)
                      && (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0
                      && held.dwVolumeSerialNumber == found.dwVolumeSerialNumber
                      && held.nFileIndexHigh == found.nFileIndexHigh && held.nFileIndexLow == found.nFileIndexLow;
    CloseHandle(named);
    return same;
}

TPrivateFile TPrivateFile::Create(const TFolderHandle& folder, const std::string& prefix, const std::string& suffix)
{
    int error = 0;
    std::optional<TFolderHandle> own = folder.Duplicate(error);
    for (int attempt = 0;; ++attempt) {
        const std::string name = NewName(prefix, suffix);
        const fs::path path = folder.Path() / fs::path(WideText(name));
        if (!own)
            throw FileCreateError(path.string(), Win32ErrorText(static_cast<DWORD>(error)));
        // A new name only: never an existing file, never through a link.
        const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ,
                                          nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                                          nullptr);
        if (handle != INVALID_HANDLE_VALUE)
            return TPrivateFile(std::move(*own), name, AsDescriptor(handle));
        const DWORD code = GetLastError();
        if ((code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) || attempt == kCreateAttempts)
            throw FileCreateError(path.string(), Win32ErrorText(code));
    }
}

TPrivateFile TPrivateFile::Create(const fs::path& folder, const std::string& prefix, const std::string& suffix)
{
    int error = 0;
    std::optional<TFolderHandle> handle = TFolderHandle::Open(folder, error);
    if (!handle)
        throw FileCreateError((folder / NewName(prefix, suffix)).string(),
                              Win32ErrorText(static_cast<DWORD>(error)));
    return Create(*handle, prefix, suffix);
}

TPrivateFile TPrivateFile::CreateBeside(const TFolderHandle& folder, const std::string& name)
{
    const fs::path target = folder.Path() / fs::path(WideText(name));
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0
        && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        throw FileCreateError(target.string(), Win32ErrorText(ERROR_ACCESS_DENIED));
    return Create(folder, name + ".", ".part");
}

TPrivateFile TPrivateFile::CreateBeside(const fs::path& target)
{
    int error = 0;
    std::optional<TFolderHandle> folder = TFolderHandle::Open(target.parent_path(), error);
    if (!folder)
        throw FileCreateError(target.string(), Win32ErrorText(static_cast<DWORD>(error)));
    return CreateBeside(*folder, target.filename().string());
}

TPrivateFile::TPrivateFile(TFolderHandle folder, std::string name, int descriptor)
    : folder_(std::move(folder)),
      name_(std::move(name)),
      path_(folder_->Path() / fs::path(WideText(name_))),
      descriptor_(descriptor)
{
}

std::string TPrivateFile::TryWrite(std::span<const std::uint8_t> bytes)
{
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!WriteFile(AsHandle(descriptor_), bytes.data(), wanted, &written, nullptr))
            return LastErrorText();
        bytes = bytes.subspan(written);
    }
    return {};
}

std::uint64_t TPrivateFile::Position() const
{
    LARGE_INTEGER none{};
    LARGE_INTEGER position{};
    return SetFilePointerEx(AsHandle(descriptor_), none, &position, FILE_CURRENT)
               ? static_cast<std::uint64_t>(position.QuadPart)
               : 0;
}

std::uint64_t TPrivateFile::Size() const
{
    LARGE_INTEGER size{};
    return GetFileSizeEx(AsHandle(descriptor_), &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
}

void TPrivateFile::CutBack(std::uint64_t position)
{
    LARGE_INTEGER offset{};
    offset.QuadPart = static_cast<LONGLONG>(position);
    if (!SetFilePointerEx(AsHandle(descriptor_), offset, nullptr, FILE_BEGIN) || !SetEndOfFile(AsHandle(descriptor_)))
        throw Error("Cannot write file " + Quoted(path_) + ". " + LastErrorText());
}

std::unique_ptr<TFileBlocks> TPrivateFile::ReadBlocks() const
{
    return std::make_unique<THandleBlocks>(
        ReOpenFile(AsHandle(descriptor_), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0));
}

void TPrivateFile::RenameTo(const std::string& name)
{
    const fs::path target = folder_.value().Path() / fs::path(WideText(name));  // none once the file is closed
    if (!RenameHandle(AsHandle(descriptor_), target, true))
        throw Error(RenameError(name));
    Close();
}

void TPrivateFile::RenameToNew(const std::string& name)
{
    const fs::path target = folder_.value().Path() / fs::path(WideText(name));  // none once the file is closed
    if (!RenameHandle(AsHandle(descriptor_), target, false))
        throw Error(RenameError(name));
    Close();
}

std::string TPrivateFile::RenameError(const std::string& name) const
{
    const std::string reason = LastErrorText();
    return "Cannot rename " + Quoted(path_) + " to " + Quoted(folder_->Path() / fs::path(WideText(name))) + ". "
           + reason;
}

void TPrivateFile::Discard()
{
    if (descriptor_ == -1)
        return;
    // Deleting through the handle deletes this very file, whatever its name now.
    FILE_DISPOSITION_INFO disposition{TRUE};
    SetFileInformationByHandle(AsHandle(descriptor_), FileDispositionInfo, &disposition, sizeof disposition);
    Close();
}

void TPrivateFile::Close()
{
    if (descriptor_ != -1)
        CloseHandle(AsHandle(std::exchange(descriptor_, -1)));
    folder_.reset();
    name_.clear();
    path_.clear();
}

}  // namespace quorvex
