#include "ui/atl/layout/LayoutStateExport.h"

#include "ui/atl/layout/DialogLayout.h"
#include "ui/atl/layout/LayoutPersistence.h"

#include <vector>

namespace kv {
namespace ui {
namespace atl {
namespace layout {

namespace {

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
    return layout->root()->loadState(archive);
}

} // namespace layout
} // namespace atl
} // namespace ui
} // namespace kv
