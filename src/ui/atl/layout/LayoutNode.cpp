#include "ui/atl/layout/LayoutNode.h"

#include <cstdlib>

namespace kv {
namespace ui {
namespace atl {
namespace layout {

namespace {

int widthOf(const RECT& r) { return r.right - r.left; }
int heightOf(const RECT& r) { return r.bottom - r.top; }

bool isNullRect(const RECT& r)
{
    return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0;
}

bool isEmptyRect(const RECT& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}

// Union of two rectangles where an empty one contributes nothing.
RECT unite(const RECT& a, const RECT& b)
{
    if (isEmptyRect(a))
        return isEmptyRect(b) ? RECT{0, 0, 0, 0} : b;
    if (isEmptyRect(b))
        return a;
    RECT r;
    r.left = a.left < b.left ? a.left : b.left;
    r.top = a.top < b.top ? a.top : b.top;
    r.right = a.right > b.right ? a.right : b.right;
    r.bottom = a.bottom > b.bottom ? a.bottom : b.bottom;
    return r;
}

// The size a child gets along one axis.
// sizing: the child has the flag of this axis. shared: the parent divides its
// growth along this axis (its main axis). The carry and the deficit run on
// from child to child and from the width to the height.
int childExtent(int refExtent, int curExtent, bool sizing, bool shared,
                std::uint32_t factor, int growth, int cross,
                std::uint32_t& carry, int& deficit)
{
    if (sizing) {
        int extra = cross;
        if (shared) {
            // 64 bits: a growth beyond 0xFFFF pixels must not wrap the product.
            std::uint64_t t = std::uint64_t(factor) * std::uint64_t(growth) + carry;
            carry = std::uint32_t(t & 0xFFFF);
            extra = int(t >> 16);
        }
        return refExtent + extra;
    }
    int extent = curExtent;
    // A parent smaller than before first takes back what children hold above
    // their reference size.
    if (deficit < 0 && curExtent > refExtent) {
        extent = curExtent + deficit;
        if (extent < refExtent) {
            deficit += curExtent - refExtent;
            extent = refExtent;
        } else {
            deficit = 0;
        }
    }
    return extent;
}

} // namespace

// ---------------------------------------------------------------- Node

Node::Node(int id, std::uint32_t flags, Node* parent)
    : m_parent(parent), m_id(id), m_stateId(id), m_flags(flags),
      m_reference{0, 0, 0, 0}, m_current{0, 0, 0, 0}, m_factor(0)
{
}

Node::Node(int id, std::uint32_t flags, const RECT& rect, Node* parent)
    : m_parent(parent), m_id(id), m_stateId(id), m_flags(flags),
      m_reference(rect), m_current(rect), m_factor(0)
{
}

Node::~Node() = default;

void Node::parentChanged()
{
}

std::uint32_t Node::sizingFlag() const
{
    if (m_flags & horizontal)
        return sizeX;
    if (m_flags & vertical)
        return sizeY;
    return 0;
}

bool Node::addChild(const NodePtr& child)
{
    if (!child)
        return false;
    m_children.push_back(child);
    if (child->m_parent != this) {
        child->m_parent = this;
        child->parentChanged();
    }
    return true;
}

bool Node::arrange(const RECT& rect, HDWP deferred)
{
    if (!layout(rect, deferred))
        return false;
    m_current = rect;
    return true;
}

NodePtr Node::lastChild() const
{
    return m_children.empty() ? NodePtr() : m_children.back();
}

void Node::distributeFactors()
{
    const std::uint32_t sizing = sizingFlag();
    if (!sizing)
        return;
    std::uint32_t counted = 0;
    for (const NodePtr& child : m_children)
        if ((child->m_flags & sizing) && !(child->m_flags & notCounted))
            ++counted;
    if (counted == 0)
        return;
    const std::uint32_t base = wholeFactor / counted;
    std::uint32_t rest = wholeFactor % counted;
    for (const NodePtr& child : m_children) {
        if (!(child->m_flags & sizing))
            continue;
        if (rest > 0) {
            child->m_factor = base + 1;
            --rest;
        } else {
            child->m_factor = base;
        }
    }
}

void Node::reset()
{
    for (const NodePtr& child : m_children)
        child->reset();
    m_current = m_reference;
    distributeFactors();
}

bool Node::validate()
{
    if (m_children.empty())
        return true;
    for (const NodePtr& child : m_children)
        if (!child->validate())
            return false;
    distributeFactors();
    if (isNullRect(m_reference)) {
        RECT all{0, 0, 0, 0};
        for (const NodePtr& child : m_children)
            all = unite(all, child->m_reference);
        m_reference = all;
        m_current = all;
    }
    return true;
}

bool Node::layout(const RECT& R, HDWP deferred)
{
    if (m_children.empty())
        return true;

    const bool horz = (m_flags & horizontal) != 0;
    const bool vert = !horz && (m_flags & vertical) != 0;
    const std::uint32_t sizing = sizingFlag();

    // Growth the node already holds above its reference size, less what the
    // children that do not share it have taken beyond their own reference.
    // It may be negative: after a layout below the reference size the sizing
    // children sit at their reference, and a clamp to 0 here would hand them
    // the whole way back up as growth on the next, larger layout.
    int freeGrowth;
    if (horz) {
        freeGrowth = widthOf(m_current) - widthOf(m_reference);
        for (const NodePtr& k : m_children)
            if (!(k->m_flags & sizing))
                freeGrowth += widthOf(k->m_reference) - widthOf(k->m_current);
    } else {
        freeGrowth = heightOf(m_current) - heightOf(m_reference);
        for (const NodePtr& k : m_children)
            if (!sizing || !(k->m_flags & sizing))
                freeGrowth += heightOf(k->m_reference) - heightOf(k->m_current);
    }

    int growth = 0, deficit = 0, cross = 0;
    std::uint32_t carry = 0;
    if (horz) {
        int d = freeGrowth + (widthOf(R) - widthOf(m_current));
        if (d >= 0) growth = d; else deficit = d;
        cross = heightOf(R) - heightOf(m_reference);
    } else if (vert) {
        int d = freeGrowth + (heightOf(R) - heightOf(m_current));
        if (d >= 0) growth = d; else deficit = d;
        cross = widthOf(R) - widthOf(m_reference);
    }

    bool first = true;
    RECT P{0, 0, 0, 0};   // rectangle computed for the previous child
    RECT Q{0, 0, 0, 0};   // the previous child's reference rectangle
    for (const NodePtr& k : m_children) {
        const RECT& kr = k->m_reference;
        const RECT& kc = k->m_current;
        const std::uint32_t kf = k->m_flags;

        // Without a main axis the cross growth is 0, so sizing children keep
        // their reference size.
        const int width = childExtent(widthOf(kr), widthOf(kc), (kf & sizeX) != 0, horz,
                                      k->m_factor, growth, cross, carry, deficit);
        const int height = childExtent(heightOf(kr), heightOf(kc), (kf & sizeY) != 0, vert,
                                       k->m_factor, growth, cross, carry, deficit);

        RECT n;
        std::uint32_t moveX = kf & moveXMask;
        if (moveX == moveXPrev && first)
            moveX = moveXLeft;
        switch (moveX) {
        case moveXLeft:
            n.left = R.left + (kr.left - m_reference.left);
            n.right = n.left + width;
            break;
        case moveXRight:
            n.right = R.right + (kr.right - m_reference.right);
            n.left = n.right - width;
            break;
        case moveXPrev:
            n.left = P.right + (kr.left - Q.right);
            n.right = n.left + width;
            break;
        default:
            // No placement word for both bits: the child stays where it was built.
            n.left = kr.left;
            n.right = n.left + width;
            break;
        }

        std::uint32_t moveY = kf & moveYMask;
        if (moveY == moveYPrev && first)
            moveY = moveYTop;
        switch (moveY) {
        case moveYTop:
            n.top = R.top + (kr.top - m_reference.top);
            n.bottom = n.top + height;
            break;
        case moveYBottom:
            n.bottom = R.bottom + (kr.bottom - m_reference.bottom);
            n.top = n.bottom - height;
            break;
        case moveYPrev:
            n.top = P.bottom + (kr.top - Q.bottom);
            n.bottom = n.top + height;
            break;
        default:
            n.top = kr.top;
            n.bottom = n.top + height;
            break;
        }

        k->arrange(n, deferred);
        // The next sibling follows the computed rectangle even if this child
        // refused it.
        P = n;
        Q = kr;
        first = false;
    }
    return true;
}

// ---------------------------------------------------------------- WindowNode

WindowNode::WindowNode(HWND window, int id, std::uint32_t flags, const RECT& rect, Node* parent)
    : Node(id, flags, rect, parent), m_window(window)
{
}

WindowNode::~WindowNode()
{
    if ((flags() & ownsWindow) && m_window && IsWindow(m_window))
        DestroyWindow(m_window);
}

bool WindowNode::layout(const RECT& R, HDWP deferred)
{
    if (IsWindow(m_window)) {
        if (deferred)
            DeferWindowPos(deferred, m_window, nullptr, R.left, R.top, widthOf(R), heightOf(R),
                           SWP_NOZORDER | SWP_NOACTIVATE);
        else
            MoveWindow(m_window, R.left, R.top, widthOf(R), heightOf(R), TRUE);
    }
    return Node::layout(R, deferred);
}

// ---------------------------------------------------------------- ListCtrlNode

namespace {

enum ColumnFit { fitWider = 1, fitNarrower = 2, fitExact = 3 };

// How the columns' total width compares with the control's client width.
ColumnFit classify(int clientWidth, int total)
{
    if (std::abs(clientWidth - total) <= 1)
        return fitExact;
    return clientWidth > total ? fitWider : fitNarrower;
}

} // namespace

ListCtrlNode::ListCtrlNode(HWND window, int id, std::uint32_t flags, const RECT& rect, Node* parent)
    : WindowNode(window, id, flags, rect, parent)
{
}

ListCtrlNode::~ListCtrlNode()
{
    m_columns.clear();
}

int ListCtrlNode::clientWidth() const
{
    RECT rc{0, 0, 0, 0};
    GetClientRect(window(), &rc);
    return widthOf(rc);
}

int ListCtrlNode::columnTotal() const
{
    int total = 0;
    for (const ColumnState& c : m_columns)
        total += c.width;
    return total;
}

void ListCtrlNode::syncColumns()
{
    HWND header = reinterpret_cast<HWND>(SendMessageW(window(), LVM_GETHEADER, 0, 0));
    int count = header ? int(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    if (count < 0)
        count = 0;
    if (std::size_t(count) != m_columns.size())
        m_columns.resize(std::size_t(count));

    bool changed = false;
    for (int i = 0; i < count; ++i) {
        int width = int(SendMessageW(window(), LVM_GETCOLUMNWIDTH, WPARAM(i), 0));
        if (m_columns[std::size_t(i)].width != width) {
            m_columns[std::size_t(i)].width = width;
            changed = true;
        }
    }
    // The user changed a width: the widths as they are now are the new shares.
    if (changed)
        for (ColumnState& c : m_columns)
            c.weight = c.width;
}

void ListCtrlNode::fitColumns(int width)
{
    int fixedWidth = 0;
    int weightSum = 0;
    for (const ColumnState& c : m_columns) {
        if (c.fixed)
            fixedWidth += c.width;
        else
            weightSum += c.weight;
    }
    if (weightSum < 1)
        return;
    // Negative widths would be read by the control as its auto-size requests.
    int space = width - fixedWidth;
    if (space < 0)
        space = 0;
    long long carry = 0;
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        ColumnState& c = m_columns[i];
        if (c.fixed)
            continue;
        long long t = (long long)c.weight * space + carry;
        int w = int(t / weightSum);
        carry = t % weightSum;
        SendMessageW(window(), LVM_SETCOLUMNWIDTH, WPARAM(i), LPARAM(w));
        c.width = w;
    }
}

bool ListCtrlNode::isFitted()
{
    if (!IsWindow(window()))
        return false;
    syncColumns();
    return std::abs(clientWidth() - columnTotal()) < 2;
}

bool ListCtrlNode::layout(const RECT& R, HDWP deferred)
{
    syncColumns();
    const int total = columnTotal();
    const int cw = clientWidth();
    const int expected = cw + (widthOf(R) - widthOf(current()));

    const ColumnFit before = classify(cw, total);
    const ColumnFit after = classify(expected, total);
    // Refit when the columns fill the control now or will fill it, or when the
    // control passes from wider to narrower than the columns (or back).
    const bool refit = before == fitExact || after == fitExact ||
                       (before == fitWider && after == fitNarrower) ||
                       (before == fitNarrower && after == fitWider);

    // Shrinking: fit first so that no horizontal scroll bar flashes up.
    bool prefitted = false;
    if (refit && widthOf(R) < widthOf(current())) {
        fitColumns(expected);
        prefitted = true;
    }

    if (!WindowNode::layout(R, deferred))
        return false;
    if (!refit)
        return true;

    const int actual = clientWidth();
    if (prefitted && actual == expected)
        return true;
    fitColumns(actual);
    return true;
}

} // namespace layout
} // namespace atl
} // namespace ui
} // namespace kv
