// The help window, created hidden at start-up with the help document (stored
// item 6) already loaded.
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
    // is not reloaded.
    void ShowWindow();

private:
    std::unique_ptr<Ui::TfrmHelp> ui_;
};

}  // namespace quorvex
