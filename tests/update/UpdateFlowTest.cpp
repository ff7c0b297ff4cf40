// The update check and download as the windows run them, on views and seams
// that draw nothing, against a loopback server inside the test: which window
// or message a check ends in, the silent deadline, the notification
// window's buttons, and the download's steps from the size request to the
// installer's start or the deletion of a refused file.
#include "FlowFakes.h"
#include "PublisherKeys.h"
#include "ScriptedServer.h"
#include "TestEventLoop.h"

#include "http/HttpCli.h"
#include "platform/PrivateFile.h"
#include "update/UpdateHttp.h"

#include <gtest/gtest.h>

#include <sodium.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace quorvex::test {

void TShortDeadline::Start(std::chrono::milliseconds time, std::function<void()> expired)
{
    Asked = time;
    Running = true;
    if (ExpireAfter)
        timer_ = TTestEventLoop::Current().StartTimer(static_cast<int>(ExpireAfter->count()), std::move(expired), true);
}

void TShortDeadline::Stop()
{
    Running = false;
    if (timer_ != 0)
        TTestEventLoop::Current().StopTimer(std::exchange(timer_, 0));
}

namespace {

namespace fs = std::filesystem;

const TMessage kNoNewVersions{"Information", "There are no new versions available.", TMsgDlgType::Information,
                              TMsgDlgButtons::Ok};
const TMessage kUpdatePageQuestion{
    "Confirm", "There are no advertised versions available.\rDo you want to open the update web page?",
    TMsgDlgType::Confirmation, TMsgDlgButtons::YesNo};
const TMessage kWillClose{"Information", "The application will close to start the update.", TMsgDlgType::Information,
                          TMsgDlgButtons::Ok};
const TMessage kCorrupted{"Error", "The downloaded file is corrupted.", TMsgDlgType::Error, TMsgDlgButtons::Ok};
const TMessage kNotSigned{"Error", "The downloaded file is not signed by its publisher.", TMsgDlgType::Error,
                          TMsgDlgButtons::Ok};
const TMessage kNotThePublishers{"Error", "The downloaded file's signature is not its publisher's.",
                                 TMsgDlgType::Error, TMsgDlgButtons::Ok};
const TMessage kCancelQuestion{"Confirm", "Do you want to cancel the download?", TMsgDlgType::Confirmation,
                               TMsgDlgButtons::YesNo};
const TMessage kNotCompleted{"Error", "The update was not completed.", TMsgDlgType::Error, TMsgDlgButtons::Ok};

std::string HeadAnswer(std::size_t length)
{
    return "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(length) + "\r\n\r\n";
}

// A name no other test run uses, so that runs side by side keep apart.
std::string UniqueName(const std::string& stem, const std::string& extension)
{
    static std::mt19937_64 random{std::random_device{}()};
    return stem + "-" + std::to_string(random() % 1000000000) + extension;
}

// The files of folder whose names start with name (the installer and its
// ".part" files).
std::vector<std::string> FilesNamed(const fs::path& folder, const std::string& name)
{
    std::vector<std::string> found;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string file = entry.path().filename().string();
        if (file.rfind(name, 0) == 0)
            found.push_back(file);
    }
    return found;
}

