#include "ui/qt/uQuorvex.h"

#include "archive/Catalogue.h"
#include "engine/TQuorvex.h"
#include "ui/qt/Application.h"
#include "ui/qt/ColorRow.h"
#include "ui/qt/Cursors.h"
#include "ui/qt/FolderEdit.h"
#include "ui/qt/PictureLoader.h"
#include "ui/qt/Seams.h"
#include "ui/qt/WindowPlacement.h"
#include "ui/qt/WinePaths.h"
#include "ui/qt/WorkflowWiring.h"
#include "ui/qt/uEdit.h"
#include "ui/qt/uHelp.h"
#include "ui/qt/uStatus.h"
#include "ui/qt/uUpdate.h"
#include "update/UpdateWindows.h"
#include "ui_uQuorvex.h"
#include "workflows/Workflows.h"

#include <quorvex/BuildConfig.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QScopeGuard>
#include <QShortcut>
#include <QTabBar>
#include <QTimer>

#include <algorithm>
#include <exception>

namespace quorvex {
namespace {

constexpr int kOptionColumnWidth = 420;
constexpr int kAdvertColumnWidth = 180;
constexpr int kMultiRow = 6;
constexpr int kSmileyRow = 8;

const QColor kLinkColor(0, 128, 192);

// Enables or disables every control of a tab page but its messenger folder
// field, which stays usable: a folder inside another Wine prefix is how the
// user reaches a messenger that the prefix in use does not hold.
void EnableTabControls(QWidget* page, bool enabled, QWidget* folderField)
{
    for (QWidget* control : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        control->setEnabled(enabled || control == folderField);
}

// Tabs as narrow as the Windows tab control draws them, so that all eight
// fit in one row without scroll buttons: the space beside the captions
// shrinks when the font standing in for Tahoma is wide.
class TCompactTabStyle final : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        if (metric == PM_TabBarTabHSpace)
            return CaptionSpace(qobject_cast<const QTabBar*>(widget));
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

private:
    static constexpr int kWidestSpace = 12;
    static constexpr int kNarrowestSpace = 4;
    // The tab control's frame and the selected tab's overlap take this much.
    static constexpr int kFrameAllowance = 4;

    static int CaptionSpace(const QTabBar* bar)
    {
        if (bar == nullptr || bar->count() == 0 || bar->parentWidget() == nullptr)
            return kWidestSpace;
        int captions = 0;
        for (int index = 0; index < bar->count(); ++index)
            captions += bar->fontMetrics().size(Qt::TextShowMnemonic, bar->tabText(index)).width();
        const int room = bar->parentWidget()->width() - kFrameAllowance;
        return std::clamp((room - captions) / bar->count(), kNarrowestSpace, kWidestSpace);
    }
};

QString SiteRoot()
{
    return QStringLiteral("http://") + QString::fromLatin1(config::kSiteHost) + QLatin1Char('/');
}

}  // namespace

TfrmQuorvex::TfrmQuorvex(TfrmUpdate* splash, const TMessengerLocation& location, QWidget* parent)
    : QWidget(parent, FixedWindowFlags()),
      ui_(std::make_unique<Ui::TfrmQuorvex>()),
      splash_(splash),
      tmrDrop(new QTimer(this)),
      cdColor(new TColorDialog(this)),
      VelkAppUpdate(Seams()),
      location_(location)
{
    ui_->setupUi(this);
    LoadStoredCatalogue(mxStorage);
    // Decoded beside the rest of the set-up; FormCreate shows it.
    firstPreview_ = std::async(std::launch::async, [&item = mxStorage.ItemByIndex(0), size = ui_->imgPreview->size()] {
        return FittedPicture(item, size);
    });
    setFixedSize(size());
    tmrDrop->setObjectName(QStringLiteral("tmrDrop"));
    colorRow_ = new TColorRow({ui_->shColor, ui_->shDrop, ui_->imgDrop, ui_->imgCDrop, ui_->imgBlank, tmrDrop},
                              *cdColor, TFrameHover::PictureAndFrame, this);
    auto* tabStyle = new TCompactTabStyle;
    tabStyle->setParent(ui_->pcMain);
    ui_->pcMain->tabBar()->setStyle(tabStyle);
    SetUpLists();
    PlaceVersionLabels();
    SetUpLinkLabels();
    ui_->lbAboutVersion->setText(QStringLiteral("Version: ") + QString::fromLatin1(config::kVersion));
    ConnectHandlers();
    SetUpTabKeys();
    ConfigureUpdateChecker();
    CentreOnScreen(this);
    instanceWindow_.Load(mxOne);
    FormCreate();
}

// FormDestroy: the engine goes with the window, freeing the messenger image.
TfrmQuorvex::~TfrmQuorvex() = default;

TfrmStatus& TfrmQuorvex::StatusWindow()
{
    if (!status_)
        status_ = std::make_unique<TfrmStatus>([this] { return MessengerFolder(); }, this);
    return *status_;
}

TfrmHelp& TfrmQuorvex::HelpWindow()
{
    if (!help_)
        help_ = std::make_unique<TfrmHelp>(mxStorage, this);
    return *help_;
}

TfrmEdit& TfrmQuorvex::EditWindow()
{
    if (!edit_)
        edit_ = std::make_unique<TfrmEdit>(this, *cdColor);
    return *edit_;
}

QString TfrmQuorvex::MessengerFolder() const
{
    return ui_->dePath->text();
}

std::uint32_t TfrmQuorvex::BackgroundColor() const
{
    return ColorValue(colorRow_->Color());
}

QString TfrmQuorvex::DonationPage()
{
    return QStringLiteral("https://") + QString::fromLatin1(config::kDonateHost)
        + QStringLiteral("/cgi-bin/webscr?cmd=_s-xclick&hosted_button_id=")
        + QString::fromLatin1(config::kDonateButtonId);
}

void TfrmQuorvex::SetUpLists()
{
    for (TOptionListView* list : {ui_->lvOptions, ui_->lvUI, ui_->lvClean, ui_->lvVersions})
        list->setColumnWidth(0, kOptionColumnWidth);
    ui_->lvAboutAds->setColumnWidth(0, kAdvertColumnWidth);
    // The lists' extra columns hold what the program reads, never shown.
    ui_->lvVersions->setColumnHidden(1, true);
    ui_->lvVersions->setColumnHidden(2, true);
    ui_->lvAboutAds->setColumnHidden(1, true);
}

// The version follows its bold caption, whatever the caption's font makes its width.
void TfrmQuorvex::PlaceVersionLabels()
{
    for (auto [caption, version] : {std::pair{ui_->lbVersionCaption, ui_->lbVersion},
                                    std::pair{ui_->lbUIVerCaption, ui_->lbUIVer}}) {
        caption->resize(caption->sizeHint().width(), caption->height());
        version->move(caption->geometry().right() + 6, version->y());
    }
}

void TfrmQuorvex::SetUpLinkLabels()
{
    QFont linkFont(QStringLiteral("Tahoma"), 9);
    linkFont.setUnderline(true);
    for (TmxLinkLabel* label : {ui_->mxLinkLabel1, ui_->mxLinkLabel2, ui_->mxLinkLabel3}) {
        label->Link = SiteRoot();
        label->LabelStyle = TLabelStyle::lsInternetLink;
        label->LinkFont = linkFont;
        label->LinkColor = kLinkColor;
        label->setText(QString::fromLatin1(config::kSiteHost));
        // As wide as its caption, centred in the column.
        const QRect column = label->geometry();
        const int width = label->sizeHint().width();
        label->setGeometry(column.x() + (column.width() - width) / 2, column.y(), width, column.height());
    }
}

void TfrmQuorvex::ConnectHandlers()
{
    connect(ui_->lvOptions, &TOptionListView::ItemChecked, this, &TfrmQuorvex::lvOptionsItemChecked);
    connect(ui_->lvClean, &TOptionListView::ItemChecked, this, &TfrmQuorvex::lvCleanItemChecked);
    connect(ui_->btnCallm, &QPushButton::clicked, this, &TfrmQuorvex::btnCallmClick);
    connect(ui_->btnCallu, &QPushButton::clicked, this, &TfrmQuorvex::btnCalluClick);
    connect(ui_->btnHelp, &QPushButton::clicked, this, &TfrmQuorvex::btnHelpClick);
    connect(ui_->btnReplace, &QPushButton::clicked, this, &TfrmQuorvex::btnReplaceClick);
    connect(ui_->btnUpdate, &QPushButton::clicked, this, &TfrmQuorvex::btnUpdateClick);
    connect(ui_->lvAboutAds->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TfrmQuorvex::lvAboutAdsSelectionChanged);
    connect(ui_->btnApply, &QPushButton::clicked, this, &TfrmQuorvex::btnApplyClick);
    connect(ui_->btnUIApply, &QPushButton::clicked, this, &TfrmQuorvex::btnUIApplyClick);
    connect(ui_->btnClean, &QPushButton::clicked, this, &TfrmQuorvex::btnCleanClick);
    for (TFolderEdit* folder : {ui_->dePath, ui_->deUpath})
        connect(folder, &TFolderEdit::FolderChosen, this, [this, folder] { FolderChosen(*folder); });
    ui_->tbAdverts->installEventFilter(this);
    ui_->tbUI->installEventFilter(this);
    ui_->imgDonate->installEventFilter(this);
}

// Ctrl+PageDown and Ctrl+PageUp go to the next and the previous tab, round
// the end, wherever the focus is: the tab control answers them only while it
// has the focus itself, and the lists take PageUp and PageDown for their rows.
void TfrmQuorvex::SetUpTabKeys()
{
    for (const auto& [key, step] : {std::pair{Qt::Key_PageDown, 1}, std::pair{Qt::Key_PageUp, -1}}) {
        auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | key), this);
        connect(shortcut, &QShortcut::activated, this, [tabs = ui_->pcMain, step] {
            tabs->setCurrentIndex((tabs->currentIndex() + step + tabs->count()) % tabs->count());
        });
    }
}

