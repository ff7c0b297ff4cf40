// TVelkAppUpdate: the update checker. A check fetches the update information
// file, reads the newest version and a few URLs from the update section,
// fetches the readme, and when the server's version is newer shows the
// notification window, from which the installer can be downloaded.
#pragma once

#include "forms/UpdateCheckFlow.h"
#include "update/Checksums.h"
#include "update/FileSize.h"
#include "update/UpdateSettings.h"
#include "ui/qt/update/UpdateSeams.h"
#include "ui/qt/update/WindowFont.h"

#include <QObject>
#include <QString>

#include <chrono>

namespace quorvex {

// The running process's update section (update/UpdateVersion.h), fixed by
// the first component made.
QString UpdateSection();

class TVelkAppUpdate : public QObject {
public:
    explicit TVelkAppUpdate(TUpdateSeams& seams, QObject* owner = nullptr);
    ~TVelkAppUpdate() override;

    TVelkAppUpdateFileSizeUnit FileSizeUnit() const { return settings_.FileSizeUnit; }
    void SetFileSizeUnit(TVelkAppUpdateFileSizeUnit value) { settings_.FileSizeUnit = value; }
    const TWindowFont& Font() const { return font_; }
    void SetFont(const TWindowFont& value) { font_ = value; }
    const TWindowFont& FontReadme() const { return fontReadme_; }
    void SetFontReadme(const TWindowFont& value) { fontReadme_ = value; }
    THashType HashType() const { return settings_.HashType; }
    void SetHashType(THashType value) { settings_.HashType = value; }
    QString ProxyAddress() const { return QString::fromStdString(settings_.ProxyAddress); }
    void SetProxyAddress(const QString& value) { settings_.ProxyAddress = value.toStdString(); }
    QString ProxyPort() const { return QString::fromStdString(settings_.ProxyPort); }
    void SetProxyPort(const QString& value) { settings_.ProxyPort = value.toStdString(); }
    QString UpdateFileURL() const { return QString::fromStdString(settings_.UpdateFileURL); }
    void SetUpdateFileURL(const QString& value) { settings_.UpdateFileURL = value.toStdString(); }
    QString UpdatePageURL() const { return QString::fromStdString(settings_.UpdatePageURL); }
    void SetUpdatePageURL(const QString& value) { settings_.UpdatePageURL = value.toStdString(); }
    QString Version() const { return QString::fromStdString(settings_.Version); }
    void SetVersion(const QString& value) { settings_.Version = value.toStdString(); }
    // The publisher's Ed25519 public key, base64; when set, an installer is
    // started only with a valid signature of it (EdSignature).
    QString UpdatePublicKey() const { return QString::fromStdString(settings_.UpdatePublicKey); }
    void SetUpdatePublicKey(const QString& value) { settings_.UpdatePublicKey = value.toStdString(); }
    // All of the settings but the fonts at once.
    const TUpdateSettings& Settings() const { return settings_; }
    void SetSettings(const TUpdateSettings& value) { settings_ = value; }

    // Runs one check, with every window it opens, and returns once they are
    // closed: true when a newer version was announced (ExecuteUpdateCheckFlow).
    // The notification window is made only when there is a newer version to
    // show.
    bool Execute(bool NoMessageDlg);

    static constexpr std::chrono::seconds kSilentCheckTime = quorvex::kSilentCheckTime;

private:
    void ShowNotification(const TUpdateCheckResult& result) const;

    TUpdateSeams& seams_;
    TUpdateSettings settings_;
    TWindowFont font_;
    TWindowFont fontReadme_;
};

}  // namespace quorvex
