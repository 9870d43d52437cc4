// Script commands of the radius and plane analyses: the document's part (the
// sample part or a generated one), the host's selection of its faces, the
// group list as the user sees and works it, and every face's colour and
// layer.
#include "face_selection.h"
#include "generated_part.h"
#include "script.h"
#include "session.h"
#include "text.h"
#include "window_query.h"

#include "host/object/kvPropAccess.h"
#include "platform/afx.h"
#include "platform/kvIconResources.h"
#include "platform/kvPlatform.h"
#include "sdk/kvListCtrlStyled.h"
#include "sdk/kvPropertyCtrl.h"
#include "sdk/kvValueSets.h"

#include <cstdio>
#include <map>
#include <ostream>
#include <set>

namespace hostsim {

namespace {

const int kGroupListId = 24394;

int toInt(const std::string& word, const char* what)
{
    std::size_t used = 0;
    int value = 0;
    try {
        value = std::stoi(word, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != word.size()) throw ScriptError(std::string("not ") + what + ": '" + word + "'");
    return value;
}

// The group list the user sees.
CListCtrlStyled& shownList(Session& s)
{
    const HWND window = openAnalysisWindow(s);
    std::vector<HWND> all;
    descendants(window, all);
    for (HWND hwnd : all) {
        if (GetDlgCtrlID(hwnd) != kGroupListId || !visibleUpTo(hwnd, window)) continue;
        if (auto* list = dynamic_cast<CListCtrlStyled*>(CWnd::FromHandlePermanent(hwnd))) return *list;
    }
    throw ScriptError("the window shows no group list");
}

std::string colourText(unsigned long c)
{
    char text[16];
    std::snprintf(text, sizeof text, "#%02lx%02lx%02lx", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    return text;
}

// ---------------------------------------------------------------- the part

void part(Session& s, const std::string& args)
{
    const auto words = splitWords(args);
    Selection& selection = documentSelection(s);
    if (words.size() == 1 && words[0] == "sample") {
        selection.setPart(std::shared_ptr<const std::vector<SampleFace>>(&samplePart().faces(),
                                                                         [](const std::vector<SampleFace>*) {}),
                          "sample part");
    } else if (words.size() == 2 && words[0] == "generated") {
        const int count = toInt(words[1], "a face count");
        if (count < 1 || count > 1000000) throw ScriptError("a generated part has 1 to 1000000 faces");
        selection.setPart(generatedPartFaces(static_cast<std::size_t>(count)), "generated part");
    } else if (words.size() == 1 && words[0] == "close") {
        // The document lets its faces go; its selection stays, empty.
        selection.setPart(std::make_shared<const std::vector<SampleFace>>(), "empty document");
        s.out() << "part closed\n";
        return;
    } else {
        throw ScriptError("expected: part sample | part generated N | part close");
    }
    std::map<std::string, int> kinds;
    for (FaceEntity* entity : selection.entities()) ++kinds[entity->face().kind];
    s.out() << "part: " << selection.partName() << ", " << selection.entities().size() << " faces";
    for (const auto& k : kinds) s.out() << ", " << k.second << ' ' << k.first;
    s.out() << '\n';
}

// ---------------------------------------------------------------- the selection

// The user picks faces with the "Faces" line of the panel: the host's
// selection holds them, and the line's value changes.
void select(Session& s, const std::string& args)
{
    const auto words = splitWords(args);
    const char* usage = "expected: select all | none | faces ID... | layer NAME | group ID... | quilt ID...";
    if (words.empty()) throw ScriptError(usage);
    Selection& selection = documentSelection(s);
    std::vector<kvIUnknown*> objects;
    std::vector<FaceGroup*> groups;
    const std::string how = words[0];
    auto entityOf = [&selection](const std::string& word) {
        FaceEntity* entity = selection.entityById(toInt(word, "a face id"));
        if (!entity) throw ScriptError("the part has no face '" + word + "'");
        return entity;
    };
    if (how == "all" && words.size() == 1) {
        for (FaceEntity* entity : selection.entities()) objects.push_back(static_cast<kvIGeSurface*>(entity));
    } else if (how == "none" && words.size() == 1) {
    } else if (how == "faces" && words.size() > 1) {
        for (std::size_t i = 1; i < words.size(); ++i) objects.push_back(static_cast<kvIGeSurface*>(entityOf(words[i])));
    } else if (how == "layer" && words.size() == 2) {
        for (FaceEntity* entity : selection.entities())
            if (entity->layer() == words[1]) objects.push_back(static_cast<kvIGeSurface*>(entity));
        if (objects.empty()) throw ScriptError("no face is on layer '" + words[1] + "'");
    } else if ((how == "group" || how == "quilt") && words.size() > 1) {
        std::vector<FaceEntity*> members;
        for (std::size_t i = 1; i < words.size(); ++i) members.push_back(entityOf(words[i]));
        // A quilt is one object of several faces, as the host keeps a
        // surface made of several faces.
        if (how == "quilt" && members.size() < 2) throw ScriptError("a quilt has two faces or more");
        FaceGroup* group = FaceGroup::create(members, how == "quilt");
        groups.push_back(group);
        objects.push_back(static_cast<kvIObjectEnum*>(group));
    } else {
        throw ScriptError(usage);
    }
    selection.select(objects);
    for (FaceGroup* group : groups) group->_relRef();

    kvCSurfaceSet set;
    for (kvIUnknown* object : objects) set.add(object);
    kvCTwPropertyCtrlBase* control = propertyControlShown(openAnalysisWindow(s));
    if (!control || !control->propertySet()) throw ScriptError("the window shows no property control");
    propSet(control->propertySet(), L"Surfaces", set);
    s.out() << "selected " << objects.size() << (objects.size() == 1 ? " element" : " elements") << '\n';
}

// Time passes in the host: due timers fire.
void elapse(Session& s, const std::string& args)
{
    const int ms = toInt(args, "a number of milliseconds");
    if (ms < 0) throw ScriptError("time does not run backwards");
    kvplat::advanceClock(static_cast<DWORD>(ms));
    s.out() << ms << " ms passed\n";
}

// ---------------------------------------------------------------- the group list

void printRows(Session& s, CListCtrlStyled& control)
{
    const int rows = control.GetItemCount();
    s.out() << "list: " << rows << (rows == 1 ? " row" : " rows") << '\n';
    for (int row = 0; row < rows; ++row) {
        const CListCtrlStyled::CellStyle* swatch = control.cellStyle(row, 1);
        s.out() << "  " << (control.GetCheck(row) ? "[x]" : "[ ]") << ' '
                << (swatch ? colourText(swatch->background) : std::string("-------")) << "  "
                << toUtf8(control.GetItemText(row, 2)) << "  count " << toUtf8(control.GetItemText(row, 3))
                << "  first " << toUtf8(control.GetItemText(row, 4))
                << (control.GetItemState(row, LVIS_SELECTED) ? "  <- selected" : "") << '\n';
    }
}

void rows(Session& s, const std::string& args)
{
    if (!args.empty()) throw ScriptError("rows takes no arguments");
    printRows(s, shownList(s));
}

// The user works the list: "row select N...", "row select none" (the
// selection cleared), "row tick N on|off".
void row(Session& s, const std::string& args)
{
    const auto words = splitWords(args);
    CListCtrlStyled& control = shownList(s);
    auto rowOf = [&control](const std::string& word) {
        const int r = toInt(word, "a row");
        if (r < 1 || r > control.GetItemCount()) throw ScriptError("the list has no row " + word);
        return r - 1;
    };
    if (words.size() >= 2 && words[0] == "select") {
        std::set<int> chosen;
        const bool none = words.size() == 2 && words[1] == "none";
        for (std::size_t i = 1; i < words.size() && !none; ++i) chosen.insert(rowOf(words[i]));
        for (int r = 0; r < control.GetItemCount(); ++r)
            if (!chosen.count(r)) control.SetItemState(r, 0, LVIS_SELECTED);
        for (int r : chosen) control.SetItemState(r, LVIS_SELECTED, LVIS_SELECTED);
    } else if (words.size() == 3 && words[0] == "tick" && (words[2] == "on" || words[2] == "off")) {
        control.SetCheck(rowOf(words[1]), words[2] == "on");
    } else {
        throw ScriptError("expected: row select N... | row select none | row tick N on|off");
    }
    kvplat::pumpMessages();
    printRows(s, control);
}

// Right click on the list: the menu is shown, and the entry given (by its
// position from 1) is chosen.
void listMenu(Session& s, const std::string& args)
{
    CListCtrlStyled& list = shownList(s);
    const auto words = splitWords(args);
    if (words.size() > 1) throw ScriptError("expected: menu [ENTRY]");
    // The entry is read before the menu opens: a word that names no entry is
    // the script's error, never something the module has to deal with.
    const int entry = words.empty() ? 0 : toInt(words[0], "a menu entry");
    if (!words.empty() && entry < 1) throw ScriptError("menu entries are counted from 1: '" + words[0] + "'");
    std::vector<std::wstring> shown;
    std::vector<bool> choosable;
    kvplat::setMenuChoiceHook([&](HMENU menu) -> UINT {
        const int count = GetMenuItemCount(menu);
        for (int i = 0; i < count; ++i) {
            wchar_t text[256] = L"";
            GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
            const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
            shown.push_back(std::wstring(text) + ((state & MF_GRAYED) ? L"  (grey)" : L""));
            choosable.push_back(!(state & (MF_GRAYED | MF_SEPARATOR)) && GetMenuItemID(menu, i) != 0);
        }
        if (entry < 1 || entry > count || !choosable[static_cast<std::size_t>(entry - 1)]) return 0;
        return GetMenuItemID(menu, entry - 1);
    });
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = list.GetSafeHwnd();
    click.hdr.idFrom = static_cast<UINT_PTR>(kGroupListId);
    click.hdr.code = NM_RCLICK;
    click.iItem = -1;
    SendMessageW(GetParent(list.GetSafeHwnd()), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
    kvplat::setMenuChoiceHook(nullptr);
    s.out() << "list menu:\n";
    int position = 0;
    for (const std::wstring& text : shown)
        s.out() << "  " << ++position << ' ' << (text.empty() ? "----" : shownText(text)) << '\n';
    if (entry > static_cast<int>(shown.size()))
        throw ScriptError("the menu has no entry " + words[0]);
    if (entry >= 1 && !choosable[static_cast<std::size_t>(entry - 1)])
        throw ScriptError("menu entry " + words[0] + " cannot be chosen");
    kvplat::pumpMessages();
}

// Which icon a button carries: the module and id of the resource it was
// loaded from.
std::string buttonIconText(HWND dialog, int id)
{
    const HWND button = GetDlgItem(dialog, id);
    const auto icon = reinterpret_cast<HICON>(button ? SendMessageW(button, BM_GETIMAGE, IMAGE_ICON, 0) : 0);
    if (!icon) return "(no icon)";
    HMODULE module = nullptr;
    UINT resource = 0;
    if (!kvplat::iconResourceOf(icon, &module, &resource)) return "(an icon of no resource)";
    wchar_t file[512] = L"";
    GetModuleFileNameW(module, file, 512);
    std::string name = toUtf8(file);
    name = name.substr(name.find_last_of("/\\") == std::string::npos ? 0 : name.find_last_of("/\\") + 1);
    return "icon " + std::to_string(resource) + " of " + (name.empty() ? std::string("a module") : name);
}

// The element navigator below the list: "navigator" shows it, "navigator
// next" and "navigator previous" press its arrow buttons.
void navigator(Session& s, const std::string& args)
{
    CListCtrlStyled& list = shownList(s);
    const HWND dialog = GetParent(list.GetSafeHwnd());
    if (args == "next" || args == "previous") {
        const HWND button = GetDlgItem(dialog, args == "next" ? 1061 : 1059);
        if (!kvplat::clickButton(button)) throw ScriptError("the navigator's buttons are off");
        kvplat::pumpMessages();
    } else if (!args.empty()) {
        throw ScriptError("expected: navigator [next|previous]");
    }
    const HWND position = GetDlgItem(dialog, 1076);
    const HWND combo = GetDlgItem(dialog, 1079);
    const std::string at = toUtf8(kvplat::windowText(position));
    s.out() << "navigator: " << (at.empty() ? "(off)" : at) << "; buttons: previous " << buttonIconText(dialog, 1059)
            << ", next " << buttonIconText(dialog, 1061) << '\n';
    const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    const int chosen = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
    for (int i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
        text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
        s.out() << "  " << toUtf8(text) << (i == chosen ? "  <- shown" : "") << '\n';
    }
}

// What the tooltips of the list's controls ("tooltips list") or of the panel
// around it ("tooltips panel") show when the mouse rests on each control: the
// question the tooltip window asks the dialog, asked the same way.
void tooltips(Session& s, const std::string& args)
{
    if (args != "list" && args != "panel") throw ScriptError("expected: tooltips list | tooltips panel");
    CListCtrlStyled& list = shownList(s);
    const HWND listDialog = GetParent(list.GetSafeHwnd());
    const HWND dialog = args == "list" ? listDialog : GetParent(listDialog);
    static const std::vector<std::pair<int, const char*>> listControls = {
        {kGroupListId, "groups"}, {1059, "previous"}, {1076, "position"}, {1061, "next"}, {1079, "faces"}};
    static const std::vector<std::pair<int, const char*>> panelControls = {{1367, "border"}, {1070, "properties"}};
    for (const auto& control : args == "list" ? listControls : panelControls) {
        const HWND window = GetDlgItem(dialog, control.first);
        if (!window) continue;
        NMTTDISPINFOW info{};
        info.hdr.idFrom = reinterpret_cast<UINT_PTR>(window);
        info.hdr.code = TTN_GETDISPINFOW;
        info.uFlags = TTF_IDISHWND;
        SendMessageW(dialog, WM_NOTIFY, static_cast<WPARAM>(control.first), reinterpret_cast<LPARAM>(&info));
        const std::wstring text = info.lpszText ? info.lpszText : info.szText;
        s.out() << args << " tooltip " << control.second << ": "
                << (text.empty() ? "(none)" : shownText(text)) << '\n';
    }
}

// ---------------------------------------------------------------- colours and layers

void colours(Session& s, const std::string& args)
{
    Selection& selection = documentSelection(s);
    const auto words = splitWords(args);
    if (words.size() == 1 && words[0] == "check") {
        int colourChanged = 0, layerChanged = 0;
        for (FaceEntity* e : selection.entities()) {
            if (e->colour() != e->originalColour()) ++colourChanged;
            if (e->layer() != e->face().layer) ++layerChanged;
        }
        if (colourChanged == 0 && layerChanged == 0)
            s.out() << "every face of the " << selection.partName() << " has its own colour and layer\n";
        else
            s.out() << colourChanged << " faces show another colour, " << layerChanged
                    << " lie on another layer\n";
        return;
    }
    const bool changedOnly = words.size() == 1 && words[0] == "changed";
    if (!words.empty() && !changedOnly) throw ScriptError("expected: colours [changed|check]");
    int shown = 0;
    for (FaceEntity* e : selection.entities()) {
        const bool changed = e->colour() != e->originalColour() || e->layer() != e->face().layer;
        if (changedOnly && !changed) continue;
        if (++shown > 60) continue;
        s.out() << "  face " << e->face().id << ' ' << e->face().name << ": " << colourText(e->colour())
                << (e->colour() != e->originalColour() ? " (own " + colourText(e->originalColour()) + ")" : "")
                << ", layer " << e->layer() << (e->layer() != e->face().layer ? " (was " + e->face().layer + ")" : "")
                << '\n';
    }
    if (shown > 60) s.out() << "  ... " << (shown - 60) << " more\n";
    if (changedOnly && shown == 0) s.out() << "  no face changed\n";
}

const CommandRegistration registrations[] = {
    {"part", part}, {"select", select}, {"elapse", elapse},   {"rows", rows},
    {"row", row},   {"menu", listMenu}, {"colours", colours}, {"navigator", navigator},
    {"tooltips", tooltips},
};

} // namespace

} // namespace hostsim

namespace hostsim {
namespace {

const DemoSection multiFaceTour(
    "40-multi",
    "echo -- radius analysis over the whole sample part\n"
    "feedback UseFLColorTable true\n"
    "feedback FLColorTable 0x0000ff|0x00c000|0x0080ff|0xc000c0|0xc0c000\n"
    "analyse\n"
    "mode 3\n"
    "select all\n"
    "elapse 100\n"
    "rows\n"
    "colours changed\n"
    "echo -- the two radius-5 holes are two half cylinders each: halves of different holes are listed\n"
    "select faces 111 113 121\n"
    "rows\n"
    "menu\n"
    "echo -- plane analysis over the whole sample part\n"
    "mode 4\n"
    "select all\n"
    "elapse 100\n"
    "rows\n"
    "set AngleSteps 50\n"
    "rows\n"
    "set AngleSteps 1\n"
    "echo -- the 90 degree group selected: its faces in the highlight colour\n"
    "row select 4\n"
    "colours changed\n"
    "echo -- zoom in: the view fits each face of the selected group in turn\n"
    "menu 7\n"
    "navigator\n"
    "navigator next\n"
    "echo -- the tooltips of the list's controls\n"
    "tooltips list\n"
    "echo -- the 0 degree group hidden: its faces keep the base colour\n"
    "row tick 1 off\n"
    "colours changed\n"
    "echo -- auto zoom in: the row chosen alone stays ticked; a pick whose angle names no row (the chamfer's 45, "
    "half a step above the 44 group) clears the selection and unticks every row\n"
    "select faces 101 103 107 108\n"
    "set AngleSteps 2\n"
    "menu 8\n"
    "row select 4\n"
    "pick 30 -10 50 0 1 -1\n"
    "rows\n"
    "menu 8\n"
    "set AngleSteps 1\n"
    "echo -- another selection while the faces are coloured: a face group of the four walls\n"
    "select group 103 104 105 106\n"
    "rows\n"
    "colours changed\n"
    "echo -- a quilt of the top and two walls, one selected object of three faces: coloured, then restored\n"
    "select quilt 102 103 104\n"
    "rows\n"
    "colours changed\n"
    "echo -- two fillets, no plane among them: in the base colour; coming back to planes the list is empty, "
    "\"Show faces\" is off and every face shows its own colour; pressed, it paints the selection\n"
    "select faces 121 133\n"
    "colours changed\n"
    "mode 3\n"
    "mode 4\n"
    "rows\n"
    "colours changed\n"
    "press show-faces\n"
    "colours check\n"
    "close\n"
    "colours check\n"
    "echo -- a document whose faces carry colour attributes: colours and their kinds go back through them\n"
    "offer kvITDBaseDocument1 on\n"
    "analyse\n"
    "mode 4\n"
    "select faces 101 102 107\n"
    "colours changed\n"
    "close\n"
    "colours check\n"
    "offer kvITDBaseDocument1 off\n"
    "echo -- a generated part of 2000 faces\n"
    "part generated 2000\n"
    "analyse\n"
    "mode 3\n"
    "select all\n"
    "elapse 100\n"
    "rows\n"
    "mode 4\n"
    "rows\n"
    "close\n"
    "colours check\n"
    "part close\n"
    "feedback UseFLColorTable false\n");

} // namespace
} // namespace hostsim
