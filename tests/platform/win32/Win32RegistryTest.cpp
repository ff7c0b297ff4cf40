// The Win32 registry backend: the 32-bit view of HKEY_LOCAL_MACHINE, and the
// values of HKEY_CURRENT_USER keys read, written and deleted.
#include "platform/Error.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Text.h"
#include "tests/platform/win32/Win32TestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <stdexcept>

namespace quorvex::test {
namespace {

// A key made by the test under <root>\Software in one registry view, removed
// with its values afterwards.
class TTestKey {
public:
    TTestKey(HKEY root, const std::string& path, REGSAM view) : root_(root), path_(WideText(path)), view_(view)
    {
        const LSTATUS status = ::RegCreateKeyExW(root_, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view_,
                                                 nullptr, &key_, nullptr);
        if (status != ERROR_SUCCESS)
            throw std::runtime_error("cannot create the test key: " + Win32ErrorText(status));
    }
    ~TTestKey()
    {
        ::RegCloseKey(key_);
        ::RegDeleteTreeW(root_, path_.c_str());
        ::RegDeleteKeyExW(root_, path_.c_str(), view_, 0);
    }
    TTestKey(const TTestKey&) = delete;
    TTestKey& operator=(const TTestKey&) = delete;

    void SetString(const std::string& name, const std::string& text) const
    {
        const std::wstring data = WideText(text);
        ::RegSetValueExW(key_, WideText(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                         static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    }
    void SetDword(const std::string& name, DWORD value) const
    {
        ::RegSetValueExW(key_, WideText(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                         sizeof value);
    }
    // The value's type and bytes as the registry holds them; type 0 when missing.
    std::pair<DWORD, std::vector<std::uint8_t>> Raw(const std::string& name) const
    {
        DWORD type = 0;
        std::vector<std::uint8_t> data(256);
        auto size = static_cast<DWORD>(data.size());
        if (::RegQueryValueExW(key_, WideText(name).c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
            return {0, {}};
        data.resize(size);
        return {type, data};
    }

private:
    HKEY root_;
    std::wstring path_;
    REGSAM view_;
    HKEY key_ = nullptr;
};

TEST(Win32Registry, LocalMachineIsSeenInTheMessengersThirtyTwoBitView)
{
    const std::string path = "Software\\QuorvexViews" + UniqueSuffix();
    const TTestKey view32(HKEY_LOCAL_MACHINE, path, KEY_WOW64_32KEY);
    const TTestKey view64(HKEY_LOCAL_MACHINE, path, KEY_WOW64_64KEY);
    view32.SetString("ProductVersion", "10.0.0.1270");
    view64.SetString("ProductVersion", "64-bit view");

    const auto key = TWin32Registry().OpenKey(TRootKey::LocalMachine, path, TKeyAccess::Read);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->ReadString("ProductVersion"), "10.0.0.1270");

    // The 32-bit view is the one Windows keeps under Wow6432Node.
    const std::string redirected = "Software\\Wow6432Node\\QuorvexViews" + path.substr(path.size() - 8);
    const TTestKey node(HKEY_LOCAL_MACHINE, redirected, KEY_WOW64_64KEY);
    EXPECT_EQ(node.Raw("ProductVersion").first, static_cast<DWORD>(REG_SZ));
}

TEST(Win32Registry, AKeyOnlyInTheSixtyFourBitViewDoesNotOpen)
{
    const std::string path = "Software\\QuorvexViews" + UniqueSuffix();
    const TTestKey view64(HKEY_LOCAL_MACHINE, path, KEY_WOW64_64KEY);
    EXPECT_EQ(TWin32Registry().OpenKey(TRootKey::LocalMachine, path, TKeyAccess::Read), nullptr);
    EXPECT_EQ(TWin32Registry().OpenKey(TRootKey::CurrentUser, path + "\\missing", TKeyAccess::ReadWrite), nullptr);
}

TEST(Win32Registry, CurrentUserValuesAreWrittenAsDwordsAndDeleted)
{
    const std::string path = "Software\\QuorvexTest" + UniqueSuffix() + "\\pager";
    const TTestKey raw(HKEY_CURRENT_USER, path, 0);
    raw.SetDword("Launch on Startup", 1);
    const auto key = TWin32Registry().OpenKey(TRootKey::CurrentUser, path, TKeyAccess::ReadWrite);
    ASSERT_NE(key, nullptr);

    EXPECT_TRUE(key->ValueExists("Launch on Startup"));
    EXPECT_EQ(key->ReadInteger("Launch on Startup"), 1);
    key->WriteInteger("Launch on Startup", 0);
    key->WriteInteger("Plural", -1);
    key->WriteInteger("Smiley Sëarch", 7);
    EXPECT_EQ(raw.Raw("Launch on Startup"), (std::pair<DWORD, std::vector<std::uint8_t>>{REG_DWORD, {0, 0, 0, 0}}));
    EXPECT_EQ(raw.Raw("Plural"),
              (std::pair<DWORD, std::vector<std::uint8_t>>{REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}}));
    EXPECT_EQ(key->ReadInteger("Plural"), -1);
    EXPECT_EQ(key->ReadInteger("Smiley Sëarch"), 7);

    EXPECT_TRUE(key->DeleteValue("Plural"));
    EXPECT_FALSE(key->ValueExists("Plural"));
    EXPECT_EQ(raw.Raw("Plural").first, 0u);
    EXPECT_FALSE(key->DeleteValue("Plural")) << "nothing left to delete";
}

TEST(Win32Registry, WrongTypesMissingValuesAndRefusedWritesNameTheValue)
{
    const std::string path = "Software\\QuorvexTest" + UniqueSuffix();
    const TTestKey raw(HKEY_CURRENT_USER, path, 0);
    raw.SetString("Text", "on");
    raw.SetDword("Number", 5);
    const auto key = TWin32Registry().OpenKey(TRootKey::CurrentUser, path, TKeyAccess::ReadWrite);
    ASSERT_NE(key, nullptr);

    const struct {
        const char* what;
        std::function<void()> call;
        std::string message;
    } cases[] = {
        {"a string read as a number", [&] { key->ReadInteger("Text"); }, "Invalid data type for \"Text\""},
        {"a number read as a string", [&] { key->ReadString("Number"); }, "Invalid data type for \"Number\""},
        {"a missing number", [&] { key->ReadInteger("Missing"); }, "Failed to get data for \"Missing\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ThrownMessage<RegistryError>(c.call), c.message);
    }
    EXPECT_EQ(key->ReadString("Missing"), "") << "a missing string reads empty";
    EXPECT_EQ(key->ReadString("Text"), "on");

    const auto readOnly = TWin32Registry().OpenKey(TRootKey::CurrentUser, path, TKeyAccess::Read);
    ASSERT_NE(readOnly, nullptr);
    EXPECT_EQ(ThrownMessage<RegistryError>([&] { readOnly->WriteInteger("Number", 1); }),
              "Failed to set data for \"Number\". " + Win32ErrorText(ERROR_ACCESS_DENIED))
        << "a key opened for reading is not written";
    EXPECT_EQ(key->ReadInteger("Number"), 5);
}

}  // namespace
}  // namespace quorvex::test