void TfrmQuorvex::ConfigureUpdateChecker()
{
    const TWindowFont font{PixelFont(QStringLiteral("Tahoma"), 12), palette().color(QPalette::ToolTipText)};
    VelkAppUpdate.SetFileSizeUnit(TVelkAppUpdateFileSizeUnit::Auto);
    VelkAppUpdate.SetFont(font);
    VelkAppUpdate.SetFontReadme(font);
    VelkAppUpdate.SetHashType(THashType::None);
    VelkAppUpdate.SetProxyAddress(QString());
    VelkAppUpdate.SetProxyPort(QStringLiteral("80"));
    VelkAppUpdate.SetUpdateFileURL(SiteRoot() + QStringLiteral("QuorvexUpdate.txt"));
    VelkAppUpdate.SetUpdatePageURL(SiteRoot());
    VelkAppUpdate.SetVersion(QString::fromLatin1(config::kVersion));
    VelkAppUpdate.SetUpdatePublicKey(QString::fromLatin1(config::kUpdatePublicKey));
}

void TfrmQuorvex::FormCreate()
{
    location_ = FollowMessengerFolder(location_, {});
    const QString defaultFolder = QString::fromStdString(location_.Folder);
    ui_->dePath->setText(defaultFolder);
    ui_->deUpath->setText(defaultFolder);
    RegisterCursor(crDropper, LoadDropperCursor());
    ui_->shColor->setAttribute(Qt::WA_OpaquePaintEvent);
    ShowPreview(0, firstPreview_.get());
    engine_ = std::make_unique<TQuorvex>();
    engine_->YahooMessengerPath = MessengerFolder().toStdString();
    facts_ = std::make_unique<TMessengerFacts>(*engine_);
    ui_->lvOptions->SetGreyRule([this](int index) { return AdvertOptionUnavailable(index, RuleFacts()); });
    ui_->lvClean->SetGreyRule([this](int index) { return CleanOptionUnavailable(index, RuleFacts()); });
    for (TOptionListView* list : {ui_->lvOptions, ui_->lvClean})
        list->SetDrawScope([this](const std::function<void()>& draw) { DrawWithRememberedFacts(draw); });
    AdvertOptionRefresh();
    ShowPrefixInUse();
    // The silent check, with the splash still up; start-up goes on after an error in it.
    RunUpdateCheck(true);
}

