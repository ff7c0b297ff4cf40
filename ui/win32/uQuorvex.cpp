#include "ui/win32/uQuorvex.h"

#include "archive/Catalogue.h"
#include "forms/ApplicationTitle.h"
#include "forms/ErrorReport.h"
#include "platform/Error.h"
#include "platform/win32/Win32Text.h"
#include "resources/windows/ResourceIds.h"
#include "ui/win32/ControlIds.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/FolderPicker.h"
#include "ui/win32/ListView.h"
#include "ui/win32/MessageLoop.h"
#include "ui/win32/Messages.h"
#include "ui/win32/ShellOpen.h"
#include "ui/win32/uEdit.h"
#include "ui/win32/uHelp.h"
#include "ui/win32/uStatus.h"
#include "ui/win32/update/UpdateChecker.h"
#include "update/UpdateCheck.h"

#include <quorvex/BuildConfig.h>

#include <commctrl.h>

#include <algorithm>

namespace quorvex::win32 {
namespace {

constexpr SIZE kClientSize{521, 481};
constexpr RECT kTabBounds{8, 8, 8 + 505, 8 + 465};
// Where a tab's page starts inside the window: the tab control's frame and
// its row of tabs are above and left of it.
constexpr POINT kPageOrigin{12, 32};
constexpr int kTabPadding = 3;
constexpr int kPageSample = 10;  // how far above its bottom the tab control's body is sampled
constexpr int kVersionGap = 6;  // between a version's caption and the version
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kLinkColor = RGB(0, 128, 192);
// The show command with which a link label hands its link to the shell:
// shown without being activated.
constexpr int kLinkShowCommand = SW_SHOWNOACTIVATE;

enum TPage { tbAdverts, tbUI, tbVersion, tbAboutAdverts, tbDonate, tbAbout, tbHelp, tbClean };

constexpr std::array<const wchar_t*, TfrmQuorvex::kPageCount> kPageCaptions{
    L"Adverts Options", L"UI Options", L"Versions", L"About Adverts", L"Donate", L"About", L"Help", L"Clean"};

const std::vector<TListColumn> kOptionColumns{{L"Options", 420}};
const std::vector<TListColumn> kVersionColumns{{L"Ym Versions", 420}, {L"Version Numbers", 0}, {L"Offsets", 0}};
const std::vector<TListColumn> kAboutAdsColumns{{L"Adverts", 180}, {L"Disc", 0}};

std::vector<TListGroup> AdvertOptionGroups()
{
    return {{L"Advert Options",
             {{L"Remove Main Messenger Advert"}, {L"Replace Change Room Banner"}, {L"Remove Chat Room Advert"},
              {L"Replace Webcam Adverts"}, {L"Replace Video Call Advert"}, {L"Remove IM Statusbar Advert"}}},
            {L"Other Options",
             {{L"Enable Multiple Instances of Yahoo Messenger 11, 10, 9, or 8"},
              {L"Disable \"Automatically start Yahoo Messenger\""},
              {L"Enable Smiley Search"}}}};
}

std::vector<TListGroup> UIOptionGroups()
{
    return {{L"Yahoo UI Options",
             {{L"Remove Insider Button"}, {L"Remove Email Button"}, {L"Remove Mobile Button"}, {L"Remove Voice Button"},
              {L"Remove Contact Card"}, {L"Remove Plugins Toolbar"}, {L"Remove Contacts Tab"},
              {L"Remove YUpdates Tab"}, {L"Remove System Notifications"}}}};
}

std::vector<TListGroup> VersionGroups()
{
    TListGroup group{L"Supported Versions", {}};
    for (const wchar_t* version :
         {L"11.0.0.2009", L"11.0.0.1751", L"10.0.0.1270", L"10.0.0.1267", L"10.0.0.1264", L"10.0.0.1258",
          L"10.0.0.1241", L"10.0.0.1102", L"10.0.0.542",  L"10.0.0.525",  L"9.0.0.2162",  L"9.0.0.2161",
          L"9.0.0.2160",  L"9.0.0.2152",  L"9.0.0.2136",  L"9.0.0.2133",  L"9.0.0.2128",  L"9.0.0.2124",
          L"9.0.0.2123",  L"9.0.0.2112",  L"9.0.0.2034",  L"9.0.0.2018"})
        group.rows.push_back({std::wstring(L"Yahoo Messenger ") + version});
    return {group};
}

std::vector<TListGroup> AboutAdsGroups()
{
    return {{L"About Adverts",
             {{L"Main Messenger Advert",
               L"The Main Messenger Advert is the advert located in Yahoo Messenger's main window below the buddy "
               L"list."},
              {L"Change Room Banner",
               L"The Change Room Banner is the advert that is located on the left hand side of Yahoo Messenger's Join "
               L"Room window."},
              {L"Chat Room Advert",
               L"The Chat Room Advert is the advert located at the bottom of Yahoo Messenger's Chat Room window."},
              {L"Webcam Adverts",
               L"The Webcam Adverts are the adverts that are located at the bottom of Yahoo Messenger's Webcam "
               L"window(s)."},
              {L"Video Call Advert",
               L"The Video Call Advert is the advert located in middle of Yahoo Messenger's Private Message window(s) "
               L"when you first make a Video Call."},
              {L"IM Statusbar Advert",
               L"The IM Statusbar Advert is the advert that is located in the statusbar of Yahoo Messenger's Private "
               L"Message window(s). This advert appears randomly for a short period of time."}}}};
}

std::vector<TListGroup> CleanOptionGroups()
{
    return {{L"Clean Options",
             {{L"Restore Yahoo Messenger Backup"}, {L"Remove HTML Replacement File"},
              {L"Restore All Yahoo UI Changes"}}}};
}

constexpr DWORD kLabel = WS_CHILD | SS_NOPREFIX;
constexpr DWORD kWrappedLabel = kLabel | SS_LEFT;
constexpr DWORD kSeparator = WS_CHILD | SS_ETCHEDHORZ;
constexpr DWORD kButton = WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON;

constexpr RECT Bounds(int x, int y, int width, int height)
{
    return {x, y, x + width, y + height};
}

// Bounds on a page, in the window.
constexpr RECT OnPage(RECT pageBounds)
{
    return {pageBounds.left + kPageOrigin.x, pageBounds.top + kPageOrigin.y, pageBounds.right + kPageOrigin.x,
            pageBounds.bottom + kPageOrigin.y};
}

// The Adverts tab's colour row, between the option list and the separator.
constexpr TColorRowDesign AdvertsColorRow()
{
    return {OnPage(Bounds(20, 310, 24, 24)), OnPage(Bounds(50, 314, 120, 16)), OnPage(Bounds(180, 310, 24, 24)),
            OnPage(Bounds(210, 314, 160, 16)), IDC_imgDrop};
}

HFONT MakeFont(UINT dpi, int weight, bool underline)
{
    return CreateFontW(-Scaled(12, dpi), 0, 0, 0, weight, FALSE, underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       L"Tahoma");
}

std::wstring WindowText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

TfrmQuorvex::TfrmQuorvex(ISplashView& splash)
    : TWindow({L"TfrmQuorvex", WideText(kApplicationTitle),
               WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, 0, kClientSize, L"Tahoma",
               12}),
      form_(*this, splash, mxStorage, TMessengerLocation{})
{
    LoadStoredCatalogue(mxStorage);
    CreateTabs();
    ApplyFonts();
    // Makes the first page; start-up makes the others once the window is shown.
    ShowPage(tbAdverts);
    mxOne.Loaded(kApplicationTitle, *this);
    created_ = true;
    // The first advert's description, then the rules' own start.
    ShowAdvertItem(0);
    form_.FormCreate();
}

TfrmQuorvex::~TfrmQuorvex()
{
    // The other windows go first; they read nothing of this one when they do.
    status_.reset();
    help_.reset();
    edit_.reset();
    for (HWND list : {Item(IDC_lvOptions), Item(IDC_lvClean)})
        RemoveWindowSubclass(list, &TfrmQuorvex::ListProcedure, 0);
    for (HWND label : linkLabels_)
        RemoveWindowSubclass(label, &TfrmQuorvex::LinkProcedure, 0);
    for (HFONT font : {boldFont_, linkFont_}) {
        if (font != nullptr)
            DeleteObject(font);
    }
    if (pageBrush_ != nullptr)
        DeleteObject(pageBrush_);
}

TfrmStatus& TfrmQuorvex::StatusWindow()
{
    if (!status_) {
        status_ = std::make_unique<TfrmStatus>([this] { return FolderText(TFolderField::dePath); },
                                               [this](const std::string& message) { ReportError(message); });
    }
    return *status_;
}

TfrmHelp& TfrmQuorvex::HelpWindow()
{
    if (!help_)
        help_ = std::make_unique<TfrmHelp>(mxStorage);
    return *help_;
}

TfrmEdit& TfrmQuorvex::EditWindow()
{
    if (!edit_)
        edit_ = std::make_unique<TfrmEdit>(cdColor);
    return *edit_;
}

void TfrmQuorvex::CreateTabs()
{
    tabs_ = AddControl(WC_TABCONTROLW, IDC_pcMain, WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, kTabBounds);
    // Narrow tabs, so that all eight fit in one row whatever font stands in for Tahoma.
    SendMessageW(tabs_, TCM_SETPADDING, 0, MAKELPARAM(Scaled(kTabPadding, Dpi()), Scaled(kTabPadding, Dpi())));
    SendMessageW(tabs_, TCM_SETMINTABWIDTH, 0, Scaled(kTabPadding, Dpi()));
    for (int page = 0; page < kPageCount; ++page) {
        TCITEMW tab{};
        tab.mask = TCIF_TEXT;
        tab.pszText = const_cast<wchar_t*>(kPageCaptions[static_cast<std::size_t>(page)]);
        SendMessageW(tabs_, TCM_INSERTITEMW, static_cast<WPARAM>(page), reinterpret_cast<LPARAM>(&tab));
    }
    TakePageColour();
}

void TfrmQuorvex::MakePage(int page)
{
    // In the order of the tabs.
    static constexpr std::array<void (TfrmQuorvex::*)(), kPageCount> kMakers{
        &TfrmQuorvex::CreateAdvertsPage, &TfrmQuorvex::CreateUIPage, &TfrmQuorvex::CreateVersionsPage,
        &TfrmQuorvex::CreateAboutAdvertsPage, &TfrmQuorvex::CreateDonatePage, &TfrmQuorvex::CreateAboutPage,
        &TfrmQuorvex::CreateHelpPage, &TfrmQuorvex::CreateCleanPage};
    bool& made = pageMade_[static_cast<std::size_t>(page)];
    if (made)
        return;
    made = true;
    (this->*kMakers[static_cast<std::size_t>(page)])();
    // Some controls are made visible: a page not chosen hides them (the
    // chosen one is shown by ShowPage).
    if (page != CurrentPageIndex()) {
        for (const TPageControl& control : pageControls_) {
            if (control.page == page)
                ShowWindow(control.handle, SW_HIDE);
        }
    }
    // The pages' controls are drawn over the tab control: a control made
    // later goes below it at first.
    SetWindowPos(tabs_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    FitPage(page);
}

void TfrmQuorvex::MakeRemainingPages()
{
    for (int page = 0; page < kPageCount; ++page)
        MakePage(page);
}

bool TfrmQuorvex::PageMade(int page) const
{
    return pageMade_[static_cast<std::size_t>(page)];
}

HWND TfrmQuorvex::Made(TPlace place) const
{
    // Making a page changes nothing the rules can see: it has the state it
    // would have had if made at start-up, so a question may make it.
    const_cast<TfrmQuorvex*>(this)->MakePage(place.page);
    return Item(place.id);
}

HWND TfrmQuorvex::AddPageControl(int page, const wchar_t* className, int id, DWORD style, RECT pageBounds,
                                 const std::wstring& text)
{
    const HWND control = AddControl(className, id, style, OnPage(pageBounds));
    const auto pending = pendingTexts_.find(id);
    const std::wstring& shown = pending != pendingTexts_.end() ? pending->second : text;
    if (!shown.empty())
        SetWindowTextW(control, shown.c_str());
    if (pending != pendingTexts_.end())
        pendingTexts_.erase(pending);
    pageControls_.push_back({control, page});
    return control;
}

HWND TfrmQuorvex::AddPageList(int page, int id, DWORD style, RECT pageBounds, bool checkBoxes,
                              const std::vector<TListColumn>& columns, const std::vector<TListGroup>& groups)
{
    const HWND list = AddPageControl(page, WC_LISTVIEWW, id, WS_CHILD | style | ReportListStyle(), pageBounds);
    FillReportList(list, checkBoxes, columns, groups, Dpi());
    pageLists_.push_back({list, &columns, page});
    return list;
}

std::unique_ptr<TPictureBox> TfrmQuorvex::AddPagePicture(int page, int id, RECT pageBounds, DWORD extraStyle)
{
    auto picture = std::make_unique<TPictureBox>(*this, id, OnPage(pageBounds), extraStyle);
    pageControls_.push_back({picture->Handle(), page});
    return picture;
}

// The buttons over a list's lower left part come first, above the list.
void TfrmQuorvex::CreateAdvertsPage()
{
    AddPageControl(tbAdverts, WC_BUTTONW, IDC_btnCallm, kButton, Bounds(26, 268, 89, 25), L"&Check All");
    AddPageControl(tbAdverts, WC_BUTTONW, IDC_btnReplace, kButton, Bounds(119, 268, 186, 25),
                   L"Edit HTML &Replacement File");
    const HWND list = AddPageList(tbAdverts, IDC_lvOptions, WS_CLIPSIBLINGS, Bounds(20, 12, 457, 289), true,
                                  kOptionColumns, AdvertOptionGroups());
    SetWindowSubclass(list, &TfrmQuorvex::ListProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
    colorRow_ = std::make_unique<TColorRow>(*this, AdvertsColorRow(), cdColor, TFrameHover::PictureAndFrame,
                                            TColorRow::TChange{});
    for (const int id : {IDC_shColor, IDC_lbColor, IDC_shDrop, IDC_imgDrop, IDC_lbDrop})
        pageControls_.push_back({Item(id), tbAdverts});
    AddMessengerRows(tbAdverts, {IDC_bvlAdverts, IDC_dePath, IDC_dePathBrowse, IDC_lbVersionCaption, IDC_lbVersion,
                                 IDC_btnApply});
}

// The separator, the messenger folder field, the version and the apply
// button at the foot of an option tab.
void TfrmQuorvex::AddMessengerRows(int page, const TMessengerRowIds& ids)
{
    AddPageControl(page, WC_STATICW, ids.separator, kSeparator, Bounds(20, 342, 457, 2));
    AddFolderField(page, ids.folder, ids.browse, Bounds(20, 350, 457, 23));
    const HWND caption = AddPageControl(page, WC_STATICW, ids.versionCaption, kLabel, Bounds(20, 386, 172, 16),
                                        L"Yahoo Messenger Version:");
    const HWND version = AddPageControl(page, WC_STATICW, ids.version, kLabel, Bounds(194, 386, 130, 16), L"0.0.0.0");
    versionRows_.push_back({caption, version, page});
    AddPageControl(page, WC_BUTTONW, ids.apply, kButton, Bounds(336, 382, 141, 25), L"A&pply Options");
}

void TfrmQuorvex::CreateUIPage()
{
    AddPageControl(tbUI, WC_BUTTONW, IDC_btnCallu, kButton, Bounds(26, 268, 89, 25), L"&Check All");
    AddPageList(tbUI, IDC_lvUI, WS_CLIPSIBLINGS, Bounds(20, 12, 457, 289), true, kOptionColumns, UIOptionGroups());
    AddPageControl(tbUI, WC_STATICW, IDC_lbUINote, kLabel, Bounds(20, 314, 457, 16),
                   L"All of the Yahoo UI Options are for Yahoo Messenger 11 and 10 only.");
    AddMessengerRows(tbUI, {IDC_bvlUI, IDC_deUpath, IDC_deUpathBrowse, IDC_lbUIVerCaption, IDC_lbUIVer, IDC_btnUIApply});
}

void TfrmQuorvex::CreateVersionsPage()
{
    AddPageList(tbVersion, IDC_lvVersions, 0, Bounds(20, 12, 457, 401), false, kVersionColumns, VersionGroups());
}

void TfrmQuorvex::CreateAboutAdvertsPage()
{
    AddPageList(tbAboutAdverts, IDC_lvAboutAds, 0, Bounds(20, 12, 457, 177), false, kAboutAdsColumns,
                AboutAdsGroups());
    imgPreview_ = AddPagePicture(tbAboutAdverts, IDC_imgPreview, Bounds(20, 197, 189, 202));
    AddPageControl(tbAboutAdverts, WC_STATICW, IDC_lbDisc, kWrappedLabel, Bounds(232, 197, 245, 130));
    if (pendingAdvertItem_) {
        ShowAdvertItem(*pendingAdvertItem_);
        pendingAdvertItem_.reset();
    }
}

void TfrmQuorvex::CreateDonatePage()
{
    AddPageControl(tbDonate, WC_STATICW, IDC_lbDonateText, kWrappedLabel, Bounds(20, 16, 457, 100),
                   L"If you like Quorvex and would like to help support it's future development then click the Donate "
                   L"button below. Once the Donation page is loaded you will be able to specify the amount you would "
                   L"like to donate.");
    imgDonate_ = AddPagePicture(tbDonate, IDC_imgDonate, Bounds(187, 124, 122, 47), SS_NOTIFY);
    imgDonate_->ShowIcon(IDI_DONATE);
    AddLinkLabel(tbDonate, IDC_mxLinkLabel2);
}

void TfrmQuorvex::CreateAboutPage()
{
    AddPageControl(tbAbout, WC_STATICW, IDC_lbAboutText, kWrappedLabel, Bounds(20, 12, 457, 120),
                   L"Quorvex is designed to remove and replace adverts found in Yahoo Messenger. Some adverts can be "
                   L"removed there are a few that cannot be. For the ones that cannot be removed a HTML Replacement File "
                   L"is created and saved. With the HTML Replacement File you can specify a background color. It can "
                   L"be a custom color or a color picked from your screen. This can help blend the adverts with the "
                   L"window they are in.");
    AddPageControl(tbAbout, WC_STATICW, IDC_bvlAbout1, kSeparator, Bounds(20, 140, 457, 2));
    AddPageControl(tbAbout, WC_STATICW, IDC_lbAboutBlank, kWrappedLabel, Bounds(20, 148, 457, 16));
    AddPageControl(tbAbout, WC_STATICW, IDC_bvlAbout2, kSeparator, Bounds(20, 172, 457, 2));
    AddPageControl(tbAbout, WC_STATICW, IDC_lbAboutTos, kWrappedLabel, Bounds(20, 180, 457, 64),
                   L"Modifying Yahoo! Messenger is a violation of the Yahoo! TOS. By using Quorvex you agree that the "
                   L"author nor the hosting site(s) are not responsible for your action in the use of this software.");
    AddPageControl(tbAbout, WC_STATICW, IDC_bvlAbout3, kSeparator, Bounds(20, 252, 457, 2));
    imgLogo_ = AddPagePicture(tbAbout, IDC_imgLogo, Bounds(20, 264, 125, 51));
    imgLogo_->ShowIcon(IDI_LOGO);
    AddPageControl(tbAbout, WC_STATICW, IDC_lbAuthor, kLabel, Bounds(157, 272, 320, 16),
                   L"Created By: The Quorvex Developers");
    AddPageControl(tbAbout, WC_STATICW, IDC_lbAboutVersion, kLabel, Bounds(157, 294, 320, 16),
                   L"Version: " + WideText(config::kVersion));
    AddLinkLabel(tbAbout, IDC_mxLinkLabel3);
}

void TfrmQuorvex::CreateHelpPage()
{
    AddPageControl(tbHelp, WC_STATICW, IDC_lbHelpText, kWrappedLabel, Bounds(20, 16, 457, 48),
                   L"If you are not sure about something and need help you can click the Open Help Document button "
                   L"below. More then likely you might found what you are looking for there.");
    AddPageControl(tbHelp, WC_BUTTONW, IDC_btnHelp, kButton, Bounds(138, 70, 221, 25), L"&Open Help Document");
    AddPageControl(tbHelp, WC_STATICW, IDC_bvlHelp, kSeparator, Bounds(20, 112, 457, 2));
    AddPageControl(tbHelp, WC_STATICW, IDC_lbUpdateText, kWrappedLabel, Bounds(20, 124, 457, 32),
                   L"If you want to manually check for an update then click the Check for Update button below.");
    AddPageControl(tbHelp, WC_BUTTONW, IDC_btnUpdate, kButton, Bounds(138, 164, 221, 25), L"Check &for Update");
    AddLinkLabel(tbHelp, IDC_mxLinkLabel1);
}

void TfrmQuorvex::CreateCleanPage()
{
    const HWND list = AddPageList(tbClean, IDC_lvClean, 0, Bounds(20, 12, 457, 361), true, kOptionColumns,
                                  CleanOptionGroups());
    SetWindowSubclass(list, &TfrmQuorvex::ListProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
    AddPageControl(tbClean, WC_BUTTONW, IDC_btnClean, kButton, Bounds(336, 382, 141, 25), L"A&pply Options");
}

// The field's text and, at its right end, its browse button.
void TfrmQuorvex::AddFolderField(int page, int editId, int browseId, RECT pageBounds)
{
    const int buttonWidth = pageBounds.bottom - pageBounds.top;
    RECT edit = pageBounds;
    edit.right -= buttonWidth + 2;
    AddPageControl(page, WC_EDITW, editId, WS_CHILD | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, edit);
    RECT button = pageBounds;
    button.left = button.right - buttonWidth;
    AddPageControl(page, WC_BUTTONW, browseId, kButton, button, L"...");
}

// Its caption the product web site's name, its link the site's root.
void TfrmQuorvex::AddLinkLabel(int page, int id)
{
    const HWND label = AddPageControl(page, WC_STATICW, id, kLabel | SS_CENTER | SS_NOTIFY, Bounds(20, 396, 457, 18),
                                      WideText(config::kSiteHost));
    SetWindowSubclass(label, &TfrmQuorvex::LinkProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
    linkLabels_.push_back(label);
}

void TfrmQuorvex::ApplyFonts()
{
    const HFONT oldBold = boldFont_;
    const HFONT oldLink = linkFont_;
    boldFont_ = MakeFont(Dpi(), FW_BOLD, false);
    linkFont_ = MakeFont(Dpi(), FW_NORMAL, true);
    for (int page = 0; page < kPageCount; ++page) {
        if (PageMade(page))
            FitPage(page);
    }
    if (hoveredLink_ != nullptr)
        SendMessageW(hoveredLink_, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_), TRUE);
    for (HFONT font : {oldBold, oldLink}) {
        if (font != nullptr)
            DeleteObject(font);
    }
}

// A made page's bold version captions, each with its version after it
// whatever the caption's font makes its width, and its lists' columns, at
// the window's DPI.
void TfrmQuorvex::FitPage(int page)
{
    for (const TVersionRow& row : versionRows_) {
        if (row.page != page)
            continue;
        SendMessageW(row.caption, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_), TRUE);
        PlaceVersion(row);
    }
    for (const TPageList& list : pageLists_) {
        if (list.page == page)
            ScaleColumns(list.handle, *list.columns, Dpi());
    }
}

void TfrmQuorvex::PlaceVersion(const TVersionRow& row)
{
    const std::wstring text = WindowText(row.caption);
    const HDC screen = GetDC(row.caption);
    const HGDIOBJ old = SelectObject(screen, boldFont_);
    SIZE extent{};
    GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(screen, old);
    ReleaseDC(row.caption, screen);
    RECT bounds{};
    GetWindowRect(row.caption, &bounds);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&bounds), 2);
    const int height = bounds.bottom - bounds.top;
    MoveWindow(row.caption, bounds.left, bounds.top, extent.cx, height, TRUE);
    RECT version{};
    GetWindowRect(row.version, &version);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&version), 2);
    MoveWindow(row.version, bounds.left + extent.cx + Scaled(kVersionGap, Dpi()), version.top,
               version.right - version.left, version.bottom - version.top, TRUE);
}

