// What the main window's rules ask of the window that draws them: its lists,
// fields and labels by name, the enabling and showing of its controls, its
// other windows and the ways out to the user (message boxes, the error
// report, the shell, the update checker).
#pragma once

#include "workflows/WorkflowHost.h"

#include <cstdint>
#include <string>

namespace quorvex {

// The tab pages whose showing the rules answer; Other stands for the rest.
enum class TMainPage { tbAdverts, tbUI, Other };

// The option lists, rows addressed by option index.
enum class TOptionList { lvOptions, lvUI, lvClean };

// The messenger folder fields of the Adverts and the UI tab.
enum class TFolderField { dePath, deUpath };

// The prompt of the folder picker that a folder field's browse button opens.
inline constexpr char kMessengerFolderPrompt[] = "Select the folder where Yahoo Messenger is located.";

// The messenger version labels of the Adverts and the UI tab.
enum class TVersionLabel { lbVersion, lbUIVer };

// The controls the rules enable or show one by one.
enum class TMainControl {
    btnApply, btnUIApply, btnClean, btnCallm, btnCallu, btnReplace,
    lvOptions, lvUI, lvClean, dePath, deUpath,
};

class IMainView {
public:
    virtual ~IMainView() = default;

    virtual int RowCount(TOptionList list) const = 0;
    virtual bool Ticked(TOptionList list, int index) const = 0;
    // A change answers with the list's tick event, as a click does.
    virtual void SetTicked(TOptionList list, int index, bool ticked) = 0;
    virtual void SetCaption(TOptionList list, int index, const std::string& caption) = 0;
    // Draws the list anew, asking the rules for each row.
    virtual void Repaint(TOptionList list) = 0;

    virtual std::string FolderText(TFolderField field) const = 0;
    virtual void SetFolderText(TFolderField field, const std::string& text) = 0;
    // The fill of the Adverts tab's colour box: bits 0-7 red, 8-15 green, 16-23 blue.
    virtual std::uint32_t AdvertColor() const = 0;
    virtual void SetVersionText(TVersionLabel label, const std::string& text) = 0;
    // The tool tip of both folder fields and both version labels and their captions.
    virtual void SetPrefixToolTip(const std::string& text) = 0;

    virtual TMainPage CurrentPage() const = 0;
    // Enables or disables every control of a tab page.
    virtual void EnablePage(TMainPage page, bool enabled) = 0;
    // Whether the control is enabled on its own account (a page disabled
    // around it does not count).
    virtual bool Enabled(TMainControl control) const = 0;
    virtual void Enable(TMainControl control, bool enabled) = 0;
    virtual void ShowControl(TMainControl control, bool visible) = 0;

    // Shows About Adverts row index: its stored picture in the preview and its description.
    virtual void ShowAdvertItem(int index) = 0;
    virtual void ShowHelpWindow() = 0;
    virtual void ShowEditWindow() = 0;
    // The status window, as the workflows write to it.
    virtual IStatusLog& StatusLog() = 0;

    // A plain message box: the application title as caption, no icon, one OK button.
    virtual void ShowMessage(const std::string& text) = 0;
    // The application error report for a message (the error's own text).
    virtual void ReportError(const std::string& message) = 0;
    // Hands a target to the shell, shown hidden; a failure goes to the
    // application error report.
    virtual void OpenHidden(const std::string& target) = 0;
    // Runs the update checker: silent shows no message when no update is found.
    virtual void ExecuteUpdateCheck(bool silent) = 0;
};

}  // namespace quorvex