IOptionFacts& TfrmQuorvex::RuleFacts()
{
    return drawFacts_ != nullptr ? *drawFacts_ : *facts_;
}

void TfrmQuorvex::DrawWithRememberedFacts(const std::function<void()>& draw)
{
    TRememberedFacts remembered(*facts_);
    drawFacts_ = &remembered;
    const auto forget = qScopeGuard([this] { drawFacts_ = nullptr; });
    draw();
}

// Runs an update check while the splash is up (shown here unless start-up
// shows it already) and hides it after. An error
// ends the check and goes to the application error report from here, never
// unwinding through the toolkit's signal delivery.
void TfrmQuorvex::RunUpdateCheck(bool noMessageDlg)
{
    updateCheckRunning_ = true;
    const auto endCheck = qScopeGuard([this] {
        splash_->hide();
        updateCheckRunning_ = false;
    });
    if (!splash_->isVisible())
        splash_->ShowNow();
    RunReportingErrors([this, noMessageDlg] { VelkAppUpdate.Execute(noMessageDlg); });
}

void TfrmQuorvex::lvOptionsItemChecked(int index)
{
    if (AdvertOptionUnavailable(index, *facts_) && ui_->lvOptions->Checked(index))
        ui_->lvOptions->SetChecked(index, false);
}