void TfrmQuorvex::DpiChanged()
{
    hoveredLink_ = nullptr;
    ApplyFonts();
    TakePageColour();
}

void TfrmQuorvex::ShowPage(int page)
{
    MakePage(page);
    const HWND focused = GetFocus();
    for (const TPageControl& control : pageControls_) {
        const bool visible = control.page == page && !hiddenByRules_.contains(control.handle);
        if (!visible && control.handle == focused)
            SetFocus(tabs_);
        ShowWindow(control.handle, visible ? SW_SHOWNA : SW_HIDE);
    }
    if (TabCtrl_GetCurSel(tabs_) != page)
        TabCtrl_SetCurSel(tabs_, page);
    if (!created_)
        return;
    if (page == tbAdverts)
        form_.tbAdvertsShow();
    else if (page == tbUI)
        form_.tbUIShow();
}

int TfrmQuorvex::CurrentPageIndex() const
{
    return TabCtrl_GetCurSel(tabs_);
}

// The labels on the pages take the colour of the tab control's body, which
// differs from the window's where the tab control is drawn in a theme; the
// link labels are drawn in the link colour while the pointer is over them.
LRESULT TfrmQuorvex::PageLabelColours(HWND label, HDC context)
{
    if (label == hoveredLink_)
        SetTextColor(context, kLinkColor);
    SetBkColor(context, pageColour_);
    return reinterpret_cast<LRESULT>(pageBrush_);
}

