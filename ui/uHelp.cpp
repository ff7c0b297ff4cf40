#include "ui/uHelp.h"

#include "ui/WindowPlacement.h"

namespace quorvex {

TfrmHelp::TfrmHelp(QWidget* parent) : QWidget(parent, FixedDialogFlags())
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral(" Help Document"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    MakeSecondaryWindow(this, 641, 458);
    CentreOnScreen(this);
}

void TfrmHelp::ShowWindow()
{
    ShowInFront(this);
}

}  // namespace quorvex
