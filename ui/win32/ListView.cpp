#include "ui/win32/ListView.h"

#include "ui/win32/Dpi.h"

#include <commctrl.h>

namespace quorvex::win32 {
namespace {

void SetCellText(HWND list, int row, int column, const std::wstring& text)
{
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

DWORD ReportListStyle()
{
    return WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
}

void FillReportList(HWND list, bool checkBoxes, const std::vector<TListColumn>& columns,
                    const std::vector<TListGroup>& groups, UINT dpi)
{
    const DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | (checkBoxes ? LVS_EX_CHECKBOXES : 0);
    ListView_SetExtendedListViewStyle(list, extended);
    for (std::size_t index = 0; index < columns.size(); ++index) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<wchar_t*>(columns[index].caption);
        column.cx = Scaled(columns[index].width, dpi);
        SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
    }
    ListView_EnableGroupView(list, TRUE);
    // The rows go in with drawing off, which halves the time of filling the
    // main window's lists under Wine. Turning drawing on again marks the list
    // visible (WS_VISIBLE), which a hidden list must not become.
    const bool hidden = (GetWindowLongPtrW(list, GWL_STYLE) & WS_VISIBLE) == 0;
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    int row = 0;
    for (std::size_t groupIndex = 0; groupIndex < groups.size(); ++groupIndex) {
        const TListGroup& group = groups[groupIndex];
        LVGROUP header{};
        header.cbSize = sizeof header;
        header.mask = LVGF_HEADER | LVGF_GROUPID;
        header.pszHeader = const_cast<wchar_t*>(group.header);
        header.iGroupId = static_cast<int>(groupIndex);
        ListView_InsertGroup(list, -1, &header);
        for (const std::vector<std::wstring>& cells : group.rows) {
            LVITEMW item{};
            item.mask = LVIF_TEXT | LVIF_GROUPID;
            item.iItem = row;
            item.iGroupId = static_cast<int>(groupIndex);
            item.pszText = const_cast<wchar_t*>(cells[0].c_str());
            SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
            for (std::size_t cell = 1; cell < cells.size(); ++cell)
                SetCellText(list, row, static_cast<int>(cell), cells[cell]);
            ++row;
        }
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    if (hidden)
        ShowWindow(list, SW_HIDE);
}

void ScaleColumns(HWND list, const std::vector<TListColumn>& columns, UINT dpi)
{
    for (std::size_t index = 0; index < columns.size(); ++index)
        ListView_SetColumnWidth(list, static_cast<int>(index), Scaled(columns[index].width, dpi));
}

int RowCount(HWND list)
{
    return ListView_GetItemCount(list);
}

bool RowChecked(HWND list, int row)
{
    return ListView_GetCheckState(list, row) != FALSE;
}

void CheckRow(HWND list, int row, bool checked)
{
    ListView_SetCheckState(list, row, checked ? TRUE : FALSE);
}

std::wstring RowText(HWND list, int row, int column)
{
    wchar_t text[512] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 512;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

void SetRowText(HWND list, int row, const std::wstring& text)
{
    SetCellText(list, row, 0, text);
}

bool CheckChanged(const NMLISTVIEW& change)
{
    return (change.uChanged & LVIF_STATE) != 0 && ((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK) != 0;
}

bool SelectionChanged(const NMLISTVIEW& change)
{
    return (change.uChanged & LVIF_STATE) != 0 && ((change.uNewState ^ change.uOldState) & LVIS_SELECTED) != 0;
}

}  // namespace quorvex::win32
