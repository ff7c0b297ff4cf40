// Shared by the window tests' entry points: the offscreen platform unless
// another is chosen, and a private runtime folder so that single-instance
// locks of a test never meet those of another test or of a running Quorvex.
#pragma once

#include <QByteArray>
#include <QTemporaryDir>

#include <memory>

inline std::unique_ptr<QTemporaryDir> PrepareQtTestEnvironment()
{
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    auto runtime = std::make_unique<QTemporaryDir>();
    qputenv("XDG_RUNTIME_DIR", runtime->path().toLocal8Bit());
    return runtime;
}
