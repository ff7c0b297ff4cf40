// The Win32 file backend: whole-file reads and writes, atomic replacement,
// and the refusals Windows makes (read-only files, folders, missing folders).
#include "platform/Error.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Text.h"
#include "tests/platform/win32/Win32TestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>
// windows.h names DeleteFileA or DeleteFileW so; the tests call TFileSystem's.
#undef DeleteFile

#include <chrono>
#include <functional>
#include <optional>
#include <thread>

namespace quorvex::test {
namespace {

using namespace std::chrono_literals;

void Put(const std::string& path, const std::string& text)
{
    TWin32FileSystem().WriteFile(path, Bytes(text));
}

std::string Read(const std::string& path)
{
    const std::vector<std::uint8_t> bytes = TWin32FileSystem().ReadFile(path);
    return {bytes.begin(), bytes.end()};
}

TEST(Win32FileSystem, WriteReplacesTheWholeFileUnderAnyNameAndLeavesNoTemporaryFile)
{
    // Names outside the ANSI code page need the wide-character API.
    const std::string names[] = {"YahooMessenger.exe", "Mëssenger Ψ 信使.xml", "skin file.XML"};
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        TWin32TempFolder folder;
        const TWin32FileSystem files;
        Put(folder / name, "the first, longer content");
        Put(folder / name, "new");
        EXPECT_EQ(Read(folder / name), "new");
        EXPECT_TRUE(files.FileExists(folder / name));
        EXPECT_EQ(folder.Names(), std::vector<std::string>{name});
    }
}

TEST(Win32FileSystem, RelativeNamesResolveAgainstTheWorkingFolder)
{
    TWin32TempFolder folder;
    wchar_t previous[MAX_PATH + 1];
    ASSERT_NE(::GetCurrentDirectoryW(MAX_PATH + 1, previous), 0u);
    ASSERT_TRUE(::SetCurrentDirectoryW(folder.Path().c_str()));
    const TWin32FileSystem files;
    files.WriteFile("YahooMessenger.bak", Bytes("backup"));
    const bool existsRelative = files.FileExists("YahooMessenger.bak");
    ::CreateDirectoryW(L"taken", nullptr);
    const std::string refusal =
        ThrownMessage<FileCreateError>([&] { files.WriteFile("taken", Bytes("backup")); });
    ::SetCurrentDirectoryW(previous);
    EXPECT_TRUE(existsRelative);
    EXPECT_EQ(Read(folder / "YahooMessenger.bak"), "backup");
    EXPECT_EQ(refusal, "Cannot create file \"" + folder / "taken" + "\". " + Win32ErrorText(ERROR_ACCESS_DENIED))
        << "a message names the file by its full path";
}

// A target that Windows refuses to replace, and the system error it reports.
struct TRefusal {
    const char* what;
    std::function<std::string(const TWin32TempFolder&)> make;  // returns the target path
    DWORD error;
    std::vector<std::string> namesAfter;
};

TEST(Win32FileSystem, RefusedWritesNameTheSystemsReasonAndChangeNothing)
{
    const TRefusal refusals[] = {
        {"a read-only file (Wine alone would replace it)",
         [](const TWin32TempFolder& folder) {
             Put(folder / "IMWindow.xml", "stock");
             ::SetFileAttributesW(WideText(folder / "IMWindow.xml").c_str(), FILE_ATTRIBUTE_READONLY);
             return folder / "IMWindow.xml";
         },
         ERROR_ACCESS_DENIED, {"IMWindow.xml"}},
        {"a folder",
         [](const TWin32TempFolder& folder) {
             ::CreateDirectoryW(WideText(folder / "Messenger").c_str(), nullptr);
             return folder / "Messenger";
         },
         ERROR_ACCESS_DENIED, {"Messenger"}},
        {"a missing folder", [](const TWin32TempFolder& folder) { return folder / "skins\\Default\\IMWindow.xml"; },
         ERROR_PATH_NOT_FOUND, {}},
    };
    for (const TRefusal& refusal : refusals) {
        SCOPED_TRACE(refusal.what);
        TWin32TempFolder folder;
        const std::string path = refusal.make(folder);
        EXPECT_EQ(ThrownMessage<FileCreateError>([&] { Put(path, "patched"); }),
                  "Cannot create file \"" + path + "\". " + Win32ErrorText(refusal.error));
        EXPECT_EQ(folder.Names(), refusal.namesAfter) << "nothing is added, nothing is left behind";
    }
}

TEST(Win32FileSystem, AWriteWaitsForAnotherWritersChangeLockAndFailsWhenItsWaitEnds)
{
    TWin32TempFolder folder;
    const std::string target = folder / "user.reg";
    Put(target, "old");
    // Another Quorvex process replacing the file holds its lock file so.
    const HANDLE held = ::CreateFileW(WideText(folder / ".user.reg.quorvex-lock").c_str(), DELETE, 0, nullptr,
                                      OPEN_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ThrownMessage<FileCreateError>([&] { TWin32FileSystem(300ms).WriteFile(target, Bytes("new")); }),
              "Cannot create file \"" + target + "\". The file is in use by another Quorvex process.");
    EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
    EXPECT_EQ(Read(target), "old");

    std::thread letGo([held] {
        std::this_thread::sleep_for(200ms);
        ::CloseHandle(held);
    });
    Put(target, "new");
    letGo.join();
    EXPECT_EQ(Read(target), "new");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"user.reg"}) << "no lock file is left";
}

