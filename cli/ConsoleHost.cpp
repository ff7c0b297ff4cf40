#include "cli/ConsoleHost.h"

#include "workflows/WorkflowSteps.h"

#include <algorithm>

namespace quorvex::cli {

bool TConsoleHost::Ticked(int index) const
{
    return index >= 0 && static_cast<std::size_t>(index) < ticks_.size() && ticks_[static_cast<std::size_t>(index)];
}

bool TConsoleHost::AnyTicked() const
{
    return std::find(ticks_.begin(), ticks_.end(), true) != ticks_.end();
}

void TConsoleHost::UntickAll()
{
    ticks_.assign(ticks_.size(), false);
}

void TConsoleHost::ShowMessage(const std::string& text)
{
    err_ << text << std::endl;
}

// Flushed line by line, so that the lines before an error are out before it.
void TConsoleHost::AppendLine(const std::string& line)
{
    out_ << line << std::endl;
}

void TConsoleHost::SetStatusText(const std::string& text)
{
    if (text == kApplyComplete)
        completed_ = true;
}

}  // namespace quorvex::cli
