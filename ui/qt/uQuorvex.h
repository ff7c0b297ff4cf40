// The main window: eight tabs with the option lists, the colour row, the
// messenger folder fields and the about, donate and help pages. It owns the
// patch engine, the single-instance guard, the dropper timer and the update
// checker.
#pragma once

#include "archive/mxStorage.h"
#include "instance/mxOneInstance.h"
#include "ui/qt/InstanceWindow.h"
#include "workflows/MessengerFacts.h"
#include "update/VelkAppUpdate.h"
#include "workflows/MessengerLocation.h"

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <future>
#include <memory>
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
struct TWorkflowWidgets;

class TfrmQuorvex : public QWidget {
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

    TQuorvex& Engine() { return *engine_; }
    const TmxOneInstance& OneInstance() const { return mxOne; }
    TmxStorage& Storage() { return mxStorage; }
    TVelkAppUpdate& UpdateChecker() { return VelkAppUpdate; }
    // The text of the Adverts tab's messenger folder field.
    QString MessengerFolder() const;
    // The donation page opened by the donate picture.
    static QString DonationPage();
    // The colour dialog, shared with the editor window.
    TColorDialog& ColorDialog() { return *cdColor; }
    // The fill of the Adverts tab's colour box, as the engine takes a colour:
    // the background of a new HTML replacement file.
    std::uint32_t BackgroundColor() const;

    // Handlers, named after their control and event.
    void lvOptionsItemChecked(int index);
    void lvCleanItemChecked(int index);
    void btnCallmClick();
    void btnCalluClick();
    void tbAdvertsShow();
    void tbUIShow();
    void btnHelpClick();
    void btnReplaceClick();
    void btnUpdateClick();
    void imgDonateClick();
    // Shows stored item index in imgPreview and the row's description in lbDisc.
    void lvAboutAdsSelectItem(int index);
    // The apply buttons: one workflow each, none while another runs.
    void btnApplyClick();
    void btnUIApplyClick();
    void btnCleanClick();
    // Captions of advert options 6 and 8 and the visibility of btnReplace.
    void AdvertOptionRefresh();
    // A messenger folder typed or picked as a native path inside another Wine
    // prefix makes that prefix the one in use; the visible tab follows.
    void FolderChosen(const TFolderEdit& folder);

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
    void RunUpdateCheck(bool noMessageDlg);
    void lvAboutAdsSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    // Shows an About Adverts item's picture, already fitted to the preview, and its description.
    void ShowPreview(int index, const QImage& picture);
    void FormCreate();
    // The facts the option lists' rules read: while a list is drawn, each is
    // read once for all its rows.
    IOptionFacts& RuleFacts();
    void DrawWithRememberedFacts(const std::function<void()>& draw);
    // The tooltips of the folder fields and version labels name the prefix in use.
    void ShowPrefixInUse();
    // The messenger's version, or what is wrong with the prefix in use.
    QString VersionText() const;
    // The buttons and lists that could start a workflow or change its ticks.
    std::vector<QWidget*> ApplyControls() const;
    TWorkflowWidgets WorkflowWidgets(TOptionListView& list, TFolderEdit& folder);
    // Runs a workflow under the apply lock; an error it raises is reported.
    void RunWorkflow(const std::function<void()>& workflow);

    std::unique_ptr<Ui::TfrmQuorvex> ui_;
    TfrmUpdate* splash_;
    bool updateCheckRunning_ = false;
    TmxOneInstance mxOne;
    TQtInstanceWindow instanceWindow_{*this};
    TmxStorage mxStorage;
    // The first advert preview, decoded on another thread while the window is set up.
    std::future<QImage> firstPreview_;
    QTimer* tmrDrop;
    TColorDialog* cdColor;
    TColorRow* colorRow_ = nullptr;
    TVelkAppUpdate VelkAppUpdate;
    std::unique_ptr<TQuorvex> engine_;
    std::unique_ptr<TMessengerFacts> facts_;
    IOptionFacts* drawFacts_ = nullptr;
    TMessengerLocation location_;
    // Last, so that they go before everything they refer to.
    std::unique_ptr<TfrmStatus> status_;
    std::unique_ptr<TfrmHelp> help_;
    std::unique_ptr<TfrmEdit> edit_;
};

}  // namespace quorvex
