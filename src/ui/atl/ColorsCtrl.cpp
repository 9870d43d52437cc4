#include "ui/atl/ColorsCtrl.h"

#include "ui/atl/PushButtonBase.h"
#include "ui/atl/ReplaceCtrl.h"

#include <algorithm>

namespace kv {
namespace ui {
namespace atl {

namespace {

const COLORREF kFullTable[40] = {
    0x000000, 0x003399, 0x003333, 0x003300, 0x663300, 0x800000, 0x993333, 0x333333,
    0x000080, 0x0066FF, 0x008080, 0x008000, 0x808000, 0xFF0000, 0x996666, 0x808080,
    0x0000FF, 0x0099FF, 0x00CC99, 0x669933, 0xCCCC33, 0xFF6633, 0x800080, 0x969696,
    0xFF00FF, 0x00CCFF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFFCC00, 0x663399, 0xC0C0C0,
    0xCC98FF, 0x99CCFF, 0x99FFFF, 0xCCFFCC, 0xFFFFCC, 0xFFCC99, 0xFF99CC, 0xFFFFFF,
};
const COLORREF kEightTable[8] = {0x0000FF, 0x00FFFF, 0xFF00FF, 0x00FF00, 0xFFFF00, 0xFF0000, 0xFFFFFF, 0x000000};
const COLORREF kTwoTable[2] = {0xFFFFFF, 0x000000};

// Position and size of cell i along an axis of length total split into n
// cells, the remainder spread one pixel each over the first cells.
void span(int total, int n, int i, int& start, int& size)
{
    const int base = n > 0 ? total / n : 0;
    const int rest = n > 0 ? total % n : 0;
    start = i * base + std::min(i, rest);
    size = base + (i < rest ? 1 : 0);
}

int cellIndexAlong(int total, int n, int offset)
{
    const int base = n > 0 ? total / n : 0;
    const int rest = n > 0 ? total % n : 0;
    if (base <= 0)
        return -1;
    int i = offset / base;
    if (i * base + std::min(i, rest) > offset)
        --i;
    return i;
}

} // namespace

void drawColorCell(HDC dc, RECT r, COLORREF color, unsigned flags)
{
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    if (flags & cellHot) {
        FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&r, -1, -1);
        FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
        InflateRect(&r, -2, -2);
        FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&r, -1, -1);
    } else if (flags & cellSelected) {
        DrawFocusRect(dc, &r);
        InflateRect(&r, -3, -3);
        FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&r, -1, -1);
    } else {
        InflateRect(&r, -2, -2);
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    }
    fillColor(dc, r, color, (flags & cellSolid) != 0);
}

void fillColor(HDC dc, const RECT& r, COLORREF color, bool solid)
{
    if (solid) {
        HBRUSH brush = CreateSolidBrush(color & 0xFFFFFF);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    } else {
        const COLORREF old = SetBkColor(dc, GetNearestColor(dc, color & 0xFFFFFF));
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
        SetBkColor(dc, old);
    }
}

ColorsCtrl::ColorsCtrl()
    : m_rows(0), m_columns(0), m_selected(-1), m_hot(-1), m_deviceColors(0), m_color(dv::noColor), m_anyColor(false)
{
}

ColorsCtrl::~ColorsCtrl() = default;

void ColorsCtrl::buildTable()
{
    if (m_deviceColors == 0 && m_hWnd) {
        HDC dc = GetDC(m_hWnd);
        m_deviceColors = GetDeviceCaps(dc, NUMCOLORS);
        ReleaseDC(m_hWnd, dc);
    }
    // A true-colour display answers -1, which counts as more than 256; a
    // display that answers 0 has fewer than 8.
    const COLORREF* source;
    if (m_anyColor || m_deviceColors < 0 || m_deviceColors > 256) {
        source = kFullTable;
        m_columns = 8;
        m_rows = 5;
    } else if (m_deviceColors >= 8) {
        source = kEightTable;
        m_columns = 8;
        m_rows = 1;
    } else {
        source = kTwoTable;
        m_columns = 2;
        m_rows = 1;
    }
    m_table.assign(source, source + m_rows * m_columns);
    m_hot = -1;
    selectLast();
}

void ColorsCtrl::selectLast()
{
    m_selected = -1;
    if (m_color == dv::noColor)
        return;
    for (size_t i = 0; i < m_table.size(); ++i)
        if (m_table[i] == (m_color & 0xFFFFFF))
            m_selected = static_cast<int>(i);
}

void ColorsCtrl::setColor(dv::ComColor color)
{
    m_color = color;
    // A colour the grid does not hold leaves no cell selected, so that Enter
    // takes this colour and not the one selected before.
    const int before = m_selected;
    selectLast();
    if (before != m_selected) {
        redrawCell(before);
        redrawCell(m_selected);
    }
}

dv::ComColor ColorsCtrl::getColor() const
{
    if (m_selected >= 0 && static_cast<size_t>(m_selected) < m_table.size())
        return m_table[static_cast<size_t>(m_selected)];
    return m_color;
}

void ColorsCtrl::setAnyColor(bool any)
{
    m_anyColor = any;
    buildTable();
    if (m_hWnd)
        InvalidateRect(m_hWnd, nullptr, FALSE);
}