// The colour the tab control draws its body in: drawn into memory, read in
// the middle of its body.
void TfrmQuorvex::TakePageColour()
{
    RECT bounds{};
    GetClientRect(tabs_, &bounds);
    const POINT sample{bounds.right / 2, bounds.bottom - Scaled(kPageSample, Dpi())};
    const HDC screen = GetDC(tabs_);
    const HDC memory = CreateCompatibleDC(screen);
    // A bitmap of the sampled pixel alone, which the tab control draws onto
    // through a moved origin: drawing the whole control costs start-up time.
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, 1, 1);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    SetViewportOrgEx(memory, -sample.x, -sample.y, nullptr);
    SendMessageW(tabs_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT | PRF_ERASEBKGND);
    const COLORREF colour = GetPixel(memory, sample.x, sample.y);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(tabs_, screen);
    pageColour_ = colour == CLR_INVALID ? GetSysColor(COLOR_BTNFACE) : colour;
    if (pageBrush_ != nullptr)
        DeleteObject(pageBrush_);
    pageBrush_ = CreateSolidBrush(pageColour_);
}

// Ctrl+PageDown and Ctrl+PageUp go to the next and the previous tab, round
// the end, wherever the focus is.
bool TfrmQuorvex::TakeKey(WPARAM key)
{
    if ((key != VK_NEXT && key != VK_PRIOR) || (GetKeyState(VK_CONTROL) & 0x8000) == 0)
        return false;
    RunHandler([&] { ShowPage(TMainForm::TabAfter(CurrentPageIndex(), key == VK_NEXT ? 1 : -1, kPageCount)); });
    return true;
}

