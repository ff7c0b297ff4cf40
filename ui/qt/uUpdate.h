// The update splash: a small borderless window shown while an update check runs.
#pragma once

#include <QFrame>

#include <memory>

namespace Ui {
class TfrmUpdate;
}

namespace quorvex {

class TfrmUpdate : public QFrame {
    Q_OBJECT
public:
    explicit TfrmUpdate(QWidget* parent = nullptr);
    ~TfrmUpdate() override;

    // Shows the splash and paints it at once, before any event loop runs.
    void ShowNow();

private:
    std::unique_ptr<Ui::TfrmUpdate> ui_;
};

}  // namespace quorvex
