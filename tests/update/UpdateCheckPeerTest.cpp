// The update check against nginx on loopback: the update information file,
// the readme, the version comparison, the notification window and the
// messages of a manual check.
#include "UpdateSite.h"
#include "ui/qt/update/VelkAppUpdateNotify.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace quorvex::test {
namespace {

const TShownMessage kNoNewVersions{QStringLiteral("Information"), QStringLiteral("There are no new versions available."),
                                   TMsgDlgType::Information, TMsgDlgButtons::Ok};
const TShownMessage kUpdatePageQuestion{
    QStringLiteral("Confirm"),
    QStringLiteral("There are no advertised versions available.\rDo you want to open the update web page?"),
    TMsgDlgType::Confirmation, TMsgDlgButtons::YesNo};

// What the notification window showed when it came up.
struct TNotification {
    QString Title;
    QStringList Readme;
    bool DownloadEnabled = false;
    QFont Font;
    QColor TextColour;
    QFont ReadmeFont;
};

class UpdateCheck : public UpdateSite {
protected:
    // Runs a check; a notification window that comes up is recorded, then
    // closed with its OK button after the action, if any, ran on it.
    bool Execute(bool noMessageDlg, const std::function<void(TVelkAppUpdateNotifyBox&)>& action = {})
    {
        TWhenShown<TVelkAppUpdateNotifyBox> whenShown([&](TVelkAppUpdateNotifyBox& box) {
            notification = TNotification{box.windowTitle(), box.ReadmeLines(), box.DownloadButton->isEnabled(),
                                         box.font(), box.palette().color(QPalette::WindowText),
                                         box.ReadmeMemo->font()};
            if (action)
                action(box);
            box.OKButton->click();
        });
        const bool result = update.Execute(noMessageDlg);
        shownTimes = whenShown.Times();
        return result;
    }

