#include "ui/qt/Seams.h"

#include "ui/qt/Application.h"

#include <QColorDialog>
#include <QCursor>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

namespace quorvex {
namespace {

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

}  // namespace

TSeams DesktopSeams()
{
    return TSeams{
        {DesktopMessageBoxes(), DesktopShell(), DesktopApplicationControl(), DesktopDeadlineTimer()},
        std::make_shared<TDesktopFolderPicker>(),
        std::make_shared<TDesktopColorDialog>(),
        std::make_shared<TDesktopScreen>(),
        std::make_shared<TDesktopPointer>(),
    };
}

void OpenReportingFailure(const QString& verb, const QString& target, int showCommand)
{
    Seams().Shell->Open(verb.toStdString(), target.toStdString(), showCommand, [target](const std::string& reason) {
        ReportApplicationError(QStringLiteral("Cannot open \"%1\". %2").arg(target, QString::fromStdString(reason)));
    });
}

TSeams& Seams()
{
    static TSeams seams = DesktopSeams();
    return seams;
}

}  // namespace quorvex
