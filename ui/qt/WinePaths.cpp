#include "ui/qt/WinePaths.h"

#include "platform/Error.h"
#include "platform/Platform.h"
#include "platform/wine/PrefixDiscovery.h"
#include "platform/wine/WinePrefix.h"
#include "platform/wine/WineRegistry.h"

#include <QDir>

#include <filesystem>

namespace quorvex {

std::optional<QString> ExistingNativeFolder(const QString& folderText)
{
    if (folderText.isEmpty())
        return std::nullopt;
    const std::filesystem::path native = FileSystem().NativePath(folderText.toStdString());
    std::error_code error;
    if (!std::filesystem::is_directory(native, error))
        return std::nullopt;
    return QString::fromStdString(native.string());
}

QString WindowsFolderText(const QString& nativeFolder)
{
    std::error_code error;
    const std::filesystem::path driveC =
        std::filesystem::canonical(WinePrefix() / "dosdevices" / "c:", error);
    if (error)
        return nativeFolder;
    const QString drive = QDir::cleanPath(QString::fromStdString(driveC.string()));
    const std::filesystem::path chosen =
        std::filesystem::weakly_canonical(nativeFolder.toStdString(), error);
    if (error)
        return nativeFolder;
    const QString folder = QDir::cleanPath(QString::fromStdString(chosen.string()));
    if (folder == drive)
        return QStringLiteral("C:\\");
    if (!folder.startsWith(drive + QLatin1Char('/')))
        return nativeFolder;
    return QStringLiteral("C:") + folder.mid(drive.size()).replace(QLatin1Char('/'), QLatin1Char('\\'));
}

QString PrefixToolTip(const TMessengerLocation& location)
{
    if (!location.Prefix)
        return {};
    const std::filesystem::path& prefix = location.Prefix->Prefix;
    const QString reason = QString::fromStdString(PrefixReasonText(location.Prefix->Reason));
    const std::optional<std::string> problem = PrefixProblem(location);
    QString tip;
    if (!problem) {
        tip = QStringLiteral("Wine prefix: %1, %2").arg(QString::fromStdString(prefix.string()), reason);
    } else {
        tip = QStringLiteral("%1 (%2).").arg(QString::fromStdString(*problem), reason);
        if (location.Prefix->Reason == TPrefixReason::Environment || location.Prefix->Reason == TPrefixReason::Default) {
            tip += QStringLiteral("\nNo messenger in the Wine front-ends' folders searched:");
            for (const std::filesystem::path& folder : FrontEndFolders())
                tip += QStringLiteral("\n") + QString::fromStdString(folder.string());
        }
    }
    for (const std::string& error : RegistryFileErrors(prefix))
        tip += QLatin1Char('\n') + QString::fromStdString(ErrorReportText(error));
    return tip;
}

}  // namespace quorvex
