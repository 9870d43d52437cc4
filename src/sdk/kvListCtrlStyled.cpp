#include "sdk/kvListCtrlStyled.h"

#include <vector>

LRESULT CListCtrlStyled::send(UINT msg, WPARAM wParam, LPARAM lParam) const
{
    return m_hWnd ? ::SendMessageW(m_hWnd, msg, wParam, lParam) : 0;
}

int CListCtrlStyled::InsertColumn(int column, LPCWSTR caption, int format, int width, int sortKind)
{
    LVCOLUMNW c{};
    c.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    c.fmt = format;
    c.cx = width;
    c.pszText = const_cast<LPWSTR>(caption);
    c.iSubItem = column;
    const int at = static_cast<int>(send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&c)));
    if (at >= 0)
        m_sortKinds[at] = sortKind;
    return at;
}

int CListCtrlStyled::columnSortKind(int column) const
{
    auto it = m_sortKinds.find(column);
    return it == m_sortKinds.end() ? 0 : it->second;
}

int CListCtrlStyled::InsertItem(int row, LPCWSTR text)
{
    return insertRow(row, text, false, 0);
}

int CListCtrlStyled::InsertItem(int row, LPCWSTR text, int image)
{
    return insertRow(row, text, true, image);
}

int CListCtrlStyled::insertRow(int row, LPCWSTR text, bool withImage, int image)
{
    LVITEMW item{};
    item.mask = LVIF_TEXT | (withImage ? LVIF_IMAGE : 0);
    item.iItem = row;
    item.iImage = image;
    item.pszText = const_cast<LPWSTR>(text ? text : L"");
    if (GetExtendedStyle() & LVS_EX_CHECKBOXES) {
        // A list with check boxes gives every new row an unticked box.
        item.mask |= LVIF_STATE;
        item.state = INDEXTOSTATEIMAGEMASK(1);
        item.stateMask = LVIS_STATEIMAGEMASK;
    }
    return static_cast<int>(send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

BOOL CListCtrlStyled::SetItemText(int row, int column, LPCWSTR text)
{
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<LPWSTR>(text ? text : L"");
    return static_cast<BOOL>(send(LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
}

std::wstring CListCtrlStyled::GetItemText(int row, int column) const
{
    std::vector<wchar_t> buffer(260, L'\0');
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    send(LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return buffer.data();
}

BOOL CListCtrlStyled::SetItemData(int row, DWORD_PTR data)
{
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = static_cast<LPARAM>(data);
    return static_cast<BOOL>(send(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

DWORD_PTR CListCtrlStyled::GetItemData(int row) const
{
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return 0;
    return static_cast<DWORD_PTR>(item.lParam);
}

BOOL CListCtrlStyled::GetItem(LVITEMW* item) const
{
    return item ? static_cast<BOOL>(send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(item))) : FALSE;
}

BOOL CListCtrlStyled::DeleteAllItems()
{
    m_cells.clear();
    return static_cast<BOOL>(send(LVM_DELETEALLITEMS, 0, 0));
}

int CListCtrlStyled::GetItemCount() const
{
    return static_cast<int>(send(LVM_GETITEMCOUNT, 0, 0));
}

BOOL CListCtrlStyled::SetItemState(int row, UINT state, UINT mask)
{
    LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    return static_cast<BOOL>(send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
}

UINT CListCtrlStyled::GetItemState(int row, UINT mask) const
{
    return static_cast<UINT>(send(LVM_GETITEMSTATE, static_cast<WPARAM>(row), static_cast<LPARAM>(mask)));
}

int CListCtrlStyled::GetNextItem(int row, int flags) const
{
    return static_cast<int>(send(LVM_GETNEXTITEM, static_cast<WPARAM>(row), MAKELPARAM(flags, 0)));
}

int CListCtrlStyled::GetSelectedCount() const
{
    int n = 0;
    for (int row = GetNextItem(-1, LVNI_SELECTED); row >= 0; row = GetNextItem(row, LVNI_SELECTED))
        ++n;
    return n;
}

// The check box is the row's state image: 1 unticked, 2 ticked.
BOOL CListCtrlStyled::SetCheck(int row, BOOL checked)
{
    return SetItemState(row, INDEXTOSTATEIMAGEMASK(checked ? 2 : 1), LVIS_STATEIMAGEMASK);
}

BOOL CListCtrlStyled::GetCheck(int row) const
{
    return ((GetItemState(row, LVIS_STATEIMAGEMASK) >> 12) - 1) == 1 ? TRUE : FALSE;
}

BOOL CListCtrlStyled::EnsureVisible(int row, BOOL partialOk)
{
    return static_cast<BOOL>(send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), partialOk));
}

DWORD CListCtrlStyled::SetExtendedStyle(DWORD style)
{
    return static_cast<DWORD>(send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style)));
}

DWORD CListCtrlStyled::GetExtendedStyle() const
{
    return static_cast<DWORD>(send(LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
}

void CListCtrlStyled::SetImageList(HIMAGELIST list, int kind)
{
    send(LVM_SETIMAGELIST, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(list));
}

HIMAGELIST CListCtrlStyled::GetImageList(int kind) const
{
    return reinterpret_cast<HIMAGELIST>(send(LVM_GETIMAGELIST, static_cast<WPARAM>(kind), 0));
}

CListCtrlStyled::CellStyle& CListCtrlStyled::cell(int row, int column, bool redraw)
{
    if (redraw && m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return m_cells[std::make_pair(row, column)];
}

const CListCtrlStyled::CellStyle* CListCtrlStyled::cellStyle(int row, int column) const
{
    auto it = m_cells.find(std::make_pair(row, column));
    return it == m_cells.end() ? nullptr : &it->second;
}

void CListCtrlStyled::SetItemBgColor(int row, int column, COLORREF colour, bool redraw)
{
    cell(row, column, redraw).background = colour;
}

void CListCtrlStyled::SetItemTxtColor(int row, int column, COLORREF colour, bool redraw)
{
    cell(row, column, redraw).text = colour;
}

void CListCtrlStyled::SetItemStyle(int row, int column, DWORD style, bool redraw)
{
    cell(row, column, redraw).style = style;
}

void CListCtrlStyled::SetItemSelectedBgColor(int row, int column, COLORREF colour, bool redraw)
{
    cell(row, column, redraw).selectedBackground = colour;
}

void CListCtrlStyled::SetItemSelectedTxtColor(int row, int column, COLORREF colour, bool redraw)
{
    cell(row, column, redraw).selectedText = colour;
}

void CListCtrlStyled::SetItemSelectedStyle(int row, int column, DWORD style, bool redraw)
{
    cell(row, column, redraw).selectedStyle = style;
}
