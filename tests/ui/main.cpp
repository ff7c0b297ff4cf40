#include "QtTestEnvironment.h"
#include "ui/qt/Application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    const auto runtime = PrepareQtTestEnvironment();
    ::testing::InitGoogleTest(&argc, argv);
    quorvex::TQuorvexApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
