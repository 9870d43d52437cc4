// The built-in window classes: just enough control behaviour for a headless
// host (buttons, combo boxes, static texts, edit fields, a report list with
// its header, tooltips and the dialog class), and the "user" acting on them.
#include "platform/win_window_internal.h"

#include <algorithm>
#include <cwctype>

namespace kvplat {
namespace detail {
namespace {

template <class T>
T* stateOf(HWND hwnd)
{
    Window* w = find(hwnd);
    if (!w)
        return nullptr;
    if (!w->control)
        w->control = std::make_unique<T>();
    return dynamic_cast<T*>(w->control.get());
}

void notifyParent(HWND hwnd, WORD code)
{
    Window* w = find(hwnd);
    if (!w || !w->parent)
        return;
    send(w->parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(w->id), code), reinterpret_cast<LPARAM>(hwnd));
}

bool equalsNoCase(const std::wstring& a, const std::wstring& b)
{
    return _wcsicmp(a.c_str(), b.c_str()) == 0;
}

bool startsWithNoCase(const std::wstring& text, const std::wstring& prefix)
{
    return text.size() >= prefix.size() && _wcsnicmp(text.c_str(), prefix.c_str(), prefix.size()) == 0;
}

// ---------------------------------------------------------------- button

struct ButtonState : ControlState {
    UINT check = BST_UNCHECKED;
    bool pushed = false;
    HANDLE image[2] = {nullptr, nullptr};
};

DWORD buttonType(HWND hwnd)
{
    Window* w = find(hwnd);
    return w ? (w->style & BS_TYPEMASK) : 0;
}

bool isCheckable(DWORD type)
{
    switch (type) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_AUTORADIOBUTTON:
        return true;
    default:
        return false;
    }
}

void clickButtonNow(HWND hwnd)
{
    ButtonState* s = stateOf<ButtonState>(hwnd);
    if (!s)
        return;
    const DWORD type = buttonType(hwnd);
    if (type == BS_AUTOCHECKBOX) {
        s->check = s->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    } else if (type == BS_AUTO3STATE) {
        s->check = (s->check + 1) % 3;
    } else if (type == BS_AUTORADIOBUTTON) {
        s->check = BST_CHECKED;
        // The other automatic radio buttons of the same group lose their check.
        Window* w = find(hwnd);
        Window* parent = w ? find(w->parent) : nullptr;
        if (parent) {
            const auto& sib = parent->children;
            auto self = std::find(sib.begin(), sib.end(), hwnd);
            auto groupStart = self;
            while (groupStart != sib.begin()) {
                Window* g = find(*groupStart);
                if (g && (g->style & WS_GROUP))
                    break;
                --groupStart;
            }
            for (auto it = groupStart; it != sib.end(); ++it) {
                Window* g = find(*it);
                if (it != groupStart && g && (g->style & WS_GROUP))
                    break;
                if (*it != hwnd && g && _wcsicmp(g->className.c_str(), L"Button") == 0 &&
                    (g->style & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
                    if (ButtonState* gs = stateOf<ButtonState>(*it))
                        gs->check = BST_UNCHECKED;
            }
        }
    }
    notifyParent(hwnd, BN_CLICKED);
}

// ---------------------------------------------------------------- combo box

struct ComboItem {
    std::wstring text;
    LPARAM data = 0;
};

struct ComboState : ControlState {
    std::vector<ComboItem> items;
    int current = CB_ERR;
    int itemHeight = 16;
    bool dropped = false;
};

bool inRange(int index, size_t size) { return index >= 0 && static_cast<size_t>(index) < size; }

bool hasStrings(HWND hwnd)
{
    Window* w = find(hwnd);
    if (!w)
        return false;
    const bool ownerDraw = (w->style & CBS_OWNERDRAWFIXED) != 0 || (w->style & 0x0020L) != 0;
    return !ownerDraw || (w->style & CBS_HASSTRINGS);
}

int findItem(const ComboState& s, int start, const std::wstring& text, bool exact)
{
    const int n = static_cast<int>(s.items.size());
    if (n == 0)
        return CB_ERR;
    int from = (start < 0 || start >= n) ? 0 : start + 1;
    for (int k = 0; k < n; ++k) {
        const int i = (from + k) % n;
        if (exact ? equalsNoCase(s.items[i].text, text) : startsWithNoCase(s.items[i].text, text))
            return i;
    }
    return CB_ERR;
}

// ---------------------------------------------------------------- list view

struct ListColumn {
    int width = 0;
    int format = LVCFMT_LEFT;
    std::wstring text;
};

struct ListItem {
    std::vector<std::wstring> texts;
    LPARAM param = 0;
    UINT state = 0;
    int image = 0;
};

struct ListState : ControlState {
    std::vector<ListColumn> columns;
    std::vector<ListItem> items;
    HWND header = nullptr;
    DWORD extendedStyle = 0;
    // The normal, small and state image lists (LVSIL_*); the list shares
    // them with whoever made them.
    HIMAGELIST imageLists[3] = {nullptr, nullptr, nullptr};
};

int textWidth(const std::wstring& text) { return static_cast<int>(text.size()) * 7 + 12; }

void notifyItemChanged(HWND list, int item, UINT oldState, UINT newState)
{
    Window* w = find(list);
    if (!w || !w->parent)
        return;
    NMLISTVIEW nm{};
    nm.hdr.hwndFrom = list;
    nm.hdr.idFrom = static_cast<UINT_PTR>(w->id);
    nm.hdr.code = LVN_ITEMCHANGED;
    nm.iItem = item;
    nm.uOldState = oldState;
    nm.uNewState = newState;
    nm.uChanged = LVIF_STATE;
    send(w->parent, WM_NOTIFY, static_cast<WPARAM>(w->id), reinterpret_cast<LPARAM>(&nm));
}

// ---------------------------------------------------------------- tooltip

struct Tool {
    HWND owner = nullptr;
    UINT_PTR id = 0;
    UINT flags = 0;
    RECT rect{};
    bool callback = false;
    std::wstring text;
    LPARAM param = 0;
};

struct ToolTipState : ControlState {
    std::vector<Tool> tools;
    int maxWidth = -1;
    bool active = true;
};

Tool* findTool(ToolTipState& s, const TOOLINFOW* ti)
{
    for (auto& t : s.tools)
        if (t.owner == ti->hwnd && t.id == ti->uId)
            return &t;
    return nullptr;
}

std::wstring resolveToolText(HWND tooltip, const Tool& t)
{
    if (!t.callback)
        return t.text;
    NMTTDISPINFOW info{};
    info.hdr.hwndFrom = tooltip;
    info.hdr.idFrom = t.id;
    info.hdr.code = TTN_GETDISPINFOW;
    info.uFlags = t.flags;
    info.lParam = t.param;
    send(t.owner, WM_NOTIFY, t.id, reinterpret_cast<LPARAM>(&info));
    if (info.lpszText && !IS_INTRESOURCE(info.lpszText) && info.lpszText != LPSTR_TEXTCALLBACKW)
        return info.lpszText;
    info.szText[79] = L'\0';
    return info.szText;
}

} // namespace

LRESULT CALLBACK buttonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case BM_GETCHECK: {
        ButtonState* s = stateOf<ButtonState>(hwnd);
        return s && isCheckable(buttonType(hwnd)) ? s->check : BST_UNCHECKED;
    }
    case BM_SETCHECK: {
        ButtonState* s = stateOf<ButtonState>(hwnd);
        if (s && isCheckable(buttonType(hwnd)) && s->check != wParam) {
            s->check = static_cast<UINT>(wParam) > BST_INDETERMINATE ? BST_CHECKED : static_cast<UINT>(wParam);
            InvalidateRect(hwnd, nullptr, TRUE);
        }
        return 0;
    }
    case BM_GETSTATE: {
        ButtonState* s = stateOf<ButtonState>(hwnd);
        if (!s)
            return 0;
        return (isCheckable(buttonType(hwnd)) ? s->check : 0) | (s->pushed ? BST_PUSHED : 0) |
               (GetFocus() == hwnd ? BST_FOCUS : 0);
    }
    case BM_SETSTATE: {
        ButtonState* s = stateOf<ButtonState>(hwnd);
        if (s)
            s->pushed = wParam != 0;
        return 0;
    }
    case BM_SETSTYLE: {
        Window* w = find(hwnd);
        if (w)
            w->style = (w->style & ~0xFFFFul) | LOWORD(wParam);
        if (lParam)
            InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    }
    case BM_CLICK:
        if (IsWindowEnabled(hwnd))
            clickButtonNow(hwnd);
        return 0;
    case BM_SETIMAGE: {
        ButtonState* s = stateOf<ButtonState>(hwnd);
        if (!s || wParam > IMAGE_ICON)
            return 0;
        HANDLE old = s->image[wParam];
        s->image[wParam] = reinterpret_cast<HANDLE>(lParam);
        return reinterpret_cast<LRESULT>(old);
    }
    case BM_GETIMAGE: {
        ButtonState* s = stateOf<ButtonState>(hwnd);
        return s && wParam <= IMAGE_ICON ? reinterpret_cast<LRESULT>(s->image[wParam]) : 0;
    }
    case WM_PAINT:
        if (buttonType(hwnd) == BS_OWNERDRAW && GetParent(hwnd)) {
            // An owner-drawn button asks its parent to draw it.
            PAINTSTRUCT ps;
            DRAWITEMSTRUCT dis{};
            dis.CtlType = ODT_BUTTON;
            dis.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd));
            dis.itemAction = ODA_DRAWENTIRE;
            ButtonState* s = stateOf<ButtonState>(hwnd);
            dis.itemState = (s && s->pushed ? ODS_SELECTED : 0) | (GetFocus() == hwnd ? ODS_FOCUS : 0) |
                            (IsWindowEnabled(hwnd) ? 0 : ODS_DISABLED);
            dis.hwndItem = hwnd;
            dis.hDC = BeginPaint(hwnd, &ps);
            GetClientRect(hwnd, &dis.rcItem);
            SendMessageW(GetParent(hwnd), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
            EndPaint(hwnd, &ps);
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    case WM_GETDLGCODE: {
        const DWORD type = buttonType(hwnd);
        if (type == BS_DEFPUSHBUTTON)
            return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        if (type == BS_PUSHBUTTON)
            return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON)
            return DLGC_BUTTON | DLGC_RADIOBUTTON;
        return DLGC_BUTTON;
    }
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

LRESULT CALLBACK comboProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ComboState* s = stateOf<ComboState>(hwnd);
    if (!s)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    const int index = static_cast<int>(static_cast<INT_PTR>(wParam));
    switch (msg) {
    case CB_ADDSTRING:
    case CB_INSERTSTRING: {
        ComboItem item;
        if (hasStrings(hwnd))
            item.text = lParam ? reinterpret_cast<LPCWSTR>(lParam) : L"";
        else
            item.data = lParam;
        int at;
        Window* w = find(hwnd);
        if (msg == CB_ADDSTRING && w && (w->style & CBS_SORT) && hasStrings(hwnd)) {
            at = 0;
            while (at < static_cast<int>(s->items.size()) && _wcsicmp(s->items[at].text.c_str(), item.text.c_str()) <= 0)
                ++at;
        } else if (msg == CB_ADDSTRING || index == -1) {
            at = static_cast<int>(s->items.size());
        } else {
            if (index < 0 || index > static_cast<int>(s->items.size()))
                return CB_ERR;
            at = index;
        }
        s->items.insert(s->items.begin() + at, item);
        if (s->current >= at)
            ++s->current;
        return at;
    }
    case CB_DELETESTRING:
        if (!inRange(index, s->items.size()))
            return CB_ERR;
        s->items.erase(s->items.begin() + index);
        if (s->current == index)
            s->current = CB_ERR;
        else if (s->current > index)
            --s->current;
        return static_cast<LRESULT>(s->items.size());
    case CB_RESETCONTENT:
        s->items.clear();
        s->current = CB_ERR;
        return CB_OKAY;
    case CB_GETCOUNT:
        return static_cast<LRESULT>(s->items.size());
    case CB_GETCURSEL:
        return s->current;
    case CB_SETCURSEL:
        if (!inRange(index, s->items.size())) {
            s->current = CB_ERR;
            return CB_ERR;
        }
        s->current = index;
        return index;
    case CB_GETLBTEXT: {
        if (!inRange(index, s->items.size()) || !lParam)
            return CB_ERR;
        const std::wstring& text = s->items[index].text;
        auto* out = reinterpret_cast<LPWSTR>(lParam);
        std::wmemcpy(out, text.c_str(), text.size() + 1);
        return static_cast<LRESULT>(text.size());
    }
    case CB_GETLBTEXTLEN:
        return inRange(index, s->items.size()) ? static_cast<LRESULT>(s->items[index].text.size()) : CB_ERR;
    case CB_SETITEMDATA:
        if (!inRange(index, s->items.size()))
            return CB_ERR;
        s->items[index].data = lParam;
        return CB_OKAY;
    case CB_GETITEMDATA:
        return inRange(index, s->items.size()) ? s->items[index].data : CB_ERR;
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT:
        return lParam ? findItem(*s, index, reinterpret_cast<LPCWSTR>(lParam), msg == CB_FINDSTRINGEXACT) : CB_ERR;
    case CB_SELECTSTRING: {
        if (!lParam)
            return CB_ERR;
        const int found = findItem(*s, index, reinterpret_cast<LPCWSTR>(lParam), false);
        if (found != CB_ERR)
            s->current = found;
        return found;
    }
    case CB_GETITEMHEIGHT:
        return s->itemHeight;
    case CB_SETITEMHEIGHT:
        if (lParam <= 0 || lParam > 255)
            return CB_ERR;
        s->itemHeight = static_cast<int>(lParam);
        return 0;
    case CB_SHOWDROPDOWN:
        s->dropped = wParam != 0;
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return s->dropped ? TRUE : FALSE;
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH: {
        Window* w = find(hwnd);
        if (w && (w->style & CBS_DROPDOWNLIST) == CBS_DROPDOWNLIST) {
            const std::wstring text = inRange(s->current, s->items.size()) ? s->items[s->current].text : L"";
            if (msg == WM_GETTEXTLENGTH)
                return static_cast<LRESULT>(text.size());
            auto* buffer = reinterpret_cast<LPWSTR>(lParam);
            if (!buffer || wParam == 0)
                return 0;
            const size_t n = std::min(text.size(), static_cast<size_t>(wParam - 1));
            std::wmemcpy(buffer, text.c_str(), n);
            buffer[n] = L'\0';
            return static_cast<LRESULT>(n);
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

LRESULT CALLBACK staticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_GETDLGCODE)
        return DLGC_STATIC;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

namespace {
struct EditState : ControlState {
    DWORD selStart = 0;
    DWORD selEnd = 0;
};
} // namespace

LRESULT CALLBACK editProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case EM_GETSEL: {
        EditState* s = stateOf<EditState>(hwnd);
        if (!s)
            return 0;
        if (wParam)
            *reinterpret_cast<DWORD*>(wParam) = s->selStart;
        if (lParam)
            *reinterpret_cast<DWORD*>(lParam) = s->selEnd;
        return MAKELONG(s->selStart, s->selEnd);
    }
    case EM_SETSEL: {
        EditState* s = stateOf<EditState>(hwnd);
        Window* w = find(hwnd);
        if (!s || !w)
            return 0;
        const DWORD len = static_cast<DWORD>(w->text.size());
        const INT_PTR start = static_cast<INT_PTR>(wParam);
        const INT_PTR end = static_cast<INT_PTR>(lParam);
        if (start < 0) {
            s->selStart = s->selEnd = len;
        } else {
            s->selStart = std::min<DWORD>(static_cast<DWORD>(start), len);
            s->selEnd = end < 0 ? len : std::min<DWORD>(static_cast<DWORD>(end), len);
        }
        return 0;
    }
    case EM_SETREADONLY: {
        Window* w = find(hwnd);
        if (!w)
            return FALSE;
        if (wParam)
            w->style |= ES_READONLY;
        else
            w->style &= ~static_cast<DWORD>(ES_READONLY);
        return TRUE;
    }
    case WM_SETTEXT: {
        LRESULT r = DefWindowProcW(hwnd, msg, wParam, lParam);
        if (EditState* s = stateOf<EditState>(hwnd))
            s->selStart = s->selEnd = 0;
        return r;
    }
    case WM_GETDLGCODE:
        return DLGC_HASSETSEL | DLGC_WANTCHARS | DLGC_WANTARROWS;
    case WM_CHAR:
    case WM_KEYDOWN: {
        // Typing: a character replaces the selection; backspace and delete
        // remove it (or the character before / after the caret); End moves
        // the caret to the end.
        EditState* s = stateOf<EditState>(hwnd);
        Window* w = find(hwnd);
        if (!s || !w || (w->style & ES_READONLY))
            return 0;
        DWORD start = std::min(s->selStart, s->selEnd), end = std::max(s->selStart, s->selEnd);
        std::wstring text = w->text;
        if (msg == WM_CHAR) {
            if (wParam < 0x20)
                return 0;
            text.replace(start, end - start, 1, static_cast<wchar_t>(wParam));
            start = end = start + 1;
        } else if (wParam == VK_END) {
            s->selStart = s->selEnd = static_cast<DWORD>(text.size());
            return 0;
        } else if (wParam == VK_BACK || wParam == VK_DELETE) {
            if (start == end) {
                if (wParam == VK_BACK && start > 0)
                    --start;
                else if (wParam == VK_DELETE && end < text.size())
                    ++end;
            }
            text.erase(start, end - start);
            end = start;
        } else {
            return 0;
        }
        w->text = text;
        s->selStart = s->selEnd = start;
        if (w->parent)
            SendMessageW(w->parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(w->id), EN_CHANGE),
                         reinterpret_cast<LPARAM>(hwnd));
        return 0;
    }
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

LRESULT CALLBACK listViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ListState* s = stateOf<ListState>(hwnd);
    if (!s)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    const int index = static_cast<int>(static_cast<INT_PTR>(wParam));
    switch (msg) {
    case WM_CREATE: {
        RECT rc;
        GetClientRect(hwnd, &rc);
        s->header = CreateWindowExW(0, WC_HEADERW, L"", WS_CHILD | WS_VISIBLE, 0, 0, rc.right, 20, hwnd, nullptr, nullptr, nullptr);
        return 0;
    }
    case LVM_GETHEADER:
        return reinterpret_cast<LRESULT>(s->header);
    case LVM_INSERTCOLUMNW: {
        auto* col = reinterpret_cast<const LVCOLUMNW*>(lParam);
        if (!col || index < 0)
            return -1;
        ListColumn c;
        if (col->mask & LVCF_WIDTH)
            c.width = std::max(col->cx, 0);
        if (col->mask & LVCF_FMT)
            c.format = col->fmt;
        if ((col->mask & LVCF_TEXT) && col->pszText && col->pszText != LPSTR_TEXTCALLBACKW)
            c.text = col->pszText;
        const int at = std::min(index, static_cast<int>(s->columns.size()));
        s->columns.insert(s->columns.begin() + at, c);
        for (auto& item : s->items)
            if (static_cast<int>(item.texts.size()) > at)
                item.texts.insert(item.texts.begin() + at, std::wstring());
        return at;
    }
    case LVM_DELETECOLUMN:
        if (!inRange(index, s->columns.size()))
            return FALSE;
        s->columns.erase(s->columns.begin() + index);
        for (auto& item : s->items)
            if (inRange(index, item.texts.size()))
                item.texts.erase(item.texts.begin() + index);
        return TRUE;
    case LVM_GETCOLUMNWIDTH:
        return inRange(index, s->columns.size()) ? s->columns[index].width : 0;
    case LVM_SETCOLUMNWIDTH: {
        if (!inRange(index, s->columns.size()))
            return FALSE;
        int cx = static_cast<short>(LOWORD(lParam));
        if (cx == LVSCW_AUTOSIZE || cx == LVSCW_AUTOSIZE_USEHEADER) {
            int width = cx == LVSCW_AUTOSIZE_USEHEADER ? textWidth(s->columns[index].text) : 0;
            for (const auto& item : s->items)
                if (inRange(index, item.texts.size()))
                    width = std::max(width, textWidth(item.texts[index]));
            if (cx == LVSCW_AUTOSIZE_USEHEADER && index + 1 == static_cast<int>(s->columns.size())) {
                // The last column takes what is left of the client width.
                RECT rc;
                GetClientRect(hwnd, &rc);
                int used = 0;
                for (int i = 0; i < index; ++i)
                    used += s->columns[i].width;
                width = std::max(width, static_cast<int>(rc.right) - used);
            }
            cx = width;
        }
        s->columns[index].width = std::max(cx, 0);
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
    }
    case LVM_GETITEMCOUNT:
        return static_cast<LRESULT>(s->items.size());
    case LVM_INSERTITEMW: {
        auto* item = reinterpret_cast<const LVITEMW*>(lParam);
        if (!item || item->iItem < 0)
            return -1;
        ListItem li;
        li.texts.resize(std::max<size_t>(s->columns.size(), 1));
        if ((item->mask & LVIF_TEXT) && item->pszText && item->pszText != LPSTR_TEXTCALLBACKW)
            li.texts[0] = item->pszText;
        if (item->mask & LVIF_PARAM)
            li.param = item->lParam;
        if (item->mask & LVIF_STATE)
            li.state = item->state & item->stateMask;
        if (item->mask & LVIF_IMAGE)
            li.image = item->iImage;
        const int at = std::min(item->iItem, static_cast<int>(s->items.size()));
        s->items.insert(s->items.begin() + at, li);
        return at;
    }
    case LVM_SETITEMW:
    case LVM_SETITEMTEXTW: {
        auto* item = reinterpret_cast<const LVITEMW*>(lParam);
        const int row = msg == LVM_SETITEMW ? (item ? item->iItem : -1) : index;
        if (!item || !inRange(row, s->items.size()) || item->iSubItem < 0)
            return FALSE;
        ListItem& li = s->items[row];
        if (msg == LVM_SETITEMTEXTW || (item->mask & LVIF_TEXT)) {
            if (static_cast<size_t>(item->iSubItem) >= li.texts.size())
                li.texts.resize(static_cast<size_t>(item->iSubItem) + 1);
            li.texts[item->iSubItem] = item->pszText && item->pszText != LPSTR_TEXTCALLBACKW ? item->pszText : L"";
        }
        if (msg == LVM_SETITEMW && (item->mask & LVIF_PARAM))
            li.param = item->lParam;
        if (msg == LVM_SETITEMW && (item->mask & LVIF_STATE))
            li.state = (li.state & ~item->stateMask) | (item->state & item->stateMask);
        if (msg == LVM_SETITEMW && (item->mask & LVIF_IMAGE))
            li.image = item->iImage;
        return TRUE;
    }
    case LVM_GETITEMTEXTW:
    case LVM_GETITEMW: {
        auto* item = reinterpret_cast<LVITEMW*>(lParam);
        const int row = msg == LVM_GETITEMW ? (item ? item->iItem : -1) : index;
        if (!item || !inRange(row, s->items.size()) || item->iSubItem < 0)
            return msg == LVM_GETITEMW ? FALSE : 0;
        const ListItem& li = s->items[row];
        const std::wstring text = inRange(item->iSubItem, li.texts.size()) ? li.texts[item->iSubItem] : L"";
        size_t n = 0;
        if ((msg == LVM_GETITEMTEXTW || (item->mask & LVIF_TEXT)) && item->pszText && item->cchTextMax > 0) {
            n = std::min(text.size(), static_cast<size_t>(item->cchTextMax - 1));
            std::wmemcpy(item->pszText, text.c_str(), n);
            item->pszText[n] = L'\0';
        }
        if (msg == LVM_GETITEMW) {
            if (item->mask & LVIF_PARAM)
                item->lParam = li.param;
            if (item->mask & LVIF_STATE)
                item->state = li.state & item->stateMask;
            if (item->mask & LVIF_IMAGE)
                item->iImage = li.image;
            return TRUE;
        }
        return static_cast<LRESULT>(n);
    }
    case LVM_DELETEITEM:
        if (!inRange(index, s->items.size()))
            return FALSE;
        s->items.erase(s->items.begin() + index);
        return TRUE;
    case LVM_DELETEALLITEMS:
        s->items.clear();
        return TRUE;
    case LVM_SETITEMSTATE: {
        auto* item = reinterpret_cast<const LVITEMW*>(lParam);
        if (!item)
            return FALSE;
        if (index != -1 && !inRange(index, s->items.size()))
            return FALSE;
        const int first = index == -1 ? 0 : index;
        const int last = index == -1 ? static_cast<int>(s->items.size()) - 1 : index;
        for (int i = first; i <= last; ++i) {
            Window* w = find(hwnd);
            if (!w || !inRange(i, s->items.size()))
                break;
            const UINT old = s->items[i].state;
            const UINT now = (old & ~item->stateMask) | (item->state & item->stateMask);
            if (now != old) {
                s->items[i].state = now;
                notifyItemChanged(hwnd, i, old, now);
                s = stateOf<ListState>(hwnd);
                if (!s)
                    return TRUE;
            }
        }
        return TRUE;
    }
    case LVM_GETITEMSTATE:
        return inRange(index, s->items.size()) ? (s->items[index].state & static_cast<UINT>(lParam)) : 0;
    case LVM_GETNEXTITEM: {
        const UINT flags = LOWORD(lParam);
        for (int i = index + 1; i < static_cast<int>(s->items.size()); ++i)
            if (flags == LVNI_ALL || (s->items[i].state & (flags & LVNI_SELECTED ? LVIS_SELECTED : 0)))
                return i;
        return -1;
    }
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
        const DWORD old = s->extendedStyle;
        const DWORD mask = wParam ? static_cast<DWORD>(wParam) : 0xFFFFFFFFu;
        s->extendedStyle = (old & ~mask) | (static_cast<DWORD>(lParam) & mask);
        return old;
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE:
        return s->extendedStyle;
    case LVM_SETIMAGELIST: {
        if (!inRange(index, 3))
            return 0;
        HIMAGELIST old = s->imageLists[index];
        s->imageLists[index] = reinterpret_cast<HIMAGELIST>(lParam);
        return reinterpret_cast<LRESULT>(old);
    }
    case LVM_GETIMAGELIST:
        return inRange(index, 3) ? reinterpret_cast<LRESULT>(s->imageLists[index]) : 0;
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

LRESULT CALLBACK headerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == HDM_GETITEMCOUNT) {
        Window* w = find(hwnd);
        Window* list = w ? find(w->parent) : nullptr;
        if (list && list->control)
            if (auto* ls = dynamic_cast<ListState*>(list->control.get()))
                return static_cast<LRESULT>(ls->columns.size());
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK toolTipProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ToolTipState* s = stateOf<ToolTipState>(hwnd);
    if (!s)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    auto* ti = reinterpret_cast<TOOLINFOW*>(lParam);
    switch (msg) {
    case TTM_ADDTOOLW: {
        if (!ti)
            return FALSE;
        Tool t;
        t.owner = ti->hwnd;
        t.id = ti->uId;
        t.flags = ti->uFlags;
        t.rect = ti->rect;
        t.param = ti->lParam;
        if (ti->lpszText == LPSTR_TEXTCALLBACKW)
            t.callback = true;
        else if (ti->lpszText && !IS_INTRESOURCE(ti->lpszText))
            t.text = ti->lpszText;
        if (Tool* existing = findTool(*s, ti))
            *existing = t;
        else
            s->tools.push_back(t);
        return TRUE;
    }
    case TTM_DELTOOLW:
        if (ti)
            s->tools.erase(std::remove_if(s->tools.begin(), s->tools.end(),
                                          [ti](const Tool& t) { return t.owner == ti->hwnd && t.id == ti->uId; }),
                           s->tools.end());
        return 0;
    case TTM_UPDATETIPTEXTW:
        if (ti) {
            if (Tool* t = findTool(*s, ti)) {
                t->callback = ti->lpszText == LPSTR_TEXTCALLBACKW;
                t->text = !t->callback && ti->lpszText && !IS_INTRESOURCE(ti->lpszText) ? ti->lpszText : L"";
            }
        }
        return 0;
    case TTM_NEWTOOLRECTW:
        if (ti)
            if (Tool* t = findTool(*s, ti))
                t->rect = ti->rect;
        return 0;
    case TTM_GETTOOLCOUNT:
        return static_cast<LRESULT>(s->tools.size());
    case TTM_GETTEXTW: {
        if (!ti || !ti->lpszText)
            return 0;
        Tool* t = findTool(*s, ti);
        const std::wstring text = t ? resolveToolText(hwnd, *t) : L"";
        // The caller gives the buffer size in wParam; 80 characters when it does not.
        const size_t capacity = wParam ? static_cast<size_t>(wParam) : 80;
        const size_t n = std::min(text.size(), capacity - 1);
        std::wmemcpy(ti->lpszText, text.c_str(), n);
        ti->lpszText[n] = L'\0';
        return static_cast<LRESULT>(n);
    }
    case TTM_SETMAXTIPWIDTH: {
        const int old = s->maxWidth;
        s->maxWidth = static_cast<int>(lParam);
        return old;
    }
    case TTM_ACTIVATE:
        s->active = wParam != 0;
        return 0;
    case TTM_RELAYEVENT:
    case TTM_SETDELAYTIME:
    case TTM_POP:
        return 0;
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

LRESULT CALLBACK dialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefDlgProcW(hwnd, msg, wParam, lParam);
}

void registerBuiltInClasses()
{
    struct Entry {
        const wchar_t* name;
        WNDPROC proc;
    };
    const Entry entries[] = {
        {L"Button", &buttonProc},
        {L"ComboBox", &comboProc},
        {L"Static", &staticProc},
        {L"Edit", &editProc},
        {WC_LISTVIEWW, &listViewProc},
        {WC_HEADERW, &headerProc},
        {TOOLTIPS_CLASSW, &toolTipProc},
        {WC_DIALOG, &dialogProc},
        {L"AfxWnd", &DefWindowProcW},
    };
    for (const auto& e : entries) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = e.proc;
        wc.lpszClassName = e.name;
        RegisterClassExW(&wc);
    }
}

} // namespace detail

namespace {

// The user's hand on a window: nothing when it, or a window it lies in, is
// hidden or disabled; otherwise the window it lies in is activated first, as
// a click activates it. False when the window cannot be reached or is gone
// after the activation.
bool reachAndActivate(HWND hwnd)
{
    if (!detail::find(hwnd) || !IsWindowVisible(hwnd) || detail::takesNoInput(hwnd))
        return false;
    detail::activate(detail::topLevelOf(hwnd), WA_CLICKACTIVE);
    return detail::find(hwnd) != nullptr;
}

} // namespace

bool clickButton(HWND button)
{
    if (!reachAndActivate(button))
        return false;
    SendMessageW(button, BM_CLICK, 0, 0);
    return true;
}

bool selectComboItem(HWND combo, int index)
{
    if (!reachAndActivate(combo))
        return false;
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    if (index < 0 || index >= count)
        return false;
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    detail::notifyParent(combo, CBN_SELCHANGE);
    if (detail::find(combo))
        detail::notifyParent(combo, CBN_SELENDOK);
    return true;
}

bool rightClick(HWND window, POINT at)
{
    if (!reachAndActivate(window))
        return false;
    const LPARAM point = MAKELPARAM(at.x, at.y);
    SendMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, point);
    if (detail::find(window))
        SendMessageW(window, WM_RBUTTONUP, 0, point);
    return true;
}

std::vector<ToolTipTool> toolTipTools(HWND tooltip)
{
    std::vector<ToolTipTool> out;
    detail::Window* w = detail::find(tooltip);
    if (!w || !w->control)
        return out;
    auto* s = dynamic_cast<detail::ToolTipState*>(w->control.get());
    if (!s)
        return out;
    const std::vector<detail::Tool> tools = s->tools;
    for (const auto& t : tools)
        out.push_back(ToolTipTool{t.owner, t.id, t.flags, detail::resolveToolText(tooltip, t)});
    return out;
}

} // namespace kvplat
