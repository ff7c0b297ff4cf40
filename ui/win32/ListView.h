// The main window's lists: report-style list views with grouped rows, hidden
// column headers, captions the user cannot edit and, for the option lists, a
// check box on every row.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace quorvex::win32 {

struct TListColumn {
    const wchar_t* caption;
    int width;  // at 96 DPI
};

// A group's header and its rows; a row is its caption and its sub-items.
struct TListGroup {
    const wchar_t* header;
    std::vector<std::vector<std::wstring>> rows;
};

// The list view style of every list of the main window.
DWORD ReportListStyle();

// Fills an empty list view: its columns, then the groups' rows in order, so
// that the rows are indexed across the groups. checkBoxes puts a check box on
// every row.
void FillReportList(HWND list, bool checkBoxes, const std::vector<TListColumn>& columns,
                    const std::vector<TListGroup>& groups, UINT dpi);
// The column widths at a new DPI.
void ScaleColumns(HWND list, const std::vector<TListColumn>& columns, UINT dpi);

int RowCount(HWND list);
bool RowChecked(HWND list, int row);
void CheckRow(HWND list, int row, bool checked);
std::wstring RowText(HWND list, int row, int column);
void SetRowText(HWND list, int row, const std::wstring& text);

// Whether a list view's LVN_ITEMCHANGED is a change of a row's check box or
// of its selection.
bool CheckChanged(const NMLISTVIEW& change);
bool SelectionChanged(const NMLISTVIEW& change);

}  // namespace quorvex::win32
