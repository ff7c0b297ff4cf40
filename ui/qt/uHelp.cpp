#include "ui/qt/uHelp.h"

#include "archive/mxStorage.h"
#include "ui/qt/WindowPlacement.h"
#include "ui_uHelp.h"

namespace quorvex {

TfrmHelp::TfrmHelp(TmxStorage& storage, QWidget* parent)
    : QWidget(parent, OwnedWindowFlags(FixedDialogFlags())), ui_(std::make_unique<Ui::TfrmHelp>()), storage_(storage)
{
    ui_->setupUi(this);
    MakeSecondaryWindow(this, width(), height());
    CentreOnScreen(this);
}

TfrmHelp::~TfrmHelp() = default;

void TfrmHelp::ShowWindow()
{
    ShowInFront(this);
}

void TfrmHelp::showEvent(QShowEvent* event)
{
    if (!loaded_) {
        ui_->wbHelp->LoadFromStream(storage_.ItemByIndex(kHelpItem).GetAsStream());
        loaded_ = true;
    }
    QWidget::showEvent(event);
}

}  // namespace quorvex
