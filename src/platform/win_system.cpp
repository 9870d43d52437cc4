// Message boxes and process exit, modules over dlopen, hooks, menus with a
// scripted choice, dialog templates, rectangles and critical sections.
#include "platform/afx.h"
#include "platform/platform_internal.h"
#include "platform/utf8.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <dlfcn.h>
#include <mutex>
#include <sys/syscall.h>
#include <unistd.h>

namespace kvplat {
namespace detail {
namespace {

thread_local DWORD t_lastError = 0;

struct SystemState {
    MessageBoxHook messageBoxHook;
    ExitHook exitHook;
};

SystemState& sys()
{
    return lasting<SystemState>();
}

// ---------------------------------------------------------------- modules

struct Module {
    std::string path;
    void* handle = nullptr;  // our own dlopen reference, when loaded through LoadLibraryW
    int loadCount = 0;
};

std::vector<std::unique_ptr<Module>>& modules()
{
    return lasting<std::vector<std::unique_ptr<Module>>>();
}

Module* moduleOf(HMODULE h)
{
    for (auto& m : modules())
        if (reinterpret_cast<HMODULE>(m.get()) == h)
            return m.get();
    return nullptr;
}

Module* moduleByPath(const std::string& path)
{
    for (auto& m : modules())
        if (m->path == path)
            return m.get();
    modules().push_back(std::make_unique<Module>());
    modules().back()->path = path;
    return modules().back().get();
}

std::string narrow(const wchar_t* text)
{
    std::string out;
    if (!text)
        return out;
    // File names and symbols are taken as UTF-8.
    for (const wchar_t* p = text; *p; ++p)
        appendUtf8(out, static_cast<std::uint32_t>(*p));
    return out;
}

std::wstring widen(const std::string& text)
{
    std::wstring out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        unsigned long cp;
        size_t n;
        if (c < 0x80) {
            cp = c;
            n = 1;
        } else if ((c >> 5) == 6) {
            cp = c & 0x1F;
            n = 2;
        } else if ((c >> 4) == 14) {
            cp = c & 0x0F;
            n = 3;
        } else {
            cp = c & 0x07;
            n = 4;
        }
        if (i + n > text.size())
            break;
        for (size_t k = 1; k < n; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        out.push_back(static_cast<wchar_t>(cp));
        i += n;
    }
    return out;
}

std::string canonical(const std::string& path)
{
    char buffer[PATH_MAX];
    if (realpath(path.c_str(), buffer))
        return buffer;
    return path;
}

std::string executablePath()
{
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (n <= 0)
        return std::string();
    buffer[n] = '\0';
    return buffer;
}

using DllMainProc = BOOL (*)(HINSTANCE, DWORD, LPVOID);

// ---------------------------------------------------------------- hooks

struct Hook {
    HHOOK handle;
    int type;
    HOOKPROC proc;
    HINSTANCE module;  // the module holding proc, as the caller named it
    DWORD threadId;
};

struct HookState {
    std::vector<Hook> hooks;
    uintptr_t next = 0x6000;
};

HookState& hooks()
{
    return lasting<HookState>();
}

// ---------------------------------------------------------------- templates

std::map<UINT, DialogTemplate>& templates()
{
    return lasting<std::map<UINT, DialogTemplate>>();
}

} // namespace

// ---------------------------------------------------------------- menus

MenuState& menus()
{
    return lasting<MenuState>();
}

Menu* menuOf(HMENU h)
{
    auto it = menus().menus.find(h);
    return it == menus().menus.end() ? nullptr : it->second.get();
}

// The item addressed by position or by command (searching submenus too).
MenuItem* menuItem(HMENU h, UINT item, UINT flags)
{
    Menu* m = menuOf(h);
    if (!m)
        return nullptr;
    if (flags & MF_BYPOSITION)
        return item < m->items.size() ? &m->items[item] : nullptr;
    for (auto& it : m->items) {
        if (!(it.flags & MF_POPUP) && !(it.flags & MF_SEPARATOR) && it.id == item)
            return &it;
        if (it.flags & MF_POPUP)
            if (MenuItem* sub = menuItem(it.popup, item, flags))
                return sub;
    }
    return nullptr;
}

std::ptrdiff_t itemIndex(const Menu& m, UINT item, UINT flags)
{
    for (size_t i = 0; i < m.items.size(); ++i) {
        const bool hit =
            (flags & MF_BYPOSITION) ? i == item : (!(m.items[i].flags & MF_POPUP) && m.items[i].id == item);
        if (hit)
            return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
}

MenuItem makeItem(UINT flags, UINT_PTR id, LPCWSTR text)
{
    MenuItem item;
    item.flags = flags;
    if (flags & MF_POPUP)
        item.popup = reinterpret_cast<HMENU>(id);
    else
        item.id = id;
    // Owner-drawn and bitmap items carry data in place of a text.
    if (!(flags & (MF_SEPARATOR | MF_OWNERDRAW | MF_BITMAP)) && text && !IS_INTRESOURCE(text))
        item.text = text;
    return item;
}

void resetHooks()
{
    hooks().hooks.clear();
    sys().messageBoxHook = nullptr;
    sys().exitHook = nullptr;
}

void resetMenus()
{
    menus().menus.clear();
    menus().choices.clear();
    menus().hook = nullptr;
    menus().lastTracked.clear();
}

void callGetMessageHooks(MSG* msg)
{
    const std::vector<Hook> current = hooks().hooks;
    for (const auto& h : current)
        if (h.type == WH_GETMESSAGE && h.proc)
            h.proc(HC_ACTION, PM_REMOVE, reinterpret_cast<LPARAM>(msg));
}

} // namespace detail

void setMessageBoxHook(MessageBoxHook hook) { detail::sys().messageBoxHook = std::move(hook); }
void setExitHook(ExitHook hook) { detail::sys().exitHook = std::move(hook); }
void setMenuChoiceHook(MenuChoiceHook hook) { detail::menus().hook = std::move(hook); }
void pushMenuChoice(UINT commandId) { detail::menus().choices.push_back(commandId); }
std::vector<std::wstring> lastTrackedMenu() { return detail::menus().lastTracked; }

std::vector<InstalledHook> installedHooks()
{
    std::vector<InstalledHook> out;
    for (const detail::Hook& h : detail::hooks().hooks)
        out.push_back(InstalledHook{h.handle, h.type, h.module, h.threadId});
    return out;
}

HMODULE moduleFromAddress(const void* address)
{
    Dl_info info{};
    if (!address || !dladdr(address, &info) || !info.dli_fname)
        return nullptr;
    std::string path = info.dli_fname;
    if (path.empty() || path.find('/') == std::string::npos)
        path = detail::executablePath();
    return reinterpret_cast<HMODULE>(detail::moduleByPath(detail::canonical(path)));
}

void registerDialogTemplate(UINT id, const DialogTemplate& dialogTemplate) { detail::templates()[id] = dialogTemplate; }

const DialogTemplate* findDialogTemplate(UINT id)
{
    auto it = detail::templates().find(id);
    return it == detail::templates().end() ? nullptr : &it->second;
}

HWND createDialogWindow(UINT id, HWND parent, WNDPROC proc)
{
    const DialogTemplate* t = findDialogTemplate(id);
    if (!t)
        return nullptr;
    const DialogTemplate copy = *t;  // creation may register templates
    HWND dialog = CreateWindowExW(copy.exStyle, WC_DIALOG, copy.caption.c_str(), copy.style & ~WS_VISIBLE, copy.x, copy.y,
                                  copy.width, copy.height, parent, nullptr, AfxGetResourceHandle(), nullptr);
    if (!dialog)
        return nullptr;
    if (proc)
        SetWindowLongPtrW(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    for (const auto& c : copy.controls) {
        HWND control = CreateWindowExW(c.exStyle, c.className.c_str(), c.text.c_str(), c.style | WS_CHILD, c.x, c.y, c.width,
                                       c.height, dialog, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(c.id)), nullptr, nullptr);
        if (!control && IsWindow(dialog)) {
            DestroyWindow(dialog);
            return nullptr;
        }
        if (!IsWindow(dialog))
            return nullptr;
    }
    return dialog;
}

} // namespace kvplat

// ---------------------------------------------------------------- message boxes and process

int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    const std::wstring t = text ? text : L"";
    const std::wstring c = caption ? caption : L"Error";
    if (kvplat::detail::sys().messageBoxHook) {
        kvplat::MessageBoxHook hook = kvplat::detail::sys().messageBoxHook;
        return hook(owner, t, c, type);
    }
    std::fprintf(stderr, "[%ls] %ls\n", c.c_str(), t.c_str());
    std::fflush(stderr);
    switch (type & 0xF) {
    case MB_YESNOCANCEL:
    case MB_YESNO:
        return IDYES;
    case 2:
        return IDABORT;
    case 5:
        return IDRETRY;
    default:
        return IDOK;
    }
}

