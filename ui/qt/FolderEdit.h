// A messenger folder field: an editable text with a browse button that
// opens the folder picker.
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace quorvex {

class TFolderEdit : public QWidget {
    Q_OBJECT
public:
    explicit TFolderEdit(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    QLineEdit* Edit() const { return edit_; }
    QToolButton* BrowseButton() const { return browse_; }

    // Opens the folder picker at the folder the field names (at the root when
    // it names no existing folder) and puts the chosen folder into the field.
    void Browse();

signals:
    // The user has finished typing a changed folder, or has picked one.
    void FolderChosen();

private:
    QLineEdit* edit_;
    QToolButton* browse_;
};

}  // namespace quorvex
