#include "forms/MainForm.h"

#include "engine/TQuorvex.h"
#include "forms/ErrorReport.h"
#include "forms/PrefixToolTip.h"
#include "workflows/OptionRules.h"
#include "workflows/Workflows.h"

#include <quorvex/BuildConfig.h>

#include <array>
#include <vector>

namespace quorvex {
namespace {

// The controls that could start a workflow or change its ticks.
constexpr std::array kApplyControls{TMainControl::btnApply,  TMainControl::btnUIApply, TMainControl::btnClean,
                                    TMainControl::btnCallm,  TMainControl::btnCallu,   TMainControl::lvOptions,
                                    TMainControl::lvUI,      TMainControl::lvClean};

// Disables the apply controls for as long as it lives, so that nothing
// reaches them while a workflow serves the event loop; those that were
// enabled are enabled again when it goes, also when an error ends the
// workflow. One disabled on its own account is left so.
class TApplyLock {
public:
    explicit TApplyLock(IMainView& view) : view_(view)
    {
        for (TMainControl control : kApplyControls) {
            if (!view_.Enabled(control))
                continue;
            view_.Enable(control, false);
            disabled_.push_back(control);
        }
    }
    ~TApplyLock()
    {
        for (TMainControl control : disabled_)
            view_.Enable(control, true);
    }
    TApplyLock(const TApplyLock&) = delete;
    TApplyLock& operator=(const TApplyLock&) = delete;

private:
    IMainView& view_;
    std::vector<TMainControl> disabled_;
};

// The main window seen by a workflow: one option list and one folder field.
class TFormWorkflowHost final : public IWorkflowHost {
public:
    TFormWorkflowHost(IMainView& view, TOptionList list, TFolderField field, std::function<void()> refresh)
        : view_(view), list_(list), field_(field), refresh_(std::move(refresh))
    {
    }

