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
#include "ui/qt/OptionListView.h"
#include "ui/qt/uEdit.h"
#include "ui/qt/uHelp.h"
#include "ui/qt/uStatus.h"
#include "ui/qt/uUpdate.h"
#include "update/UpdateCheck.h"
#include "ui/qt/update/UpdateWindows.h"
#include "ui_uQuorvex.h"

#include <quorvex/BuildConfig.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QShortcut>
#include <QTabBar>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace quorvex {
namespace {

constexpr int kOptionColumnWidth = 420;
constexpr int kAdvertColumnWidth = 180;

const QColor kLinkColor(0, 128, 192);

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
    return QString::fromStdString(ProductUpdatePageURL());
}

}  // namespace

TfrmQuorvex::TfrmQuorvex(TfrmUpdate* splash, const TMessengerLocation& location, QWidget* parent)
    : QWidget(parent, FixedWindowFlags()),
      ui_(std::make_unique<Ui::TfrmQuorvex>()),
      tmrDrop(new QTimer(this)),
      cdColor(new TColorDialog(this)),
      VelkAppUpdate(Seams()),
      form_(*this, *splash, mxStorage, location)
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

TfrmQuorvex::~TfrmQuorvex() = default;

TfrmStatus& TfrmQuorvex::StatusWindow()
{
    if (!status_)
        status_ = std::make_unique<TfrmStatus>([this] { return FolderText(TFolderField::dePath); }, this);
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

std::uint32_t TfrmQuorvex::BackgroundColor() const
{
    return ColorValue(colorRow_->Color());
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
    TMainForm* form = &form_;
    connect(ui_->lvOptions, &TOptionListView::ItemChecked, this, [form](int index) { form->lvOptionsItemChecked(index); });
    connect(ui_->lvClean, &TOptionListView::ItemChecked, this, [form](int index) { form->lvCleanItemChecked(index); });
    for (const auto& [button, handler] : {std::pair{ui_->btnCallm, &TMainForm::btnCallmClick},
                                          std::pair{ui_->btnCallu, &TMainForm::btnCalluClick},
                                          std::pair{ui_->btnHelp, &TMainForm::btnHelpClick},
                                          std::pair{ui_->btnReplace, &TMainForm::btnReplaceClick},
                                          std::pair{ui_->btnUpdate, &TMainForm::btnUpdateClick},
                                          std::pair{ui_->btnApply, &TMainForm::btnApplyClick},
                                          std::pair{ui_->btnUIApply, &TMainForm::btnUIApplyClick},
                                          std::pair{ui_->btnClean, &TMainForm::btnCleanClick}})
        connect(button, &QPushButton::clicked, this, [form, handler] { (form->*handler)(); });
    connect(ui_->lvAboutAds->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TfrmQuorvex::lvAboutAdsSelectionChanged);
    for (const auto& [folder, field] :
         {std::pair{ui_->dePath, TFolderField::dePath}, std::pair{ui_->deUpath, TFolderField::deUpath}})
        connect(folder, &TFolderEdit::FolderChosen, this, [form, field] { form->FolderChosen(field); });
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
            tabs->setCurrentIndex(TMainForm::TabAfter(tabs->currentIndex(), step, tabs->count()));
        });
    }
}

void TfrmQuorvex::ConfigureUpdateChecker()
{
    const TWindowFont font{PixelFont(QStringLiteral("Tahoma"), 12), palette().color(QPalette::ToolTipText)};
    VelkAppUpdate.SetSettings(ProgramUpdateSettings());
    VelkAppUpdate.SetFont(font);
    VelkAppUpdate.SetFontReadme(font);
}

void TfrmQuorvex::FormCreate()
{
    RegisterCursor(crDropper, LoadDropperCursor());
    ui_->shColor->setAttribute(Qt::WA_OpaquePaintEvent);
    ShowPreview(0, firstPreview_.get());
    SetUpListRules();
    form_.FormCreate();
}

void TfrmQuorvex::SetUpListRules()
{
    for (const auto& [view, list] :
         {std::pair{ui_->lvOptions, TOptionList::lvOptions}, std::pair{ui_->lvClean, TOptionList::lvClean}}) {
        view->SetGreyRule([this, list](int index) { return form_.OptionUnavailable(list, index); });
        view->SetDrawScope([this](const std::function<void()>& draw) { form_.DrawList(draw); });
    }
}

void TfrmQuorvex::ShowAdvertItem(int index)
{
    ShowPreview(index, FittedPicture(mxStorage.ItemByIndex(index), ui_->imgPreview->size()));
}

void TfrmQuorvex::ShowPreview(int index, const QImage& picture)
{
    ShowPicture(picture, *ui_->imgPreview);
    ui_->lbDisc->setText(ui_->lvAboutAds->Item(index)->text(1));
}

// The rows of the cells in the first column.
std::vector<int> TfrmQuorvex::AboutAdsRows(const QItemSelection& cells) const
{
    std::vector<int> rows;
    for (const QModelIndex& cell : cells.indexes()) {
        if (cell.column() == 0)
            rows.push_back(ui_->lvAboutAds->IndexOf(ui_->lvAboutAds->itemFromIndex(cell)));
    }
    return rows;
}

void TfrmQuorvex::lvAboutAdsSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    form_.lvAboutAdsSelectionChanged(AboutAdsRows(deselected), AboutAdsRows(selected));
}

