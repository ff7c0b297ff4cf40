// What the main window reads of the installed messenger: the option rules'
// facts and the two settings that the advert options' captions follow.
#pragma once

#include "workflows/MessengerFacts.h"

namespace quorvex {

class TQuorvex;

// Asked anew at each use.
class IMessengerReads : public IOptionFacts {
public:
    virtual bool MultiOn() = 0;   // multiple instances of the messenger are allowed
    virtual bool SmileyOn() = 0;  // the smiley search is on
};

// The reads through the patch engine, as the program makes them.
class TEngineReads final : public IMessengerReads {
public:
    explicit TEngineReads(TQuorvex& engine) : engine_(engine), facts_(engine) {}

    std::string MessengerVersion() override { return facts_.MessengerVersion(); }
    bool AutoStartOn() override { return facts_.AutoStartOn(); }
    bool BackupExists() override { return facts_.BackupExists(); }
    bool HtmlReplacementExists() override { return facts_.HtmlReplacementExists(); }
    bool MultiOn() override;
    bool SmileyOn() override;

private:
    TQuorvex& engine_;
    TMessengerFacts facts_;
};

}  // namespace quorvex