void WINAPI ExitProcess(UINT exitCode)
{
    if (kvplat::detail::sys().exitHook) {
        kvplat::ExitHook hook = kvplat::detail::sys().exitHook;
        hook(exitCode);
    }
    std::fflush(nullptr);
    std::exit(static_cast<int>(exitCode));
}

void WINAPI FatalAppExitW(UINT, LPCWSTR message)
{
    MessageBoxW(nullptr, message, L"Fatal Application Exit", MB_OK | MB_ICONSTOP);
    ExitProcess(255);
}

DWORD WINAPI GetCurrentThreadId() { return static_cast<DWORD>(syscall(SYS_gettid)); }
DWORD WINAPI GetLastError() { return kvplat::detail::t_lastError; }
void WINAPI SetLastError(DWORD error) { kvplat::detail::t_lastError = error; }

// ---------------------------------------------------------------- modules

DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size)
{
    if (!fileName || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::string path;
    if (!module) {
        path = kvplat::detail::executablePath();
    } else if (kvplat::detail::Module* m = kvplat::detail::moduleOf(module)) {
        path = m->path;
    } else {
        fileName[0] = L'\0';
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    const std::wstring wide = kvplat::detail::widen(path);
    if (wide.size() >= size) {
        // Cut and terminated, as the system does with a short buffer.
        std::wmemcpy(fileName, wide.c_str(), size - 1);
        fileName[size - 1] = L'\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::wmemcpy(fileName, wide.c_str(), wide.size() + 1);
    return static_cast<DWORD>(wide.size());
}

HMODULE WINAPI GetModuleHandleW(LPCWSTR moduleName)
{
    if (!moduleName)
        return reinterpret_cast<HMODULE>(kvplat::detail::moduleByPath(kvplat::detail::canonical(kvplat::detail::executablePath())));
    const std::string name = kvplat::detail::narrow(moduleName);
    for (auto& m : kvplat::detail::modules()) {
        const std::string& p = m->path;
        if (p == name || (p.size() > name.size() && p.compare(p.size() - name.size(), name.size(), name) == 0 &&
                          p[p.size() - name.size() - 1] == '/'))
            return reinterpret_cast<HMODULE>(m.get());
    }
    return nullptr;
}

HMODULE WINAPI LoadLibraryW(LPCWSTR fileName)
{
    if (!fileName || !*fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (HMODULE system = kvplat::detail::systemModule(fileName))
        return system;
    const std::string path = kvplat::detail::narrow(fileName);
    // A file named by its path is checked before it is mapped; bare names are
    // the system's own libraries, found on its search path.
    if (path.find('/') != std::string::npos) {
        const DWORD image = kvplat::detail::checkModuleImage(path);
        if (image != ERROR_SUCCESS) {
            SetLastError(image);
            return nullptr;
        }
    }
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    kvplat::detail::Module* m = kvplat::detail::moduleByPath(kvplat::detail::canonical(path));
    if (m->loadCount > 0) {
        // Our first reference keeps it loaded; this one is not needed.
        dlclose(handle);
        ++m->loadCount;
        return reinterpret_cast<HMODULE>(m);
    }
    m->handle = handle;
    m->loadCount = 1;
    // As on the real system, loading runs the library's entry point.
    if (auto entry = reinterpret_cast<kvplat::detail::DllMainProc>(dlsym(handle, "DllMain"))) {
        if (!entry(reinterpret_cast<HINSTANCE>(m), DLL_PROCESS_ATTACH, nullptr)) {
            m->loadCount = 0;
            m->handle = nullptr;
            dlclose(handle);
            SetLastError(ERROR_DLL_INIT_FAILED);
            return nullptr;
        }
    }
    return reinterpret_cast<HMODULE>(m);
}

BOOL WINAPI FreeLibrary(HMODULE module)
{
    if (kvplat::detail::isSystemModule(module))
        return TRUE;
    kvplat::detail::Module* m = kvplat::detail::moduleOf(module);
    if (!m || m->loadCount <= 0)
        return FALSE;
    if (--m->loadCount > 0)
        return TRUE;
    void* handle = m->handle;
    m->handle = nullptr;
    if (auto entry = reinterpret_cast<kvplat::detail::DllMainProc>(dlsym(handle, "DllMain")))
        entry(module, DLL_PROCESS_DETACH, nullptr);
    dlclose(handle);
    return TRUE;
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName)
{
    if (!procName || IS_INTRESOURCE(procName))
        return nullptr;
    if (kvplat::detail::isSystemModule(module))
        return kvplat::detail::systemProc(module, procName);
    void* handle = nullptr;
    bool borrowed = false;
    if (!module) {
        handle = dlopen(nullptr, RTLD_NOW);
        borrowed = true;
    } else if (kvplat::detail::Module* m = kvplat::detail::moduleOf(module)) {
        if (m->handle) {
            handle = m->handle;
        } else {
            handle = dlopen(m->path.c_str(), RTLD_NOW | RTLD_NOLOAD);
            borrowed = true;
        }
    }
    if (!handle)
        return nullptr;
    void* symbol = dlsym(handle, procName);
    if (borrowed)
        dlclose(handle);
    return reinterpret_cast<FARPROC>(symbol);
}

// ---------------------------------------------------------------- hooks

HHOOK WINAPI SetWindowsHookExW(int idHook, HOOKPROC proc, HINSTANCE module, DWORD threadId)
{
    if (!proc || idHook != WH_GETMESSAGE)
        return nullptr;
    auto& h = kvplat::detail::hooks();
    HHOOK handle = reinterpret_cast<HHOOK>(h.next);
    h.next += 4;
    // The newest hook is called first.
    h.hooks.insert(h.hooks.begin(), kvplat::detail::Hook{handle, idHook, proc, module, threadId});
    return handle;
}

BOOL WINAPI UnhookWindowsHookEx(HHOOK hook)
{
    auto& list = kvplat::detail::hooks().hooks;
    auto it = std::find_if(list.begin(), list.end(), [hook](const kvplat::detail::Hook& h) { return h.handle == hook; });
    if (it == list.end())
        return FALSE;
    list.erase(it);
    return TRUE;
}

LRESULT WINAPI CallNextHookEx(HHOOK, int, WPARAM, LPARAM)
{
    // Every hook is called in turn by the pump; passing on has nothing more to do.
    return 0;
}

// ---------------------------------------------------------------- menus

HMENU WINAPI CreatePopupMenu()
{
    auto& s = kvplat::detail::menus();
    HMENU h = reinterpret_cast<HMENU>(s.next);
    s.next += 4;
    s.menus[h] = std::make_unique<kvplat::detail::Menu>();
    return h;
}

HMENU WINAPI CreateMenu() { return CreatePopupMenu(); }

BOOL WINAPI DestroyMenu(HMENU menu)
{
    kvplat::detail::Menu* m = kvplat::detail::menuOf(menu);
    if (!m)
        return FALSE;
    std::vector<HMENU> subs;
    for (auto& it : m->items)
        if (it.flags & MF_POPUP)
            subs.push_back(it.popup);
    kvplat::detail::menus().menus.erase(menu);
    for (HMENU sub : subs)
        DestroyMenu(sub);
    return TRUE;
}

BOOL WINAPI AppendMenuW(HMENU menu, UINT flags, UINT_PTR idNewItem, LPCWSTR newItem)
{
    kvplat::detail::Menu* m = kvplat::detail::menuOf(menu);
    if (!m)
        return FALSE;
    m->items.push_back(kvplat::detail::makeItem(flags & ~MF_BYPOSITION, idNewItem, newItem));
    return TRUE;
}

BOOL WINAPI InsertMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, LPCWSTR newItem)
{
    kvplat::detail::Menu* m = kvplat::detail::menuOf(menu);
    if (!m)
        return FALSE;
    size_t at = m->items.size();
    if (flags & MF_BYPOSITION) {
        if (position != 0xFFFFFFFFu)
            at = std::min<size_t>(position, m->items.size());
    } else {
        const std::ptrdiff_t found = kvplat::detail::itemIndex(*m, position, 0);
        if (found >= 0)
            at = static_cast<size_t>(found);
    }
    m->items.insert(m->items.begin() + static_cast<std::ptrdiff_t>(at),
                    kvplat::detail::makeItem(flags & ~MF_BYPOSITION, idNewItem, newItem));
    return TRUE;
}

BOOL WINAPI DeleteMenu(HMENU menu, UINT position, UINT flags)
{
    kvplat::detail::Menu* m = kvplat::detail::menuOf(menu);
    if (!m)
        return FALSE;
    const std::ptrdiff_t i = kvplat::detail::itemIndex(*m, position, flags);
    if (i < 0)
        return FALSE;
    const kvplat::detail::MenuItem& item = m->items[static_cast<size_t>(i)];
    HMENU sub = (item.flags & MF_POPUP) ? item.popup : nullptr;
    m->items.erase(m->items.begin() + i);
    if (sub)
        DestroyMenu(sub);
    return TRUE;
}

int WINAPI GetMenuItemCount(HMENU menu)
{
    kvplat::detail::Menu* m = kvplat::detail::menuOf(menu);
    return m ? static_cast<int>(m->items.size()) : -1;
}

UINT WINAPI GetMenuItemID(HMENU menu, int pos)
{
    kvplat::detail::Menu* m = kvplat::detail::menuOf(menu);
    if (!m || pos < 0 || static_cast<size_t>(pos) >= m->items.size())
        return 0xFFFFFFFFu;
    const auto& item = m->items[static_cast<size_t>(pos)];
    if (item.flags & MF_POPUP)
        return 0xFFFFFFFFu;
    return static_cast<UINT>(item.id);
}

int WINAPI GetMenuStringW(HMENU menu, UINT item, LPWSTR buffer, int maxCount, UINT flags)
{
    kvplat::detail::MenuItem* it = kvplat::detail::menuItem(menu, item, flags);
    if (!it)
        return 0;
    if (!buffer || maxCount <= 0)
        return static_cast<int>(it->text.size());
    const size_t n = std::min(it->text.size(), static_cast<size_t>(maxCount - 1));
    std::wmemcpy(buffer, it->text.c_str(), n);
    buffer[n] = L'\0';
    return static_cast<int>(n);
}

UINT WINAPI GetMenuState(HMENU menu, UINT item, UINT flags)
{
    kvplat::detail::MenuItem* it = kvplat::detail::menuItem(menu, item, flags);
    return it ? (it->flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP | MF_SEPARATOR | MF_OWNERDRAW))
              : 0xFFFFFFFFu;
}

BOOL WINAPI EnableMenuItem(HMENU menu, UINT item, UINT enable)
{
    kvplat::detail::MenuItem* it = kvplat::detail::menuItem(menu, item, enable & MF_BYPOSITION);
    if (!it)
        return -1;
    const UINT old = it->flags & (MF_GRAYED | MF_DISABLED);
    it->flags = (it->flags & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
    return static_cast<BOOL>(old);
}

DWORD WINAPI CheckMenuItem(HMENU menu, UINT item, UINT check)
{
    kvplat::detail::MenuItem* it = kvplat::detail::menuItem(menu, item, check & MF_BYPOSITION);
    if (!it)
        return 0xFFFFFFFFu;
    const DWORD old = it->flags & MF_CHECKED;
    it->flags = (it->flags & ~MF_CHECKED) | (check & MF_CHECKED);
    return old;
}

HMENU WINAPI GetSubMenu(HMENU menu, int pos)
{
    kvplat::detail::Menu* m = kvplat::detail::menuOf(menu);
    if (!m || pos < 0 || static_cast<size_t>(pos) >= m->items.size())
        return nullptr;
    const auto& item = m->items[static_cast<size_t>(pos)];
    return (item.flags & MF_POPUP) ? item.popup : nullptr;
}

BOOL WINAPI TrackPopupMenu(HMENU menu, UINT flags, int, int, int, HWND hwnd, const RECT*)
{
    auto& s = kvplat::detail::menus();
    kvplat::detail::Menu* m = kvplat::detail::menuOf(menu);
    if (!m || !IsWindow(hwnd))
        return FALSE;
    s.lastTracked.clear();
    for (const auto& item : m->items)
        s.lastTracked.push_back(item.text);
    if (!(flags & TPM_NONOTIFY)) {
        SendMessageW(hwnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
        kvplat::detail::drawMenuItems(menu, hwnd);
    }
    UINT choice = 0;
    if (!s.choices.empty()) {
        choice = s.choices.front();
        s.choices.erase(s.choices.begin());
    } else if (s.hook) {
        kvplat::MenuChoiceHook hook = s.hook;
        choice = hook(menu);
    }
    // Only an enabled command of this menu can be chosen.
    if (choice) {
        kvplat::detail::MenuItem* it = kvplat::detail::menuItem(menu, choice, MF_BYCOMMAND);
        if (!it || (it->flags & (MF_GRAYED | MF_DISABLED)))
            choice = 0;
    }
    if (flags & TPM_RETURNCMD)
        return static_cast<BOOL>(choice);
    if (choice && !(flags & TPM_NONOTIFY))
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(choice, 0), 0);
    return choice ? TRUE : FALSE;
}

// ---------------------------------------------------------------- rectangles

BOOL WINAPI SetRect(LPRECT rect, int left, int top, int right, int bottom)
{
    if (!rect)
        return FALSE;
    *rect = RECT{left, top, right, bottom};
    return TRUE;
}

BOOL WINAPI SetRectEmpty(LPRECT rect) { return SetRect(rect, 0, 0, 0, 0); }

BOOL WINAPI CopyRect(LPRECT dst, const RECT* src)
{
    if (!dst || !src)
        return FALSE;
    *dst = *src;
    return TRUE;
}

BOOL WINAPI IsRectEmpty(const RECT* rect)
{
    return !rect || rect->right <= rect->left || rect->bottom <= rect->top ? TRUE : FALSE;
}

BOOL WINAPI EqualRect(const RECT* a, const RECT* b)
{
    if (!a || !b)
        return FALSE;
    return a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom ? TRUE : FALSE;
}

BOOL WINAPI UnionRect(LPRECT dst, const RECT* a, const RECT* b)
{
    if (!dst || !a || !b)
        return FALSE;
    if (IsRectEmpty(a)) {
        if (IsRectEmpty(b)) {
            SetRectEmpty(dst);
            return FALSE;
        }
        *dst = *b;
        return TRUE;
    }
    if (IsRectEmpty(b)) {
        *dst = *a;
        return TRUE;
    }
    *dst = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                std::max(a->bottom, b->bottom)};
    return TRUE;
}

BOOL WINAPI IntersectRect(LPRECT dst, const RECT* a, const RECT* b)
{
    if (!dst || !a || !b)
        return FALSE;
    RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
           std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(&r)) {
        SetRectEmpty(dst);
        return FALSE;
    }
    *dst = r;
    return TRUE;
}

BOOL WINAPI OffsetRect(LPRECT rect, int dx, int dy)
{
    if (!rect)
        return FALSE;
    rect->left += dx;
    rect->right += dx;
    rect->top += dy;
    rect->bottom += dy;
    return TRUE;
}

BOOL WINAPI InflateRect(LPRECT rect, int dx, int dy)
{
    if (!rect)
        return FALSE;
    rect->left -= dx;
    rect->right += dx;
    rect->top -= dy;
    rect->bottom += dy;
    return TRUE;
}

BOOL WINAPI PtInRect(const RECT* rect, POINT pt)
{
    return rect && pt.x >= rect->left && pt.x < rect->right && pt.y >= rect->top && pt.y < rect->bottom ? TRUE : FALSE;
}

// ---------------------------------------------------------------- cursors

HCURSOR WINAPI LoadCursorW(HINSTANCE, LPCWSTR name) { return reinterpret_cast<HCURSOR>(const_cast<LPWSTR>(name)); }

HCURSOR WINAPI SetCursor(HCURSOR cursor)
{
    static HCURSOR current = nullptr;
    HCURSOR old = current;
    current = cursor;
    return old;
}

// ---------------------------------------------------------------- critical sections

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION section)
{
    if (section)
        section->impl = new std::recursive_mutex;
}

void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION section)
{
    if (section) {
        delete static_cast<std::recursive_mutex*>(section->impl);
        section->impl = nullptr;
    }
}

void WINAPI EnterCriticalSection(LPCRITICAL_SECTION section)
{
    if (section && section->impl)
        static_cast<std::recursive_mutex*>(section->impl)->lock();
}

void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION section)
{
    if (section && section->impl)
        static_cast<std::recursive_mutex*>(section->impl)->unlock();
}

// ---------------------------------------------------------------- C runtime

int _wcsicmp(const wchar_t* a, const wchar_t* b) { return _wcsnicmp(a, b, static_cast<size_t>(-1)); }

int _wcsnicmp(const wchar_t* a, const wchar_t* b, size_t count)
{
    if (!a || !b)
        return a == b ? 0 : (a ? 1 : -1);
    for (size_t i = 0; i < count; ++i) {
        const wint_t ca = std::towlower(static_cast<wint_t>(a[i]));
        const wint_t cb = std::towlower(static_cast<wint_t>(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca == 0)
            return 0;
    }
    return 0;
}
