// The HTTP client serves the program's one event pump, which lives in the
// platform layer beneath the engine and the client alike.
#pragma once

#include "platform/EventPump.h"
