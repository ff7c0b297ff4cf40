#include "ui/qt/uEdit.h"

#include "engine/HtmlFile.h"
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
    connect(colorRow_, &TColorRow::ColorChanged, this, &TfrmEdit::ColorChange);
    // A file that cannot be written is reported from here, so the error never
    // unwinds through the toolkit's signal delivery.
    connect(ui_->btnSave, &QPushButton::clicked, this, [this] { RunReportingErrors([this] { btnSaveClick(); }); });
    // The file as it is now; the preview shows it until the first colour change.
    ui_->wbPreview->Navigate(std::string(kAdvertHtmlPath));
    CentreOver(this, owner);
}

TfrmEdit::~TfrmEdit() = default;

void TfrmEdit::ShowWindow()
{
    ShowInFront(this);
}

void TfrmEdit::ColorChange(const QColor& colour)
{
    pageText_ = AdvertHtmlPage(ColorValue(colour));
    ui_->wbPreview->LoadFromText(QString::fromStdString(pageText_));
}

// Before any colour was chosen here there is no page to save: the file keeps
// the colour it has, rather than becoming an empty page or a white one.
void TfrmEdit::btnSaveClick()
{
    if (!pageText_.empty())
        WriteAdvertHtml(pageText_);
    close();
}

}  // namespace quorvex
