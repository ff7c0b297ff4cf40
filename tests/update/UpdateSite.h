// The update site for the update checker's tests: the nginx of the ctest
// fixture update_peers (tests/http/peers/peers.sh with peers/site.conf),
// whose files each test writes for itself, and a private home for the
// test's cache (where the private temporary folder is made), data and Wine
// folders.
#pragma once

#include "tests/fixtures/FakeUpdateSeams.h"
#include "tests/fixtures/TestSupport.h"
#include "ui/qt/update/VelkAppUpdate.h"

#include <QApplication>
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace quorvex::test {

// The first visible top-level window of a type, or none.
template <class TWindow>
TWindow* VisibleWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<TWindow*>(widget); window != nullptr && window->isVisible())
            return window;
    }
    return nullptr;
}

// Runs an action once, from the event loop, when a window of the type shows.
template <class TWindow>
class TWhenShown {
public:
    explicit TWhenShown(std::function<void(TWindow&)> action) : action_(std::move(action))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (TWindow* window = VisibleWindow<TWindow>()) {
                timer_.stop();
                ++times_;
                action_(*window);
            }
        });
        timer_.start(10);
    }
    int Times() const { return times_; }

private:
    std::function<void(TWindow&)> action_;
    QTimer timer_;
    int times_ = 0;
};

// Records the class of every window that is shown while it lives.
class TShownWindows : public QObject {
public:
    TShownWindows();
    ~TShownWindows() override;
    QStringList Classes;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

QByteArray RandomBytes(qsizetype size);

// What the download says when it starts an installer, and when it refuses one
// for its signature.
inline const TShownMessage kWillClose{QStringLiteral("Information"),
                                      QStringLiteral("The application will close to start the update."),
                                      TMsgDlgType::Information, TMsgDlgButtons::Ok};
inline const TShownMessage kNotSigned{QStringLiteral("Error"),
                                      QStringLiteral("The downloaded file is not signed by its publisher."),
                                      TMsgDlgType::Error, TMsgDlgButtons::Ok};
inline const TShownMessage kNotThePublishers{QStringLiteral("Error"),
                                             QStringLiteral("The downloaded file's signature is not its publisher's."),
                                             TMsgDlgType::Error, TMsgDlgButtons::Ok};

class UpdateSite : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A path of the site, under this test's own folder (and the given
    // folder of the site's configuration, like "slow").
    QString Mine(const QString& name, const QString& siteFolder = QString()) const;
    void Serve(const QString& path, const QByteArray& bytes) const;
    QString Url(const QString& path) const;
    // An update information file with an update section of the keys given.
    static QByteArray UpdateInfo(const QList<QPair<QString, QString>>& keys, const QString& section = UpdateSection());
    // Where downloads go in this test: its data folder's "Downloaded Installations".
    QString DownloadFolderPath() const;
    QStringList Downloaded() const;
    // A check whose notification window starts the download at once.
    bool CheckAndDownload();
    // A peer's log: "nginx/access.log" or "proxy/stdout.log".
    static QString PeerLog(const char* log);
    QString AccessLog() const { return PeerLog("nginx/access.log"); }
    // How often nginx's access log names a request, once it names it at
    // least `expected` times or a few seconds have passed: nginx logs a
    // request only after its client may have seen the whole answer.
    qsizetype LoggedRequests(const QString& request, qsizetype expected) const;

    QString nginxPort;
    QString proxyPort;
    QString folder;  // of this test on the site
    QTemporaryDir home;
    // The private temporary folder of the check's "AU" files.
    QString TemporaryFolderPath() const;

    std::optional<TScopedEnv> cacheHome;
    std::optional<TScopedEnv> dataHome;
    std::optional<TScopedEnv> winePrefix;
    TFakeUpdateSeams seams;
    TVelkAppUpdate update{seams.Update};
};

}  // namespace quorvex::test
