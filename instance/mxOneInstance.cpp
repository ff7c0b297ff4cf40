#include "instance/mxOneInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QWidget>

#include <unistd.h>

namespace quorvex {
namespace {

constexpr char kRaiseRequest[] = "raise\n";
constexpr int kAskTimeoutMs = 2000;

QString LockPath(const QString& name)
{
    return TmxOneInstance::RuntimeFolder() + QLatin1Char('/') + name + QStringLiteral(".lock");
}

QString SocketPath(const QString& name)
{
    return TmxOneInstance::RuntimeFolder() + QLatin1Char('/') + name;
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
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return runtime;
    const QString folder = QDir::tempPath() + QStringLiteral("/quorvex-") + QString::number(getuid());
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return folder;
}

void TmxOneInstance::Loaded(QWidget* window)
{
    window_ = window;
    const QString name = QCoreApplication::applicationName();
    mutexCreated_ = false;
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

// Takes the lock; false when another instance holds it or it cannot be had.
// A lock left by an instance that died is taken over.
bool TmxOneInstance::Claim(const QString& name)
{
    auto lock = std::make_unique<QLockFile>(LockPath(name));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    lock_ = std::move(lock);
    Listen(name);
    return true;
}

void TmxOneInstance::Listen(const QString& name)
{
    // Holding the lock, any socket of that name is a dead instance's leftover.
    QLocalServer::removeServer(SocketPath(name));
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &TmxOneInstance::OnConnection);
    server_->listen(SocketPath(name));
}

// Best effort: when the running instance does not answer in time, nothing
// is brought forward and this instance still ends.
void TmxOneInstance::AskToRaise(const QString& name)
{
    QLocalSocket socket;
    socket.connectToServer(SocketPath(name));
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
