#include "ui/atl/layout/DialogLayout.h"

namespace kv {
namespace ui {
namespace atl {
namespace layout {

namespace {

const UINT redrawAll = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW;

bool isMaximised(int state) { return state == SW_SHOWMAXIMIZED; }

bool sameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

int scrollPos(HWND window, int bar)
{
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_POS;
    if (!GetScrollInfo(window, bar, &si))
        return 0;
    return si.nPos;
}

// The item's window rectangle in the dialog's client coordinates.
RECT itemRect(HWND dialog, HWND item)
{
    RECT r{0, 0, 0, 0};
    GetWindowRect(item, &r);
    POINT topLeft{r.left, r.top};
    POINT bottomRight{r.right, r.bottom};
    if (ScreenToClient(dialog, &topLeft)) {
        ScreenToClient(dialog, &bottomRight);
        r.left = topLeft.x;
        r.top = topLeft.y;
        r.right = bottomRight.x;
        r.bottom = bottomRight.y;
    }
    return r;
}

} // namespace

// ---------------------------------------------------------------- DialogLayout

DialogLayout::DialogLayout(int cx, int cy)
    : m_showState(SW_SHOW), m_sizeHint{cx, cy}, m_minWidth(-1), m_minHeight(-1),
      m_initialOuterWidth(-1), m_initialOuterHeight(-1), m_gripId(0), m_dialog(nullptr)
{
}

bool DialogLayout::attach(HWND dialog, NodePtr root, int gripId)
{
    if (!root || !root->validate())
        return false;

    const std::uint32_t flags = root->flags();
    if ((flags & (sizeX | sizeY)) && !(flags & keepClipChildren)) {
        LONG style = GetWindowLongW(dialog, GWL_STYLE);
        if (!(style & WS_CLIPCHILDREN))
            SetWindowLongW(dialog, GWL_STYLE, style | WS_CLIPCHILDREN);
    }

    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    GetWindowPlacement(dialog, &placement);
    RECT client{0, 0, 0, 0};
    GetClientRect(dialog, &client);
    RECT outer{0, 0, 0, 0};
    GetWindowRect(dialog, &outer);

    const int clientW = client.right - client.left;
    const int clientH = client.bottom - client.top;
    const int outerW = outer.right - outer.left;
    const int outerH = outer.bottom - outer.top;

    if (!(flags & rootFromState)) {
        root->setReference(client);
        root->setCurrent(client);
        m_minWidth = clientW;
        m_minHeight = clientH;
        m_initialOuterWidth = outerW;
        m_initialOuterHeight = outerH;
    } else {
        // The stored (or united) placement stands for the dialog's client area;
        // the frame is added as it measures now.
        const RECT r = root->current();
        root->setReference(r);
        m_minWidth = r.right - r.left;
        m_minHeight = r.bottom - r.top;
        m_initialOuterWidth = m_minWidth + (outerW - clientW);
        m_initialOuterHeight = m_minHeight + (outerH - clientH);
    }

    m_root = root;
    m_gripId = gripId;
    if (m_dialog != dialog) {
        forgetDialog();
        m_dialog = dialog;
        attachedLayouts()[dialog] = this;
    }
    updateGrip(dialog, int(placement.showCmd));
    return true;
}

std::map<HWND, DialogLayout*>& DialogLayout::attachedLayouts()
{
    static std::map<HWND, DialogLayout*> layouts;
    return layouts;
}

void DialogLayout::forgetDialog()
{
    auto it = attachedLayouts().find(m_dialog);
    if (it != attachedLayouts().end() && it->second == this)
        attachedLayouts().erase(it);
    m_dialog = nullptr;
}

DialogLayout::~DialogLayout() { forgetDialog(); }

DialogLayout* DialogLayout::attachedTo(HWND dialog)
{
    auto it = attachedLayouts().find(dialog);
    return it == attachedLayouts().end() ? nullptr : it->second;
}

void DialogLayout::onSize(HWND dialog, UINT sizeType)
{
    if (!m_root)
        return;
    int state;
    switch (sizeType) {
    case SIZE_RESTORED: state = SW_SHOW; break;
    case SIZE_MINIMIZED: state = SW_SHOWMINIMIZED; break;
    case SIZE_MAXIMIZED: state = SW_SHOWMAXIMIZED; break;
    default: return;
    }
    updateGrip(dialog, state);
    if (sizeType != SIZE_MINIMIZED)
        relayout(dialog, 0);
}

void DialogLayout::relayout(HWND dialog, unsigned int flags)
{
    if (!m_root)
        return;

    RECT rc{0, 0, 0, 0};
    GetClientRect(dialog, &rc);
    rc.top -= scrollPos(dialog, SB_VERT);
    rc.left -= scrollPos(dialog, SB_HORZ);

    if (m_minWidth != -1 && m_minHeight != -1) {
        if (rc.right - rc.left < m_minWidth)
            rc.right = rc.left + m_minWidth;
        if (rc.bottom - rc.top < m_minHeight)
            rc.bottom = rc.top + m_minHeight;
    }

    // Read before drawing is switched off, which hides the window for the moment.
    const bool visible = IsWindowVisible(dialog) != FALSE;

    if (!(flags & forceLayout) && sameRect(rc, m_root->current())) {
        if ((flags & redrawUnchanged) && visible)
            RedrawWindow(dialog, nullptr, nullptr, redrawAll);
        return;
    }

    if (visible) {
        UpdateWindow(dialog);
        SendMessageW(dialog, WM_SETREDRAW, FALSE, 0);
    }
    m_root->arrange(rc, nullptr);
    if (visible) {
        SendMessageW(dialog, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(dialog, nullptr, nullptr, redrawAll);
    }
}

void DialogLayout::onGetMinMaxInfo(MINMAXINFO* info) const
{
    if (!info || !m_root || m_initialOuterWidth == -1 || m_initialOuterHeight == -1)
        return;
    info->ptMinTrackSize.x = m_initialOuterWidth;
    info->ptMinTrackSize.y = m_initialOuterHeight;
    if (!(m_root->flags() & sizeX))
        info->ptMaxTrackSize.x = m_initialOuterWidth;
    if (!(m_root->flags() & sizeY))
        info->ptMaxTrackSize.y = m_initialOuterHeight;
}

void DialogLayout::updateGrip(HWND dialog, int state)
{
    const bool wasMaximised = isMaximised(m_showState);
    m_showState = state;
    const bool maximised = isMaximised(state);
    // Id 0 means no grip: it would otherwise pick any item without an id.
    if (wasMaximised == maximised || m_gripId == 0)
        return;
    HWND grip = GetDlgItem(dialog, m_gripId);
    if (IsWindow(grip))
        ShowWindow(grip, maximised ? SW_HIDE : SW_SHOW);
}

// ---------------------------------------------------------------- NodeBuilder

NodeBuilder::NodeBuilder(HWND dialog)
    : m_dialog(dialog), m_ok(true), m_current(nullptr), m_gripId(0)
{
}

NodeBuilder::~NodeBuilder()
{
    m_root.reset();
}

bool NodeBuilder::begin(const NodePtr& node)
{
    if (!m_ok)
        return false;
    if (!node) {
        m_ok = false;
        return false;
    }
    if (!m_root)
        m_root = node;
    else if (!add(node))
        return false;
    m_current = node.get();
    return true;
}

bool NodeBuilder::add(const NodePtr& node)
{
    if (!m_ok)
        return false;
    if (!m_current || !node) {
        m_ok = false;
        return false;
    }
    m_current->addChild(node);
    return true;
}

bool NodeBuilder::end()
{
    if (!m_ok)
        return false;
    if (!m_current) {
        m_ok = false;
        return false;
    }
    m_current = m_current->parent();
    return true;
}

// ---------------------------------------------------------------- factories

NodePtr makeNode(NodeBuilder& builder, int id, std::uint32_t flags)
{
    return NodePtr(new Node(id, flags, builder.m_current));
}

NodePtr makeWindowNode(NodeBuilder& builder, int itemId, std::uint32_t flags)
{
    if (itemId == -1)
        return NodePtr();
    HWND item = GetDlgItem(builder.m_dialog, itemId);
    if (!item)
        return NodePtr();
    return NodePtr(new WindowNode(item, itemId, flags, itemRect(builder.m_dialog, item),
                                  builder.m_current));
}

NodePtr makeListCtrlNode(NodeBuilder& builder, int itemId, std::uint32_t flags)
{
    if (itemId == -1)
        return NodePtr();
    HWND item = GetDlgItem(builder.m_dialog, itemId);
    if (!item)
        return NodePtr();
    return NodePtr(new ListCtrlNode(item, itemId, flags, itemRect(builder.m_dialog, item),
                                    builder.m_current));
}

// ---------------------------------------------------------------- utilities

void removePendingMessages(HWND window, UINT message)
{
    MSG msg;
    while (PeekMessageW(&msg, window, message, message, PM_REMOVE)) {
    }
}

BOOL CALLBACK reselectEditText(HWND child, LPARAM)
{
    if (SendMessageW(child, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
        DWORD start = 0;
        DWORD end = 0;
        SendMessageW(child, EM_GETSEL, WPARAM(&start), LPARAM(&end));
        if (end != 0) {
            SendMessageW(child, EM_SETSEL, 0, 0);
            SendMessageW(child, EM_SETSEL, WPARAM(start), LPARAM(end));
        }
    }
    return TRUE;
}

} // namespace layout
} // namespace atl
} // namespace ui
} // namespace kv
