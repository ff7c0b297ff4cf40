#include "ui/qt/WorkflowWiring.h"

#include "ui/qt/Application.h"
#include "ui/qt/ColorRow.h"
#include "ui/qt/FolderEdit.h"
#include "ui/qt/OptionListView.h"
#include "ui/qt/Seams.h"
#include "ui/qt/Shape.h"
#include "ui/qt/uStatus.h"

namespace quorvex {

void TStatusWindowLog::Show()
{
    window_.Show();
}

void TStatusWindowLog::AppendLine(const std::string& line)
{
    window_.AppendLine(QString::fromStdString(line));
}

void TStatusWindowLog::SetStatusText(const std::string& text)
{
    window_.SetStatusText(QString::fromStdString(text));
}

void TStatusWindowLog::SetProgressState(TProgressState state)
{
    window_.SetProgressState(state);
}

void TStatusWindowLog::EnableClose(bool enabled)
{
    window_.EnableClose(enabled);
}

void TStatusWindowLog::Close()
{
    window_.Close();
}

bool TWorkflowWindowHost::Ticked(int index) const
{
    return widgets_.List.Checked(index);
}

bool TWorkflowWindowHost::AnyTicked() const
{
    return widgets_.List.AnyTicked();
}

void TWorkflowWindowHost::UntickAll()
{
    widgets_.List.UntickAll();
    widgets_.List.viewport()->update();
}

std::string TWorkflowWindowHost::MessengerFolder() const
{
    return widgets_.Folder.text().toStdString();
}

std::uint32_t TWorkflowWindowHost::AdvertColor() const
{
    return ColorValue(widgets_.Color.BrushColor());
}

void TWorkflowWindowHost::ShowMessage(const std::string& text)
{
    Seams().Messages->Show(widgets_.Owner, QString::fromLatin1(kApplicationTitle), QString::fromStdString(text),
                           TMsgDlgType::Plain, TMsgDlgButtons::Ok);
}

TApplyLock::TApplyLock(const std::vector<QWidget*>& controls)
{
    for (QWidget* control : controls) {
        if (control->testAttribute(Qt::WA_ForceDisabled))
            continue;  // disabled on its own account: left so
        control->setEnabled(false);
        disabled_.emplace_back(control);
    }
}

TApplyLock::~TApplyLock()
{
    for (const QPointer<QWidget>& control : disabled_) {
        if (control)
            control->setEnabled(true);
    }
}

}  // namespace quorvex
