// Where the forms' tests run: on a Wine prefix, a temporary prefix holding
// the synthetic messenger, put in use for the test's life; on Windows, the
// system as it is.
#pragma once

#ifdef QUORVEX_WINE_PREFIX
#include "tests/fixtures/TestSupport.h"
#endif

namespace quorvex::test {

#ifdef QUORVEX_WINE_PREFIX
using TFormPrefix = TFakePrefix;
#else
struct TFormPrefix {};
#endif

}  // namespace quorvex::test
