#include "ui/qt/update/VelkAppUpdate.h"

#include "forms/UpdateNotifyForm.h"
#include "http/HttpCli.h"
#include "update/UpdateCheck.h"
#include "update/UpdateHttp.h"
#include "update/UpdateVersion.h"
#include "ui/qt/update/UpdateWindows.h"
#include "ui/qt/update/VelkAppUpdateNotify.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPalette>
#include <QPushButton>
#include <QScopeGuard>

namespace quorvex {
namespace {

TWindowFont InfoTextFont(const QString& family)
{
    return TWindowFont{QFont(family, 9), QGuiApplication::palette().color(QPalette::ToolTipText)};
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
    const TUpdateCheckSettings settings{updateFileURL_.toStdString(), updatePageURL_.toStdString(),
                                        version_.toStdString(), UpdateSection().toStdString()};
    const TUpdateCheckResult result = RunUpdateCheck(client, settings, [&timeUp] { return timeUp; });
    seams_.Deadline->Stop();
    if (timeUp)
        return false;
    if (result.Newer)
        return ShowNotification(result);
    if (!NoMessageDlg)
        TellNoNewerVersion(result.Information);
    return false;
}

bool TVelkAppUpdate::ShowNotification(const TUpdateCheckResult& result) const
{
    TVelkAppUpdateNotifyBox box(seams_);
    box.SetWindowFont(font_);
    box.SetReadmeFont(fontReadme_);
    box.HttpCli1->SetProxy(proxyAddress_.toStdString());
    box.HttpCli1->SetProxyPort(proxyPort_.toStdString());
    box.FileSizeUnit = fileSizeUnit_;
    box.HashType = hashType_;
    box.UpdatePublicKey = updatePublicKey_;
    static_cast<TUpdateInformation&>(box) = result.Information;
    const TUpdateNotifyForm form(result.Information, result.Readme);
    QStringList lines;
    for (const std::string& line : form.ReadmeLines())
        lines.append(QString::fromStdString(line));
    box.SetReadmeLines(lines);
    box.DownloadButton->setEnabled(form.CanDownload());
    box.exec();
    box.RaiseDownloadError();
    return true;
}

void TVelkAppUpdate::TellNoNewerVersion(const TUpdateInformation& information) const
{
    if (!information.Version.empty() || information.UpdatePageURL.empty()) {
        ShowUpdateMessage(*seams_.Messages, nullptr, QStringLiteral("There are no new versions available."),
                          TMsgDlgType::Information);
        return;
    }
    const QString question =
        QStringLiteral("There are no advertised versions available.\rDo you want to open the update web page?");
    if (ShowUpdateMessage(*seams_.Messages, nullptr, question, TMsgDlgType::Confirmation, TMsgDlgButtons::YesNo)
        == TModalResult::Yes)
        seams_.Shell->Open(QStringLiteral("open"), QString::fromStdString(information.UpdatePageURL), SW_SHOWNORMAL);
}

}  // namespace quorvex
