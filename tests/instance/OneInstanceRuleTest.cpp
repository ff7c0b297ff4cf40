// The single-instance guard's rule over a fake system backend: what a start
// does when it holds the name, when another instance does, and when the name
// cannot be had.
#include "instance/mxOneInstance.h"

#include "platform/Error.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace quorvex {
namespace {

// What the guard asked of the system and of the window, in order.
using TLog = std::vector<std::string>;

class TFakeBackend final : public TSingleInstanceBackend {
public:
    TFakeBackend(TLog& log, bool claimed, int requests = 0) : log_(log), claimed_(claimed), requests_(requests) {}

    bool Claim(const std::string& name) override
    {
        log_.push_back("claim " + name);
        if (!Failure.empty())
            throw Error(Failure);
        return claimed_;
    }
    void AskHolderToComeForward(const std::string& name) override { log_.push_back("ask " + name); }
    int TakeComeForwardRequests() override { return std::exchange(requests_, 0); }

    std::string Failure;

private:
    TLog& log_;
    bool claimed_;
    int requests_;
};

class TFakeWindow final : public TInstanceWindow {
public:
    explicit TFakeWindow(TLog& log) : log_(log) {}
    void RestoreOrBringToFront() override { log_.push_back("forward"); }

private:
    TLog& log_;
};

TEST(OneInstanceRule, TheFirstStartHoldsTheNameAndBringsItsWindowForwardWhenAsked)
{
    TLog log;
    TFakeWindow window(log);
    auto backend = std::make_unique<TFakeBackend>(log, true, 2);
    TmxOneInstance guard(std::move(backend));
    guard.OnInstanceExists = [&](TmxOneInstance&) { log.push_back("exists"); };
    guard.Loaded("Quorvex", window);

    EXPECT_TRUE(guard.MutexCreated());
    EXPECT_FALSE(guard.InstanceExisted());
    EXPECT_FALSE(guard.TerminateRequested());
    EXPECT_EQ(log, TLog{"claim Quorvex"});

    guard.ServeRequests();
    guard.ServeRequests();
    EXPECT_EQ(log, (TLog{"claim Quorvex", "forward"})) << "two requests at once, one window to bring forward";
}

TEST(OneInstanceRule, ALaterStartNotifiesThenSwitchesThenIsAskedToEnd)
{
    const struct {
        bool switchToPrevious;
        bool terminate;
        TLog log;
    } cases[] = {
        {true, true, {"claim Quorvex", "exists", "ask Quorvex"}},
        {false, true, {"claim Quorvex", "exists"}},
        {true, false, {"claim Quorvex", "exists", "ask Quorvex"}},
        {false, false, {"claim Quorvex", "exists"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "switch " << c.switchToPrevious << ", terminate " << c.terminate);
        TLog log;
        TFakeWindow window(log);
        TmxOneInstance guard(std::make_unique<TFakeBackend>(log, false, 1));
        guard.SwitchToPrevious = c.switchToPrevious;
        guard.Terminate = c.terminate;
        guard.OnInstanceExists = [&](TmxOneInstance& sender) {
            EXPECT_EQ(&sender, &guard);
            EXPECT_FALSE(sender.MutexCreated()) << "called while the guard is loading";
            log.push_back("exists");
        };
        guard.Loaded("Quorvex", window);

        EXPECT_EQ(log, c.log);
        EXPECT_TRUE(guard.InstanceExisted());
        EXPECT_EQ(guard.TerminateRequested(), c.terminate);
        EXPECT_TRUE(guard.MutexCreated());
    }
}

TEST(OneInstanceRule, ANameThatCannotBeHadEndsTheStartSayingWhyOnStandardError)
{
    TLog log;
    TFakeWindow window(log);
    auto backend = std::make_unique<TFakeBackend>(log, true);
    backend->Failure = "Cannot take the single-instance lock in \"/run/x\". Permission denied";
    TmxOneInstance guard(std::move(backend));
    guard.OnInstanceExists = [&](TmxOneInstance&) { log.push_back("exists"); };

    testing::internal::CaptureStderr();
    std::string raised;
    try {
        guard.Loaded("Quorvex", window);
    } catch (const Error& error) {
        raised = error.what();
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Cannot take the single-instance lock in \"/run/x\". Permission denied\n");
    EXPECT_EQ(raised, "Cannot take the single-instance lock in \"/run/x\". Permission denied");
    EXPECT_EQ(log, TLog{"claim Quorvex"}) << "neither another instance nor a switch";
    EXPECT_FALSE(guard.InstanceExisted());
    EXPECT_FALSE(guard.TerminateRequested());
    EXPECT_FALSE(guard.MutexCreated());
}

}  // namespace
}  // namespace quorvex
