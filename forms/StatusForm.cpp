#include "forms/StatusForm.h"

#include "workflows/WorkflowSteps.h"

namespace quorvex {

void TStatusForm::SetProgressState(TProgressState state)
{
    progressState_ = state;
    view_.DrawProgress(state);
}

void TStatusForm::WindowShown()
{
    SetStatusText(kWorking);
    SetProgressState(TProgressState::Normal);
}

void TStatusForm::WindowClosing()
{
    if (view_.OpenMessengerTicked())
        view_.OpenHidden(messengerFolder_() + std::string(kExecutableName));
    view_.ClearLines();
}

}  // namespace quorvex
