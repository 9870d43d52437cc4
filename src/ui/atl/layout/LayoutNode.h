// Layout nodes: the tree that describes how a resizable dialog places its
// controls. A node remembers where its item stood when the tree was built (the
// reference rectangle) and where it was put last (the current rectangle); every
// layout recomputes the children from their reference rectangles, so the result
// depends only on the final size, never on the path of sizes taken to reach it.
#pragma once

#include "platform/windows.h"

#include <boost/shared_ptr.hpp>

#include <cstdint>
#include <vector>

namespace kv {
namespace ui {
namespace atl {
namespace layout {

// Placement flags. The first group mirrors the layout words of the XML dialog
// descriptions; the remaining ones are set by code only.
enum NodeFlags : std::uint32_t {
    sizeX       = 0x1,     // width follows the parent
    sizeY       = 0x2,     // height follows the parent
    moveXLeft   = 0x0,
    moveXRight  = 0x10,
    moveXPrev   = 0x20,
    moveXMask   = 0x30,
    moveYTop    = 0x0,
    moveYBottom = 0x40,
    moveYPrev   = 0x80,
    moveYMask   = 0xC0,
    vertical    = 0x1000,  // sizeY children share the height growth
    horizontal  = 0x2000,  // sizeX children share the width growth; wins over vertical
    notCounted  = 0x4000,  // not counted when the parent divides its growth
    ownsWindow  = 0x8000,  // a window node destroys its window with itself
    keepClipChildren = 0x10000, // root: attach leaves WS_CLIPCHILDREN alone;
                                // list control: no column state is stored
    rootFromState    = 0x20000  // root: its current rectangle is the dialog's reference
};

// 16.16 fixed point: the whole of a parent's growth.
const std::uint32_t wholeFactor = 0x10000;

class Node;
typedef boost::shared_ptr<Node> NodePtr;
class RegistryArchive;

class Node {
public:
    Node(int id, std::uint32_t flags, Node* parent);
    Node(int id, std::uint32_t flags, const RECT& rect, Node* parent);
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;
    virtual ~Node();

    // Places the children inside rect (dialog client coordinates). A false
    // result makes the caller keep the node's previous current rectangle.
    virtual bool layout(const RECT& rect, HDWP deferred);
    // Restores the placement saved by saveState (see LayoutPersistence.h). A
    // stored state that does not fit the tree gives false; what was applied
    // before the misfit stays applied, so a caller that gets false rebuilds
    // the tree, resets it or puts back what it kept. The keys pushed on the
    // way are popped again either way.
    virtual bool loadState(RegistryArchive& archive);
    // Saves the current placement, recursively. A value the store refuses
    // does not stop the save: everything else is still written, and the
    // result is false.
    virtual bool saveState(RegistryArchive& archive);
    // Back to the reference placement, recursively, with fresh factors.
    virtual void reset();
    // Checks the subtree and fixes the factors; a container built without a
    // rectangle takes the union of its children's reference rectangles.
    virtual bool validate();
    // Called after the node was given a new parent.
    virtual void parentChanged();

    bool addChild(const NodePtr& child);
    // Lays the node out and, when it accepts, records rect as its placement.
    bool arrange(const RECT& rect, HDWP deferred);
    NodePtr lastChild() const;
    void distributeFactors();

    Node* parent() const { return m_parent; }
    int id() const { return m_id; }
    int stateId() const { return m_stateId; }
    void setStateId(int stateId) { m_stateId = stateId; }
    std::uint32_t flags() const { return m_flags; }
    const RECT& reference() const { return m_reference; }
    void setReference(const RECT& rect) { m_reference = rect; }
    const RECT& current() const { return m_current; }
    void setCurrent(const RECT& rect) { m_current = rect; }
    std::uint32_t factor() const { return m_factor; }
    void setFactor(std::uint32_t factor) { m_factor = factor; }
    const std::vector<NodePtr>& children() const { return m_children; }

    // The flag with which children take a share of this node's growth along its
    // main axis (sizeX for horizontal, sizeY for vertical), or 0 without an axis.
    std::uint32_t sizingFlag() const;

private:
    Node* m_parent;
    int m_id;
    int m_stateId;
    std::uint32_t m_flags;
    RECT m_reference;
    RECT m_current;
    std::vector<NodePtr> m_children;
    std::uint32_t m_factor;
};

// Moves one dialog item.
class WindowNode : public Node {
public:
    WindowNode(HWND window, int id, std::uint32_t flags, const RECT& rect, Node* parent);
    ~WindowNode() override;

    bool layout(const RECT& rect, HDWP deferred) override;

    HWND window() const { return m_window; }

private:
    HWND m_window;
};

struct ColumnState {
    int width = 0;   // as last read from or given to the control
    int weight = 0;  // share when fitting: the widths the user last left
    bool fixed = false;
};

// A list control whose columns are re-fitted when it is resized, so that columns
// filling the control keep filling it, and columns the user left narrower or
// wider than the control stay as they are.
class ListCtrlNode : public WindowNode {
public:
    ListCtrlNode(HWND window, int id, std::uint32_t flags, const RECT& rect, Node* parent);
    ~ListCtrlNode() override;

    bool layout(const RECT& rect, HDWP deferred) override;
    // Adds the column widths (and whether they filled the control).
    bool loadState(RegistryArchive& archive) override;
    // A refused column value ends the save at once with false: the column
    // values after it are not written.
    bool saveState(RegistryArchive& archive) override;

    // Brings the column records in line with the control's columns.
    void syncColumns();
    // Spreads width over the columns that are not fixed, by weight.
    void fitColumns(int width);
    // True when the columns fill the client width within one pixel.
    bool isFitted();

    const std::vector<ColumnState>& columns() const { return m_columns; }
    std::vector<ColumnState>& columns() { return m_columns; }

private:
    int clientWidth() const;
    int columnTotal() const;

    std::vector<ColumnState> m_columns;
};

} // namespace layout
} // namespace atl
} // namespace ui
} // namespace kv
