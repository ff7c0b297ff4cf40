// The program's ways out to the user and the desktop: message boxes (and the
// application error report, which is one of them), the folder picker, the
// colour dialog, the screen pixel sampler, the pointer position and the shell.
// Windows reach them only through Seams(), so tests answer them and record
// what was asked instead of opening real dialogs.
#pragma once

#include <QColor>
#include <QPoint>
#include <QString>

#include <memory>
#include <optional>

class QWidget;

namespace quorvex {

enum class TMsgDlgType { Plain, Information, Confirmation, Warning, Error };
enum class TMsgDlgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class TModalResult { Ok, Cancel, Yes, No };

// The show commands that the windows hand to the shell.
enum TShowCommand : int { SW_HIDE = 0, SW_SHOWNOACTIVATE = 4, SW_RESTORE = 9 };

class IMessageBoxes {
public:
    virtual ~IMessageBoxes() = default;
    // Shows a modal message box and returns the button the user pressed.
    virtual TModalResult Show(QWidget* parent, const QString& caption, const QString& text,
                              TMsgDlgType type, TMsgDlgButtons buttons) = 0;
};

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

class IShell {
public:
    virtual ~IShell() = default;
    // Hands a file, a program or a URL to the desktop without waiting for it;
    // failures are not reported (no caller examines them).
    virtual void Open(const QString& verb, const QString& target, int showCommand) = 0;
};

struct TSeams {
    std::shared_ptr<IMessageBoxes> Messages;
    std::shared_ptr<IFolderPicker> FolderPicker;
    std::shared_ptr<IColorDialog> ColorDialog;
    std::shared_ptr<IScreenSampler> Screen;
    std::shared_ptr<IPointer> Pointer;
    std::shared_ptr<IShell> Shell;
};

// The process-wide seams; they start as the desktop implementations.
TSeams& Seams();
TSeams DesktopSeams();

}  // namespace quorvex
