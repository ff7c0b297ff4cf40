// The help window, created hidden at start-up; the help document (stored
// item 6) is loaded when the window is first shown, so start-up does not pay
// for laying it out.
#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class TfrmHelp;
}

namespace quorvex {

class TmxStorage;

// The stored item that holds the help document.
inline constexpr int kHelpItem = 6;

class TfrmHelp : public QWidget {
    Q_OBJECT
public:
    // storage is the main window's archive, from which the document is read.
    explicit TfrmHelp(TmxStorage& storage, QWidget* parent = nullptr);
    ~TfrmHelp() override;

    // Shows the window without blocking and brings it forward; the document
    // is loaded the first time only.
    void ShowWindow();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::TfrmHelp> ui_;
    TmxStorage& storage_;
    bool loaded_ = false;
};

}  // namespace quorvex