void TfrmQuorvex::RunHandler(const std::function<void()>& handler)
{
    RunReportingErrors(handler, [this](const std::string& message) { ReportError(message); });
}

void TfrmQuorvex::Close()
{
    Hide();
    PostQuitMessage(0);
}

LRESULT TfrmQuorvex::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_THEMECHANGED:
    case WM_SYSCOLORCHANGE:
        TakePageColour();
        break;
    case kWindowKeyMessage:
        return TakeKey(wParam) ? 1 : 0;
    case WM_COMMAND:
        // Escape does not close the main window.
        if (LOWORD(wParam) == IDCANCEL)
            return 0;
        RunHandler([&] { Command(LOWORD(wParam), HIWORD(wParam)); });
        return 0;
    case WM_NOTIFY: {
        LRESULT result = 0;
        RunHandler([&] { result = Notify(*reinterpret_cast<const NMHDR*>(lParam)); });
        return result;
    }
    case WM_CTLCOLORSTATIC:
        return PageLabelColours(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam));
    case WM_SHOWWINDOW:
        // Shown anew (not back from the minimised state): so is its page.
        if (wParam != FALSE && lParam == 0)
            RunHandler([&] { ShowPage(CurrentPageIndex()); });
        break;
    default:
        break;
    }
    return TWindow::HandleMessage(message, wParam, lParam);
}

