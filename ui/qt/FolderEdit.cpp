#include "ui/qt/FolderEdit.h"

#include "forms/MainView.h"
#include "platform/wine/FolderTexts.h"
#include "ui/qt/Seams.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

namespace quorvex {

TFolderEdit::TFolderEdit(QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), browse_(new QToolButton(this))
{
    edit_->setObjectName(QStringLiteral("edit"));
    browse_->setObjectName(QStringLiteral("browse"));
    browse_->setText(QStringLiteral("..."));
    // Reached with Tab from the field, so the picker opens from the keyboard too.
    browse_->setFocusPolicy(Qt::TabFocus);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(edit_, 1);
    layout->addWidget(browse_);
    connect(browse_, &QToolButton::clicked, this, &TFolderEdit::Browse);
    connect(edit_, &QLineEdit::editingFinished, this, &TFolderEdit::FolderChosen);
}

QString TFolderEdit::text() const
{
    return edit_->text();
}

void TFolderEdit::setText(const QString& text)
{
    edit_->setText(text);
}

void TFolderEdit::Browse()
{
    const std::optional<std::filesystem::path> folder = ExistingNativeFolder(text().toStdString());
    const QString start = folder ? QString::fromStdString(folder->string()) : QDir::rootPath();
    const std::optional<QString> chosen =
        Seams().FolderPicker->Pick(window(), QString::fromLatin1(kMessengerFolderPrompt), start);
    if (!chosen)
        return;
    setText(QString::fromStdString(WindowsFolderText(chosen->toStdString())));
    emit FolderChosen();
}

}  // namespace quorvex
