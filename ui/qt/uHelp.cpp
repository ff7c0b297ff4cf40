#include "ui/qt/uHelp.h"

#include "ui/qt/WindowPlacement.h"
#include "ui_uHelp.h"

namespace quorvex {

TfrmHelp::TfrmHelp(TmxStorage& storage, QWidget* parent)
    : QWidget(parent, OwnedWindowFlags(FixedDialogFlags())), ui_(std::make_unique<Ui::TfrmHelp>()), form_(*this, storage)
{
    ui_->setupUi(this);
    MakeSecondaryWindow(this, width(), height());
    CentreOnScreen(this);
}

TfrmHelp::~TfrmHelp() = default;

void TfrmHelp::ShowInFront()
{
    quorvex::ShowInFront(this);
}

void TfrmHelp::ShowDocument(TStream& document)
{
    ui_->wbHelp->LoadFromStream(document);
}

void TfrmHelp::showEvent(QShowEvent* event)
{
    form_.WindowShowing();
    QWidget::showEvent(event);
}

}  // namespace quorvex
