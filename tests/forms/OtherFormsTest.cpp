// The status, editor, help and splash windows' rules on views that draw nothing.
#include "FakeViews.h"
#include "FormPrefix.h"
#include "archive/Catalogue.h"
#include "archive/mxStorage.h"
#include "forms/EditForm.h"
#include "forms/HelpForm.h"
#include "forms/SplashForm.h"
#include "forms/StatusForm.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

namespace quorvex::test {
namespace {

class StatusFormTest : public ::testing::Test {
protected:
    TFakeStatusView view;
    TStatusForm form{view, [] { return std::string("C:\\Adverts Folder"); }};
};

TEST_F(StatusFormTest, TheLogCallsReachTheWindowAndTheBarStateIsKept)
{
    form.Show();
    form.AppendLine("Urls: Successfully Patched");
    form.SetStatusText("Applying Options Complete");
    form.SetProgressState(TProgressState::Paused);
    form.EnableClose(false);
    form.Close();
    EXPECT_EQ(view.Journal, (TJournal{"show", "line: Urls: Successfully Patched", "status: Applying Options Complete",
                                      "progress: stopped", "close button: off", "close"}));
    EXPECT_EQ(form.ProgressState(), TProgressState::Paused);
}

TEST_F(StatusFormTest, ShownAnewTheLabelAndTheBarStartOverAndTheLinesStay)
{
    form.SetProgressState(TProgressState::Paused);
    view.Journal.clear();
    form.WindowShown();
    EXPECT_EQ(view.Journal, (TJournal{"status: Applying selected Options ...", "progress: moving"}));
    EXPECT_EQ(form.ProgressState(), TProgressState::Normal);
}

TEST_F(StatusFormTest, ClosingStartsTheMessengerFromTheAdvertsFolderOnlyWithTheBoxTickedAndClearsTheLines)
{
    form.WindowClosing();
    view.OpenMessenger = true;
    form.WindowClosing();
    EXPECT_EQ(view.Journal, (TJournal{"clear", "open hidden: C:\\Adverts Folder\\YahooMessenger.exe", "clear"}));
}

TEST(EditFormTest, ThePreviewShowsTheFileUntilAColourIsChosenThenThePageForIt)
{
    TFakeEditView view;
    TEditForm form(view);
    EXPECT_EQ(form.PageText(), "");
    form.ColorChange(0x00996633);
    form.ColorChange(0x0000A00F);
    const std::string page336699 = "<html><body bgcolor=\"#336699\" style=\"overflow: hidden;\"></body></html>";
    const std::string page0FA000 = "<html><body bgcolor=\"#0FA000\" style=\"overflow: hidden;\"></body></html>";
    EXPECT_EQ(view.Journal, (TJournal{"file: C:\\BlankQuorvex.html", "page: " + page336699, "page: " + page0FA000}));
    EXPECT_EQ(form.PageText(), page0FA000);
}

#ifdef QUORVEX_WINE_PREFIX
class EditFormSave : public ::testing::Test {
protected:
    std::filesystem::path File() const { return prefix.Path() / "drive_c" / "BlankQuorvex.html"; }

    TFormPrefix prefix;
    TFakeEditView view;
    TEditForm form{view};
};

TEST_F(EditFormSave, BeforeAnyColourTheFileIsKeptAndTheWindowCloses)
{
    WriteText(File(), "as it was\r\n");
    form.btnSaveClick();
    EXPECT_EQ(ReadText(File()), "as it was\r\n");
    EXPECT_EQ(view.Journal.back(), "close");
}

TEST_F(EditFormSave, AfterAColourThePageIsWrittenAndTheWindowCloses)
{
    form.ColorChange(0x00996633);
    form.btnSaveClick();
    EXPECT_EQ(ReadText(File()), "<html><body bgcolor=\"#336699\" style=\"overflow: hidden;\"></body></html>\r\n");
    EXPECT_EQ(view.Journal.back(), "close");
}

TEST_F(EditFormSave, AFileThatCannotBeWrittenIsReportedAndTheWindowStays)
{
    std::filesystem::create_directory(File());
    form.ColorChange(0x00996633);
    form.btnSaveClick();
    ASSERT_EQ(view.Journal.size(), 3u);
    EXPECT_TRUE(view.Journal[2].starts_with("error: ")) << view.Journal[2];
    EXPECT_NE(view.Journal[2].find("BlankQuorvex.html"), std::string::npos) << view.Journal[2];
    EXPECT_TRUE(std::filesystem::is_directory(File()));
}
#endif

TEST(HelpFormTest, TheDocumentOfStoredItemSixIsLoadedWhenFirstShownOnly)
{
    TmxStorage storage;
    LoadStoredCatalogue(storage);
    TMemoryStream& stored = storage.ItemByIndex(kHelpItem).GetAsStream();
    std::string document(stored.Size(), '\0');
    stored.Seek(0);
    stored.Read(std::span(reinterpret_cast<std::uint8_t*>(document.data()), document.size()));
    ASSERT_NE(document.find("<html"), std::string::npos) << "the help document";

    TFakeHelpView view;
    THelpForm form(view, storage);
    form.ShowWindow();
    form.WindowShowing();
    form.ShowWindow();
    form.WindowShowing();
    EXPECT_EQ(view.Journal, (TJournal{"show", "document: " + document, "show"}));
}

struct TSplashCase {
    const char* Name;
    bool UpBefore;
    TJournal Expected;
};

class SplashFormTest : public ::testing::TestWithParam<TSplashCase> {};

TEST_P(SplashFormTest, TheSplashIsUpForTheCheckAndGoneAfterItAlsoAfterAnError)
{
    TJournal journal;
    TFakeSplash view(journal);
    view.Up = GetParam().UpBefore;
    TSplashForm form(view);
    EXPECT_TRUE(form.RunCheck([&] {
        journal.push_back(form.CheckRunning() ? "checking" : "not running");
        EXPECT_FALSE(form.RunCheck([&] { journal.push_back("second check"); }));
    }));
    EXPECT_THROW(form.RunCheck([] { throw std::runtime_error("failed"); }), std::runtime_error);
    EXPECT_FALSE(form.CheckRunning());
    EXPECT_EQ(journal, GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Splash, SplashFormTest,
    ::testing::Values(TSplashCase{"Hidden", false,
                                  {"splash shown", "checking", "splash hidden", "splash shown", "splash hidden"}},
                      TSplashCase{"AlreadyUp", true,
                                  {"checking", "splash hidden", "splash shown", "splash hidden"}}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace quorvex::test
