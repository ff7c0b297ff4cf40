// GoogleTest entry point with the application object that the update
// windows need, on the offscreen platform unless another is chosen.
#include "ui/qt/QtEventPump.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // The update checker's requests serve the application's loop while they wait.
    const quorvex::TQtEventPump pump;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
