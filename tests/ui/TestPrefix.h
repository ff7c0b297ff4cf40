// A temporary Wine-style prefix for the window tests: drive C:, the registry
// files with the messenger's values, and a working folder of its own.
// WINEPREFIX and the working folder point at it for its lifetime, and no
// other prefix is chosen.
#pragma once

#include <QDir>
#include <QTemporaryDir>

#include <optional>
#include <string>

namespace quorvex::test {

struct TMessengerSetup {
    std::optional<std::string> Version = std::nullopt;  // "ProductVersion"; nothing: no messenger
    std::optional<int> LaunchOnStartup = std::nullopt;
    std::optional<int> SmileySearch = std::nullopt;
    std::optional<int> Plural = std::nullopt;
};

class TTestPrefix {
public:
    explicit TTestPrefix(const TMessengerSetup& setup = {});
    ~TTestPrefix();
    TTestPrefix(const TTestPrefix&) = delete;
    TTestPrefix& operator=(const TTestPrefix&) = delete;

    QString Path() const { return prefix_.path(); }
    QString DriveC() const { return prefix_.path() + QStringLiteral("/drive_c"); }
    QString WorkingFolder() const { return working_.path(); }

    // Rewrites the registry files for another messenger state.
    void Install(const TMessengerSetup& setup) const;
    // Creates or deletes a file under drive C: ("BlankQuorvex.html").
    void PutOnDriveC(const QString& name, bool present) const;
    // Creates or deletes a file in the working folder ("YahooMessenger.bak").
    void PutInWorkingFolder(const QString& name, bool present) const;

private:
    QTemporaryDir prefix_;
    QTemporaryDir working_;
    QString previousWorkingFolder_ = QDir::currentPath();
    QByteArray previousPrefix_ = qgetenv("WINEPREFIX");
};

}  // namespace quorvex::test
