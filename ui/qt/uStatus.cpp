#include "ui/qt/uStatus.h"

#include "ui/qt/Seams.h"
#include "ui/qt/WindowPlacement.h"
#include "ui_uStatus.h"

#include <QCloseEvent>
#include <QShowEvent>

namespace quorvex {

TfrmStatus::TfrmStatus(std::function<QString()> messengerFolder, QWidget* parent)
    : QWidget(parent, OwnedWindowFlags(FixedWindowFlags())),
      ui_(std::make_unique<Ui::TfrmStatus>()),
      messengerFolder_(std::move(messengerFolder))
{
    ui_->setupUi(this);
    MakeSecondaryWindow(this, width(), height());
    QPalette bar = ui_->pbStatus->palette();
    bar.setColor(QPalette::Highlight, QColor(0, 128, 255));
    bar.setColor(QPalette::Base, QColor(0, 128, 192));
    bar.setColor(QPalette::Window, QColor(0, 128, 192));
    ui_->pbStatus->setPalette(bar);
    connect(ui_->btnClose, &QPushButton::clicked, this, &TfrmStatus::Close);
    CentreOnScreen(this);
}

TfrmStatus::~TfrmStatus() = default;

void TfrmStatus::Show()
{
    ShowInFront(this);
}

void TfrmStatus::AppendLine(const QString& line)
{
    ui_->memStatus->appendPlainText(line);
}

void TfrmStatus::SetStatusText(const QString& text)
{
    ui_->lbStatus->setText(text);
}

// Normal is the moving (indeterminate) bar; paused stops it, filled.
void TfrmStatus::SetProgressState(TProgressState state)
{
    progressState_ = state;
    if (state == TProgressState::Normal) {
        ui_->pbStatus->setRange(0, 0);
    } else {
        ui_->pbStatus->setRange(0, 1);
        ui_->pbStatus->setValue(1);
    }
}

void TfrmStatus::EnableClose(bool enabled)
{
    ui_->btnClose->setEnabled(enabled);
}

void TfrmStatus::Close()
{
    close();
}

void TfrmStatus::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // A window coming back from the minimised state is not shown anew.
    if (!event->spontaneous())
        ShowReset();
}

void TfrmStatus::closeEvent(QCloseEvent* event)
{
    if (ui_->cbOpenYM->isChecked())
        OpenReportingFailure(QStringLiteral("Open"), messengerFolder_() + QStringLiteral("\\YahooMessenger.exe"),
                             SW_HIDE);
    ui_->memStatus->clear();
    event->accept();
}

void TfrmStatus::ShowReset()
{
    SetStatusText(QString::fromLatin1(kWorking));
    SetProgressState(TProgressState::Normal);
}

}  // namespace quorvex
