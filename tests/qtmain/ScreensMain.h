// The entry point of a screenshot program: the application object, then the
// program's run on the output folder given as its one argument.
#pragma once

#include "ui/qt/Application.h"

#include <QString>

#include <cstdio>

template <class TRun>
int ScreensMain(int argc, char** argv, const char* name, TRun run)
{
    quorvex::TQuorvexApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", name);
        return 2;
    }
    return run(QString::fromLocal8Bit(argv[1]));
}
