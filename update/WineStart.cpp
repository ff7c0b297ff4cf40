#include "update/WineStart.h"

#include "platform/Platform.h"
#include "platform/wine/WinePrefix.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>

#include <algorithm>

namespace quorvex {
namespace {

// Enough of Wine's output for its reasons; the rest is its debug lines.
constexpr qint64 kMaxOutput = 256 * 1024;
constexpr qsizetype kMaxReasonLines = 8;
constexpr char kWine32Missing[] = "it looks like wine32 is missing";
constexpr char kWineNotInstalled[] =
    "Wine is not installed. Install the package wine (as root: apt-get install wine) and try again.";

// "0048:err:module:..." and the like (the thread, perhaps the process and a
// time before it): Wine's debug channels, not its reasons.
bool IsDebugLine(const QString& line)
{
    static const QRegularExpression channel(QStringLiteral("^[0-9a-f.:]+:(err|warn|fixme|trace):"));
    return channel.match(line).hasMatch();
}

QStringList OutputLines(const QByteArray& output)
{
    QStringList lines;
    for (const QString& line : QString::fromLocal8Bit(output).split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty())
            lines.append(line.trimmed());
    }
    return lines;
}

// The lines that follow Wine's hint up to its next message belong to it (the
// commands that install the 32-bit part).
QStringList Wine32Hint(const QStringList& lines, qsizetype start)
{
    QStringList hint{lines[start]};
    for (qsizetype index = start + 1; index < lines.size() && hint.size() < kMaxReasonLines; ++index) {
        if (IsDebugLine(lines[index]) || lines[index].startsWith(QLatin1String("wine:")))
            break;
        hint.append(lines[index]);
    }
    return hint;
}

QProcessEnvironment WineEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WINEPREFIX"), QString::fromStdString(WinePrefix().string()));
    return environment;
}

// Wine at work on one start, with its output in a private temporary file
// rather than a pipe: the started program inherits the output and may write
// to it long after Wine's start has ended. Deletes itself once Wine has ended.
class TWineWatch final : public QObject {
public:
    explicit TWineWatch(std::function<void(const QString&)> onFailure) : onFailure_(std::move(onFailure))
    {
        process_.setProcessChannelMode(QProcess::MergedChannels);
        if (output_.open())
            process_.setStandardOutputFile(output_.fileName());
        else
            process_.setStandardOutputFile(QProcess::nullDevice());
        connect(&process_, &QProcess::finished, this, &TWineWatch::Finished);
        connect(&process_, &QProcess::errorOccurred, this, &TWineWatch::ErrorOccurred);
    }

    QProcess& Process() { return process_; }

private:
    void Finished(int exitCode, QProcess::ExitStatus status)
    {
        if (status == QProcess::CrashExit)
            onFailure_(QStringLiteral("Wine ended abnormally: ") + process_.errorString());
        else if (exitCode != 0)
            onFailure_(WineFailureReason(output_.read(kMaxOutput), exitCode));
        deleteLater();
    }

    void ErrorOccurred(QProcess::ProcessError error)
    {
        if (error != QProcess::FailedToStart)
            return;
        if (QStandardPaths::findExecutable(QStringLiteral("wine")).isEmpty())
            onFailure_(QString::fromLatin1(kWineNotInstalled));
        else
            onFailure_(QStringLiteral("Wine could not be started: ") + process_.errorString());
        deleteLater();
    }

    std::function<void(const QString&)> onFailure_;
    QTemporaryFile output_;
    QProcess process_;
};

}  // namespace

QString WineFailureReason(const QByteArray& output, int exitCode)
{
    const QStringList lines = OutputLines(output);
    for (qsizetype index = 0; index < lines.size(); ++index) {
        if (lines[index].contains(QLatin1String(kWine32Missing)))
            return QStringLiteral("Wine could not start it:\n") + Wine32Hint(lines, index).join(QLatin1Char('\n'));
    }
    QStringList messages;
    for (const QString& line : lines) {
        if (!IsDebugLine(line))
            messages.append(line);
    }
    if (messages.isEmpty())
        return QStringLiteral("Wine could not start it (exit code %1).").arg(exitCode);
    const qsizetype first = std::max<qsizetype>(0, messages.size() - kMaxReasonLines);
    return QStringLiteral("Wine could not start it:\n") + messages.mid(first).join(QLatin1Char('\n'));
}

void StartUnderWine(const QString& program, std::function<void(const QString& reason)> onFailure)
{
    const std::string path = program.toStdString();
    if (!FileSystem().FileExists(path))
        return;
    const QStringList arguments{QStringLiteral("start"), QStringLiteral("/unix"),
                                QString::fromStdString(FileSystem().NativePath(path).string())};
    if (!onFailure) {
        QProcess wine;
        wine.setProgram(QStringLiteral("wine"));
        wine.setArguments(arguments);
        wine.setProcessEnvironment(WineEnvironment());
        wine.startDetached();
        return;
    }
    auto* watch = new TWineWatch(std::move(onFailure));
    watch->Process().setProcessEnvironment(WineEnvironment());
    watch->Process().start(QStringLiteral("wine"), arguments);
}

}  // namespace quorvex
