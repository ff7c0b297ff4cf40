// Views that draw nothing: they keep what the forms set, answer as the test
// says, and write every call the forms make into a journal, in order.
#pragma once

#include "forms/EditForm.h"
#include "forms/HelpForm.h"
#include "forms/MainView.h"
#include "forms/MessengerReads.h"
#include "forms/SplashForm.h"
#include "forms/StatusForm.h"

#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvex::test {

using TJournal = std::vector<std::string>;

const char* Name(TOptionList list);
const char* Name(TFolderField field);
const char* Name(TMainControl control);
const char* Name(TMainPage page);

// The status log's calls: "show", "line: <text>", "status: <text>",
// "progress: normal|paused", "close button: on|off", "close".
class TRecordingStatusLog final : public IStatusLog {
public:
    explicit TRecordingStatusLog(TJournal& journal) : journal_(journal) {}

    void Show() override { journal_.push_back("show"); }
    void AppendLine(const std::string& line) override { journal_.push_back("line: " + line); }
    void SetStatusText(const std::string& text) override { journal_.push_back("status: " + text); }
    void SetProgressState(TProgressState state) override;
    void EnableClose(bool enabled) override { journal_.push_back(enabled ? "close button: on" : "close button: off"); }
    void Close() override { journal_.push_back("close"); }

private:
    TJournal& journal_;
};

// The main window with three lists of 9, 9 and 3 rows. Journal entries:
// "tick <list> <row> on|off", "caption <list> <row>: <text>", "repaint <list>",
// "folder <field>: <text>", "version <label>: <text>", "tip: <text>",
// "page <page> on|off", "enable <control> on|off", "show <control> on|off",
// "advert item <row>", "help window", "edit window", "message: <text>", "error: <text>",
// "open hidden: <target>", "update check silent|with messages", and the
// status log's entries.
class TFakeMainView final : public IMainView {
public:
    TFakeMainView();

    TJournal Journal;
    std::map<TOptionList, std::vector<bool>> Ticks;
    std::map<TOptionList, std::map<int, std::string>> Captions;
    std::map<TFolderField, std::string> Folders;
    std::uint32_t Color = 0x00336699;
    std::map<TVersionLabel, std::string> Versions;
    std::string ToolTip;
    TMainPage Page = TMainPage::tbAdverts;
    // Each control's own state; a control not in the map is enabled.
    std::map<TMainControl, bool> OwnEnabled;
    std::map<TMainControl, bool> Visible;
    // Runs inside each update check (the checker's own work).
    std::function<void(bool silent)> UpdateCheck;
    // Showing this About Adverts row raises an error.
    std::optional<int> BrokenAdvertItem;
    // When set, reading a folder field raises this error.
    std::optional<std::string> FolderReadError;
    TRecordingStatusLog Status{Journal};

    // The journal from entry first on, holding only entries that start with one of the prefixes.
    TJournal Entries(std::initializer_list<std::string> prefixes, std::size_t first = 0) const;
    std::string TickedRows(TOptionList list) const;  // '1' ticked, '0' not, one per row

    int RowCount(TOptionList list) const override { return static_cast<int>(Ticks.at(list).size()); }
    bool Ticked(TOptionList list, int index) const override { return Ticks.at(list).at(index); }
    void SetTicked(TOptionList list, int index, bool ticked) override;
    void SetCaption(TOptionList list, int index, const std::string& caption) override;
    void Repaint(TOptionList list) override { Journal.push_back(std::string("repaint ") + Name(list)); }
    std::string FolderText(TFolderField field) const override;
    void SetFolderText(TFolderField field, const std::string& text) override;
    std::uint32_t AdvertColor() const override { return Color; }
    void SetVersionText(TVersionLabel label, const std::string& text) override;
    void SetPrefixToolTip(const std::string& text) override;
    TMainPage CurrentPage() const override { return Page; }
    void EnablePage(TMainPage page, bool enabled) override;
    bool Enabled(TMainControl control) const override;
    void Enable(TMainControl control, bool enabled) override;
    void ShowControl(TMainControl control, bool visible) override;
    void ShowAdvertItem(int index) override;
    void ShowHelpWindow() override { Journal.push_back("help window"); }
    void ShowEditWindow() override { Journal.push_back("edit window"); }
    IStatusLog& StatusLog() override { return Status; }
    void ShowMessage(const std::string& text) override { Journal.push_back("message: " + text); }
    void ReportError(const std::string& message) override { Journal.push_back("error: " + message); }
    void OpenHidden(const std::string& target) override { Journal.push_back("open hidden: " + target); }
    void ExecuteUpdateCheck(bool silent) override;
};

// The messenger as the test sets it; counts the version reads.
class TFakeReads final : public IMessengerReads {
public:
    std::string Version = "10.0.0.1270";
    bool AutoStart = true;
    bool Backup = false;
    bool HtmlReplacement = false;
    bool Multi = false;
    bool Smiley = false;
    int VersionReads = 0;
    // When set, every read raises this error.
    std::optional<std::string> ReadError;

    std::string MessengerVersion() override;
    bool AutoStartOn() override { return Answer(AutoStart); }
    bool BackupExists() override { return Answer(Backup); }
    bool HtmlReplacementExists() override { return Answer(HtmlReplacement); }
    bool MultiOn() override { return Answer(Multi); }
    bool SmileyOn() override { return Answer(Smiley); }

private:
    bool Answer(bool value) const;
};

// Journal: "splash shown", "splash hidden".
class TFakeSplash final : public ISplashView {
public:
    explicit TFakeSplash(TJournal& journal) : journal_(journal) {}
    bool Up = false;

    bool Visible() const override { return Up; }
    void ShowNow() override;
    void Hide() override;

private:
    TJournal& journal_;
};

// Journal: "show", "close", "line: <text>", "clear", "status: <text>",
// "progress: moving|stopped", "close button: on|off", "open hidden: <target>".
class TFakeStatusView final : public IStatusView {
public:
    TJournal Journal;
    bool OpenMessenger = false;

    void ShowInFront() override { Journal.push_back("show"); }
    void CloseWindow() override { Journal.push_back("close"); }
    void WriteLine(const std::string& line) override { Journal.push_back("line: " + line); }
    void ClearLines() override { Journal.push_back("clear"); }
    void DrawStatusText(const std::string& text) override { Journal.push_back("status: " + text); }
    void DrawProgress(TProgressState state) override;
    void DrawCloseEnabled(bool enabled) override { Journal.push_back(enabled ? "close button: on" : "close button: off"); }
    bool OpenMessengerTicked() const override { return OpenMessenger; }
    void OpenHidden(const std::string& target) override { Journal.push_back("open hidden: " + target); }
};

// Journal: "file: <path>", "page: <html>", "close", "error: <text>".
class TFakeEditView final : public IEditView {
public:
    TJournal Journal;

    void ShowFile(const std::string& path) override { Journal.push_back("file: " + path); }
    void ShowPage(const std::string& html) override { Journal.push_back("page: " + html); }
    void CloseWindow() override { Journal.push_back("close"); }
    void ReportError(const std::string& message) override { Journal.push_back("error: " + message); }
};

// Journal: "show", "document: <the stream's bytes from its start>".
class TFakeHelpView final : public IHelpView {
public:
    TJournal Journal;

    void ShowInFront() override { Journal.push_back("show"); }
    void ShowDocument(TStream& document) override;
};

}  // namespace quorvex::test
