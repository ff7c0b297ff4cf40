// GoogleTest entry point with the event loop whose posted actions and timers
// the HTTP client's requests serve while they wait.
#include "TestEventLoop.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    const quorvex::test::TTestEventLoop loop;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
