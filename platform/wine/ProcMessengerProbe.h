// The messenger running under Wine: Wine shows no Windows window classes to
// Linux, so the check looks for a process whose command line names the
// messenger's executable.
#pragma once

#include "platform/MessengerProbe.h"

#include <string>
#include <vector>

namespace quorvex {

class TProcMessengerProbe final : public TMessengerProbe {
public:
    bool MessengerRunning() const override;
};

// Whether a command line runs YahooMessenger.exe (any case, any folder):
// as the program itself, which is how Wine shows a running Windows program,
// or as the first argument of a Wine loader that is starting it.
bool CommandLineRunsMessenger(const std::vector<std::string>& arguments);

}  // namespace quorvex