void TfrmQuorvex::lvCleanItemChecked(int index)
{
    if (CleanOptionUnavailable(index, *facts_) && ui_->lvClean->Checked(index))
        ui_->lvClean->SetChecked(index, false);
}

void TfrmQuorvex::btnCallmClick()
{
    ui_->lvOptions->TickAll();
}

void TfrmQuorvex::btnCalluClick()
{
    ui_->lvUI->TickAll();
}

void TfrmQuorvex::tbAdvertsShow()
{
    const std::string version = YahooVersion();
    ui_->lbVersion->setText(VersionText());
    engine_->YahooMajor = UsableMajorVersion(version).value_or(0);
    AdvertOptionRefresh();
    EnableTabControls(ui_->tbAdverts, AdvertsTabEnabled(YahooVersion()), ui_->dePath);
    ShowPrefixInUse();
}

void TfrmQuorvex::tbUIShow()
{
    ui_->lbUIVer->setText(VersionText());
    EnableTabControls(ui_->tbUI, UITabEnabled(YahooVersion()), ui_->deUpath);
    ShowPrefixInUse();
}

QString TfrmQuorvex::VersionText() const
{
    if (location_.Prefix && location_.Prefix->State == TPrefixState::Missing)
        return QStringLiteral("No Wine prefix");
    if (location_.Prefix && location_.Prefix->State == TPrefixState::NotAPrefix)
        return QStringLiteral("Not a Wine prefix");
    return QString::fromStdString(YahooVersion());
}

void TfrmQuorvex::FolderChosen(const TFolderEdit& folder)
{
    const TMessengerLocation previous = location_;
    location_ = FollowMessengerFolder(location_, folder.text().toStdString());
    if (location_.Prefix == previous.Prefix)
        return;
    ShowPrefixInUse();
    if (ui_->pcMain->currentWidget() == ui_->tbAdverts)
        tbAdvertsShow();
    else if (ui_->pcMain->currentWidget() == ui_->tbUI)
        tbUIShow();
    // Availability is read as the rows are drawn.
    ui_->lvOptions->viewport()->update();
    ui_->lvClean->viewport()->update();
}

void TfrmQuorvex::ShowPrefixInUse()
{
    const QString tip = PrefixToolTip(location_);
    for (QWidget* widget : std::initializer_list<QWidget*>{ui_->dePath, ui_->deUpath, ui_->lbVersionCaption,
                                                          ui_->lbVersion, ui_->lbUIVerCaption, ui_->lbUIVer})
        widget->setToolTip(tip);
}

void TfrmQuorvex::AdvertOptionRefresh()
{
    ui_->btnReplace->setVisible(facts_->HtmlReplacementExists());
    ui_->lvOptions->SetCaption(kMultiRow, engine_->CheckMulti()
                                              ? QStringLiteral("Disable Multiple Instances of Yahoo Messenger 11, 10, 9, or 8")
                                              : QStringLiteral("Enable Multiple Instances of Yahoo Messenger 11, 10, 9, or 8"));
    ui_->lvOptions->SetCaption(kSmileyRow, engine_->CheckSmiley() ? QStringLiteral("Disable Smiley Search")
                                                                  : QStringLiteral("Enable Smiley Search"));
}

