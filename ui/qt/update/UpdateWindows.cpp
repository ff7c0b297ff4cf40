#include "ui/qt/update/UpdateWindows.h"

#include <QGuiApplication>
#include <QLocale>
#include <QPalette>
#include <QScreen>
#include <QWidget>

namespace quorvex {

Qt::WindowFlags UpdateDialogFlags()
{
    return Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
           | Qt::WindowCloseButtonHint;
}

void CentreOnScreen(QWidget* window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

void FixAndCentre(QWidget& window)
{
    window.setFixedSize(window.size());
    CentreOnScreen(&window);
}

QFont PixelFont(const QString& family, int pixelHeight)
{
    QFont font(family);
    font.setPixelSize(pixelHeight);
    return font;
}

TWindowFont DesignFont(const QString& family, int pixelHeight)
{
    return TWindowFont{PixelFont(family, pixelHeight), QGuiApplication::palette().color(QPalette::WindowText)};
}

QString LocaleFileSize(std::int64_t bytes, TVelkAppUpdateFileSizeUnit unit)
{
    return QString::fromStdString(FormatFileSize(bytes, unit, QLocale().groupSeparator().toStdString()));
}

}  // namespace quorvex
