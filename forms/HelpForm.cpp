#include "forms/HelpForm.h"

#include "archive/mxStorage.h"

namespace quorvex {

void THelpForm::WindowShowing()
{
    if (loaded_)
        return;
    view_.ShowDocument(storage_.ItemByIndex(kHelpItem).GetAsStream());
    loaded_ = true;
}

}  // namespace quorvex
