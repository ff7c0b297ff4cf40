// Screenshots of the update windows for a person to look at: the splash,
// the notification window with a readme, and the download window during a
// slow download. Runs against the update tests' peers on a real display:
//
//   tests/http/peers/peers.sh start /tmp/update-peers 1 $PWD/tests/update/peers/site.conf
//   QUORVEX_PEER_DIR=/tmp/update-peers xvfb-run -a -s "-screen 0 1024x768x24"
//       build/tests/update/update_screens /tmp/screens      (one command line)
//   tests/http/peers/peers.sh stop /tmp/update-peers
//
// It writes splash.png, notification.png and download.png (the whole screen)
// into the given folder. Message boxes are answered by fakes; nothing is installed.
#include "tests/fixtures/FakeUpdateSeams.h"
#include "tests/http/peers/Peers.h"
#include "tests/qtmain/ScreensMain.h"
#include "ui/qt/uUpdate.h"
#include "ui/qt/update/UpdateWindows.h"
#include "ui/qt/update/VelkAppUpdate.h"
#include "ui/qt/update/VelkAppUpdateDownload.h"
#include "ui/qt/update/VelkAppUpdateNotify.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace quorvex::test {
namespace {

constexpr char kReadme[] =
    "Quorvex 1.0.5.0\r\n"
    "\r\n"
    "What is new:\r\n"
    "- The advert options know Yahoo Messenger 11.5.\r\n"
    "- The HTML Replacement File editor keeps the colour you picked last.\r\n"
    "- The status window scrolls to the newest line.\r\n"
    "\r\n"
    "Fixed:\r\n"
    "- Restoring the backup works when the messenger folder has a trailing backslash.\r\n"
    "- Check for Update no longer waits on a site that does not answer.\r\n"
    "\r\n"
    "Thanks to everyone who sent in reports and messenger builds.\r\n";

bool Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

void Shoot(const QString& path)
{
    QGuiApplication::primaryScreen()->grabWindow(0).save(path);
    std::printf("%s\n", qPrintable(path));
}

template <class TWindow>
TWindow* Visible()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<TWindow*>(widget); window != nullptr && window->isVisible())
            return window;
    return nullptr;
}

// Calls action once a window of the type is up and has been painted.
template <class TWindow>
void WhenUp(QObject* context, std::function<void(TWindow&)> action)
{
    auto* poll = new QTimer(context);
    QObject::connect(poll, &QTimer::timeout, context, [poll, action] {
        if (TWindow* window = Visible<TWindow>()) {
            poll->stop();
            poll->deleteLater();
            QTimer::singleShot(1200, window, [window, action] { action(*window); });
        }
    });
    poll->start(20);
}

int Run(const QString& outputFolder)
{
    const QString root = PeerDir() + QStringLiteral("/nginx/root/screens/");
    const QString site = QStringLiteral("http://127.0.0.1:%1/").arg(PeerPort("nginx"));
    if (PeerPort("nginx").isEmpty() || !QDir().mkpath(root) || !QDir().mkpath(outputFolder)) {
        std::fprintf(stderr, "update_screens: the peers are not running (QUORVEX_PEER_DIR) or a folder cannot be made\n");
        return 1;
    }
    const QByteArray info = "[" + UpdateSection().toUtf8() + "]\r\nVersion=1.0.5.0\r\nReadmeFileURL=" + site.toUtf8()
                            + "screens/readme.txt\r\nDownloadFileURL=" + site.toUtf8() + "slow.exe\r\n";
    if (!Write(root + QStringLiteral("readme.txt"), kReadme) || !Write(root + QStringLiteral("QuorvexUpdate.txt"), info))
        return 1;
    QTemporaryDir downloads;
    qputenv("XDG_DATA_HOME", downloads.path().toLocal8Bit());

    TFakeUpdateSeams seams;
    TVelkAppUpdate update(seams.Update);
    const TWindowFont tahoma{PixelFont(QStringLiteral("Tahoma"), 12), QApplication::palette().color(QPalette::ToolTipText)};
    update.SetFont(tahoma);
    update.SetFontReadme(tahoma);
    update.SetVersion(QStringLiteral("1.0.4.9"));
    update.SetUpdateFileURL(site + QStringLiteral("screens/QuorvexUpdate.txt"));
    WhenUp<TVelkAppUpdateNotifyBox>(&update, [&](TVelkAppUpdateNotifyBox& notify) {
        Shoot(outputFolder + QStringLiteral("/notification.png"));
        notify.DownloadButton->click();
    });
    WhenUp<TVelkAppUpdateDownloadBox>(&update, [&](TVelkAppUpdateDownloadBox&) {
        Shoot(outputFolder + QStringLiteral("/download.png"));
    });
    // Up around every check, as the main window shows it.
    TfrmUpdate splash;
    splash.ShowNow();
    Shoot(outputFolder + QStringLiteral("/splash.png"));
    update.Execute(true);
    return 0;
}

}  // namespace
}  // namespace quorvex::test

int main(int argc, char** argv)
{
    return ScreensMain(argc, argv, "update_screens", quorvex::test::Run);
}