    bool Ticked(int index) const override { return view_.Ticked(list_, index); }
    bool AnyTicked() const override
    {
        for (int index = 0; index < view_.RowCount(list_); ++index) {
            if (view_.Ticked(list_, index))
                return true;
        }
        return false;
    }
    void UntickAll() override
    {
        for (int index = 0; index < view_.RowCount(list_); ++index)
            view_.SetTicked(list_, index, false);
        view_.Repaint(list_);
    }
    std::string MessengerFolder() const override { return view_.FolderText(field_); }
    std::uint32_t AdvertColor() const override { return view_.AdvertColor(); }
    IStatusLog& StatusLog() override { return view_.StatusLog(); }
    void ShowMessage(const std::string& text) override { view_.ShowMessage(text); }
    void AdvertOptionRefresh() override { refresh_(); }

private:
    IMainView& view_;
    TOptionList list_;
    TFolderField field_;
    std::function<void()> refresh_;
};

}  // namespace

TMainForm::TMainForm(IMainView& view, ISplashView& splash, TmxStorage& storage, const TMessengerLocation& location,
                     TReadsFactory reads)
    : view_(view), splash_(splash), storage_(storage), location_(location), readsFactory_(std::move(reads))
{
}

// The engine goes with the window, freeing the messenger image.
TMainForm::~TMainForm() = default;

std::string TMainForm::DonationPage()
{
    return std::string("https://") + config::kDonateHost + "/cgi-bin/webscr?cmd=_s-xclick&hosted_button_id="
        + config::kDonateButtonId;
}

int TMainForm::TabAfter(int current, int step, int count)
{
    return (current + step % count + count) % count;
}

void TMainForm::FormCreate()
{
    location_ = FollowMessengerFolder(location_, {});
    view_.SetFolderText(TFolderField::dePath, location_.Folder);
    view_.SetFolderText(TFolderField::deUpath, location_.Folder);
    engine_ = std::make_unique<TQuorvex>();
    engine_->YahooMessengerPath = view_.FolderText(TFolderField::dePath);
    reads_ = readsFactory_ ? readsFactory_(*engine_) : std::make_unique<TEngineReads>(*engine_);
    AdvertOptionRefresh();
    ShowPrefixInUse();
    // The silent check, with the splash still up; start-up goes on after an error in it.
    RunUpdateCheck(true);
}

IOptionFacts& TMainForm::RuleFacts()
{
    return drawFacts_ != nullptr ? *drawFacts_ : *reads_;
}

bool TMainForm::OptionUnavailable(TOptionList list, int index)
{
    switch (list) {
    case TOptionList::lvOptions: return AdvertOptionUnavailable(index, RuleFacts());
    case TOptionList::lvClean: return CleanOptionUnavailable(index, RuleFacts());
    case TOptionList::lvUI: return false;
    }
    return false;
}

void TMainForm::DrawList(const std::function<void()>& draw)
{
    TRememberedFacts remembered(*reads_);
    IOptionFacts* const outer = drawFacts_;
    drawFacts_ = &remembered;
    try {
        draw();
    } catch (...) {
        drawFacts_ = outer;
        throw;
    }
    drawFacts_ = outer;
}

// Checked first: an untick (every row of an untick-all) reads nothing.
void TMainForm::RefuseTick(TOptionList list, int index)
{
    if (view_.Ticked(list, index) && OptionUnavailable(list, index))
        view_.SetTicked(list, index, false);
}

void TMainForm::lvOptionsItemChecked(int index)
{
    RefuseTick(TOptionList::lvOptions, index);
}

void TMainForm::lvCleanItemChecked(int index)
{
    RefuseTick(TOptionList::lvClean, index);
}

// Every row that the list lets be ticked now, the rules read once for all.
void TMainForm::btnCallmClick()
{
    DrawList([this] {
        for (int index = 0; index < view_.RowCount(TOptionList::lvOptions); ++index) {
            if (!OptionUnavailable(TOptionList::lvOptions, index))
                view_.SetTicked(TOptionList::lvOptions, index, true);
        }
    });
}

void TMainForm::btnCalluClick()
{
    for (int index = 0; index < view_.RowCount(TOptionList::lvUI); ++index)
        view_.SetTicked(TOptionList::lvUI, index, true);
}

void TMainForm::tbAdvertsShow()
{
    const std::string version = reads_->MessengerVersion();
    view_.SetVersionText(TVersionLabel::lbVersion, VersionText());
    engine_->YahooMajor = UsableMajorVersion(version).value_or(0);
    AdvertOptionRefresh();
    EnableTab(TMainPage::tbAdverts, AdvertsTabEnabled(version), TMainControl::dePath);
    ShowPrefixInUse();
}

void TMainForm::tbUIShow()
{
    view_.SetVersionText(TVersionLabel::lbUIVer, VersionText());
    EnableTab(TMainPage::tbUI, UITabEnabled(reads_->MessengerVersion()), TMainControl::deUpath);
    ShowPrefixInUse();
}

std::string TMainForm::VersionText()
{
    if (location_.Prefix && location_.Prefix->State == TPrefixState::Missing)
        return "No Wine prefix";
    if (location_.Prefix && location_.Prefix->State == TPrefixState::NotAPrefix)
        return "Not a Wine prefix";
    return reads_->MessengerVersion();
}

void TMainForm::EnableTab(TMainPage page, bool enabled, TMainControl folderField)
{
    view_.EnablePage(page, enabled);
    view_.Enable(folderField, true);
}

void TMainForm::ShowPrefixInUse()
{
    view_.SetPrefixToolTip(PrefixToolTip(location_));
}

void TMainForm::FolderChosen(TFolderField field)
{
    const std::optional<TPrefixChoice> previous = location_.Prefix;
    location_ = FollowMessengerFolder(location_, view_.FolderText(field));
    if (location_.Prefix == previous)
        return;
    ShowPrefixInUse();
    if (view_.CurrentPage() == TMainPage::tbAdverts)
        tbAdvertsShow();
    else if (view_.CurrentPage() == TMainPage::tbUI)
        tbUIShow();
    // Availability is read as the rows are drawn.
    view_.Repaint(TOptionList::lvOptions);
    view_.Repaint(TOptionList::lvClean);
}

void TMainForm::AdvertOptionRefresh()
{
    view_.ShowControl(TMainControl::btnReplace, reads_->HtmlReplacementExists());
    view_.SetCaption(TOptionList::lvOptions, kMultiRow,
                     reads_->MultiOn() ? "Disable Multiple Instances of Yahoo Messenger 11, 10, 9, or 8"
                                       : "Enable Multiple Instances of Yahoo Messenger 11, 10, 9, or 8");
    view_.SetCaption(TOptionList::lvOptions, kSmileyRow,
                     reads_->SmileyOn() ? "Disable Smiley Search" : "Enable Smiley Search");
}

void TMainForm::btnHelpClick()
{
    view_.ShowHelpWindow();
}

void TMainForm::btnReplaceClick()
{
    view_.ShowEditWindow();
}

void TMainForm::lvAboutAdsSelectionChanged(const std::vector<int>& deselected, const std::vector<int>& selected)
{
    RunReportingErrors(
        [&] {
            for (const std::vector<int>* rows : {&deselected, &selected}) {
                for (int index : *rows)
                    view_.ShowAdvertItem(index);
            }
        },
        [this](const std::string& message) { ReportError(message); });
}

// An error ends the check and goes to the application error report, with
// the splash still up.
void TMainForm::RunUpdateCheck(bool silent)
{
    splash_.RunCheck([this, silent] {
        RunReportingErrors([this, silent] { view_.ExecuteUpdateCheck(silent); },
                           [this](const std::string& message) { ReportError(message); });
    });
}

// A press while a check runs (its requests keep the event loop going) does nothing.
void TMainForm::btnUpdateClick()
{
    RunUpdateCheck(false);
}

void TMainForm::imgDonateClick()
{
    view_.OpenHidden(DonationPage());
}

// The advert apply serves the event loop while it scans the messenger image;
// the apply lock keeps every workflow from starting and every tick still
// until it ends.
void TMainForm::RunWorkflow(TOptionList list, TFolderField field,
                            const std::function<void(IWorkflowHost& host)>& workflow)
{
    RunReportingErrors(
        [&] {
            const TApplyLock lock(view_);
            TFormWorkflowHost host(view_, list, field, [this] { AdvertOptionRefresh(); });
            workflow(host);
        },
        [this](const std::string& message) { ReportError(message); });
}

void TMainForm::btnApplyClick()
{
    RunWorkflow(TOptionList::lvOptions, TFolderField::dePath,
                [this](IWorkflowHost& host) { ApplyAdvertOptions(*engine_, storage_, host); });
}

void TMainForm::btnUIApplyClick()
{
    RunWorkflow(TOptionList::lvUI, TFolderField::deUpath,
                [this](IWorkflowHost& host) { ApplySkinOptions(storage_, host); });
}

// The Clean tab works on the Adverts tab's messenger folder.
void TMainForm::btnCleanClick()
{
    RunWorkflow(TOptionList::lvClean, TFolderField::dePath,
                [this](IWorkflowHost& host) { CleanAndRestore(*engine_, storage_, host); });
}

}  // namespace quorvex