void TfrmQuorvex::btnHelpClick()
{
    HelpWindow().ShowWindow();
}

void TfrmQuorvex::btnReplaceClick()
{
    EditWindow().ShowWindow();
}

// A press while a check runs (its requests keep the event loop going) does nothing.
void TfrmQuorvex::btnUpdateClick()
{
    if (!updateCheckRunning_)
        RunUpdateCheck(false);
}

void TfrmQuorvex::imgDonateClick()
{
    OpenReportingFailure(QStringLiteral("Open"), DonationPage(), SW_HIDE);
}

void TfrmQuorvex::lvAboutAdsSelectItem(int index)
{
    ShowPreview(index, FittedPicture(mxStorage.ItemByIndex(index), ui_->imgPreview->size()));
}

void TfrmQuorvex::ShowPreview(int index, const QImage& picture)
{
    ShowPicture(picture, *ui_->imgPreview);
    ui_->lbDisc->setText(ui_->lvAboutAds->Item(index)->text(1));
}

// Every row whose selected state changed is shown in turn, the row losing the
// selection first: a move ends on the new row, a cleared selection reloads
// the row that had it. An error is reported here rather than thrown through
// the list's selection handling, which would stop half-way.
void TfrmQuorvex::lvAboutAdsSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    RunReportingErrors([&] {
        for (const QItemSelection* rows : {&deselected, &selected}) {
            for (const QModelIndex& cell : rows->indexes()) {
                if (cell.column() == 0)
                    lvAboutAdsSelectItem(ui_->lvAboutAds->IndexOf(ui_->lvAboutAds->itemFromIndex(cell)));
            }
        }
    });
}

std::vector<QWidget*> TfrmQuorvex::ApplyControls() const
{
    return {ui_->btnApply, ui_->btnUIApply, ui_->btnClean, ui_->btnCallm,
            ui_->btnCallu, ui_->lvOptions,  ui_->lvUI,     ui_->lvClean};
}

TWorkflowWidgets TfrmQuorvex::WorkflowWidgets(TOptionListView& list, TFolderEdit& folder)
{
    return {list, folder, *ui_->shColor, StatusWindow(), this, [this] { AdvertOptionRefresh(); }};
}

// The advert apply serves the event loop while it scans the messenger image;
// the apply lock keeps every workflow from starting and every tick still
// until it ends. An error ends the workflow where it happens and goes to the
// application error report from here, so that it never unwinds through the
// toolkit's signal delivery.
void TfrmQuorvex::RunWorkflow(const std::function<void()>& workflow)
{
    RunReportingErrors([&] {
        const TApplyLock lock(ApplyControls());
        workflow();
    });
}

void TfrmQuorvex::btnApplyClick()
{
    RunWorkflow([this] {
        TWorkflowWindowHost host(WorkflowWidgets(*ui_->lvOptions, *ui_->dePath));
        ApplyAdvertOptions(*engine_, mxStorage, host);
    });
}

void TfrmQuorvex::btnUIApplyClick()
{
    RunWorkflow([this] {
        TWorkflowWindowHost host(WorkflowWidgets(*ui_->lvUI, *ui_->deUpath));
        ApplySkinOptions(mxStorage, host);
    });
}

// The Clean tab works on the Adverts tab's messenger folder.
void TfrmQuorvex::btnCleanClick()
{
    RunWorkflow([this] {
        TWorkflowWindowHost host(WorkflowWidgets(*ui_->lvClean, *ui_->dePath));
        CleanAndRestore(*engine_, mxStorage, host);
    });
}

// Closing the main window ends the event loop; the other windows are
// destroyed with the application, without their close behaviour.
void TfrmQuorvex::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    QCoreApplication::exit(0);
}

bool TfrmQuorvex::eventFilter(QObject* watched, QEvent* event)
{
    // A page is shown anew when its tab is chosen or the window first appears;
    // a window coming back from the minimised state does not count.
    if (event->type() == QEvent::Show && !event->spontaneous()) {
        if (watched == ui_->tbAdverts)
            tbAdvertsShow();
        else if (watched == ui_->tbUI)
            tbUIShow();
    } else if (watched == ui_->imgDonate && event->type() == QEvent::MouseButtonRelease
               && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        imgDonateClick();
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace quorvex
