#include "ui/qt/uEdit.h"

#include "ui/qt/Application.h"
#include "ui/qt/ColorRow.h"
#include "ui/qt/WindowPlacement.h"
#include "ui_uEdit.h"

#include <QTimer>

namespace quorvex {

TfrmEdit::TfrmEdit(QWidget* owner, TColorDialog& cdColor)
    : QWidget(owner, OwnedWindowFlags(FixedDialogFlags())), ui_(std::make_unique<Ui::TfrmEdit>()), tmrDropp(new QTimer(this))
{
    ui_->setupUi(this);
    MakeSecondaryWindow(this, width(), height());
    tmrDropp->setObjectName(QStringLiteral("tmrDropp"));
    colorRow_ = new TColorRow({ui_->shColor, ui_->shDrop, ui_->imgDropp, ui_->imgCDrop, ui_->imgBlank, tmrDropp},
                              cdColor, TFrameHover::PictureOnly, this);
    form_ = std::make_unique<TEditForm>(static_cast<IEditView&>(*this));
    connect(colorRow_, &TColorRow::ColorChanged, this,
            [this](const QColor& colour) { form_->ColorChange(ColorValue(colour)); });
    connect(ui_->btnSave, &QPushButton::clicked, this, [this] { form_->btnSaveClick(); });
    CentreOver(this, owner);
}

TfrmEdit::~TfrmEdit() = default;

void TfrmEdit::ShowWindow()
{
    ShowInFront(this);
}

void TfrmEdit::ShowFile(const std::string& path)
{
    ui_->wbPreview->Navigate(path);
}

void TfrmEdit::ShowPage(const std::string& html)
{
    ui_->wbPreview->LoadFromText(QString::fromStdString(html));
}

void TfrmEdit::CloseWindow()
{
    close();
}

void TfrmEdit::ReportError(const std::string& message)
{
    ReportApplicationError(QString::fromStdString(message));
}

}  // namespace quorvex