bool ColorsCtrl::replaceDlgItem(HWND dialog, int id)
{
    Placeholder placeholder;
    if (m_hWnd || !findPlaceholder(dialog, id, placeholder))
        return false;
    if (!Create(L"kv::ui::atl::ColorsCtrl", placeholder.parent, placeholder.rect, nullptr, placeholder.style, 0,
                placeholder.id))
        return false;
    takePlaceOf(m_hWnd, placeholder);
    return true;
}

RECT ColorsCtrl::cellRect(int index) const
{
    RECT client{0, 0, 0, 0};
    if (m_hWnd)
        ::GetClientRect(m_hWnd, &client);
    if (m_columns <= 0 || index < 0)
        return RECT{0, 0, 0, 0};
    int x, w, y, h;
    span(client.right - client.left, m_columns, index % m_columns, x, w);
    span(client.bottom - client.top, m_rows, index / m_columns, y, h);
    return RECT{client.left + x, client.top + y, client.left + x + w, client.top + y + h};
}

int ColorsCtrl::cellAt(POINT point) const
{
    RECT client;
    if (!m_hWnd || !::GetClientRect(m_hWnd, &client) || !PtInRect(&client, point))
        return -1;
    const int column = cellIndexAlong(client.right - client.left, m_columns, point.x - client.left);
    const int row = cellIndexAlong(client.bottom - client.top, m_rows, point.y - client.top);
    if (column < 0 || row < 0)
        return -1;
    return row * m_columns + column;
}

void ColorsCtrl::redrawCell(int index)
{
    if (index < 0 || !m_hWnd)
        return;
    const RECT r = cellRect(index);
    InvalidateRect(m_hWnd, &r, FALSE);
}

void ColorsCtrl::select(int index)
{
    const int before = m_selected;
    m_selected = index;
    redrawCell(before);
    redrawCell(index);
}

void ColorsCtrl::draw(HDC dc)
{
    RECT clip;
    if (!GetClipBox(dc, &clip))
        ::GetClientRect(m_hWnd, &clip);
    for (int i = 0; i < m_rows * m_columns; ++i) {
        const RECT r = cellRect(i);
        RECT meet;
        if (!IntersectRect(&meet, &r, &clip))
            continue;
        unsigned flags = i == m_hot ? unsigned(cellHot) : i == m_selected ? unsigned(cellSelected) : 0u;
        if (m_anyColor)
            flags |= cellSolid;
        const COLORREF color = static_cast<size_t>(i) < m_table.size() ? m_table[static_cast<size_t>(i)] : 0;
        drawColorCell(dc, r, color, flags);
    }
}

void ColorsCtrl::onKeyDown(WPARAM key)
{
    const int count = static_cast<int>(m_table.size());
    if (m_selected < 0) {
        if ((key == VK_RIGHT || key == VK_DOWN) && count > 0)
            select(0);
        return;
    }
    switch (key) {
    case VK_LEFT:
        if (m_selected >= 1)
            select(m_selected - 1);
        break;
    case VK_UP:
        if (m_selected >= m_columns)
            select(m_selected - m_columns);
        break;
    case VK_RIGHT:
        if (m_selected + 1 < count)
            select(m_selected + 1);
        break;
    case VK_DOWN:
        if (m_selected + m_columns < count)
            select(m_selected + m_columns);
        break;
    default:
        break;
    }
}

BOOL ColorsCtrl::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result, DWORD)
{
    switch (msg) {
    case WM_CREATE:
        result = DefWindowProc();
        if (result >= 0)
            buildTable();
        return TRUE;
    case WM_PAINT:
        if (HDC given = reinterpret_cast<HDC>(wParam)) {
            draw(given);
        } else {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            draw(dc);
            EndPaint(hwnd, &ps);
        }
        result = 0;
        return TRUE;
    case WM_GETDLGCODE:
        result = DLGC_WANTARROWS;
        return TRUE;
    case WM_SETFOCUS:
        // A start for the arrow keys, also when the colour is none the grid
        // holds: the user sees the first cell marked before Enter takes it.
        if (m_selected < 0 && !m_table.empty())
            select(0);
        result = 0;
        return TRUE;
    case WM_MOUSEMOVE: {
        result = DefWindowProc();
        if (m_hot < 0) {
            TRACKMOUSEEVENT query{sizeof(TRACKMOUSEEVENT), TME_QUERY, hwnd, 0};
            if (TrackMouseEvent(&query) && (query.dwFlags & TME_LEAVE))
                return TRUE;
            TRACKMOUSEEVENT leave{sizeof(TRACKMOUSEEVENT), TME_LEAVE, hwnd, 0};
            if (!TrackMouseEvent(&leave))
                return TRUE;
        }
        const int cell = cellAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (cell >= 0 && cell != m_hot) {
            const int before = m_hot;
            m_hot = cell;
            redrawCell(before);
            redrawCell(cell);
        }
        return TRUE;
    }
    case WM_MOUSELEAVE:
        result = DefWindowProc();
        redrawCell(m_hot);
        m_hot = -1;
        return TRUE;
    case WM_LBUTTONDOWN: {
        const int cell = cellAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (cell >= 0 && cell < static_cast<int>(m_table.size())) {
            select(cell);
            ::PostMessageW(::GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), 0), reinterpret_cast<LPARAM>(hwnd));
        }
        result = 0;
        return TRUE;
    }
    case WM_KEYDOWN:
        onKeyDown(wParam);
        result = 0;
        return TRUE;
    default:
        return processPrint(hwnd, msg, wParam, lParam, result);
    }
}

} // namespace atl
} // namespace ui
} // namespace kv
