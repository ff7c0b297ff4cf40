// The Win32 private folder and files: a private folder for the user alone,
// the refusal of folders that others can write into and of links, files
// created only under new names and read back without moving the writer, and
// renames that replace or refuse an existing name.
#include "Win32TestSupport.h"
#include "platform/PrivateFile.h"
#include "platform/PrivateFolder.h"
#include "platform/win32/Win32Text.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <fstream>

namespace quorvex::test {
namespace {

namespace fs = std::filesystem;

// Gives Everyone the right to add files to the folder.
void LetEveryoneWrite(const fs::path& folder)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
        (L"D:P(A;OICI;FA;;;" + WideText(CurrentUserId()) + L")(A;;0x2;;;WD)").c_str(),
        SDDL_REVISION_1, &descriptor, nullptr));
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL access = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &access, &defaulted));
    std::wstring path = folder.wstring();
    EXPECT_EQ(SetNamedSecurityInfoW(path.data(), SE_FILE_OBJECT,
                                    DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                    access, nullptr),
              static_cast<DWORD>(ERROR_SUCCESS));
    LocalFree(descriptor);
}

std::string ReadAll(TFileBlocks& blocks)
{
    std::string text;
    std::uint8_t block[7];
    EXPECT_TRUE(blocks.Rewind());
    while (const std::optional<std::size_t> count = blocks.Read(block)) {
        if (*count == 0)
            break;
        text.append(reinterpret_cast<const char*>(block), *count);
    }
    return text;
}

TEST(Win32PrivateFolder, MadeForTheUserAloneAndOthersRefused)
{
    TWin32TempFolder root;
    const fs::path mine = root.Path() / "mine";
    EXPECT_EQ(EnsurePrivateFolder(mine), "");
    EXPECT_EQ(PrivateFolderRefusal(mine), "");
    EXPECT_EQ(EnsurePrivateFolder(mine), "");  // an existing private folder is kept

    const fs::path shared = root.Path() / "shared";
    ASSERT_EQ(EnsurePrivateFolder(shared), "");
    LetEveryoneWrite(shared);
    EXPECT_EQ(PrivateFolderRefusal(shared), "Other users can write into it.");
    EXPECT_EQ(ThrownMessage([&] { TFolderHandle::OpenPrivate(shared); }),
              "Cannot use the folder \"" + shared.string() + "\". Other users can write into it.");

    const fs::path file = root.Path() / "file";
    std::ofstream(file) << "x";
    EXPECT_EQ(PrivateFolderRefusal(file), "It is not a folder but a link or a file.");
    EXPECT_NE(PrivateFolderRefusal(root.Path() / "missing"), "");
}

TEST(Win32PrivateFile, NewNamesOnlyReadBackWithoutMovingTheWriter)
{
    TWin32TempFolder root;
    ASSERT_EQ(EnsurePrivateFolder(root.Path() / "private"), "");
    const TFolderHandle folder = TFolderHandle::OpenPrivate(root.Path() / "private");
    EXPECT_TRUE(folder.StillAtItsPath());

    TPrivateFile file = TPrivateFile::CreateBeside(folder, "setup.exe");
    EXPECT_EQ(file.Path().parent_path(), root.Path() / "private");
    EXPECT_TRUE(file.Path().filename().string().starts_with("setup.exe."));
    file.Write(Bytes("first part, "));
    const std::unique_ptr<TFileBlocks> reader = file.ReadBlocks();
    EXPECT_EQ(ReadAll(*reader), "first part, ");
    file.Write(Bytes("second part"));  // goes on after what was written, not after what was read
    EXPECT_EQ(ReadAll(*reader), "first part, second part");
    EXPECT_EQ(file.Position(), 23u);
    file.CutBack(6);
    file.Write(Bytes("again"));
    EXPECT_EQ(ReadAll(*reader), "first again");
    EXPECT_EQ(file.Size(), 11u);

    // Whatever had the name is replaced; the new name only where it is free.
    std::ofstream(root.Path() / "private" / "setup.exe") << "old";
    std::ofstream(root.Path() / "private" / "key") << "old key";
    TPrivateFile key = TPrivateFile::CreateBeside(folder, "key");
    EXPECT_NE(ThrownMessage([&] { key.RenameToNew("key"); }), "(no error)");
    file.RenameTo("setup.exe");
    std::ifstream renamed(root.Path() / "private" / "setup.exe");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(renamed), {}), "first again");
    renamed.close();
    key.Discard();
    EXPECT_EQ(root.Names().size(), 1u);
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(root.Path() / "private"))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"key", "setup.exe"}));
}

TEST(Win32PrivateFile, TheTemporaryFolderIsPrivate)
{
    const fs::path folder = PrivateTemporaryFolder();
    EXPECT_EQ(folder.filename(), "Quorvex");
    EXPECT_EQ(PrivateFolderRefusal(folder), "");
    {
        TPrivateFile file = TPrivateFile::Create(folder, "AU", ".tmp");
        EXPECT_TRUE(fs::exists(file.Path()));
        const fs::path path = file.Path();
        file.Discard();
        EXPECT_FALSE(fs::exists(path));
    }
}

}  // namespace
}  // namespace quorvex::test
