#include "ui/qt/uStatus.h"

#include "ui/qt/Seams.h"
#include "ui/qt/WindowPlacement.h"
#include "ui_uStatus.h"

#include <QCloseEvent>
#include <QShowEvent>

namespace quorvex {

TfrmStatus::TfrmStatus(std::function<std::string()> messengerFolder, QWidget* parent)
    : QWidget(parent, OwnedWindowFlags(FixedWindowFlags())),
      ui_(std::make_unique<Ui::TfrmStatus>()),
      form_(*this, std::move(messengerFolder))
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

void TfrmStatus::ShowInFront()
{
    quorvex::ShowInFront(this);
}

void TfrmStatus::CloseWindow()
{
    close();
}

void TfrmStatus::WriteLine(const std::string& line)
{
    ui_->memStatus->appendPlainText(QString::fromStdString(line));
}

void TfrmStatus::ClearLines()
{
    ui_->memStatus->clear();
}

void TfrmStatus::DrawStatusText(const std::string& text)
{
    ui_->lbStatus->setText(QString::fromStdString(text));
}

// Normal is the moving (indeterminate) bar; paused stops it, filled.
void TfrmStatus::DrawProgress(TProgressState state)
{
    if (state == TProgressState::Normal) {
        ui_->pbStatus->setRange(0, 0);
    } else {
        ui_->pbStatus->setRange(0, 1);
        ui_->pbStatus->setValue(1);
    }
}

void TfrmStatus::DrawCloseEnabled(bool enabled)
{
    ui_->btnClose->setEnabled(enabled);
}

bool TfrmStatus::OpenMessengerTicked() const
{
    return ui_->cbOpenYM->isChecked();
}

void TfrmStatus::OpenHidden(const std::string& target)
{
    OpenReportingFailure(QStringLiteral("Open"), QString::fromStdString(target), SW_HIDE);
}

void TfrmStatus::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // A window coming back from the minimised state is not shown anew.
    if (!event->spontaneous())
        form_.WindowShown();
}

void TfrmStatus::closeEvent(QCloseEvent* event)
{
    form_.WindowClosing();
    event->accept();
}

}  // namespace quorvex
