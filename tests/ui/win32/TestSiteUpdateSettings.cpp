// The update settings of the self-update test's quorvex.exe, linked in place
// of the product's (quorvex_link_first): the update information file and the
// publisher key come from the test through QUORVEX_TEST_UPDATE_FILE_URL and
// QUORVEX_TEST_UPDATE_PUBLIC_KEY, everything else is the product's. Only
// that test program carries this; the product's quorvex.exe takes its
// settings from no one.
#include "platform/Error.h"
#include "update/UpdateCheck.h"
#include "update/UpdateSettings.h"
#include "quorvex/BuildConfig.h"

#include <cstdlib>
#include <string>

namespace quorvex {
namespace {

std::string FromTest(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0')
        throw Error(std::string("This test build of Quorvex needs ") + name + ".");
    return value;
}

}  // namespace

TUpdateSettings ProgramUpdateSettings()
{
    TUpdateSettings settings;
    settings.UpdateFileURL = FromTest("QUORVEX_TEST_UPDATE_FILE_URL");
    settings.UpdatePageURL = ProductUpdatePageURL();
    settings.Version = config::kVersion;
    settings.UpdatePublicKey = FromTest("QUORVEX_TEST_UPDATE_PUBLIC_KEY");
    return settings;
}

}  // namespace quorvex