void TfrmQuorvex::Command(int id, int code)
{
    switch (id) {
    case IDC_btnCallm: if (code == BN_CLICKED) form_.btnCallmClick(); return;
    case IDC_btnCallu: if (code == BN_CLICKED) form_.btnCalluClick(); return;
    case IDC_btnReplace: if (code == BN_CLICKED) form_.btnReplaceClick(); return;
    case IDC_btnApply: if (code == BN_CLICKED) form_.btnApplyClick(); return;
    case IDC_btnUIApply: if (code == BN_CLICKED) form_.btnUIApplyClick(); return;
    case IDC_btnClean: if (code == BN_CLICKED) form_.btnCleanClick(); return;
    case IDC_btnHelp: if (code == BN_CLICKED) form_.btnHelpClick(); return;
    case IDC_btnUpdate: if (code == BN_CLICKED) form_.btnUpdateClick(); return;
    case IDC_dePathBrowse: if (code == BN_CLICKED) Browse(TFolderField::dePath); return;
    case IDC_deUpathBrowse: if (code == BN_CLICKED) Browse(TFolderField::deUpath); return;
    case IDC_imgDonate: if (code == STN_CLICKED) form_.imgDonateClick(); return;
    case IDC_mxLinkLabel1:
    case IDC_mxLinkLabel2:
    case IDC_mxLinkLabel3: if (code == STN_CLICKED) OpenLink(); return;
    default: break;
    }
    // A folder field typed in tells its rule when the focus leaves it.
    for (const TFolderField field : {TFolderField::dePath, TFolderField::deUpath}) {
        if (PlaceOf(field).id != id)
            continue;
        bool& typed = folderTyped_[static_cast<std::size_t>(field)];
        if (code == EN_CHANGE && GetFocus() == Item(id))
            typed = true;
        if (code == EN_KILLFOCUS && typed) {
            typed = false;
            form_.FolderChosen(field);
        }
    }
}

