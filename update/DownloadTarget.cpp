#include "update/DownloadTarget.h"

#include "platform/PrivateFile.h"
#include "platform/PrivateFolder.h"
#include "platform/wine/WinePrefix.h"

#include <QStandardPaths>

namespace quorvex {
namespace {

const QString kSeparator = QStringLiteral("/");

QString WithSeparator(const QString& folder)
{
    return folder.endsWith(kSeparator) ? folder : folder + kSeparator;
}

bool IsPrivateFolder(const QString& path)
{
    return PrivateFolderRefusal(path.toStdString()).empty();
}

}  // namespace

TSpecialFolders SystemSpecialFolders()
{
    return TSpecialFolders{
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
        QString::fromStdString((WinePrefix() / "drive_c" / "windows").string()),
        QString::fromStdString(PrivateTemporaryFolder().string()),
    };
}

QString DownloadFolder(const TSpecialFolders& folders)
{
    QStringList candidates;
    if (!folders.LocalAppData.isEmpty()) {
        candidates.append(WithSeparator(folders.LocalAppData) + QStringLiteral("Downloaded Installations/"));
        candidates.append(WithSeparator(folders.LocalAppData) + QStringLiteral("Temp/"));
    }
    candidates.append(WithSeparator(folders.Windows) + QStringLiteral("Downloaded Installations/"));
    for (const QString& candidate : std::as_const(candidates)) {
        if (IsPrivateFolder(candidate))
            return candidate;
    }
    QString temp = folders.Temp;
    while (temp.endsWith(kSeparator))
        temp.chop(1);
    return temp + kSeparator;
}

QString URLFileName(const QString& url)
{
    return url.mid(url.lastIndexOf(QLatin1Char('/')) + 1);
}

bool IsPlainFileName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('\\')) && !name.contains(QLatin1Char('/'))
           && !name.contains(QLatin1String(".."));
}

}  // namespace quorvex
