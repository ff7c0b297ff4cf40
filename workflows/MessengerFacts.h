// The option rules' facts as the installed messenger gives them: the
// registry, the Wine prefix's files and the working folder, read at each call.
#pragma once

#include "workflows/OptionRules.h"

namespace quorvex {

class TQuorvex;

class TMessengerFacts final : public IOptionFacts {
public:
    explicit TMessengerFacts(TQuorvex& engine) : engine_(engine) {}

    std::string MessengerVersion() override;
    bool AutoStartOn() override;
    bool BackupExists() override;
    bool HtmlReplacementExists() override;

private:
    TQuorvex& engine_;
};

}  // namespace quorvex
