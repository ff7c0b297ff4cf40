#include "instance/mxOneInstance.h"

#include "platform/Error.h"
#include "platform/InstanceLock.h"
#include "platform/PrivateFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QWidget>

#include <cstdio>
#include <stdexcept>

namespace quorvex {
namespace {

constexpr char kRaiseRequest[] = "raise\n";
constexpr int kAskTimeoutMs = 2000;

// The folder for the lock and the socket, and why it may not be used (empty
// when it may).
struct TLockFolder {
    QString Path;
    QString Problem;
};

// The user's runtime folder when it is set and there; else a folder of the
// user's own in the temporary folder, which every user can write to: one
// that another user made first, or may change, is refused.
TLockFolder ChooseLockFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo::exists(runtime))
        return {runtime, {}};
    const QString folder =
        QDir::tempPath() + QStringLiteral("/quorvex-") + QString::fromStdString(CurrentUserId());
    return {folder, QString::fromStdString(EnsurePrivateFolder(folder.toStdString()))};
}

// Ends the start: the reason goes to standard error and, raised as an error,
// to the start-up's error report.
[[noreturn]] void FailToStart(const QString& folder, const QString& reason)
{
    const QString message =
        QStringLiteral("Cannot take the single-instance lock in \"%1\". %2").arg(folder, reason);
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    throw std::runtime_error(message.toStdString());
}

QString LockPath(const QString& folder, const QString& name)
{
    return folder + QLatin1Char('/') + name + QStringLiteral(".lock");
}

QString SocketPath(const QString& folder, const QString& name)
{
    return folder + QLatin1Char('/') + name;
}

}  // namespace

void RestoreOrRaise(QWidget* window)
{
    if (window->isMinimized()) {
        window->showNormal();
        return;
    }
    window->raise();
    window->activateWindow();
}

TmxOneInstance::TmxOneInstance(QObject* parent) : QObject(parent) {}

TmxOneInstance::~TmxOneInstance() = default;

QString TmxOneInstance::RuntimeFolder()
{
    return ChooseLockFolder().Path;
}

void TmxOneInstance::Loaded(QWidget* window)
{
    window_ = window;
    const QString name = QCoreApplication::applicationName();
    mutexCreated_ = false;
    const TLockFolder folder = ChooseLockFolder();
    if (!folder.Problem.isEmpty())
        FailToStart(folder.Path, folder.Problem + QStringLiteral(" Set XDG_RUNTIME_DIR to a folder of your own."));
    folder_ = folder.Path;
    if (!Claim(name)) {
        instanceExisted_ = true;
        if (OnInstanceExists)
            OnInstanceExists(*this);
        if (SwitchToPrevious)
            AskToRaise(name);
        if (Terminate)
            terminateRequested_ = true;
    }
    mutexCreated_ = true;
}

// Takes the lock; false when another instance holds it. A lock left by an
// instance that died is free again; a lock that cannot be had for any other
// reason ends the start.
bool TmxOneInstance::Claim(const QString& name)
{
    try {
        lock_ = TInstanceLock::TryTake(LockPath(folder_, name).toStdString());
    } catch (const Error& error) {
        FailToStart(folder_, QString::fromStdString(error.what()));
    }
    if (lock_ == nullptr)
        return false;
    Listen(name);
    return true;
}

void TmxOneInstance::Listen(const QString& name)
{
    // Holding the lock, any socket of that name is a dead instance's leftover.
    QLocalServer::removeServer(SocketPath(folder_, name));
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &TmxOneInstance::OnConnection);
    server_->listen(SocketPath(folder_, name));
}

// Best effort: when the running instance does not answer in time, nothing
// is brought forward and this instance still ends.
void TmxOneInstance::AskToRaise(const QString& name)
{
    QLocalSocket socket;
    socket.connectToServer(SocketPath(folder_, name));
    if (!socket.waitForConnected(kAskTimeoutMs))
        return;
    socket.write(kRaiseRequest);
    socket.waitForBytesWritten(kAskTimeoutMs);
    socket.disconnectFromServer();
}

void TmxOneInstance::OnConnection()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadRequests(socket); });
        ReadRequests(socket);
    }
}

void TmxOneInstance::ReadRequests(QLocalSocket* socket)
{
    while (socket->canReadLine()) {
        if (socket->readLine() == kRaiseRequest && window_ != nullptr)
            RestoreOrRaise(window_);
    }
}

}  // namespace quorvex
