#include "ui/uHelp.h"

#include "archive/mxStorage.h"
#include "ui/WindowPlacement.h"
#include "ui_uHelp.h"

namespace quorvex {

TfrmHelp::TfrmHelp(TmxStorage& storage, QWidget* parent)
    : QWidget(parent, FixedDialogFlags()), ui_(std::make_unique<Ui::TfrmHelp>())
{
    ui_->setupUi(this);
    MakeSecondaryWindow(this, width(), height());
    ui_->wbHelp->LoadFromStream(storage.ItemByIndex(kHelpItem).GetAsStream());
    CentreOnScreen(this);
}

TfrmHelp::~TfrmHelp() = default;

void TfrmHelp::ShowWindow()
{
    ShowInFront(this);
}

}  // namespace quorvex
