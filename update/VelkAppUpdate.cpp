#include "update/VelkAppUpdate.h"

#include "http/HttpCli.h"
#include "platform/Error.h"
#include "platform/PrivateFile.h"
#include "update/PrivateProfile.h"
#include "update/PrivateSink.h"
#include "update/UpdateHttp.h"
#include "update/UpdateText.h"
#include "update/UpdateVersion.h"
#include "update/UpdateWindows.h"
#include "update/VelkAppUpdateNotify.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPalette>
#include <QPushButton>
#include <QScopeGuard>

#include <algorithm>
#include <optional>

namespace quorvex {
namespace {

QStringList ReadmeLines(const QByteArray& bytes)
{
    QStringList lines;
    for (const std::string& line : SplitLines(DecodeTextFile(std::string_view(bytes.constData(), bytes.size()))))
        lines.append(QString::fromStdString(line));
    return lines;
}

TWindowFont InfoTextFont(const QString& family)
{
    return TWindowFont{QFont(family, 9), QGuiApplication::palette().color(QPalette::ToolTipText)};
}

// Fetches url with the client into a new temporary file "AU...tmp" in the
// private temporary folder and returns what arrived, or nothing when the
// request failed (the client's status tells why). A body longer than limit
// ends the transfer at once and raises an Error naming what was fetched.
std::optional<QByteArray> Fetch(THttpCli& client, const QString& url, qint64 limit, const QString& what)
{
    TPrivateSink sink(TPrivateFile::Create(PrivateTemporaryFolder(), "AU", ".tmp"));
    bool tooLarge = false;
    client.OnDocData = [&tooLarge, limit](THttpCli* sender, const char*, std::int64_t) {
        if (!tooLarge && sender->RcvdCount() > limit) {
            tooLarge = true;
            sender->Abort();
        }
    };
    const auto detach = qScopeGuard([&client] {
        client.SetRcvdStream(nullptr);
        client.OnDocData = nullptr;
    });
    client.SetURL(url.toStdString());
    if (!GetInto(client, sink)) {
        if (tooLarge)
            throw Error(
                QStringLiteral("The %1 at %2 is larger than %3 KB.").arg(what, url).arg(limit / 1024).toStdString());
        return std::nullopt;
    }
    return sink.ReadBack(limit);
}

}  // namespace

QString UpdateSection()
{
    static const QString section = [] {
        std::vector<std::string> arguments;
        for (const QString& argument : QCoreApplication::arguments())
            arguments.push_back(argument.toStdString());
        return QString::fromStdString(UpdateSectionName(
            QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString(), arguments));
    }();
    return section;
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
    THttpCli client;
    ConfigureUpdateClient(client);
    client.SetProxy(proxyAddress_.toStdString());
    client.SetProxyPort(proxyPort_.toStdString());
    bool timeUp = false;
    if (NoMessageDlg) {
        seams_.Deadline->Start(kSilentCheckTime, [&timeUp, &client] {
            timeUp = true;
            client.Abort();
        });
    }
    const auto stopDeadline = qScopeGuard([this] { seams_.Deadline->Stop(); });

    TUpdateInformation information;
    std::optional<QStringList> readme;  // unset while nothing replaced the readme area's empty line
    if (!updateFileURL_.isEmpty()) {
        if (!ReadUpdateInformation(client, information))
            readme = QStringList{RequestFailureLine(client)};
        if (information.UpdatePageURL.isEmpty())
            information.UpdatePageURL = updatePageURL_;
    }
    if (!timeUp && !information.ReadmeFileURL.isEmpty()) {
        const std::optional<QByteArray> bytes =
            Fetch(client, information.ReadmeFileURL, kReadmeLimit, QStringLiteral("readme"));
        readme = bytes ? ReadmeLines(*bytes) : QStringList{RequestFailureLine(client)};
    }
    seams_.Deadline->Stop();
    if (timeUp)
        return false;
    if (IsOlderVersion(version_.toStdString(), information.Version.toStdString()))
        return ShowNotification(information, readme);
    if (!NoMessageDlg)
        TellNoNewerVersion(information);
    return false;
}

// False when the request failed; nothing is read then.
bool TVelkAppUpdate::ReadUpdateInformation(THttpCli& client, TUpdateInformation& information) const
{
    const std::optional<QByteArray> bytes =
        Fetch(client, updateFileURL_, kUpdateInformationLimit, QStringLiteral("update information file"));
    if (!bytes)
        return false;
    const TPrivateProfile profile = TPrivateProfile::FromBytes(std::string_view(bytes->constData(), bytes->size()));
    const std::string section = UpdateSection().toStdString();
    const auto read = [&](const char* key) { return QString::fromStdString(profile.ReadString(section, key)); };
    information.DownloadFileURL = read("DownloadFileURL");
    information.ReadmeFileURL = read("ReadmeFileURL");
    information.UpdatePageURL = read("UpdatePageURL");
    information.Version = read("Version");
    information.CRC32Hash = read("CRC32Hash");
    information.MD5Hash = read("MD5Hash");
    information.SHA1Hash = read("SHA1Hash");
    information.EdSignature = read("EdSignature");
    return true;
}

bool TVelkAppUpdate::ShowNotification(const TUpdateInformation& information,
                                      const std::optional<QStringList>& readme) const
{
    TVelkAppUpdateNotifyBox box(seams_);
    box.SetWindowFont(font_);
    box.SetReadmeFont(fontReadme_);
    box.HttpCli1->SetProxy(proxyAddress_.toStdString());
    box.HttpCli1->SetProxyPort(proxyPort_.toStdString());
    box.FileSizeUnit = fileSizeUnit_;
    box.HashType = hashType_;
    box.UpdatePublicKey = updatePublicKey_;
    static_cast<TUpdateInformation&>(box) = information;
    if (readme)
        box.SetReadmeLines(*readme);
    box.DownloadButton->setEnabled(!box.DownloadFileURL.isEmpty());
    box.exec();
    box.RaiseDownloadError();
    return true;
}

void TVelkAppUpdate::TellNoNewerVersion(const TUpdateInformation& information) const
{
    if (!information.Version.isEmpty() || information.UpdatePageURL.isEmpty()) {
        ShowUpdateMessage(*seams_.Messages, nullptr, QStringLiteral("There are no new versions available."),
                          TMsgDlgType::Information);
        return;
    }
    const QString question =
        QStringLiteral("There are no advertised versions available.\rDo you want to open the update web page?");
    if (ShowUpdateMessage(*seams_.Messages, nullptr, question, TMsgDlgType::Confirmation, TMsgDlgButtons::YesNo)
        == TModalResult::Yes)
        seams_.Shell->Open(QStringLiteral("open"), information.UpdatePageURL, SW_SHOWNORMAL);
}

}  // namespace quorvex
