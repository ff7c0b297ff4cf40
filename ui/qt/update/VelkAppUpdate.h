// TVelkAppUpdate: the update checker. A check fetches the update information
// file, reads the newest version and a few URLs from the update section,
// fetches the readme, and when the server's version is newer shows the
// notification window, from which the installer can be downloaded.
#pragma once

#include "update/Checksums.h"
#include "update/FileSize.h"
#include "update/UpdateCheck.h"
#include "update/UpdateInformation.h"
#include "ui/qt/update/UpdateSeams.h"
#include "update/UpdateVersion.h"
#include "ui/qt/update/WindowFont.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <memory>
#include <optional>

namespace quorvex {

class THttpCli;

// The running process's update section (update/UpdateVersion.h), fixed by
// the first component made.
QString UpdateSection();

class TVelkAppUpdate : public QObject {
public:
    explicit TVelkAppUpdate(TUpdateSeams& seams, QObject* owner = nullptr);
    ~TVelkAppUpdate() override;

    TVelkAppUpdateFileSizeUnit FileSizeUnit() const { return fileSizeUnit_; }
    void SetFileSizeUnit(TVelkAppUpdateFileSizeUnit value) { fileSizeUnit_ = value; }
    const TWindowFont& Font() const { return font_; }
    void SetFont(const TWindowFont& value) { font_ = value; }
    const TWindowFont& FontReadme() const { return fontReadme_; }
    void SetFontReadme(const TWindowFont& value) { fontReadme_ = value; }
    THashType HashType() const { return hashType_; }
    void SetHashType(THashType value) { hashType_ = value; }
    QString ProxyAddress() const { return proxyAddress_; }
    void SetProxyAddress(const QString& value) { proxyAddress_ = value; }
    QString ProxyPort() const { return proxyPort_; }
    void SetProxyPort(const QString& value) { proxyPort_ = value; }
    QString UpdateFileURL() const { return updateFileURL_; }
    void SetUpdateFileURL(const QString& value) { updateFileURL_ = value; }
    QString UpdatePageURL() const { return updatePageURL_; }
    void SetUpdatePageURL(const QString& value) { updatePageURL_ = value; }
    QString Version() const { return version_; }
    void SetVersion(const QString& value) { version_ = value; }
    // The publisher's Ed25519 public key, base64; when set, an installer is
    // started only with a valid signature of it (EdSignature).
    QString UpdatePublicKey() const { return updatePublicKey_; }
    void SetUpdatePublicKey(const QString& value) { updatePublicKey_ = value; }

    // Runs one check, with every window it opens, and returns once they are
    // closed: true when a newer version was announced. NoMessageDlg
    // suppresses the messages that say there is none, and bounds the check:
    // when its time (kSilentCheckTime) has passed before the versions could
    // be compared, it ends without a word. The notification window is made
    // only when there is a newer version to show. Errors other than the HTTP
    // client's (a temporary file or download target that cannot be created
    // or written, an update file or readme above its size limit) leave here,
    // once the windows are closed.
    bool Execute(bool NoMessageDlg);

    static constexpr std::chrono::seconds kSilentCheckTime{5};

private:
    bool ShowNotification(const TUpdateCheckResult& result) const;
    void TellNoNewerVersion(const TUpdateInformation& information) const;

    TUpdateSeams& seams_;
    TVelkAppUpdateFileSizeUnit fileSizeUnit_ = TVelkAppUpdateFileSizeUnit::Auto;
    TWindowFont font_;
    TWindowFont fontReadme_;
    THashType hashType_ = THashType::None;
    QString proxyAddress_;
    QString proxyPort_ = QStringLiteral("80");
    QString updateFileURL_;
    QString updatePageURL_;
    QString version_;
    QString updatePublicKey_;
};

}  // namespace quorvex
