// Icon resources of loaded modules and LoadIconW over them. An icon loaded
// from a resource is shared, as the platform's own LoadIconW icons are: one
// handle per resource, never counted as a live object and never freed.
#include "platform/kvIconResources.h"

#include "platform/platform_internal.h"
#include "platform/windows_ui.h"

#include <map>
#include <mutex>
#include <utility>

namespace {

struct IconTables {
    std::mutex lock;
    std::map<std::pair<HMODULE, UINT>, kvplat::IconPicture> pictures;
    std::map<std::pair<HMODULE, UINT>, HICON> loaded;
    std::map<HICON, std::pair<HMODULE, UINT>> origin;
};

IconTables& tables()
{
    return kvplat::detail::lasting<IconTables>();
}

}  // namespace

namespace kvplat {

void setIconResource(HMODULE module, UINT id, const IconPicture& picture)
{
    IconTables& t = tables();
    std::lock_guard<std::mutex> guard(t.lock);
    t.pictures[{module, id}] = picture;
    t.loaded.erase({module, id});
}

bool hasIconResource(HMODULE module, UINT id)
{
    IconTables& t = tables();
    std::lock_guard<std::mutex> guard(t.lock);
    return t.pictures.count({module, id}) != 0;
}

bool iconResourceOf(HICON icon, HMODULE* module, UINT* id)
{
    IconTables& t = tables();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.origin.find(icon);
    if (it == t.origin.end())
        return false;
    if (module)
        *module = it->second.first;
    if (id)
        *id = it->second.second;
    return true;
}

} // namespace kvplat

HICON WINAPI LoadIconW(HINSTANCE module, LPCWSTR name)
{
    if (!IS_INTRESOURCE(name))
        return nullptr;
    const UINT id = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name));
    {
        IconTables& t = tables();
        std::lock_guard<std::mutex> guard(t.lock);
        auto picture = t.pictures.find({module, id});
        if (picture != t.pictures.end()) {
            HICON& icon = t.loaded[{module, id}];
            if (!icon) {
                const kvplat::IconPicture& p = picture->second;
                // A stock object: shared, outside the live-object count, and
                // kept across a platform reset like the system's own icons.
                icon = static_cast<HICON>(kvplat::detail::newObject(kvplat::detail::GdiKind::Icon, 0, true));
                kvplat::detail::GdiObject& o = kvplat::detail::gdi().objects[icon];
                o.width = p.width;
                o.height = p.height;
                o.bits = p.pixels;
                o.maskBits = p.mask;
                o.bits.resize(static_cast<size_t>(p.width) * static_cast<size_t>(p.height), 0);
                o.maskBits.resize(o.bits.size(), 0);
                t.origin[icon] = {module, id};
            }
            return icon;
        }
    }
    // Resource modules described in code keep their icons themselves.
    return static_cast<HICON>(LoadImageW(module, name, IMAGE_ICON, 0, 0, 0));
}