TEST(Win32FileSystem, AReadOnlyFileKeepsItsContentAndIsNotDeleted)
{
    TWin32TempFolder folder;
    const TWin32FileSystem files;
    const std::string path = folder / "YahooMessenger.exe";
    Put(path, "stock");
    ASSERT_TRUE(::SetFileAttributesW(WideText(path).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_THROW(Put(path, "patched"), FileCreateError);
    EXPECT_FALSE(files.DeleteFile(path));
    EXPECT_EQ(Read(path), "stock");

    ASSERT_TRUE(::SetFileAttributesW(WideText(path).c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(files.DeleteFile(path));
    EXPECT_FALSE(files.FileExists(path));
    EXPECT_FALSE(files.DeleteFile(path)) << "nothing left to delete";
}

TEST(Win32FileSystem, ExistsAndDeleteConcernFilesOnly)
{
    TWin32TempFolder folder;
    const TWin32FileSystem files;
    ASSERT_TRUE(::CreateDirectoryW(WideText(folder / "sub").c_str(), nullptr));
    EXPECT_FALSE(files.FileExists(folder / "sub"));
    EXPECT_FALSE(files.DeleteFile(folder / "sub"));
    EXPECT_FALSE(files.FileExists(folder / "missing"));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"sub"});
}

TEST(Win32FileSystem, ReadsAreRefusedWithTheSystemsReason)
{
    TWin32TempFolder folder;
    const std::string missing = folder / "missing.exe";
    EXPECT_EQ(ThrownMessage([&] { Read(missing); }),
              "Cannot open file \"" + missing + "\". " + Win32ErrorText(ERROR_FILE_NOT_FOUND));

    // The executable is read sharing it with readers only: a program that
    // holds it open for writing makes the read fail, as Windows does.
    const std::string held = folder / "YahooMessenger.exe";
    Put(held, "image");
    const HANDLE writer = ::CreateFileW(WideText(held).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ThrownMessage([&] { Read(held); }),
              "Cannot open file \"" + held + "\". " + Win32ErrorText(ERROR_SHARING_VIOLATION));
    ::CloseHandle(writer);
    EXPECT_EQ(Read(held), "image");
}

// Writes text over the start of the file, keeping the file itself.
void OverwriteInPlace(const std::string& path, const std::string& text)
{
    const HANDLE file = ::CreateFileW(WideText(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    EXPECT_TRUE(::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
    ::CloseHandle(file);
}

TEST(Win32FileSystem, AFileIsReplacedOnlyWhileItKeepsTheIdentityItWasLoadedWith)
{
    TWin32TempFolder folder;
    const TWin32FileSystem files;
    const std::string target = folder / "YahooMessenger.exe";
    Put(target, "the executable");
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"rewritten in place, same size", [&] { OverwriteInPlace(target, "THE"); }},
        {"replaced by another writer", [&] { Put(target, "patched by another Quorvex"); }},
    };
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        const std::optional<TFileIdentity> loaded = files.Identity(target);
        ASSERT_TRUE(loaded.has_value());
        change();
        const std::string changed = Read(target);
        EXPECT_FALSE(files.ReplaceUnchangedFile(target, Bytes("a stale image"), *loaded));
        EXPECT_EQ(Read(target), changed);
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"YahooMessenger.exe"}) << "no temporary file is left";
    }
    EXPECT_TRUE(files.ReplaceUnchangedFile(target, Bytes("saved"), *files.Identity(target)));
    EXPECT_EQ(Read(target), "saved");

    const std::optional<TFileIdentity> loaded = files.Identity(target);
    ASSERT_TRUE(files.DeleteFile(target));
    EXPECT_FALSE(files.ReplaceUnchangedFile(target, Bytes("saved"), *loaded));
    EXPECT_FALSE(files.FileExists(target));
}

TEST(Win32FileSystem, AFileIsCopiedOnlyWhileItKeepsTheIdentityItWasSeenWith)
{
    TWin32TempFolder folder;
    const TWin32FileSystem files;
    const std::string source = folder / "YahooMessenger.exe";
    const std::string backup = folder / "YahooMessenger.bak";
    Put(source, "the executable");
    const std::optional<TFileIdentity> identity = files.Identity(source);
    ASSERT_TRUE(identity.has_value());
    EXPECT_EQ(identity->Size, 14u);
    EXPECT_EQ(files.Identity(source), identity) << "looking is no change";
    EXPECT_TRUE(files.CopyUnchangedFile(source, *identity, backup));
    EXPECT_EQ(Read(backup), "the executable");
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"YahooMessenger.bak", "YahooMessenger.exe"}));

    const std::pair<const char*, std::function<void()>> changes[] = {
        {"rewritten in place, same size", [&] { OverwriteInPlace(source, "THE"); }},
        {"replaced by a file of the same content", [&] { Put(source, "the executable"); }},
    };
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        const std::optional<TFileIdentity> before = files.Identity(source);
        change();
        EXPECT_NE(files.Identity(source), before);
        EXPECT_FALSE(files.CopyUnchangedFile(source, *before, backup));
        EXPECT_EQ(Read(backup), "the executable") << "the target is untouched";
    }

    // Held open for writing, it could change while it is read: not copied.
    const HANDLE writer = ::CreateFileW(WideText(source).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(files.CopyUnchangedFile(source, *files.Identity(source), folder / "held.bak"));
    ::CloseHandle(writer);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"YahooMessenger.bak", "YahooMessenger.exe"}));

    ::CreateDirectoryW(WideText(folder / "sub").c_str(), nullptr);
    EXPECT_EQ(files.Identity(folder / "sub"), std::nullopt);
    EXPECT_EQ(files.Identity(folder / "missing.exe"), std::nullopt);
}

}  // namespace
}  // namespace quorvex::test
