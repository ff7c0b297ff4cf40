// The preconditions of the three workflows, in their order: the first that
// fails shows its message and nothing else happens (no status window, no
// change to the Close button, the ticks, the files).
#include "tests/workflows/WorkflowTestSupport.h"
#include "workflows/WorkflowSteps.h"
#include "workflows/Workflows.h"

#include <gtest/gtest.h>

#include <memory>

namespace quorvex::test {
namespace {

namespace fs = std::filesystem;

enum class TWorkflow { Advert, Skin, Clean };

struct TPreconditionCase {
    const char* Name;
    TWorkflow Workflow;
    bool ExecutableMissing;
    bool Running;
    bool NothingTicked;
    std::string_view Message;
};

class Preconditions : public WorkflowTest, public ::testing::WithParamInterface<TPreconditionCase> {
public:
    void Run()
    {
        switch (GetParam().Workflow) {
        case TWorkflow::Advert: ApplyAdvertOptions(engine, storage, host); break;
        case TWorkflow::Skin: ApplySkinOptions(storage, host); break;
        case TWorkflow::Clean: CleanAndRestore(engine, storage, host); break;
        }
    }
};

TEST_P(Preconditions, TheFirstThatFailsShowsItsMessageAndEndsTheRun)
{
    const TPreconditionCase& c = GetParam();
    WriteText(HtmlReplacement(), "<html></html>\r\n");
    if (c.ExecutableMissing)
        host.Folder = "C:\\Program Files\\Yahoo!";
    const std::unique_ptr<TRunningMessenger> messenger = c.Running ? std::make_unique<TRunningMessenger>() : nullptr;
    host.Tick(9, c.NothingTicked ? std::vector<int>{} : std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8});
    const std::vector<bool> ticks = host.Ticks;
    const std::string user = ReadText(prefix.Path() / "user.reg");

    Run();

    EXPECT_EQ(host.Journal, OnlyMessage(std::string(c.Message)));
    EXPECT_EQ(host.Ticks, ticks);
    EXPECT_FALSE(engine.YahooLoaded);
    EXPECT_TRUE(fs::exists(HtmlReplacement()));
    EXPECT_TRUE(ReadBytes(prefix.Executable()) == prefix.Image.Bytes);
    EXPECT_EQ(ReadText(prefix.Path() / "user.reg"), user);
}

INSTANTIATE_TEST_SUITE_P(
    Workflow, Preconditions,
    ::testing::Values(
        TPreconditionCase{"AdvertAllFail", TWorkflow::Advert, true, true, true, kMessengerNotFound},
        TPreconditionCase{"AdvertRunning", TWorkflow::Advert, false, true, true, kMessengerRunning},
        TPreconditionCase{"AdvertNothingTicked", TWorkflow::Advert, false, false, true, kNoOptionTicked},
        TPreconditionCase{"SkinAllFail", TWorkflow::Skin, true, true, true, kMessengerNotFound},
        TPreconditionCase{"SkinRunning", TWorkflow::Skin, false, true, true, kMessengerRunning},
        TPreconditionCase{"SkinNothingTicked", TWorkflow::Skin, false, false, true, kNoOptionTicked},
        // The clean workflow asks for a tick first and looks for the
        // executable only for the restore, after the status window is shown.
        TPreconditionCase{"CleanAllFail", TWorkflow::Clean, true, true, true, kNoOptionTicked},
        TPreconditionCase{"CleanRunning", TWorkflow::Clean, true, true, false, kMessengerRunning}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace quorvex::test
