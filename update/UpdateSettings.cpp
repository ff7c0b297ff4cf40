#include "update/UpdateSettings.h"

#include "quorvex/BuildConfig.h"
#include "update/UpdateCheck.h"

namespace quorvex {

TUpdateSettings ProgramUpdateSettings()
{
    TUpdateSettings settings;
    settings.UpdateFileURL = ProductUpdateFileURL();
    settings.UpdatePageURL = ProductUpdatePageURL();
    settings.Version = config::kVersion;
    settings.UpdatePublicKey = config::kUpdatePublicKey;
    return settings;
}

}  // namespace quorvex