LRESULT TfrmQuorvex::Notify(const NMHDR& header)
{
    const int id = static_cast<int>(header.idFrom);
    if (id == IDC_pcMain && header.code == TCN_SELCHANGE) {
        ShowPage(CurrentPageIndex());
        return 0;
    }
    if (header.code == LVN_ITEMCHANGED && created_) {
        ListItemChanged(id, reinterpret_cast<const NMLISTVIEW&>(header));
        return 0;
    }
    if (header.code == NM_CUSTOMDRAW && created_) {
        if (id == IDC_lvOptions)
            return DrawListRow(TOptionList::lvOptions, reinterpret_cast<LPARAM>(&header));
        if (id == IDC_lvClean)
            return DrawListRow(TOptionList::lvClean, reinterpret_cast<LPARAM>(&header));
    }
    return 0;
}

// An unavailable row's caption is grey; the rest is drawn as usual.
LRESULT TfrmQuorvex::DrawListRow(TOptionList list, LPARAM customDraw)
{
    auto& draw = *reinterpret_cast<NMLVCUSTOMDRAW*>(customDraw);
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT)
        return CDRF_NOTIFYITEMDRAW;
    if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT
        && form_.OptionUnavailable(list, static_cast<int>(draw.nmcd.dwItemSpec)))
        draw.clrText = kGrey;
    return CDRF_DODEFAULT;
}

