// The colour grid inside the colour button's palette popup.
#pragma once

#include "platform/atl.h"
#include "ui/atl/PrintExt.h"
#include "ui/atl/dv/Convert.h"

#include <vector>

namespace kv {
namespace ui {
namespace atl {

// Cell drawing flags, shared with the popup's preview.
enum ColorCellFlags : unsigned { cellHot = 1, cellSelected = 2, cellSolid = 4 };
// Fills rect with the colour: a solid brush (which the display may dither),
// or the nearest solid colour.
void fillColor(HDC dc, const RECT& rect, COLORREF color, bool solid);
// Draws one colour cell: a frame by its state, the colour inside.
void drawColorCell(HDC dc, RECT rect, COLORREF color, unsigned flags);

class ColorsCtrl : public ATL::CWindowImplBase, public PrintExt<ColorsCtrl, 1> {
public:
    ColorsCtrl();
    ~ColorsCtrl() override;

    // Selects the last cell holding the colour; no cell when none holds it.
    void setColor(dv::ComColor color);
    // The selected cell's colour, else the colour set last.
    dv::ComColor getColor() const;
    void setAnyColor(bool any);
    bool anyColor() const { return m_anyColor; }
    // Creates the grid in place of a dialog item (its rectangle, id, some of
    // its style and its place in the Z order) and destroys the item.
    bool replaceDlgItem(HWND dialog, int id);

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId) override;
    void draw(HDC dc);
    using ATL::CWindowImplBase::DefWindowProc;

    int rows() const { return m_rows; }
    int columns() const { return m_columns; }
    int selected() const { return m_selected; }
    int hotCell() const { return m_hot; }
    const std::vector<COLORREF>& table() const { return m_table; }

    // The rectangle of a cell and the cell under a point (client coordinates);
    // the remainder of a division goes one pixel each to the first cells.
    RECT cellRect(int index) const;
    int cellAt(POINT point) const;

private:
    void buildTable();
    void selectLast();
    void redrawCell(int index);
    void select(int index);
    void onKeyDown(WPARAM key);

    int m_rows;
    int m_columns;
    int m_selected;
    int m_hot;
    int m_deviceColors;
    std::vector<COLORREF> m_table;
    dv::ComColor m_color;
    bool m_anyColor;
};

} // namespace atl
} // namespace ui
} // namespace kv
