#include "QtTestEnvironment.h"

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv)
{
    const auto runtime = PrepareQtTestEnvironment();
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvex"));
    return RUN_ALL_TESTS();
}
