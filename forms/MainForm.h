// The main window's rules: the option lists following the installed
// messenger, the tabs' version labels and enabling, the advert option
// refresh, the buttons, the folder fields following the Wine prefix, the
// apply workflows under the apply lock and the update check with its splash.
#pragma once

#include "forms/MainView.h"
#include "forms/MessengerReads.h"
#include "forms/SplashForm.h"
#include "workflows/MessengerLocation.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quorvex {

class TQuorvex;
class TmxStorage;

class TMainForm {
public:
    static constexpr int kMultiRow = 6;
    static constexpr int kSmileyRow = 8;

    // Makes the messenger reads over the engine that FormCreate makes.
    using TReadsFactory = std::function<std::unique_ptr<IMessengerReads>(TQuorvex& engine)>;

    // storage is the program's stored items; location the messenger's, as
    // chosen at start-up (none: the prefix in use). reads defaults to the
    // engine's own.
    TMainForm(IMainView& view, ISplashView& splash, TmxStorage& storage, const TMessengerLocation& location,
              TReadsFactory reads = {});
    ~TMainForm();
    TMainForm(const TMainForm&) = delete;
    TMainForm& operator=(const TMainForm&) = delete;

    // The window's start: the folder fields, the engine, the advert option
    // refresh, the prefix in use and the silent update check, in that order.
    void FormCreate();

    TQuorvex& Engine() { return *engine_; }
    const TMessengerLocation& Location() const { return location_; }
    // The donation page opened by the donate picture.
    static std::string DonationPage();
    // The tab that Ctrl+PageDown (step 1) or Ctrl+PageUp (step -1) goes to
    // from tab current of count, round the end.
    static int TabAfter(int current, int step, int count);

    // Whether a row is drawn grey and refuses a tick.
    bool OptionUnavailable(TOptionList list, int index);
    // Runs one draw of a list: the rules' reads are made once for all its rows.
    void DrawList(const std::function<void()>& draw);

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
    // Every About Adverts row whose selected state changed is shown in turn,
    // the rows losing the selection first: a move ends on the new row, a
    // cleared selection shows the row that had it. An error ends it and is
    // reported.
    void lvAboutAdsSelectionChanged(const std::vector<int>& deselected, const std::vector<int>& selected);
    // The apply buttons: one workflow each, none while another runs.
    void btnApplyClick();
    void btnUIApplyClick();
    void btnCleanClick();
    // A messenger folder typed or picked as a native path inside another Wine
    // prefix makes that prefix the one in use; the visible tab follows.
    void FolderChosen(TFolderField field);
    // Captions of advert options 6 and 8 and the visibility of btnReplace.
    void AdvertOptionRefresh();

private:
    IOptionFacts& RuleFacts();
    // The messenger's version, or what is wrong with the prefix in use.
    std::string VersionText();
    void ShowPrefixInUse();
    // Every control of the page but its messenger folder field, which stays
    // usable: a folder inside another Wine prefix is how the user reaches a
    // messenger that the prefix in use does not hold.
    void EnableTab(TMainPage page, bool enabled, TMainControl folderField);
    // Unticks a row that has just been ticked where its rule refuses it.
    void RefuseTick(TOptionList list, int index);
    void RunUpdateCheck(bool silent);
    // Runs a workflow under the apply lock on one list and folder field; an
    // error it raises ends it and is reported.
    void RunWorkflow(TOptionList list, TFolderField field, const std::function<void(IWorkflowHost& host)>& workflow);
    void ReportError(const std::string& message) { view_.ReportError(message); }

    IMainView& view_;
    TSplashForm splash_;
    TmxStorage& storage_;
    TMessengerLocation location_;
    TReadsFactory readsFactory_;
    std::unique_ptr<TQuorvex> engine_;
    std::unique_ptr<IMessengerReads> reads_;
    IOptionFacts* drawFacts_ = nullptr;
};

}  // namespace quorvex
