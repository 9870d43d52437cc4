// The dialog layout manager: keeps a resizable dialog's controls placed. The
// dialog describes the placement once as a tree of nodes (built with a
// NodeBuilder), attaches it, and forwards every WM_SIZE to onSize.
#pragma once

#include "ui/atl/layout/LayoutNode.h"

#include <map>

namespace kv {
namespace ui {
namespace atl {
namespace layout {

class DialogLayout {
public:
    // Flags of relayout.
    enum { forceLayout = 1, redrawUnchanged = 2 };

    DialogLayout(int cx, int cy);
    ~DialogLayout();
    DialogLayout(const DialogLayout&) = delete;
    DialogLayout& operator=(const DialogLayout&) = delete;

    // The layout attached to a dialog window, or null; a layout is found
    // from its first successful attach until it is destroyed.
    static DialogLayout* attachedTo(HWND dialog);
    HWND dialog() const { return m_dialog; }

    // Takes the tree over for the dialog. An empty or invalid tree is refused
    // and leaves the previous state untouched.
    bool attach(HWND dialog, NodePtr root, int gripId);
    // WM_SIZE handler (size type SIZE_RESTORED, SIZE_MINIMIZED, SIZE_MAXIMIZED).
    void onSize(HWND dialog, UINT sizeType);
    void relayout(HWND dialog, unsigned int flags);
    // WM_GETMINMAXINFO answer: no smaller than at attach, and no larger along
    // an axis the tree does not size.
    void onGetMinMaxInfo(MINMAXINFO* info) const;
    // Hides the size grip while maximised.
    void updateGrip(HWND dialog, int state);

    const NodePtr& root() const { return m_root; }
    int showState() const { return m_showState; }
    SIZE sizeHint() const { return m_sizeHint; }
    int minWidth() const { return m_minWidth; }
    int minHeight() const { return m_minHeight; }
    int initialOuterWidth() const { return m_initialOuterWidth; }
    int initialOuterHeight() const { return m_initialOuterHeight; }
    int gripId() const { return m_gripId; }

private:
    NodePtr m_root;
    int m_showState;
    SIZE m_sizeHint;
    int m_minWidth;
    int m_minHeight;
    int m_initialOuterWidth;
    int m_initialOuterHeight;
    int m_gripId;
    HWND m_dialog;  // the dialog of the last successful attach

    static std::map<HWND, DialogLayout*>& attachedLayouts();
    void forgetDialog();
};

// The id of a dialog's root container; a stored layout is checked against
// it, so it never changes.
const int rootNodeId = 0;

// Builds a node tree for one dialog: begin opens a container, add appends to
// the open container, end closes it. The first failed step spoils the whole
// build, so a dialog with a missing item ends up with no layout at all.
class NodeBuilder {
public:
    explicit NodeBuilder(HWND dialog);
    NodeBuilder(const NodeBuilder&) = delete;
    NodeBuilder& operator=(const NodeBuilder&) = delete;
    ~NodeBuilder();

    bool begin(const NodePtr& node);
    bool add(const NodePtr& node);
    bool end();

    bool ok() const { return m_ok; }
    NodePtr root() const { return m_root; }
    int gripId() const { return m_gripId; }

private:
    friend NodePtr makeNode(NodeBuilder&, int, std::uint32_t);
    friend NodePtr makeWindowNode(NodeBuilder&, int, std::uint32_t);
    friend NodePtr makeListCtrlNode(NodeBuilder&, int, std::uint32_t);

    HWND m_dialog;
    bool m_ok;
    NodePtr m_root;
    Node* m_current;
    int m_gripId;
};

// A container with empty rectangles, child of the builder's open container.
NodePtr makeNode(NodeBuilder& builder, int id, std::uint32_t flags);
// A node for the dialog item itemId, placed where the item stands now; empty
// for item -1 or when the dialog has no such item.
NodePtr makeWindowNode(NodeBuilder& builder, int itemId, std::uint32_t flags);
NodePtr makeListCtrlNode(NodeBuilder& builder, int itemId, std::uint32_t flags);

// Drops every queued message of exactly that number for the window.
void removePendingMessages(HWND window, UINT message);
// EnumChildWindows callback: an edit control that was moved shows its
// selection again. Always goes on with the next child.
BOOL CALLBACK reselectEditText(HWND child, LPARAM unused);

} // namespace layout
} // namespace atl
} // namespace ui
} // namespace kv
