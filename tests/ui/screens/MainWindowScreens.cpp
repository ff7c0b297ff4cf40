// Screenshots of the main window for a person to look at: each of its eight
// tabs in turn, then the help window and the editor, on a synthetic messenger 10.0.0.1270 in
// a temporary prefix.
// Run it under Xvfb with the fonts the package depends on, and again with
// only the base fonts (fonts-dejavu-extra left out through fontconfig, not
// uninstalled):
//
//   xvfb-run -a -s "-screen 0 1024x768x24" build/tests/ui/main_window_screens /tmp/screens/full
//   FONTCONFIG_FILE=$PWD/tests/ui/screens/base-fonts.conf xvfb-run -a -s "-screen 0 1024x768x24"
//       build/tests/ui/main_window_screens /tmp/screens/base      (one command line)
//
// It writes tab-1.png to tab-8.png, help-window.png and edit-window.png into
// the given folder (the Windows windows': tests/ui/win32/screens.sh) and prints the font
// that stands in for Tahoma. (That every tab is reachable with both sets of
// fonts is tested: MainWindowLayout and MainWindowLayoutWithBaseFonts.)
// Message boxes and the shell are answered by fakes; the start-up update
// check resolves no names, so it ends at once.
#include "tests/qtmain/ScreensMain.h"
#include "tests/ui/FakeSeams.h"
#include "tools/fakemessenger/FakeMessenger.h"
#include "ui/qt/Startup.h"

#include <QApplication>
#include <QDir>
#include <QFontInfo>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtCore/qtestsupport_core.h>

#include <cstdio>

namespace quorvex::test {
namespace {

// Clicks the main window's button and takes the picture of the window it shows.
void ShootWindow(QWidget& main, const char* button, const char* window, const QString& path)
{
    main.findChild<QPushButton*>(QString::fromLatin1(button))->click();
    QTest::qWait(400);
    for (QWidget* shown : QApplication::topLevelWidgets()) {
        if (shown->objectName() == QString::fromLatin1(window) && shown->isVisible()) {
            shown->grab().save(path);
            std::printf("%s: \"%s\"\n", qPrintable(path), qPrintable(shown->windowTitle()));
        }
    }
}

int Run(const QString& outputFolder)
{
    QTemporaryDir prefix;
    if (!prefix.isValid() || !QDir().mkpath(outputFolder)) {
        std::fprintf(stderr, "main_window_screens: a folder cannot be made\n");
        return 1;
    }
    TFakeMessengerOptions messenger;
    messenger.Version = "10.0.0.1270";
    CreateFakeMessenger(prefix.path().toStdString(), messenger);
    qputenv("WINEPREFIX", prefix.path().toLocal8Bit());
    QDir::setCurrent(prefix.path());

    TFakeSeams seams;
    TQuorvexWindows windows = CreateWindows();
    windows.main->show();
    auto* tabs = windows.main->findChild<QTabWidget*>(QStringLiteral("pcMain"));
    std::printf("window font: %s\n", qPrintable(QFontInfo(windows.main->font()).family()));
    for (int index = 0; index < tabs->count(); ++index) {
        tabs->setCurrentIndex(index);
        QTest::qWait(400);
        const QString path = outputFolder + QStringLiteral("/tab-%1.png").arg(index + 1);
        windows.main->grab().save(path);
        std::printf("%s: \"%s\"\n", qPrintable(path), qPrintable(tabs->tabText(index)));
    }
    // The help window and the HTML replacement file editor, opened as their buttons open them.
    ShootWindow(*windows.main, "btnHelp", "frmHelp", outputFolder + QStringLiteral("/help-window.png"));
    ShootWindow(*windows.main, "btnReplace", "frmEdit", outputFolder + QStringLiteral("/edit-window.png"));
    return 0;
}

}  // namespace
}  // namespace quorvex::test

int main(int argc, char** argv)
{
    return ScreensMain(argc, argv, "main_window_screens", quorvex::test::Run);
}
