// The application error report's text, shared by the windows and the command
// line.
#include "platform/Error.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

struct TFullStopCase {
    const char* Message;
    const char* Shown;
};

class ErrorReportText : public ::testing::TestWithParam<TFullStopCase> {};

TEST_P(ErrorReportText, AddsAFullStopAfterACharacterAboveIt)
{
    EXPECT_EQ(quorvex::ErrorReportText(GetParam().Message), GetParam().Shown);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ErrorReportText,
    ::testing::Values(TFullStopCase{"Unable to load Yahoo Messenger data.", "Unable to load Yahoo Messenger data."},
                      TFullStopCase{"Cannot create file \"C:\\BlankQuorvex.html\". Permission denied",
                                    "Cannot create file \"C:\\BlankQuorvex.html\". Permission denied."},
                      TFullStopCase{"'abc' is not a valid integer value", "'abc' is not a valid integer value."},
                      TFullStopCase{"quoted \"value\"", "quoted \"value\""},
                      TFullStopCase{"ends with a bracket)", "ends with a bracket)"},
                      TFullStopCase{"ends with a dash -", "ends with a dash -"},
                      TFullStopCase{"ends with a slash /", "ends with a slash /."},
                      TFullStopCase{"ends with a digit 7", "ends with a digit 7."},
                      TFullStopCase{"Cannot create file \"C:\\caf\xc3\xa9\"", "Cannot create file \"C:\\caf\xc3\xa9\""},
                      TFullStopCase{"ends with caf\xc3\xa9", "ends with caf\xc3\xa9."},
                      TFullStopCase{"", ""}));

}  // namespace
}  // namespace quorvex
