#include "ui/atl/layout/LayoutStateExport.h"

#include "ui/atl/layout/DialogLayout.h"
#include "ui/atl/layout/LayoutPersistence.h"

#include <vector>

using kv::ui::atl::layout::DialogLayout;
using kv::ui::atl::layout::Node;

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

extern "C" int kvUiLayoutsWithin(HWND window, void** out, int max)
{
    if (!IsWindow(window))
        return 0;
    std::vector<DialogLayout*> found;
    within(window, found);
    for (int i = 0; i < max && static_cast<size_t>(i) < found.size(); ++i)
        out[i] = found[static_cast<size_t>(i)];
    return static_cast<int>(found.size());
}

extern "C" HWND kvUiLayoutDialog(void* layout)
{
    return layout ? static_cast<DialogLayout*>(layout)->dialog() : nullptr;
}

extern "C" int kvUiLayoutNodes(void* layout, kvUiLayoutNode* out, int max)
{
    if (!layout || !static_cast<DialogLayout*>(layout)->root())
        return 0;
    std::vector<kvUiLayoutNode> all;
    nodes(*static_cast<DialogLayout*>(layout)->root(), 0, all);
    for (int i = 0; i < max && static_cast<size_t>(i) < all.size(); ++i)
        out[i] = all[static_cast<size_t>(i)];
    return static_cast<int>(all.size());
}

extern "C" bool kvUiLayoutPersist(void* handle, const wchar_t* path, bool save)
{
    auto* layout = static_cast<DialogLayout*>(handle);
    if (!layout || !layout->root() || !path || !IsWindow(layout->dialog()))
        return false;
    HKEY user = HKEY_CURRENT_USER;
    kv::ui::atl::layout::RegistryArchive archive(user, path, save, false);
    if (save)
        return layout->root()->saveState(archive);
    return layout->root()->loadState(archive);
}
