#include "ui/qt/WinePaths.h"

#include "platform/Platform.h"
#include "platform/wine/WinePrefix.h"

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

}  // namespace quorvex
