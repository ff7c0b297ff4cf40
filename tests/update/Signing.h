// The tests' publisher key pairs and signatures on Qt's types, and the
// publisher's own tool quorvex-update-sign (QUORVEX_UPDATE_SIGN).
#pragma once

#include "PublisherKeys.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <optional>
#include <string_view>
#include <utility>

namespace quorvex::test {

struct TKeyPair {
    QString PublicKey;  // base64
    TPublisherKeys Keys;
};

inline TKeyPair NewKeyPair()
{
    TPublisherKeys keys = NewPublisherKeys();
    return {QString::fromStdString(keys.PublicKey), std::move(keys)};
}

// The signature (base64) of bytes by the key pair's owner.
inline QString Signature(const QByteArray& bytes, const TKeyPair& keys)
{
    return QString::fromStdString(SignatureOf(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), keys.Keys));
}

// Runs the publisher's tool; its standard output, or nothing when it failed.
inline std::optional<QString> Tool(const QStringList& arguments, QString* errors = nullptr)
{
    QProcess tool;
    tool.start(QStringLiteral(QUORVEX_UPDATE_SIGN), arguments);
    if (!tool.waitForFinished(30000))
        return std::nullopt;
    if (errors != nullptr)
        *errors = QString::fromLocal8Bit(tool.readAllStandardError());
    if (tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
        return std::nullopt;
    return QString::fromLocal8Bit(tool.readAllStandardOutput());
}

// The value of "name=value" on the single line of a tool's output.
inline QString ValueOf(const std::optional<QString>& output, const QString& name)
{
    if (!output || !output->startsWith(name + QLatin1Char('=')) || !output->endsWith(QLatin1Char('\n'))
        || output->count(QLatin1Char('\n')) != 1)
        return {};
    return output->mid(name.size() + 1).chopped(1);
}

}  // namespace quorvex::test