std::string ContentOf(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// ---------------------------------------------------------------- the check

class UpdateCheckFlow : public testing::Test {
protected:
    // Runs a check of the information file the server answers with.
    bool Check(bool noMessageDlg, const std::string& version = "1.0.4.9")
    {
        TUpdateSettings settings;
        settings.UpdateFileURL = server.Url("/QuorvexUpdate.txt");
        settings.UpdatePageURL = "http://quorvex.example.com/";
        settings.Version = version;
        return ExecuteUpdateCheckFlow(settings, "Quorvex", noMessageDlg, seams.Update,
                                      [this](const TUpdateCheckResult& result) { notified.push_back(result); });
    }

    void Answer(const std::string& information)
    {
        server.Connection().Respond(Response("HTTP/1.0 200 OK", information));
    }

    TScriptedServer server;
    TFlowSeams seams;
    std::vector<TUpdateCheckResult> notified;
};

TEST_F(UpdateCheckFlow, NewerVersionShowsTheNotificationWithItsReadmeAndNoMessage)
{
    for (const bool silent : {false, true}) {
        Answer("[quorvex]\r\nVersion=1.0.5.0\r\nReadmeFileURL=" + server.Url("/readme.txt")
               + "\r\nDownloadFileURL=http://x/setup.exe\r\n");
        server.Connection().Respond(Response("HTTP/1.0 200 OK", "First\r\nSecond"));
        EXPECT_TRUE(Check(silent)) << silent;
    }
    ASSERT_EQ(notified.size(), 2u);
    for (const TUpdateCheckResult& result : notified) {
        EXPECT_EQ(result.Information.Version, "1.0.5.0");
        EXPECT_EQ(result.Information.UpdatePageURL, "http://quorvex.example.com/");
        EXPECT_EQ(result.Readme, (std::vector<std::string>{"First", "Second"}));
    }
    EXPECT_TRUE(seams.Messages->Shown.empty());
    EXPECT_TRUE(seams.Shell->Opened.empty());
}

TEST_F(UpdateCheckFlow, NoNewerVersionSaysSoUnlessSilent)
{
    for (const bool silent : {false, true}) {
        Answer("[Quorvex]\nVersion=1.0.4.10\n");
        EXPECT_FALSE(Check(silent)) << silent;
    }
    EXPECT_TRUE(notified.empty());
    EXPECT_EQ(seams.Messages->Shown, std::vector<TMessage>{kNoNewVersions});
}

// Without a version but with an update page the check asks whether to open
// it; Yes opens it, No does nothing.
TEST_F(UpdateCheckFlow, UnadvertisedVersionAsksToOpenTheUpdatePage)
{
    for (const TModalResult answer : {TModalResult::No, TModalResult::Yes}) {
        server.Connection().Respond(Response("HTTP/1.0 404 Not Found", "gone"));
        seams.Messages->Answers = {answer};
        EXPECT_FALSE(Check(false));
    }
    EXPECT_EQ(seams.Messages->Shown, (std::vector<TMessage>{kUpdatePageQuestion, kUpdatePageQuestion}));
    EXPECT_EQ(seams.Shell->Opened, (std::vector<TOpened>{{"open", "http://quorvex.example.com/", kShowNormal}}));
    EXPECT_TRUE(notified.empty());
}

// Only the silent form is bounded: it asks for its time, and once that has
// passed it ends without a word, even when a newer version had been read
// before the readme could arrive.
TEST_F(UpdateCheckFlow, SilentCheckEndsQuietlyAtItsDeadline)
{
    seams.Deadline->ExpireAfter = std::chrono::milliseconds(300);
    Answer("[Quorvex]\nVersion=2.0\nReadmeFileURL=" + server.Url("/readme.txt") + "\n");
    server.Connection().ReadRequest().Pause(3000).Send(Response("HTTP/1.0 200 OK", "late")).Close();
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(Check(true));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    EXPECT_EQ(seams.Deadline->Asked, std::chrono::milliseconds(kSilentCheckTime));
    EXPECT_FALSE(seams.Deadline->Running);
    EXPECT_TRUE(notified.empty());
    EXPECT_TRUE(seams.Messages->Shown.empty());

    seams.Deadline->Asked.reset();
    Answer("[Quorvex]\nVersion=1.0\n");
    EXPECT_FALSE(Check(false));
    EXPECT_FALSE(seams.Deadline->Asked.has_value());
    EXPECT_EQ(seams.Messages->Shown, std::vector<TMessage>{kNoNewVersions});
}

// ---------------------------------------------------- the notification window

using TI = TUpdateInformation;

// Information with only the members given.
TUpdateInformation Info(std::initializer_list<std::pair<std::string TI::*, std::string>> members)
{
    TUpdateInformation information;
    for (const auto& [member, value] : members)
        information.*member = value;
    return information;
}

TUpdateCheckResult Announced(const TUpdateInformation& information, std::optional<std::vector<std::string>> readme)
{
    TUpdateCheckResult result;
    result.Information = information;
    result.Readme = std::move(readme);
    result.Newer = true;
    return result;
}

TEST(UpdateNotifyFlow, FillsTheReadmeAndTheDownloadButton)
{
    TFlowSeams seams;
    TFakeNotifyView view;
    TUpdateNotifyFlow flow(view, seams.Update);
    flow.Fill(Announced(Info({{&TI::DownloadFileURL, "http://x/setup.exe"}, {&TI::Version, "2.0"}}),
                        std::vector<std::string>{"a", "b"}),
              {});
    EXPECT_EQ(view.ReadmeLines, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(view.DownloadEnabled, true);
    flow.Fill(Announced(Info({{&TI::Version, "2.0"}}), std::nullopt), {});
    EXPECT_EQ(view.ReadmeLines, std::vector<std::string>{""});
    EXPECT_EQ(view.DownloadEnabled, false);
}

TEST(UpdateNotifyFlow, OpenWebPageOpensTheInformationsPageAndLeavesTheWindowOpen)
{
    TFlowSeams seams;
    TFakeNotifyView view;
    TUpdateNotifyFlow flow(view, seams.Update);
    flow.Fill(
        Announced(Info({{&TI::UpdatePageURL, "http://other.example.com/news"}, {&TI::Version, "2.0"}}), std::nullopt),
        {});
    flow.OpenWebPageClick();
    EXPECT_EQ(seams.Shell->Opened, (std::vector<TOpened>{{"open", "http://other.example.com/news", kShowNormal}}));
    EXPECT_FALSE(view.Closed);
}

// The download gets the checksum of the hash type asked for, the key, the
// signature, the unit and the proxy; the window closes after it.
TEST(UpdateNotifyFlow, DownloadRunsWithTheCheckerSettingsAndClosesTheWindow)
{
    TFlowSeams seams;
    TFakeNotifyView view;
    bool closedDuringDownload = true;
    view.OnDownload = [&](const TDownloadRequest&) { closedDuringDownload = view.Closed; };
    TUpdateNotifyFlow flow(view, seams.Update);
    TUpdateSettings settings;
    settings.HashType = THashType::MD5;
    settings.FileSizeUnit = TVelkAppUpdateFileSizeUnit::KiloBytes;
    settings.ProxyAddress = "proxy";
    settings.ProxyPort = "3128";
    settings.UpdatePublicKey = "KEY";
    flow.Fill(Announced(Info({{&TI::DownloadFileURL, "http://x/setup.exe"},
                              {&TI::Version, "2.0"},
                              {&TI::CRC32Hash, "C"},
                              {&TI::MD5Hash, "M"},
                              {&TI::SHA1Hash, "S"},
                              {&TI::EdSignature, "SIG"}}),
                        std::nullopt),
              settings);
    flow.DownloadClick();
    ASSERT_EQ(view.Downloads.size(), 1u);
    const TDownloadRequest& request = view.Downloads[0];
    EXPECT_EQ(request.URL, "http://x/setup.exe");
    EXPECT_EQ(request.Check.HashType, THashType::MD5);
    EXPECT_EQ(request.Check.ExpectedChecksum, "M");
    EXPECT_EQ(request.Check.PublicKey, "KEY");
    EXPECT_EQ(request.Check.Signature, "SIG");
    EXPECT_EQ(request.FileSizeUnit, TVelkAppUpdateFileSizeUnit::KiloBytes);
    EXPECT_EQ(request.Proxy, "proxy");
    EXPECT_EQ(request.ProxyPort, "3128");
    EXPECT_FALSE(closedDuringDownload);
    EXPECT_TRUE(view.Closed);
    EXPECT_NO_THROW(flow.RaiseDownloadError());
}

// An error of the download closes the window too and is raised afterwards.
TEST(UpdateNotifyFlow, DownloadErrorIsKeptUntilTheWindowIsClosed)
{
    TFlowSeams seams;
    TFakeNotifyView view;
    view.OnDownload = [](const TDownloadRequest&) { throw std::runtime_error("Cannot create file \"x\". Disk full"); };
    TUpdateNotifyFlow flow(view, seams.Update);
    flow.Fill(Announced(Info({{&TI::DownloadFileURL, "http://x/setup.exe"}, {&TI::Version, "2.0"}}), std::nullopt),
              {});
    EXPECT_NO_THROW(flow.DownloadClick());
    EXPECT_TRUE(view.Closed);
    EXPECT_THROW(flow.RaiseDownloadError(), std::runtime_error);
}

// ---------------------------------------------------------------- the download

class UpdateDownloadFlow : public testing::Test {
protected:
    UpdateDownloadFlow()
    {
        ConfigureUpdateClient(client);
        flow.ThousandsSeparator = ",";
    }

    // The installer's bytes answer the size request and the download.
    void Serve(const std::string& bytes)
    {
        server.Connection().Respond(HeadAnswer(bytes.size()));
        server.Connection().Respond(Response("HTTP/1.0 200 OK", bytes));
    }

    void Download(const TInstallerCheck& check = {})
    {
        flow.Download(server.Url("/" + name), TSpecialFolders{"", "", folder.string()}, check);
    }

    // Only the installer under its own name, with these bytes, or nothing.
    void ExpectInstaller(const std::optional<std::string>& bytes)
    {
        if (!bytes) {
            EXPECT_TRUE(FilesNamed(folder, name).empty());
            return;
        }
        EXPECT_EQ(FilesNamed(folder, name), std::vector<std::string>{name});
        EXPECT_EQ(ContentOf(folder / name), *bytes);
    }

    void ExpectNotStarted()
    {
        EXPECT_TRUE(seams.Shell->Opened.empty());
        EXPECT_EQ(seams.Application->Requests, 0);
    }

    ~UpdateDownloadFlow() override
    {
        std::error_code ignored;
        for (const std::string& file : FilesNamed(folder, name))
            fs::remove(folder / file, ignored);
    }

    TScriptedServer server;
    TFlowSeams seams;
    TFakeDownloadView view;
    THttpCli client;
    TUpdateDownloadFlow flow{view, client, seams.Update};
    fs::path folder = PrivateTemporaryFolder();
    std::string name = UniqueName("QuorvexSetup", ".exe");
    const std::string installer = std::string(5000, 'i') + "end";
};

TEST_F(UpdateDownloadFlow, SignedInstallerIsStartedWhileTheApplicationCloses)
{
    const TPublisherKeys keys = NewPublisherKeys();
    Serve(installer);
    Download({THashType::None, "", keys.PublicKey, SignatureOf(installer, keys)});
    EXPECT_EQ(view.Journal, (std::vector<std::string>{"file: " + name, "status: Getting file information",
                                                      "maximum: 5003", "cancel on", "status: Downloading file",
                                                      "timer on", "show", "cancel off", "timer off"}));
    EXPECT_EQ(view.Transfers.front(), "0 B of 4 KB (0%)");
    EXPECT_EQ(view.Transfers.back(), "4 KB of 4 KB (100%)");
    EXPECT_EQ(view.Positions.front(), 0);
    EXPECT_EQ(view.Positions.back(), 5003);
    EXPECT_EQ(seams.Messages->Shown, std::vector<TMessage>{kWillClose});
    EXPECT_EQ(seams.Application->Requests, 1);
    ExpectInstaller(installer);
    ASSERT_EQ(seams.Shell->Opened.size(), 1u);
    EXPECT_EQ(seams.Shell->Opened[0].Verb, "open");
    EXPECT_EQ(seams.Shell->Opened[0].ShowCommand, kShowNormal);
    EXPECT_TRUE(fs::equivalent(seams.Shell->Opened[0].Target, folder / name)) << seams.Shell->Opened[0].Target;
}

struct TRefusalCase {
    const char* Name;
    THashType HashType;
    bool Key;
    enum { Good, Other, Changed, None } Signature;
    TMessage Message;
};

void PrintTo(const TRefusalCase& c, std::ostream* out)
{
    *out << c.Name;
}

class UpdateDownloadRefusal : public UpdateDownloadFlow, public testing::WithParamInterface<TRefusalCase> {};

// A refused installer is deleted, never renamed into place nor started.
TEST_P(UpdateDownloadRefusal, DeletesTheFileAndSaysWhy)
{
    const TRefusalCase& c = GetParam();
    const TPublisherKeys keys = NewPublisherKeys();
    const TPublisherKeys other = NewPublisherKeys();
    std::string signature;
    switch (c.Signature) {
    case TRefusalCase::Good: signature = SignatureOf(installer, keys); break;
    case TRefusalCase::Other: signature = SignatureOf(installer, other); break;
    case TRefusalCase::Changed: signature = SignatureOf(installer + "x", keys); break;
    case TRefusalCase::None: break;
    }
    Serve(installer);
    Download({c.HashType, "00000000", c.Key ? keys.PublicKey : "", signature});
    EXPECT_EQ(seams.Messages->Shown, std::vector<TMessage>{c.Message});
    ExpectNotStarted();
    ExpectInstaller(std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Installers, UpdateDownloadRefusal,
    testing::Values(TRefusalCase{"Unsigned", THashType::None, true, TRefusalCase::None, kNotSigned},
                    TRefusalCase{"OtherKey", THashType::None, true, TRefusalCase::Other, kNotThePublishers},
                    TRefusalCase{"ChangedAfterSigning", THashType::None, true, TRefusalCase::Changed,
                                 kNotThePublishers},
                    TRefusalCase{"WrongChecksum", THashType::CRC32, false, TRefusalCase::None, kCorrupted},
                    TRefusalCase{"WrongChecksumThoughSigned", THashType::CRC32, true, TRefusalCase::Good,
                                 kCorrupted}),
    [](const testing::TestParamInfo<TRefusalCase>& info) { return std::string(info.param.Name); });

// Without an announced size nothing is transferred or shown, and nothing is said.
TEST_F(UpdateDownloadFlow, NoAnnouncedSizeMeansNoTransfer)
{
    server.Connection().Respond("HTTP/1.0 200 OK\r\nContent-Length:5003\r\n\r\n");
    Download();
    EXPECT_EQ(server.ConnectionsAccepted(), 1);
    EXPECT_TRUE(seams.Messages->Shown.empty());
    EXPECT_FALSE(view.Visible);
    EXPECT_FALSE(view.TimerRunning);
    ExpectNotStarted();
    ExpectInstaller(std::nullopt);
}

// A failed transfer says why in the status line only, and its file goes.
TEST_F(UpdateDownloadFlow, FailedTransferShowsItsStatusAndDeletesTheFile)
{
    server.Connection().Respond(HeadAnswer(installer.size()));
    server.Connection().Respond(Response("HTTP/1.0 503 Service Unavailable", "busy"));
    Download();
    EXPECT_EQ(view.Journal.at(view.Journal.size() - 3), "status: Failed: 503 Service Unavailable");
    EXPECT_TRUE(seams.Messages->Shown.empty());
    ExpectNotStarted();
    ExpectInstaller(std::nullopt);
}

// Cancel asks first: No lets the transfer go on, Yes ends it with its
// message and the partial file is deleted.
TEST_F(UpdateDownloadFlow, CancelAsksThenDiscardsTheTransfer)
{
    server.Connection().Respond(HeadAnswer(installer.size()));
    server.Connection().ReadRequest().Send(Response("HTTP/1.0 200 OK", installer).substr(0, 1000)).Pause(5000).Close();
    seams.Messages->Answers = {TModalResult::No, TModalResult::Yes};
    bool wentOn = false;
    view.OnProgress = [&] {
        if (!view.Cancel || client.RcvdCount() == 0)
            return;
        EXPECT_FALSE(flow.CloseRequested());  // closing the window asks the same question
        wentOn = view.Cancel && view.TimerRunning;
        flow.CancelClick();
    };
    const auto started = std::chrono::steady_clock::now();
    Download();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(4));
    EXPECT_TRUE(wentOn);
    EXPECT_EQ(seams.Messages->Shown, (std::vector<TMessage>{kCancelQuestion, kCancelQuestion, kNotCompleted}));
    EXPECT_FALSE(view.Cancel);
    EXPECT_FALSE(view.TimerRunning);
    ExpectNotStarted();
    ExpectInstaller(std::nullopt);
    EXPECT_TRUE(flow.CloseRequested());  // once it has ended, the window just closes
}

TEST_F(UpdateDownloadFlow, NameThatIsNotPlainEndsBeforeAnyRequest)
{
    name = "..";
    Download();
    EXPECT_EQ(seams.Messages->Shown,
              (std::vector<TMessage>{
                  {"Error", "The update cannot be saved under the name \"..\": it is not a plain file name.",
                   TMsgDlgType::Error, TMsgDlgButtons::Ok}}));
    EXPECT_EQ(server.ConnectionsAccepted(), 0);
    EXPECT_TRUE(view.Journal.empty());
}

TEST_F(UpdateDownloadFlow, ProxyNamedInTheStatusLine)
{
    client.SetProxy("127.0.0.1");
    client.SetProxyPort(std::to_string(server.Port()));
    Serve(installer);
    Download();
    const std::string port = std::to_string(server.Port());
    EXPECT_EQ(view.Journal.at(4), "status: Downloading file using proxy server (127.0.0.1:" + port + ")");
    EXPECT_EQ(server.Requests().at(0).rfind("HEAD http://127.0.0.1:", 0), 0u) << server.Requests().at(0);
}

// The timer's texts from the flow's clock and the bytes received.
TEST_F(UpdateDownloadFlow, TimerTickShowsSpeedAndTimes)
{
    using namespace std::chrono_literals;
    TUpdateDownloadFlow::TClock::time_point now{};
    flow.Now = [&now] { return now; };
    flow.StartTime = now;
    flow.FileSizeUnit = TVelkAppUpdateFileSizeUnit::MegaBytes;
    now += 3723s + 500ms;
    flow.TimerTick();
    EXPECT_EQ(view.Speed, "0 MB/sec");
    EXPECT_EQ(view.Elapsed, "01:02:03");
    EXPECT_EQ(view.Remaining, "");  // no byte yet: the label keeps its text
}

}  // namespace
}  // namespace quorvex::test
