#include "ui/atl/layout/LayoutStateExport.h"

#include "ui/atl/layout/LayoutPersistence.h"

#include <vector>

using kv::ui::atl::layout::DialogLayout;

namespace {

void within(HWND window, std::vector<DialogLayout*>& out)
{
    if (DialogLayout* layout = DialogLayout::attachedTo(window))
        out.push_back(layout);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        within(child, out);
}

} // namespace

extern "C" int kvUiLayoutsWithin(HWND window, DialogLayout** out, int max)
{
    if (!IsWindow(window))
        return 0;
    std::vector<DialogLayout*> found;
    within(window, found);
    for (int i = 0; i < max && static_cast<size_t>(i) < found.size(); ++i)
        out[i] = found[static_cast<size_t>(i)];
    return static_cast<int>(found.size());
}

extern "C" bool kvUiLayoutPersist(DialogLayout* layout, const wchar_t* path, bool save)
{
    if (!layout || !layout->root() || !path || !IsWindow(layout->dialog()))
        return false;
    HKEY user = HKEY_CURRENT_USER;
    kv::ui::atl::layout::RegistryArchive archive(user, path, save, false);
    if (save)
        return layout->root()->saveState(archive);
    return layout->root()->loadState(archive);
}
