// The program's ways out to the user and the desktop: message boxes (and the
// application error report, which is one of them), the folder picker, the
// colour dialog, the screen pixel sampler, the pointer position, the shell
// and the request to end the application.
// Windows reach them only through Seams(), so tests answer them and record
// what was asked instead of opening real dialogs.
#pragma once

#include "ui/qt/update/UpdateSeams.h"

#include <QColor>
#include <QPoint>
#include <QString>

#include <memory>
#include <optional>

class QWidget;

namespace quorvex {

class IFolderPicker {
public:
    virtual ~IFolderPicker() = default;
    // The chosen folder, or nothing when the user cancelled.
    virtual std::optional<QString> Pick(QWidget* parent, const QString& prompt,
                                        const QString& startFolder) = 0;
};

class IColorDialog {
public:
    virtual ~IColorDialog() = default;
    // The accepted colour, or nothing when the user cancelled.
    virtual std::optional<QColor> Pick(QWidget* parent, const QColor& initial) = 0;
};

class IScreenSampler {
public:
    virtual ~IScreenSampler() = default;
    // The colour the screen shows at a global position; nothing when no
    // screen covers it or it cannot be read.
    virtual std::optional<QColor> PixelAt(const QPoint& globalPosition) = 0;
};

class IPointer {
public:
    virtual ~IPointer() = default;
    virtual QPoint Position() = 0;  // in global screen coordinates
};

// The update checker's seams (message boxes, the shell, the request to end
// the application) and the windows' own.
struct TSeams : TUpdateSeams {
    std::shared_ptr<IFolderPicker> FolderPicker;
    std::shared_ptr<IColorDialog> ColorDialog;
    std::shared_ptr<IScreenSampler> Screen;
    std::shared_ptr<IPointer> Pointer;
};

// Hands a target to the desktop's shell; when it cannot be opened, the
// application error report says why: "Cannot open "<target>". <reason>".
void OpenReportingFailure(const QString& verb, const QString& target, int showCommand);

// The process-wide seams; they start as the desktop implementations.
TSeams& Seams();
TSeams DesktopSeams();

}  // namespace quorvex
