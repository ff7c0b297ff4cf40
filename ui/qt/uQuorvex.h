// The main window: eight tabs with the option lists, the colour row, the
// messenger folder fields and the about, donate and help pages. It owns the
// single-instance guard, the dropper timer, the update checker and its rules
// (TMainForm, which owns the patch engine); it draws them and wires its
// controls' events to them.
#pragma once

#include "archive/mxStorage.h"
#include "forms/MainForm.h"
#include "instance/mxOneInstance.h"
#include "ui/qt/InstanceWindow.h"
#include "ui/qt/update/VelkAppUpdate.h"
#include "workflows/MessengerLocation.h"

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <future>
#include <memory>
#include <string>
#include <vector>

namespace Ui {
class TfrmQuorvex;
}

class QItemSelection;
class QTimer;

namespace quorvex {

class TColorDialog;
class TColorRow;
class TFolderEdit;
class TOptionListView;
class TQuorvex;
class TfrmEdit;
class TfrmHelp;
class TfrmStatus;
class TfrmUpdate;

class TfrmQuorvex : public QWidget, private IMainView {
    Q_OBJECT
public:
    // splash is the update splash, up while an update check runs; FormCreate
    // hides it at its end. location is the messenger's, as chosen at start-up
    // (none: the prefix in use).
    explicit TfrmQuorvex(TfrmUpdate* splash, const TMessengerLocation& location = {}, QWidget* parent = nullptr);
    ~TfrmQuorvex() override;

    // The status, help and editor windows, transient for this one. Each is
    // made when first needed, so that start-up builds only what it shows.
    TfrmStatus& StatusWindow();
    TfrmHelp& HelpWindow();
    TfrmEdit& EditWindow();

    // The window's rules, which its handlers answer to.
    TMainForm& Form() { return form_; }
    TQuorvex& Engine() { return form_.Engine(); }
    const TmxOneInstance& OneInstance() const { return mxOne; }
    TmxStorage& Storage() { return mxStorage; }
    TVelkAppUpdate& UpdateChecker() { return VelkAppUpdate; }
    // The colour dialog, shared with the editor window.
    TColorDialog& ColorDialog() { return *cdColor; }
    // The fill of the Adverts tab's colour box, as the engine takes a colour:
    // the background of a new HTML replacement file.
    std::uint32_t BackgroundColor() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void SetUpLists();
    void PlaceVersionLabels();
    void SetUpLinkLabels();
    void ConnectHandlers();
    void SetUpTabKeys();
    void ConfigureUpdateChecker();
    // The option lists ask the rules for each row as they draw it.
    void SetUpListRules();
    void lvAboutAdsSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    std::vector<int> AboutAdsRows(const QItemSelection& cells) const;
    // Shows an About Adverts item's picture, already fitted to the preview, and its description.
    void ShowPreview(int index, const QImage& picture);
    void FormCreate();

    // The main window as its rules see it.
    TOptionListView* List(TOptionList list) const;
    TFolderEdit* Field(TFolderField field) const;
    QWidget* Control(TMainControl control) const;
    QWidget* Page(TMainPage page) const;
    int RowCount(TOptionList list) const override;
    bool Ticked(TOptionList list, int index) const override;
    void SetTicked(TOptionList list, int index, bool ticked) override;
    void SetCaption(TOptionList list, int index, const std::string& caption) override;
    void Repaint(TOptionList list) override;
    std::string FolderText(TFolderField field) const override;
    void SetFolderText(TFolderField field, const std::string& text) override;
    std::uint32_t AdvertColor() const override { return BackgroundColor(); }
    void SetVersionText(TVersionLabel label, const std::string& text) override;
    void SetPrefixToolTip(const std::string& text) override;
    TMainPage CurrentPage() const override;
    void EnablePage(TMainPage page, bool enabled) override;
    bool Enabled(TMainControl control) const override;
    void Enable(TMainControl control, bool enabled) override;
    void ShowControl(TMainControl control, bool visible) override;
    void ShowAdvertItem(int index) override;
    void ShowHelpWindow() override;
    void ShowEditWindow() override;
    IStatusLog& StatusLog() override;
    void ShowMessage(const std::string& text) override;
    void ReportError(const std::string& message) override;
    void OpenHidden(const std::string& target) override;
    void ExecuteUpdateCheck(bool silent) override;

    std::unique_ptr<Ui::TfrmQuorvex> ui_;
    TmxOneInstance mxOne;
    TQtInstanceWindow instanceWindow_{*this};
    TmxStorage mxStorage;
    // The first advert preview, decoded on another thread while the window is set up.
    std::future<QImage> firstPreview_;
    QTimer* tmrDrop;
    TColorDialog* cdColor;
    TColorRow* colorRow_ = nullptr;
    TVelkAppUpdate VelkAppUpdate;
    TMainForm form_;
    // Last, so that they go before everything they refer to.
    std::unique_ptr<TfrmStatus> status_;
    std::unique_ptr<TfrmHelp> help_;
    std::unique_ptr<TfrmEdit> edit_;
};

}  // namespace quorvex
