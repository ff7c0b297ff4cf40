// The update splash: a small borderless window shown while an update check
// runs, as TSplashForm decides.
#pragma once

#include "forms/SplashForm.h"

#include <QFrame>

#include <memory>

namespace Ui {
class TfrmUpdate;
}

namespace quorvex {

class TfrmUpdate : public QFrame, public ISplashView {
    Q_OBJECT
public:
    explicit TfrmUpdate(QWidget* parent = nullptr);
    ~TfrmUpdate() override;

    bool Visible() const override { return isVisible(); }
    // Shows the splash and paints it at once, before any event loop runs.
    void ShowNow() override;
    void Hide() override { hide(); }

private:
    std::unique_ptr<Ui::TfrmUpdate> ui_;
};

}  // namespace quorvex