TOptionListView* TfrmQuorvex::List(TOptionList list) const
{
    switch (list) {
    case TOptionList::lvOptions: return ui_->lvOptions;
    case TOptionList::lvUI: return ui_->lvUI;
    case TOptionList::lvClean: return ui_->lvClean;
    }
    return ui_->lvOptions;
}

TFolderEdit* TfrmQuorvex::Field(TFolderField field) const
{
    return field == TFolderField::dePath ? ui_->dePath : ui_->deUpath;
}

QWidget* TfrmQuorvex::Control(TMainControl control) const
{
    switch (control) {
    case TMainControl::btnApply: return ui_->btnApply;
    case TMainControl::btnUIApply: return ui_->btnUIApply;
    case TMainControl::btnClean: return ui_->btnClean;
    case TMainControl::btnCallm: return ui_->btnCallm;
    case TMainControl::btnCallu: return ui_->btnCallu;
    case TMainControl::btnReplace: return ui_->btnReplace;
    case TMainControl::lvOptions: return ui_->lvOptions;
    case TMainControl::lvUI: return ui_->lvUI;
    case TMainControl::lvClean: return ui_->lvClean;
    case TMainControl::dePath: return ui_->dePath;
    case TMainControl::deUpath: return ui_->deUpath;
    }
    return ui_->btnApply;
}

QWidget* TfrmQuorvex::Page(TMainPage page) const
{
    switch (page) {
    case TMainPage::tbAdverts: return ui_->tbAdverts;
    case TMainPage::tbUI: return ui_->tbUI;
    case TMainPage::Other: break;
    }
    return nullptr;
}

int TfrmQuorvex::RowCount(TOptionList list) const
{
    return List(list)->Count();
}

bool TfrmQuorvex::Ticked(TOptionList list, int index) const
{
    return List(list)->Checked(index);
}

void TfrmQuorvex::SetTicked(TOptionList list, int index, bool ticked)
{
    List(list)->SetChecked(index, ticked);
}

void TfrmQuorvex::SetCaption(TOptionList list, int index, const std::string& caption)
{
    List(list)->SetCaption(index, QString::fromStdString(caption));
}

void TfrmQuorvex::Repaint(TOptionList list)
{
    List(list)->viewport()->update();
}

std::string TfrmQuorvex::FolderText(TFolderField field) const
{
    return Field(field)->text().toStdString();
}

void TfrmQuorvex::SetFolderText(TFolderField field, const std::string& text)
{
    Field(field)->setText(QString::fromStdString(text));
}

void TfrmQuorvex::SetVersionText(TVersionLabel label, const std::string& text)
{
    (label == TVersionLabel::lbVersion ? ui_->lbVersion : ui_->lbUIVer)->setText(QString::fromStdString(text));
}

void TfrmQuorvex::SetPrefixToolTip(const std::string& text)
{
    const QString tip = QString::fromStdString(text);
    for (QWidget* widget : std::initializer_list<QWidget*>{ui_->dePath, ui_->deUpath, ui_->lbVersionCaption,
                                                          ui_->lbVersion, ui_->lbUIVerCaption, ui_->lbUIVer})
        widget->setToolTip(tip);
}

TMainPage TfrmQuorvex::CurrentPage() const
{
    for (TMainPage page : {TMainPage::tbAdverts, TMainPage::tbUI}) {
        if (ui_->pcMain->currentWidget() == Page(page))
            return page;
    }
    return TMainPage::Other;
}

void TfrmQuorvex::EnablePage(TMainPage page, bool enabled)
{
    if (QWidget* widget = Page(page)) {
        for (QWidget* control : widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            control->setEnabled(enabled);
    }
}

// A control disabled through its page (or the window) alone is enabled on its own account.
bool TfrmQuorvex::Enabled(TMainControl control) const
{
    return !Control(control)->testAttribute(Qt::WA_ForceDisabled);
}

void TfrmQuorvex::Enable(TMainControl control, bool enabled)
{
    Control(control)->setEnabled(enabled);
}

void TfrmQuorvex::ShowControl(TMainControl control, bool visible)
{
    Control(control)->setVisible(visible);
}

void TfrmQuorvex::ShowHelpWindow()
{
    HelpWindow().ShowWindow();
}

void TfrmQuorvex::ShowEditWindow()
{
    EditWindow().ShowWindow();
}

IStatusLog& TfrmQuorvex::StatusLog()
{
    return StatusWindow().Form();
}

void TfrmQuorvex::ShowMessage(const std::string& text)
{
    Seams().Messages->Show(kApplicationTitle, text, TMsgDlgType::Plain, TMsgDlgButtons::Ok);
}

void TfrmQuorvex::ReportError(const std::string& message)
{
    ReportApplicationError(QString::fromStdString(message));
}

void TfrmQuorvex::OpenHidden(const std::string& target)
{
    OpenReportingFailure(QStringLiteral("Open"), QString::fromStdString(target), SW_HIDE);
}

void TfrmQuorvex::ExecuteUpdateCheck(bool silent)
{
    VelkAppUpdate.Execute(silent);
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
            form_.tbAdvertsShow();
        else if (watched == ui_->tbUI)
            form_.tbUIShow();
    } else if (watched == ui_->imgDonate && event->type() == QEvent::MouseButtonRelease
               && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        form_.imgDonateClick();
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace quorvex
