#include "ui/Seams.h"

#include <QColorDialog>
#include <QCursor>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QUrl>

namespace quorvex {
namespace {

QMessageBox::Icon IconOf(TMsgDlgType type)
{
    switch (type) {
    case TMsgDlgType::Plain: return QMessageBox::NoIcon;
    case TMsgDlgType::Information: return QMessageBox::Information;
    case TMsgDlgType::Confirmation: return QMessageBox::Question;
    case TMsgDlgType::Warning: return QMessageBox::Warning;
    case TMsgDlgType::Error: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ButtonsOf(TMsgDlgButtons buttons)
{
    switch (buttons) {
    case TMsgDlgButtons::Ok: return QMessageBox::Ok;
    case TMsgDlgButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case TMsgDlgButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case TMsgDlgButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

TModalResult ResultOf(int button)
{
    switch (button) {
    case QMessageBox::Yes: return TModalResult::Yes;
    case QMessageBox::No: return TModalResult::No;
    case QMessageBox::Cancel: return TModalResult::Cancel;
    default: return TModalResult::Ok;
    }
}

class TDesktopMessageBoxes final : public IMessageBoxes {
public:
    TModalResult Show(QWidget* parent, const QString& caption, const QString& text,
                      TMsgDlgType type, TMsgDlgButtons buttons) override
    {
        QMessageBox box(IconOf(type), caption, text, ButtonsOf(buttons), parent);
        return ResultOf(box.exec());
    }
};

class TDesktopFolderPicker final : public IFolderPicker {
public:
    std::optional<QString> Pick(QWidget* parent, const QString& prompt,
                                const QString& startFolder) override
    {
        const QString folder = QFileDialog::getExistingDirectory(parent, prompt, startFolder);
        if (folder.isEmpty())
            return std::nullopt;
        return folder;
    }
};

class TDesktopColorDialog final : public IColorDialog {
public:
    std::optional<QColor> Pick(QWidget* parent, const QColor& initial) override
    {
        const QColor colour = QColorDialog::getColor(initial, parent);
        if (!colour.isValid())
            return std::nullopt;
        return colour;
    }
};

class TDesktopScreen final : public IScreenSampler {
public:
    std::optional<QColor> PixelAt(const QPoint& globalPosition) override
    {
        QScreen* screen = QGuiApplication::screenAt(globalPosition);
        if (screen == nullptr)
            return std::nullopt;
        const QPoint local = globalPosition - screen->geometry().topLeft();
        const QImage pixel = screen->grabWindow(0, local.x(), local.y(), 1, 1).toImage();
        if (pixel.isNull())
            return std::nullopt;
        return pixel.pixelColor(0, 0);
    }
};

class TDesktopPointer final : public IPointer {
public:
    QPoint Position() override { return QCursor::pos(); }
};

bool IsUrl(const QString& target)
{
    const QUrl url(target);
    return url.isValid() && url.scheme().size() > 1 && !url.isLocalFile();
}

// Windows programs (the messenger, an installer) run under Wine in the
// prefix; Wine resolves their Windows paths itself. Everything else goes to
// the desktop's handler for the URL or file.
class TDesktopShell final : public IShell {
public:
    void Open(const QString& /*verb*/, const QString& target, int /*showCommand*/) override
    {
        if (target.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
            QProcess::startDetached(QStringLiteral("wine"), {target});
        else if (IsUrl(target))
            QDesktopServices::openUrl(QUrl(target));
        else
            QDesktopServices::openUrl(QUrl::fromLocalFile(target));
    }
};

}  // namespace

TSeams DesktopSeams()
{
    return TSeams{
        std::make_shared<TDesktopMessageBoxes>(), std::make_shared<TDesktopFolderPicker>(),
        std::make_shared<TDesktopColorDialog>(),  std::make_shared<TDesktopScreen>(),
        std::make_shared<TDesktopPointer>(),      std::make_shared<TDesktopShell>(),
    };
}

TSeams& Seams()
{
    static TSeams seams = DesktopSeams();
    return seams;
}

}  // namespace quorvex