void TfrmQuorvex::ListItemChanged(int id, const NMLISTVIEW& change)
{
    if (id == IDC_lvOptions && CheckChanged(change))
        form_.lvOptionsItemChecked(change.iItem);
    else if (id == IDC_lvClean && CheckChanged(change))
        form_.lvCleanItemChecked(change.iItem);
    else if (id == IDC_lvAboutAds && SelectionChanged(change)) {
        const std::vector<int> row{change.iItem};
        if ((change.uNewState & LVIS_SELECTED) != 0)
            form_.lvAboutAdsSelectionChanged({}, row);
        else
            form_.lvAboutAdsSelectionChanged(row, {});
    }
}

void TfrmQuorvex::Browse(TFolderField field)
{
    const std::optional<std::string> chosen = PickFolder(Handle(), kMessengerFolderPrompt, FolderText(field));
    if (!chosen)
        return;
    SetFolderText(field, *chosen);
    form_.FolderChosen(field);
}

void TfrmQuorvex::OpenLink()
{
    ShellOpen(Handle(), ProductUpdatePageURL(), kLinkShowCommand,
              [this](const std::string& message) { ReportError(message); });
}

// A list's draw asks the rules' facts once for all its rows.
LRESULT CALLBACK TfrmQuorvex::ListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR window)
{
    if (message != WM_PAINT)
        return DefSubclassProc(list, message, wParam, lParam);
    auto& self = *reinterpret_cast<TfrmQuorvex*>(window);
    LRESULT result = 0;
    const bool drawn = RunReportingErrors(
        [&] { self.form_.DrawList([&] { result = DefSubclassProc(list, message, wParam, lParam); }); },
        [&self](const std::string& message) { self.ReportError(message); });
    if (!drawn)
        ValidateRect(list, nullptr);
    return result;
}

// The link font, the link colour and the hand cursor while the pointer is
// over the label.
LRESULT CALLBACK TfrmQuorvex::LinkProcedure(HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR window)
{
    auto& self = *reinterpret_cast<TfrmQuorvex*>(window);
    switch (message) {
    case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND
        return TRUE;
    case WM_MOUSEMOVE:
        if (self.hoveredLink_ != label && IsWindowEnabled(label)) {
            self.hoveredLink_ = label;
            TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, label, 0};
            TrackMouseEvent(&track);
            SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(self.linkFont_), TRUE);
        }
        break;
    case WM_MOUSELEAVE:
        if (self.hoveredLink_ == label) {
            self.hoveredLink_ = nullptr;
            SendMessageW(label, WM_SETFONT, SendMessageW(self.Handle(), WM_GETFONT, 0, 0), TRUE);
        }
        break;
    default:
        break;
    }
    return DefSubclassProc(label, message, wParam, lParam);
}

TfrmQuorvex::TPlace TfrmQuorvex::PlaceOf(TOptionList list)
{
    switch (list) {
    case TOptionList::lvOptions: break;
    case TOptionList::lvUI: return {tbUI, IDC_lvUI};
    case TOptionList::lvClean: return {tbClean, IDC_lvClean};
    }
    return {tbAdverts, IDC_lvOptions};
}

TfrmQuorvex::TPlace TfrmQuorvex::PlaceOf(TFolderField field)
{
    return field == TFolderField::dePath ? TPlace{tbAdverts, IDC_dePath} : TPlace{tbUI, IDC_deUpath};
}

TfrmQuorvex::TPlace TfrmQuorvex::PlaceOf(TVersionLabel label)
{
    return label == TVersionLabel::lbVersion ? TPlace{tbAdverts, IDC_lbVersion} : TPlace{tbUI, IDC_lbUIVer};
}

TfrmQuorvex::TPlace TfrmQuorvex::PlaceOf(TMainControl control)
{
    switch (control) {
    case TMainControl::btnApply: break;
    case TMainControl::btnUIApply: return {tbUI, IDC_btnUIApply};
    case TMainControl::btnClean: return {tbClean, IDC_btnClean};
    case TMainControl::btnCallm: return {tbAdverts, IDC_btnCallm};
    case TMainControl::btnCallu: return {tbUI, IDC_btnCallu};
    case TMainControl::btnReplace: return {tbAdverts, IDC_btnReplace};
    case TMainControl::lvOptions: return PlaceOf(TOptionList::lvOptions);
    case TMainControl::lvUI: return PlaceOf(TOptionList::lvUI);
    case TMainControl::lvClean: return PlaceOf(TOptionList::lvClean);
    case TMainControl::dePath: return PlaceOf(TFolderField::dePath);
    case TMainControl::deUpath: return PlaceOf(TFolderField::deUpath);
    }
    return {tbAdverts, IDC_btnApply};
}

