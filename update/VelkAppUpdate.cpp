#include "update/VelkAppUpdate.h"

#include "http/HttpCli.h"
#include "platform/Error.h"
#include "update/DownloadTarget.h"
#include "update/PrivateProfile.h"
#include "update/UpdateText.h"
#include "update/UpdateWindows.h"
#include "update/VelkAppUpdateNotify.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPalette>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryFile>

#include <algorithm>

namespace quorvex {
namespace {

QString FileNamePart(const QString& path)
{
    const qsizetype separator = std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return path.mid(separator + 1);
}

TWindowFont InfoTextFont(const QString& family)
{
    return TWindowFont{QFont(family, 9), QGuiApplication::palette().color(QPalette::ToolTipText)};
}

// A new, empty file named "AU..." in the temporary folder, open for writing;
// it is deleted when released.
std::unique_ptr<QTemporaryFile> CreateTemporaryFile()
{
    const QString folder = TemporaryFolder();
    auto file = std::make_unique<QTemporaryFile>(folder + QStringLiteral("/AUXXXXXX.tmp"));
    if (!file->open())
        throw Error(
            QStringLiteral("Cannot create a temporary file in \"%1\". %2").arg(folder, file->errorString()).toStdString());
    return file;
}

// Fetches url with the window's client into a new temporary file. On an
// HTTP failure the readme area shows it and nothing is returned. The file is
// closed and detached from the client whatever happens.
std::unique_ptr<QTemporaryFile> Fetch(TVelkAppUpdateNotifyBox& box, const QString& url)
{
    std::unique_ptr<QTemporaryFile> file = CreateTemporaryFile();
    const auto detach = qScopeGuard([&box, sink = file.get()] {
        box.HttpCli1->SetRcvdStream(nullptr);
        sink->close();
    });
    box.HttpCli1->SetURL(url);
    box.HttpCli1->SetRcvdStream(file.get());
    try {
        box.HttpCli1->Get();
    } catch (const EHttpException&) {
        box.ShowRequestFailure();
        return nullptr;
    }
    return file;
}

}  // namespace

QString UpdateSectionName(const QString& executableFileName, const QStringList& arguments)
{
    QString name = executableFileName;
    if (name == QLatin1String("rundll32.exe")) {
        const QString library = arguments.value(1);
        name = FileNamePart(library.left(library.indexOf(QLatin1Char(','))));
    }
    return name.left(name.indexOf(QLatin1Char('.')));
}

QString UpdateSection()
{
    static const QString section = UpdateSectionName(QFileInfo(QCoreApplication::applicationFilePath()).fileName(),
                                                     QCoreApplication::arguments());
    return section;
}

bool IsOlderVersion(const QString& version, const QString& than)
{
    return QString::compare(version, than, Qt::CaseSensitive) < 0;
}

TVelkAppUpdate::TVelkAppUpdate(TUpdateSeams& seams, QObject* owner)
    : QObject(owner),
      seams_(seams),
      font_(InfoTextFont(QStringLiteral("Segoe UI"))),
      fontReadme_(InfoTextFont(QStringLiteral("Calibri")))
{
    UpdateSection();
}

TVelkAppUpdate::~TVelkAppUpdate() = default;

bool TVelkAppUpdate::Execute(bool NoMessageDlg)
{
    TVelkAppUpdateNotifyBox box(seams_);
    Configure(box);
    if (!updateFileURL_.isEmpty())
        ReadUpdateInformation(box);
    if (!box.ReadmeFileURL.isEmpty())
        ReadReadme(box);
    box.DownloadButton->setEnabled(!box.DownloadFileURL.isEmpty());
    if (IsOlderVersion(version_, box.Version)) {
        box.exec();
        box.RaiseDownloadError();
        return true;
    }
    if (!NoMessageDlg)
        TellNoNewerVersion(box);
    return false;
}

void TVelkAppUpdate::Configure(TVelkAppUpdateNotifyBox& box) const
{
    box.SetWindowFont(font_);
    box.SetReadmeFont(fontReadme_);
    box.HttpCli1->SetProxy(proxyAddress_);
    box.HttpCli1->SetProxyPort(proxyPort_);
    box.FileSizeUnit = fileSizeUnit_;
    box.HashType = hashType_;
}

void TVelkAppUpdate::ReadUpdateInformation(TVelkAppUpdateNotifyBox& box) const
{
    if (const std::unique_ptr<QTemporaryFile> file = Fetch(box, updateFileURL_)) {
        const TPrivateProfile profile = TPrivateProfile::Load(file->fileName());
        const QString section = UpdateSection();
        box.DownloadFileURL = profile.ReadString(section, QStringLiteral("DownloadFileURL"));
        box.ReadmeFileURL = profile.ReadString(section, QStringLiteral("ReadmeFileURL"));
        box.UpdatePageURL = profile.ReadString(section, QStringLiteral("UpdatePageURL"));
        box.Version = profile.ReadString(section, QStringLiteral("Version"));
        box.CRC32Hash = profile.ReadString(section, QStringLiteral("CRC32Hash"));
        box.MD5Hash = profile.ReadString(section, QStringLiteral("MD5Hash"));
        box.SHA1Hash = profile.ReadString(section, QStringLiteral("SHA1Hash"));
    }
    if (box.UpdatePageURL.isEmpty())
        box.UpdatePageURL = updatePageURL_;
}

void TVelkAppUpdate::ReadReadme(TVelkAppUpdateNotifyBox& box) const
{
    const std::unique_ptr<QTemporaryFile> file = Fetch(box, box.ReadmeFileURL);
    if (!file)
        return;
    QFile readme(file->fileName());
    if (readme.open(QIODevice::ReadOnly))
        box.SetReadmeLines(SplitLines(DecodeTextFile(readme.readAll())));
}

void TVelkAppUpdate::TellNoNewerVersion(const TVelkAppUpdateNotifyBox& box) const
{
    if (!box.Version.isEmpty() || box.UpdatePageURL.isEmpty()) {
        ShowUpdateMessage(*seams_.Messages, nullptr, QStringLiteral("There are no new versions available."),
                          TMsgDlgType::Information);
        return;
    }
    const QString question =
        QStringLiteral("There are no advertised versions available.\rDo you want to open the update web page?");
    if (ShowUpdateMessage(*seams_.Messages, nullptr, question, TMsgDlgType::Confirmation, TMsgDlgButtons::YesNo)
        == TModalResult::Yes)
        seams_.Shell->Open(QStringLiteral("open"), box.UpdatePageURL, SW_SHOWNORMAL);
}

}  // namespace quorvex
