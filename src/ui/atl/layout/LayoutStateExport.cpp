#include "ui/atl/layout/LayoutStateExport.h"

#include "ui/atl/layout/DialogLayout.h"
#include "ui/atl/layout/LayoutPersistence.h"

#include <cstdint>
#include <vector>

namespace kv {
namespace ui {
namespace atl {
namespace layout {

namespace {

// What a load may change, for every node of a tree: enough to put the tree
// and its list controls back when the stored state turns out not to fit.
class TreeSnapshot {
public:
    explicit TreeSnapshot(Node& root) { capture(root); }

    void restore()
    {
        for (auto& e : m_entries) {
            e.node->setCurrent(e.current);
            e.node->setFactor(e.factor);
            if (auto* list = dynamic_cast<ListCtrlNode*>(e.node)) {
                list->columns() = e.columns;
                if (IsWindow(list->window()))
                    for (size_t i = 0; i < e.controlWidths.size(); ++i)
                        SendMessageW(list->window(), LVM_SETCOLUMNWIDTH, i, MAKELPARAM(e.controlWidths[i], 0));
            }
        }
    }

private:
    struct Entry {
        Node* node;
        RECT current;
        std::uint32_t factor;
        std::vector<ColumnState> columns;
        std::vector<int> controlWidths;
    };

    void capture(Node& node)
    {
        Entry e{&node, node.current(), node.factor(), {}, {}};
        if (auto* list = dynamic_cast<ListCtrlNode*>(&node)) {
            e.columns = list->columns();
            if (IsWindow(list->window())) {
                HWND header = reinterpret_cast<HWND>(SendMessageW(list->window(), LVM_GETHEADER, 0, 0));
                const LRESULT count = header ? SendMessageW(header, HDM_GETITEMCOUNT, 0, 0) : 0;
                for (LRESULT i = 0; i < count; ++i)
                    e.controlWidths.push_back(
                        static_cast<int>(SendMessageW(list->window(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0)));
            }
        }
        m_entries.push_back(e);
        for (const NodePtr& child : node.children())
            if (child)
                capture(*child);
    }

    std::vector<Entry> m_entries;
};


void within(HWND window, std::vector<DialogLayout*>& out)
{
    if (DialogLayout* layout = DialogLayout::attachedTo(window))
        out.push_back(layout);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        within(child, out);
}

void nodes(const Node& node, int depth, std::vector<kvUiLayoutNode>& out)
{
    out.push_back(kvUiLayoutNode{node.id(), depth, node.current()});
    for (const auto& child : node.children())
        nodes(*child, depth + 1, out);
}

} // namespace

int layoutsWithin(HWND window, void** out, int max)
{
    if (!IsWindow(window))
        return 0;
    std::vector<DialogLayout*> found;
    within(window, found);
    for (int i = 0; i < max && static_cast<size_t>(i) < found.size(); ++i)
        out[i] = found[static_cast<size_t>(i)];
    return static_cast<int>(found.size());
}

HWND layoutDialog(void* layout)
{
    return layout ? static_cast<DialogLayout*>(layout)->dialog() : nullptr;
}

int layoutNodes(void* layout, kvUiLayoutNode* out, int max)
{
    if (!layout || !static_cast<DialogLayout*>(layout)->root())
        return 0;
    std::vector<kvUiLayoutNode> all;
    nodes(*static_cast<DialogLayout*>(layout)->root(), 0, all);
    for (int i = 0; i < max && static_cast<size_t>(i) < all.size(); ++i)
        out[i] = all[static_cast<size_t>(i)];
    return static_cast<int>(all.size());
}

bool layoutPersist(void* handle, const wchar_t* path, bool save)
{
    auto* layout = static_cast<DialogLayout*>(handle);
    if (!layout || !layout->root() || !path || !IsWindow(layout->dialog()))
        return false;
    HKEY user = HKEY_CURRENT_USER;
    RegistryArchive archive(user, path, save, false);
    if (save)
        return layout->root()->saveState(archive);
    TreeSnapshot before(*layout->root());
    if (layout->root()->loadState(archive))
        return true;
    before.restore();
    return false;
}

} // namespace layout
} // namespace atl
} // namespace ui
} // namespace kv
