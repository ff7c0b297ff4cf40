// GoogleTest entry point with the Qt application object whose event loop the
// HTTP client's requests serve while they wait (the tests' loopback servers
// and timers run on it).
#include "ui/qt/QtEventPump.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const quorvex::TQtEventPump pump;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
