// The single-instance guard: at most one Quorvex runs per user login.
//
// The first instance takes a per-user lock named after the application title
// and listens on a local socket of the same name. A later start finds the lock
// taken, asks the running instance through the socket to restore and raise its
// main window, and is asked to end.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <QString>

#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;

namespace quorvex {

class TInstanceLock;

class TmxOneInstance : public QObject {
    Q_OBJECT
public:
    explicit TmxOneInstance(QObject* parent = nullptr);
    ~TmxOneInstance() override;

    // End this instance when another one runs.
    bool Terminate = true;
    // Bring the other instance's main window forward when another one runs.
    bool SwitchToPrevious = true;
    // Called when another instance runs, before the switch and the termination.
    std::function<void(TmxOneInstance& sender)> OnInstanceExists;

    // Runs once, after the owning window is built and before its creation
    // handler: claims the name, or acts on the instance that holds it.
    // window is the main window that a later start restores and raises.
    // When the lock cannot be taken for another reason than another instance
    // (its folder unusable, or not the user's own), the reason goes to
    // standard error and is raised as a std::runtime_error.
    void Loaded(QWidget* window);

    bool MutexCreated() const { return mutexCreated_; }
    // Whether Loaded found the name taken (or could not claim it).
    bool InstanceExisted() const { return instanceExisted_; }
    // Whether this instance was asked to end; the program then ends once its
    // start-up has run, without entering the event loop.
    bool TerminateRequested() const { return terminateRequested_; }

    // The folder that holds the lock and the socket: the user's runtime
    // folder, else a private folder for the user in the temporary folder
    // (made when missing).
    static QString RuntimeFolder();

private:
    bool Claim(const QString& name);
    void Listen(const QString& name);
    void AskToRaise(const QString& name);
    void OnConnection();
    void ReadRequests(QLocalSocket* socket);

    QPointer<QWidget> window_;
    QString folder_;  // of the lock and the socket
    std::unique_ptr<TInstanceLock> lock_;
    QLocalServer* server_ = nullptr;
    bool mutexCreated_ = false;
    bool instanceExisted_ = false;
    bool terminateRequested_ = false;
};

// Restores a minimised window; brings any other to the top.
void RestoreOrRaise(QWidget* window);

}  // namespace quorvex
