// The main window: eight tabs with the option lists, the messenger folder
// fields and the versions, about adverts, donate, about and help pages. The
// controls of every tab are children of the window itself, shown with their
// tab. A page's controls are made when it is first shown or asked about; the
// texts and the advert item that start-up gives to pages not made yet are
// kept until they are. It owns the single-instance guard, the stored items
// and its rules (TMainForm, which owns the patch engine); it draws them and
// wires its controls' events to them. Closing it ends the program.
#pragma once

#include "archive/mxStorage.h"
#include "forms/MainForm.h"
#include "instance/mxOneInstance.h"
#include "ui/win32/ColorRow.h"
#include "ui/win32/ListView.h"
#include "ui/win32/Picture.h"
#include "ui/win32/Window.h"

#include <commctrl.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace quorvex::win32 {

class TfrmEdit;
class TfrmHelp;
class TfrmStatus;

class TfrmQuorvex final : public TWindow, private IMainView, private TInstanceWindow {
public:
    static constexpr int kPageCount = 8;

    // Builds the window hidden, runs the single-instance guard, then the
    // creation handler (the silent update check with splash up, which it
    // hides at its end). Throws Error when the window cannot be made.
    explicit TfrmQuorvex(ISplashView& splash);
    ~TfrmQuorvex() override;

    // The status, help and editor windows, made on first use (start-up makes
    // them as soon as the main window is shown and drawn).
    TfrmStatus& StatusWindow();
    TfrmHelp& HelpWindow();
    TfrmEdit& EditWindow();
    // Makes the pages not made yet (start-up does it once the window is
    // shown and drawn, before any event is handled).
    void MakeRemainingPages();

    TMainForm& Form() { return form_; }
    const TmxOneInstance& OneInstance() const { return mxOne; }

protected:
    // Ends the program; the other windows go without their close behaviour.
    void Close() override;
    void DpiChanged() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct TPageControl {
        HWND handle;
        int page;
    };
    // A control the rules address: its page and its id.
    struct TPlace {
        int page;
        int id;
    };
    struct TVersionRow {
        HWND caption;
        HWND version;
        int page;
    };
    struct TPageList {
        HWND handle;
        const std::vector<TListColumn>* columns;
        int page;
    };

    void CreateTabs();
    void MakePage(int page);
    bool PageMade(int page) const;
    HWND AddPageControl(int page, const wchar_t* className, int id, DWORD style, RECT pageBounds,
                        const std::wstring& text = {});
    HWND AddPageList(int page, int id, DWORD style, RECT pageBounds, bool checkBoxes,
                     const std::vector<TListColumn>& columns, const std::vector<TListGroup>& groups);
    // The picture control of a page; its handle is shown with the page.
    std::unique_ptr<TPictureBox> AddPagePicture(int page, int id, RECT pageBounds, DWORD extraStyle = 0);
    struct TMessengerRowIds {
        int separator, folder, browse, versionCaption, version, apply;
    };
    void AddMessengerRows(int page, const TMessengerRowIds& ids);
    void CreateAdvertsPage();
    void CreateUIPage();
    void CreateVersionsPage();
    void CreateAboutAdvertsPage();
    void CreateDonatePage();
    void CreateAboutPage();
    void CreateHelpPage();
    void CreateCleanPage();
    void AddFolderField(int page, int editId, int browseId, RECT pageBounds);
    void AddLinkLabel(int page, int id);
    void ApplyFonts();
    void FitPage(int page);
    void PlaceVersion(const TVersionRow& row);
    void TakePageColour();
    LRESULT PageLabelColours(HWND label, HDC context);

    // The page whose controls are visible, and its show handler.
    void ShowPage(int page);
    int CurrentPageIndex() const;
    bool TakeKey(WPARAM key);
    void Command(int id, int code);
    LRESULT Notify(const NMHDR& header);
    LRESULT DrawListRow(TOptionList list, LPARAM customDraw);
    void ListItemChanged(int id, const NMLISTVIEW& change);
    void Browse(TFolderField field);
    void OpenLink();
    void RunHandler(const std::function<void()>& handler);

    static LRESULT CALLBACK ListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                          DWORD_PTR window);
    static LRESULT CALLBACK LinkProcedure(HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                          DWORD_PTR window);

    HWND Item(int id) const { return GetDlgItem(Handle(), id); }
    static TPlace PlaceOf(TOptionList list);
    static TPlace PlaceOf(TFolderField field);
    static TPlace PlaceOf(TVersionLabel label);
    static TPlace PlaceOf(TMainControl control);
    // The control, its page made first.
    HWND Made(TPlace place) const;
    void SetPageText(TPlace place, const std::wstring& text);
    static int PageIndex(TMainPage page);

    // The main window as its rules see it.
    int RowCount(TOptionList list) const override;
    bool Ticked(TOptionList list, int index) const override;
    void SetTicked(TOptionList list, int index, bool ticked) override;
    void SetCaption(TOptionList list, int index, const std::string& caption) override;
    void Repaint(TOptionList list) override;
    std::string FolderText(TFolderField field) const override;
    void SetFolderText(TFolderField field, const std::string& text) override;
    std::uint32_t AdvertColor() const override { return colorRow_->Color(); }
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

    void RestoreOrBringToFront() override { ShowInFront(); }

    TmxStorage mxStorage;
    // The colour dialog's memory, shared with the editor's colour row.
    TColorDialog cdColor;
    TmxOneInstance mxOne;
    TMainForm form_;
    HWND tabs_ = nullptr;
    // Window parts, the pictures first: they go after the colour row, which
    // may still send its window messages as it goes.
    std::unique_ptr<TPictureBox> imgPreview_;
    std::unique_ptr<TPictureBox> imgDonate_;
    std::unique_ptr<TPictureBox> imgLogo_;
    std::unique_ptr<TColorRow> colorRow_;
    std::array<bool, kPageCount> pageMade_{};
    std::vector<TPageControl> pageControls_;
    std::vector<TPageList> pageLists_;
    // By control id, for pages not made yet.
    std::map<int, std::wstring> pendingTexts_;
    std::optional<int> pendingAdvertItem_;
    // Controls that the rules hid, kept hidden when their page is shown.
    std::set<HWND> hiddenByRules_;
    std::vector<TVersionRow> versionRows_;
    std::vector<HWND> linkLabels_;
    HWND hoveredLink_ = nullptr;
    HFONT boldFont_ = nullptr;
    HFONT linkFont_ = nullptr;
    COLORREF pageColour_ = 0;
    HBRUSH pageBrush_ = nullptr;
    // A folder field typed in since it took the focus.
    std::array<bool, 2> folderTyped_{};
    bool created_ = false;
    std::unique_ptr<TfrmStatus> status_;
    std::unique_ptr<TfrmHelp> help_;
    std::unique_ptr<TfrmEdit> edit_;
};

}  // namespace quorvex::win32
