// The maker's styled list control: a report-style list view whose cells can
// carry their own background and text colours and styles, for normal and for
// selected rows. The colours live in the control object; the rows, columns,
// texts and states are the platform list view's.
#pragma once

#include "platform/afx.h"

#include <map>
#include <string>
#include <utility>

class CListCtrlStyled : public CWnd {
public:
    // Cell style bits: the cell is drawn as a solid swatch of its background
    // colour, and (selected style) keeps that swatch when the row is selected.
    enum { styleSolid = 0x01, styleOwnColours = 0xF0, styleKeepWhenSelected = 0x30 };

    struct CellStyle {
        COLORREF background = CLR_NONE_STYLE;
        COLORREF text = CLR_NONE_STYLE;
        DWORD style = 0;
        COLORREF selectedBackground = CLR_NONE_STYLE;
        COLORREF selectedText = CLR_NONE_STYLE;
        DWORD selectedStyle = 0;
    };
    static constexpr COLORREF CLR_NONE_STYLE = 0xFFFFFFFFu;

    // Inserts a column; sortKind is the control's own and is kept as given.
    int InsertColumn(int column, LPCWSTR caption, int format, int width, int sortKind);
    int InsertItem(int row, LPCWSTR text);
    // The same with the row's image (an index into the small image list).
    int InsertItem(int row, LPCWSTR text, int image);
    BOOL SetItemText(int row, int column, LPCWSTR text);
    std::wstring GetItemText(int row, int column) const;
    BOOL SetItemData(int row, DWORD_PTR data);
    DWORD_PTR GetItemData(int row) const;
    // Fills what item->mask asks for of row item->iItem; false without it.
    BOOL GetItem(LVITEMW* item) const;
    BOOL DeleteAllItems();
    int GetItemCount() const;

    BOOL SetItemState(int row, UINT state, UINT mask);
    UINT GetItemState(int row, UINT mask) const;
    // The next row after row (-1: from the start) with all flags (LVNI_*).
    int GetNextItem(int row, int flags) const;
    int GetFirstSelected() const { return GetNextItem(-1, LVNI_SELECTED); }
    int GetSelectedCount() const;
    BOOL SetCheck(int row, BOOL checked);
    BOOL GetCheck(int row) const;
    BOOL EnsureVisible(int row, BOOL partialOk);
    DWORD SetExtendedStyle(DWORD style);
    DWORD GetExtendedStyle() const;
    void SetImageList(HIMAGELIST list, int kind);
    HIMAGELIST GetImageList(int kind) const;

    void SetItemBgColor(int row, int column, COLORREF colour, bool redraw);
    void SetItemTxtColor(int row, int column, COLORREF colour, bool redraw);
    void SetItemStyle(int row, int column, DWORD style, bool redraw);
    void SetItemSelectedBgColor(int row, int column, COLORREF colour, bool redraw);
    void SetItemSelectedTxtColor(int row, int column, COLORREF colour, bool redraw);
    void SetItemSelectedStyle(int row, int column, DWORD style, bool redraw);
    void SetHighlightColor(COLORREF colour) { m_highlight = colour; }
    void SetHighlightTextColor(COLORREF colour) { m_highlightText = colour; }

    // What a viewer reads.
    const CellStyle* cellStyle(int row, int column) const;
    COLORREF highlightColor() const { return m_highlight; }
    COLORREF highlightTextColor() const { return m_highlightText; }
    int columnSortKind(int column) const;

private:
    int insertRow(int row, LPCWSTR text, bool withImage, int image);
    CellStyle& cell(int row, int column, bool redraw);
    LRESULT send(UINT msg, WPARAM wParam, LPARAM lParam) const;

    std::map<std::pair<int, int>, CellStyle> m_cells;
    std::map<int, int> m_sortKinds;
    COLORREF m_highlight = 0;
    COLORREF m_highlightText = 0;
};
