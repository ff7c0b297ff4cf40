#include "ui/uEdit.h"

#include "ui/WindowPlacement.h"

namespace quorvex {

TfrmEdit::TfrmEdit(QWidget* owner) : QWidget(nullptr, FixedDialogFlags())
{
    setObjectName(QStringLiteral("frmEdit"));
    setWindowTitle(QStringLiteral(" Edit HTML Replacement File"));
    setFont(QFont(QStringLiteral("Arial"), 9));
    MakeSecondaryWindow(this, 345, 295);
    CentreOver(this, owner);
}

void TfrmEdit::ShowWindow()
{
    ShowInFront(this);
}

}  // namespace quorvex
