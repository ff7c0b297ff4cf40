// The help window, created hidden at start-up; it shows the help document.
#pragma once

#include <QWidget>

namespace quorvex {

class TfrmHelp : public QWidget {
    Q_OBJECT
public:
    explicit TfrmHelp(QWidget* parent = nullptr);

    // Shows the window without blocking and brings it forward.
    void ShowWindow();
};

}  // namespace quorvex
