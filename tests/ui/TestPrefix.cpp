#include "TestPrefix.h"

#include "platform/wine/WinePrefix.h"
#include "tools/fakemessenger/FakeMessenger.h"

#include <QFile>

namespace quorvex::test {
namespace {

void WriteText(const QString& path, const std::string& text)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(text.data(), static_cast<qint64>(text.size()));
}

void PutFile(const QString& path, bool present)
{
    if (present)
        WriteText(path, "x");
    else
        QFile::remove(path);
}

}  // namespace

TTestPrefix::TTestPrefix(const TMessengerSetup& setup)
{
    QDir(prefix_.path()).mkpath(QStringLiteral("drive_c"));
    QDir(prefix_.path()).mkpath(QStringLiteral("dosdevices"));
    QFile::link(QStringLiteral("../drive_c"), prefix_.path() + QStringLiteral("/dosdevices/c:"));
    qputenv("WINEPREFIX", prefix_.path().toLocal8Bit());
    UseWinePrefix({});
    QDir::setCurrent(working_.path());
    Install(setup);
}

TTestPrefix::~TTestPrefix()
{
    QDir::setCurrent(previousWorkingFolder_);
    // A prefix chosen through a folder field goes with the test.
    UseWinePrefix({});
    if (previousPrefix_.isNull())
        qunsetenv("WINEPREFIX");
    else
        qputenv("WINEPREFIX", previousPrefix_);
}

void TTestPrefix::Install(const TMessengerSetup& setup) const
{
    TFakeMessengerOptions options;
    options.Version = setup.Version.value_or("");
    options.LaunchOnStartup = setup.LaunchOnStartup;
    options.SmileySearch = setup.SmileySearch;
    options.Plural = setup.Plural;
    WriteText(prefix_.path() + QStringLiteral("/system.reg"), FakeSystemRegistry(options));
    WriteText(prefix_.path() + QStringLiteral("/user.reg"), FakeUserRegistry(options));
}

void TTestPrefix::PutOnDriveC(const QString& name, bool present) const
{
    PutFile(DriveC() + QLatin1Char('/') + name, present);
}

void TTestPrefix::PutInWorkingFolder(const QString& name, bool present) const
{
    PutFile(working_.path() + QLatin1Char('/') + name, present);
}

}  // namespace quorvex::test