    std::optional<TNotification> notification;
    int shownTimes = 0;
};

TEST_F(UpdateCheck, NewerVersionShowsTheNotificationWithTheReadme)
{
    Serve(Mine(QStringLiteral("readme.txt")),
          "\xEF\xBB\xBFQuorvex 1.0.5.0\r\n\r\nFixes:\r- caf\xC3\xA9 menu\n- cleaner status\r\n");
    Serve(Mine(QStringLiteral("QuorvexUpdate.txt")),
          UpdateInfo({{"Version", "1.0.5.0"},
                      {"ReadmeFileURL", Url(Mine(QStringLiteral("readme.txt")))},
                      {"DownloadFileURL", Url(Mine(QStringLiteral("QuorvexSetup.exe")))}}));
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPixelSize(12);
    update.SetFont({tahoma, QColor(Qt::darkBlue)});
    update.SetFontReadme({QFont(QStringLiteral("Calibri"), 10), QColor(Qt::darkGreen)});

    EXPECT_TRUE(Execute(true));
    ASSERT_TRUE(notification.has_value());
    EXPECT_EQ(shownTimes, 1);
    EXPECT_EQ(notification->Title, QStringLiteral("New Version Available"));
    EXPECT_EQ(notification->Readme, (QStringList{QStringLiteral("Quorvex 1.0.5.0"), QString(), QStringLiteral("Fixes:"),
                                                 QStringLiteral("- caf\u00e9 menu"), QStringLiteral("- cleaner status")}));
    EXPECT_TRUE(notification->DownloadEnabled);
    EXPECT_EQ(notification->Font, tahoma);
    EXPECT_EQ(notification->TextColour, QColor(Qt::darkBlue));
    EXPECT_EQ(notification->ReadmeFont, QFont(QStringLiteral("Calibri"), 10));
    EXPECT_TRUE(seams.Messages->Shown.empty());
    EXPECT_TRUE(seams.Shell->Requests.empty());
    EXPECT_TRUE(Downloaded().isEmpty());
}

TEST_F(UpdateCheck, NewerVersionWithoutDownloadFileURLCannotBeDownloaded)
{
    Serve(Mine(QStringLiteral("QuorvexUpdate.txt")), UpdateInfo({{"Version", "1.0.4.9b"}}));
    EXPECT_TRUE(Execute(false));
    ASSERT_TRUE(notification.has_value());
    EXPECT_FALSE(notification->DownloadEnabled);
    EXPECT_EQ(notification->Readme, QStringList{QString()});
    EXPECT_TRUE(seams.Messages->Shown.empty());
}

TEST_F(UpdateCheck, NamesInOtherLetterCasesAreFound)
{
    Serve(Mine(QStringLiteral("notes.txt")), "Notes");
    Serve(Mine(QStringLiteral("QuorvexUpdate.txt")),
          UpdateInfo({{"version", " \"10.0\" "}, {"READMEFILEURL", Url(Mine(QStringLiteral("notes.txt")))}},
                     UpdateSection().toUpper()));
    EXPECT_TRUE(Execute(true));
    ASSERT_TRUE(notification.has_value());
    EXPECT_EQ(notification->Readme, QStringList{QStringLiteral("Notes")});
}

// The file's page replaces the component's for the Open Web Page button,
// which leaves the window open.
TEST_F(UpdateCheck, OpenWebPageOpensTheFilesPage)
{
    Serve(Mine(QStringLiteral("QuorvexUpdate.txt")),
          UpdateInfo({{"Version", "1.0.5.0"}, {"UpdatePageURL", "http://mirror.example.org/quorvex/"}}));
    bool stillOpen = false;
    EXPECT_TRUE(Execute(true, [&](TVelkAppUpdateNotifyBox& box) {
        box.OpenWebPageButton->click();
        stillOpen = box.isVisible();
    }));
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(seams.Shell->Requests,
              (std::vector<TShellRequest>{{QStringLiteral("open"), QStringLiteral("http://mirror.example.org/quorvex/"),
                                           SW_SHOWNORMAL}}));
}

TEST_F(UpdateCheck, SameVersionSaysSoOnlyWhenAsked)
{
    Serve(Mine(QStringLiteral("readme.txt")), "Notes");
    Serve(Mine(QStringLiteral("QuorvexUpdate.txt")),
          UpdateInfo({{"Version", "1.0.4.10"}, {"ReadmeFileURL", Url(Mine(QStringLiteral("readme.txt")))}}));
    const QString readmeRequest = QStringLiteral("GET /%1 ").arg(Mine(QStringLiteral("readme.txt")));
    const qsizetype readmeRequests = AccessLog().count(readmeRequest);
    EXPECT_FALSE(Execute(true));
    EXPECT_TRUE(seams.Messages->Shown.empty());
    EXPECT_FALSE(Execute(false));
    EXPECT_EQ(seams.Messages->Shown, std::vector<TShownMessage>{kNoNewVersions});
    EXPECT_FALSE(notification.has_value());
    // The readme is fetched before the versions are compared.
    EXPECT_EQ(LoggedRequests(readmeRequest, readmeRequests + 2) - readmeRequests, 2);
}

// Records whether a notification window was made: every window receives
// events (its children being added) while it is built.
class TNotificationBuilt : public QObject {
public:
    TNotificationBuilt() { qApp->installEventFilter(this); }
    ~TNotificationBuilt() override { qApp->removeEventFilter(this); }
    bool Built = false;

protected:
    bool eventFilter(QObject* watched, QEvent*) override
    {
        Built = Built || qobject_cast<TVelkAppUpdateNotifyBox*>(watched) != nullptr;
        return false;
    }
};

// A check without a newer version never builds the window it would not
// show; one with a newer version does.
TEST_F(UpdateCheck, NotificationWindowIsBuiltOnlyForANewerVersion)
{
    Serve(Mine(QStringLiteral("readme.txt")), "Notes");
    for (const char* version : {"1.0.4.9", "1.0.5.0"}) {
        Serve(Mine(QStringLiteral("QuorvexUpdate.txt")),
              UpdateInfo({{"Version", version}, {"ReadmeFileURL", Url(Mine(QStringLiteral("readme.txt")))}}));
        const bool newer = QLatin1String(version) == QLatin1String("1.0.5.0");
        TNotificationBuilt notification;
        EXPECT_EQ(Execute(true), newer) << version;
        EXPECT_EQ(notification.Built, newer) << version;
    }
}

struct TQuestionCase {
    const char* Name;
    const char* Info;  // "%1" stands for the update section; empty: no file on the server
    TModalResult Answer;
    const char* Opened;  // nothing when empty
};

void PrintTo(const TQuestionCase& c, std::ostream* out)
{
    *out << c.Name;
}

class UpdatePageQuestion : public UpdateCheck, public testing::WithParamInterface<TQuestionCase> {};

// Without an advertised version a manual check offers the update page; a
// silent check says nothing.
TEST_P(UpdatePageQuestion, ManualCheckAsksSilentCheckDoesNot)
{
    if (*GetParam().Info != '\0')
        Serve(Mine(QStringLiteral("QuorvexUpdate.txt")), QString::fromLatin1(GetParam().Info).arg(UpdateSection()).toUtf8());
    EXPECT_FALSE(Execute(true));
    EXPECT_TRUE(seams.Messages->Shown.empty());

    seams.Messages->Answers = {GetParam().Answer};
    EXPECT_FALSE(Execute(false));
    EXPECT_EQ(seams.Messages->Shown, std::vector<TShownMessage>{kUpdatePageQuestion});
    std::vector<TShellRequest> opened;
    if (*GetParam().Opened != '\0')
        opened.push_back({QStringLiteral("open"), QString::fromLatin1(GetParam().Opened), SW_SHOWNORMAL});
    EXPECT_EQ(seams.Shell->Requests, opened);
    EXPECT_FALSE(notification.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UpdatePageQuestion,
    testing::Values(TQuestionCase{"NotFoundYes", "", TModalResult::Yes, "http://quorvex.example.com/"},
                    TQuestionCase{"NotFoundNo", "", TModalResult::No, ""},
                    TQuestionCase{"NoVersionWithFilesPage", "[%1]\r\nUpdatePageURL=http://mirror.example.org/\r\n",
                                  TModalResult::Yes, "http://mirror.example.org/"},
                    TQuestionCase{"NoUpdateSection", "[Other]\r\nVersion=2.0\r\n; not [%1]\r\n", TModalResult::Yes,
                                  "http://quorvex.example.com/"}));

// A redirect past the relocation limit ends with the redirect itself, whose
// body is then read as the update information: it has no version.
TEST_F(UpdateCheck, RedirectChainPastTheLimitIsNoUpdate)
{
    update.SetUpdateFileURL(Url(QStringLiteral("loop")));
    seams.Messages->Answers = {TModalResult::No};
    const qsizetype loopRequests = AccessLog().count(QStringLiteral("GET /loop "));
    EXPECT_FALSE(Execute(false));
    EXPECT_EQ(seams.Messages->Shown, std::vector<TShownMessage>{kUpdatePageQuestion});
    EXPECT_EQ(LoggedRequests(QStringLiteral("GET /loop "), loopRequests + 6) - loopRequests, 6);
}

TEST_F(UpdateCheck, EmptyUpdateFileURLMakesNoRequest)
{
    update.SetUpdateFileURL(QString());
    EXPECT_FALSE(Execute(true));
    EXPECT_TRUE(seams.Messages->Shown.empty());
    EXPECT_FALSE(Execute(false));
    EXPECT_EQ(seams.Messages->Shown, std::vector<TShownMessage>{kNoNewVersions});
    EXPECT_FALSE(AccessLog().contains(folder));
}

TEST_F(UpdateCheck, FailedReadmeShowsItsStatusLine)
{
    Serve(Mine(QStringLiteral("QuorvexUpdate.txt")),
          UpdateInfo({{"Version", "1.0.5.0"}, {"ReadmeFileURL", Url(Mine(QStringLiteral("missing-readme.txt")))}}));
    EXPECT_TRUE(Execute(true));
    ASSERT_TRUE(notification.has_value());
    EXPECT_EQ(notification->Readme, QStringList{QStringLiteral("Failed: 404 Not Found")});
}

// A silent check that cannot reach its host ends without any window.
TEST_F(UpdateCheck, UnreachableHostEndsSilently)
{
    for (const char* url : {"http://quorvex-update.invalid/QuorvexUpdate.txt", "http://127.0.0.1:9/QuorvexUpdate.txt"}) {
        update.SetUpdateFileURL(QString::fromLatin1(url));
        TShownWindows shown;
        EXPECT_FALSE(Execute(true)) << url;
        EXPECT_TRUE(shown.Classes.isEmpty()) << url << ": " << shown.Classes.join(u' ').toStdString();
        EXPECT_TRUE(seams.Messages->Shown.empty()) << url;
    }
}

// Going through an HTTP proxy: the information and the readme arrive.
TEST_F(UpdateCheck, ThroughTheProxy)
{
    Serve(Mine(QStringLiteral("readme.txt")), "Through the proxy");
    Serve(Mine(QStringLiteral("QuorvexUpdate.txt")),
          UpdateInfo({{"Version", "1.0.5.0"}, {"ReadmeFileURL", Url(Mine(QStringLiteral("readme.txt")))}}));
    update.SetProxyAddress(QStringLiteral("127.0.0.1"));
    update.SetProxyPort(proxyPort);
    const QString proxied = QStringLiteral("GET %1 HTTP/1.0").arg(Url(Mine(QStringLiteral("readme.txt"))));
    const qsizetype proxiedBefore = PeerLog("proxy/stdout.log").count(proxied);
    EXPECT_TRUE(Execute(true));
    ASSERT_TRUE(notification.has_value());
    EXPECT_EQ(notification->Readme, QStringList{QStringLiteral("Through the proxy")});
    EXPECT_EQ(PeerLog("proxy/stdout.log").count(proxied) - proxiedBefore, 1);
}

}  // namespace
}  // namespace quorvex::test
