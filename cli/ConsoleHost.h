// A workflow run from the command line: the ticks, folder and colour that the
// command line gave, each status line printed as the status window shows it,
// and each precondition's message printed as an error.
#pragma once

#include "workflows/WorkflowHost.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace quorvex::cli {

class TConsoleHost final : public IWorkflowHost, public IStatusLog {
public:
    TConsoleHost(std::vector<bool> ticks, std::string folder, std::uint32_t color, std::ostream& out,
                 std::ostream& err)
        : ticks_(std::move(ticks)), folder_(std::move(folder)), color_(color), out_(out), err_(err)
    {
    }

    // The workflow reached its completed state. One that did not, and raised
    // no error, was refused by a precondition, whose message was printed.
    bool Completed() const { return completed_; }

    bool Ticked(int index) const override;
    bool AnyTicked() const override;
    void UntickAll() override;
    std::string MessengerFolder() const override { return folder_; }
    std::uint32_t AdvertColor() const override { return color_; }
    IStatusLog& StatusLog() override { return *this; }
    void ShowMessage(const std::string& text) override;
    // Nothing on the command line shows the captions or the edit button.
    void AdvertOptionRefresh() override {}

    void Show() override {}
    void AppendLine(const std::string& line) override;
    void SetStatusText(const std::string& text) override;
    void SetProgressState(TProgressState) override {}
    void EnableClose(bool) override {}
    void Close() override {}

private:
    std::vector<bool> ticks_;
    std::string folder_;
    std::uint32_t color_;
    std::ostream& out_;
    std::ostream& err_;
    bool completed_ = false;
};

}  // namespace quorvex::cli
