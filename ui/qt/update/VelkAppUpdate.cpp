#include "ui/qt/update/VelkAppUpdate.h"

#include "update/UpdateVersion.h"
#include "ui/qt/update/VelkAppUpdateNotify.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPalette>

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
    return ExecuteUpdateCheckFlow(settings_, UpdateSection().toStdString(), NoMessageDlg, seams_,
                                  [this](const TUpdateCheckResult& result) { ShowNotification(result); });
}

void TVelkAppUpdate::ShowNotification(const TUpdateCheckResult& result) const
{
    TVelkAppUpdateNotifyBox box(seams_);
    box.SetWindowFont(font_);
    box.SetReadmeFont(fontReadme_);
    box.Flow().Fill(result, settings_);
    box.exec();
    box.Flow().RaiseDownloadError();
}

}  // namespace quorvex