// A text for a control whose page is not made yet is kept until it is.
void TfrmQuorvex::SetPageText(TPlace place, const std::wstring& text)
{
    if (PageMade(place.page))
        SetWindowTextW(Item(place.id), text.c_str());
    else
        pendingTexts_[place.id] = text;
}

int TfrmQuorvex::PageIndex(TMainPage page)
{
    switch (page) {
    case TMainPage::tbAdverts: return tbAdverts;
    case TMainPage::tbUI: return tbUI;
    case TMainPage::Other: break;
    }
    return -1;
}

int TfrmQuorvex::RowCount(TOptionList list) const
{
    return win32::RowCount(Made(PlaceOf(list)));
}

bool TfrmQuorvex::Ticked(TOptionList list, int index) const
{
    return RowChecked(Made(PlaceOf(list)), index);
}

void TfrmQuorvex::SetTicked(TOptionList list, int index, bool ticked)
{
    CheckRow(Made(PlaceOf(list)), index, ticked);
}

void TfrmQuorvex::SetCaption(TOptionList list, int index, const std::string& caption)
{
    SetRowText(Made(PlaceOf(list)), index, WideText(caption));
}

void TfrmQuorvex::Repaint(TOptionList list)
{
    InvalidateRect(Made(PlaceOf(list)), nullptr, TRUE);
}

std::string TfrmQuorvex::FolderText(TFolderField field) const
{
    const TPlace place = PlaceOf(field);
    if (PageMade(place.page))
        return NarrowText(WindowText(Item(place.id)));
    const auto pending = pendingTexts_.find(place.id);
    return pending != pendingTexts_.end() ? NarrowText(pending->second) : std::string();
}

void TfrmQuorvex::SetFolderText(TFolderField field, const std::string& text)
{
    SetPageText(PlaceOf(field), WideText(text));
}

void TfrmQuorvex::SetVersionText(TVersionLabel label, const std::string& text)
{
    SetPageText(PlaceOf(label), WideText(text));
}

// Only a Wine prefix has something to say here.
void TfrmQuorvex::SetPrefixToolTip(const std::string&) {}

TMainPage TfrmQuorvex::CurrentPage() const
{
    switch (CurrentPageIndex()) {
    case tbAdverts: return TMainPage::tbAdverts;
    case tbUI: return TMainPage::tbUI;
    default: return TMainPage::Other;
    }
}

void TfrmQuorvex::EnablePage(TMainPage page, bool enabled)
{
    const int index = PageIndex(page);
    if (index < 0)
        return;
    MakePage(index);
    for (const TPageControl& control : pageControls_) {
        if (control.page == index)
            EnableWindow(control.handle, enabled ? TRUE : FALSE);
    }
}

bool TfrmQuorvex::Enabled(TMainControl control) const
{
    return IsWindowEnabled(Made(PlaceOf(control))) != FALSE;
}

void TfrmQuorvex::Enable(TMainControl control, bool enabled)
{
    EnableWindow(Made(PlaceOf(control)), enabled ? TRUE : FALSE);
    // The browse button goes with its field.
    if (control == TMainControl::dePath || control == TMainControl::deUpath)
        EnableWindow(Item(control == TMainControl::dePath ? IDC_dePathBrowse : IDC_deUpathBrowse), enabled ? TRUE : FALSE);
}

void TfrmQuorvex::ShowControl(TMainControl control, bool visible)
{
    const HWND handle = Made(PlaceOf(control));
    if (visible)
        hiddenByRules_.erase(handle);
    else
        hiddenByRules_.insert(handle);
    const auto onPage = std::find_if(pageControls_.begin(), pageControls_.end(),
                                     [handle](const TPageControl& c) { return c.handle == handle; });
    const bool pageShown = onPage != pageControls_.end() && onPage->page == CurrentPageIndex();
    ShowWindow(handle, visible && pageShown ? SW_SHOWNA : SW_HIDE);
}

void TfrmQuorvex::ShowAdvertItem(int index)
{
    if (!PageMade(tbAboutAdverts)) {
        pendingAdvertItem_ = index;
        return;
    }
    ShowStoredPicture(*imgPreview_, mxStorage, index);
    SetWindowTextW(Item(IDC_lbDisc), RowText(Item(IDC_lvAboutAds), index, 1).c_str());
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
    win32::ShowMessage(Handle(), text, kApplicationTitle, TMessageIcon::None);
}

void TfrmQuorvex::ReportError(const std::string& message)
{
    win32::ShowMessage(IsWindowVisible(Handle()) ? Handle() : nullptr, ErrorReportText(message), kApplicationTitle,
                       TMessageIcon::Error);
}

void TfrmQuorvex::OpenHidden(const std::string& target)
{
    ShellOpen(Handle(), target, SW_HIDE, [this](const std::string& message) { ReportError(message); });
}

void TfrmQuorvex::ExecuteUpdateCheck(bool silent)
{
    win32::ExecuteUpdateCheck(IsWindowVisible(Handle()) ? Handle() : nullptr, silent);
}

}  // namespace quorvex::win32
