#include "UpdateSite.h"

#include "tests/http/peers/Peers.h"
#include "ui/qt/update/VelkAppUpdateNotify.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRandomGenerator>
#include <QThread>
#include <QWidget>

namespace quorvex::test {
namespace {

QString SiteRoot()
{
    return PeerDir() + QStringLiteral("/nginx/root/");
}

QString TestFolderName()
{
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    QString name = QString::fromLatin1(test->test_suite_name()) + QLatin1Char('.') + QString::fromLatin1(test->name());
    return name.replace(QLatin1Char('/'), QLatin1Char('_'));
}

}  // namespace

TShownWindows::TShownWindows()
{
    qApp->installEventFilter(this);
}

TShownWindows::~TShownWindows()
{
    qApp->removeEventFilter(this);
}

bool TShownWindows::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow())
        Classes.append(QString::fromLatin1(watched->metaObject()->className()));
    return false;
}

QByteArray RandomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(static_cast<quint32>(size));
    for (char& byte : bytes)
        byte = static_cast<char>(generator.bounded(256));
    return bytes;
}

void UpdateSite::SetUp()
{
    nginxPort = PeerPort("nginx");
    proxyPort = PeerPort("proxy");
    ASSERT_FALSE(nginxPort.isEmpty() || proxyPort.isEmpty())
        << "the peers are started by the ctest fixture update_peers (QUORVEX_PEER_DIR)";
    folder = TestFolderName();
    ASSERT_TRUE(home.isValid());
    for (const char* sub : {"cache", "data/Downloaded Installations", "wine/drive_c/windows"})
        ASSERT_TRUE(QDir(home.path()).mkpath(QLatin1String(sub)));
    cacheHome.emplace("XDG_CACHE_HOME", home.filePath(QStringLiteral("cache")).toStdString());
    dataHome.emplace("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toStdString());
    winePrefix.emplace("WINEPREFIX", home.filePath(QStringLiteral("wine")).toStdString());
    update.SetVersion(QStringLiteral("1.0.4.9"));
    update.SetUpdateFileURL(Url(Mine(QStringLiteral("QuorvexUpdate.txt"))));
    update.SetUpdatePageURL(QStringLiteral("http://quorvex.example.com/"));
}

// No check leaves a temporary file of its own behind.
void UpdateSite::TearDown()
{
    EXPECT_EQ(QDir(TemporaryFolderPath()).entryList({QStringLiteral("AU*")}, QDir::Files | QDir::Hidden), QStringList());
    winePrefix.reset();
    dataHome.reset();
    cacheHome.reset();
}

QString UpdateSite::TemporaryFolderPath() const
{
    return home.filePath(QStringLiteral("cache/quorvex"));
}

QString UpdateSite::Mine(const QString& name, const QString& siteFolder) const
{
    return (siteFolder.isEmpty() ? QString() : siteFolder + QLatin1Char('/')) + folder + QLatin1Char('/') + name;
}

void UpdateSite::Serve(const QString& path, const QByteArray& bytes) const
{
    const QString file = SiteRoot() + path;
    ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(out.write(bytes), bytes.size());
}

QString UpdateSite::Url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1/%2").arg(nginxPort, path);
}

QByteArray UpdateSite::UpdateInfo(const QList<QPair<QString, QString>>& keys, const QString& section)
{
    QByteArray text = "; The update information of Quorvex\r\n[Other]\r\nVersion=99\r\n[" + section.toUtf8() + "]\r\n";
    for (const auto& [key, value] : keys)
        text += key.toUtf8() + '=' + value.toUtf8() + "\r\n";
    return text;
}

QString UpdateSite::DownloadFolderPath() const
{
    return home.filePath(QStringLiteral("data/Downloaded Installations"));
}

QStringList UpdateSite::Downloaded() const
{
    return QDir(DownloadFolderPath()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

bool UpdateSite::CheckAndDownload()
{
    TWhenShown<TVelkAppUpdateNotifyBox> whenShown([](TVelkAppUpdateNotifyBox& notify) {
        QTimer::singleShot(0, notify.DownloadButton, &QPushButton::click);
    });
    return update.Execute(true);
}

QString UpdateSite::PeerLog(const char* name)
{
    QFile log(PeerDir() + QLatin1Char('/') + QLatin1String(name));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll());
}

qsizetype UpdateSite::LoggedRequests(const QString& request, qsizetype expected) const
{
    const QDeadlineTimer deadline(5000);
    qsizetype count = AccessLog().count(request);
    while (count < expected && !deadline.hasExpired()) {
        QThread::msleep(20);
        count = AccessLog().count(request);
    }
    return count;
}

}  // namespace quorvex::test
