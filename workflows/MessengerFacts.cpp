#include "workflows/MessengerFacts.h"

#include "engine/TQuorvex.h"
#include "platform/Platform.h"

namespace quorvex {

std::string TMessengerFacts::MessengerVersion()
{
    return YahooVersion();
}

bool TMessengerFacts::AutoStartOn()
{
    return engine_.CheckAuto();
}

bool TMessengerFacts::BackupExists()
{
    return FileSystem().FileExists("YahooMessenger.bak");
}

bool TMessengerFacts::HtmlReplacementExists()
{
    return FileSystem().FileExists(std::string(kAdvertHtmlPath));
}

}  // namespace quorvex
