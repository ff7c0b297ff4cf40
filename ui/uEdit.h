// The HTML replacement file editor, created hidden at start-up.
#pragma once

#include <QWidget>

namespace quorvex {

class TfrmEdit : public QWidget {
    Q_OBJECT
public:
    // owner is the main window, over which the editor is centred.
    explicit TfrmEdit(QWidget* owner);

    // Shows the window without blocking and brings it forward.
    void ShowWindow();
};

}  // namespace quorvex
