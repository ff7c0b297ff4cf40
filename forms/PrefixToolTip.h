// The tool tip of the main window's folder fields and version labels: which
// Wine prefix is in use and why, or what is wrong with it.
#pragma once

#include "workflows/MessengerLocation.h"

#include <string>

namespace quorvex {

// Names the Wine prefix in use and why it is the one, or says what is wrong
// with it; when the Wine front-ends' folders were searched in vain, it lists
// them; below it, why a registry file there cannot be read, one line each.
// Empty where there is no Wine prefix.
std::string PrefixToolTip(const TMessengerLocation& location);

}  // namespace quorvex
