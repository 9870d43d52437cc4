// Commands that show the module's window-control library at work: a small
// dialog whose fields are made through the library's factories ("PushButton",
// "CheckBox", "ColorButton"), clicked and typed at as a user would, with the
// colour palette and the colour dialog; and saving and restoring the analysis
// window's layout in the registry.
//
// The host supplies the library's resource module (the palette's dialog, the
// check icons and two texts), as the real host's installation does. No host
// makes the controls or stores a layout through the module's exports: the
// simulator reaches the factories and the layout store through the module's
// one test entry (host/kvTestEntry.h), and then acts as a user would.
#include "script.h"
#include "session.h"
#include "text.h"

#include "platform/afx.h"
#include "platform/atl.h"
#include "platform/kvPlatformUi.h"
#include "ui/atl/ControlColors.h"
#include "ui/atl/dv/ControlFactory.h"
#include "ui/atl/dv/Convert.h"  // the colour word only: the module is not linked
#include "ui/atl/dv/FieldControl.h"
#include "host/kvTestEntry.h"


#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ostream>

namespace hostsim {

namespace {

using kv::ui::atl::dv::ComColor;
using kv::ui::atl::dv::Control;
using kv::ui::atl::dv::ControlFactories;
using kv::ui::atl::dv::CreatedControl;

const int kPushId = 1, kCheckId = 2, kColorId = 3;

// ---------------------------------------------------------------- the library's resources

void supplyLibraryResources()
{
    static bool done = false;
    if (done) return;
    done = true;
    HMODULE m = kvplat::createResourceModule(L"kvUiRes.dll");
    kvplat::addResourceString(m, 10101, L"No colour");
    kvplat::addResourceString(m, 10453, L"Reset to original");
    kvplat::addResourceIcon(m, 10250);
    kvplat::addResourceIcon(m, 10251);
    kvplat::DialogTemplate palette;
    palette.width = 120;
    palette.height = 110;
    palette.style = WS_POPUP | WS_BORDER;
    palette.controls = {
        {L"Static", 10103, L"", 4, 4, 64, 40, WS_VISIBLE | WS_TABSTOP | WS_GROUP, 0},
        {L"Button", 10101, L"More colours...", 4, 80, 50, 20, WS_VISIBLE | WS_TABSTOP, 0},
        {L"Button", 10102, L"", 70, 80, 40, 20, WS_VISIBLE | BS_OWNERDRAW, 0},
    };
    kvplat::addResourceDialog(m, 10100, palette);
    ATL::atlBaseModule().AddResourceInstance(m);
}

// ---------------------------------------------------------------- the field dialog

struct FieldDialog {
    bool styles = true;  // visual styles switched on
    HWND window = nullptr;
    kv::ui::atl::ControlColorsPtr colors;
    CreatedControl push, check, color;
    std::vector<std::string> events;  // signals since the last report
};

FieldDialog& fields()
{
    static FieldDialog d;
    return d;
}

// The loaded module's test entry, through the platform's loader that loaded it.
const kvTestEntryTable& testEntry(Session& s)
{
    HMODULE module = static_cast<HMODULE>(s.moduleHandle());
    FARPROC symbol = module ? GetProcAddress(module, "kvAnalyseTestEntry") : nullptr;
    if (!symbol) throw ScriptError("the module offers no test entry");
    return *reinterpret_cast<kvPfnTestEntry>(reinterpret_cast<void*>(symbol))();
}

ControlFactories& factories(Session& s) { return *testEntry(s).controlFactories; }

HWND openFields()
{
    if (!fields().window || !IsWindow(fields().window)) throw ScriptError("no field dialog open (controls open)");
    return fields().window;
}

std::string colorText(const boost::any& value)
{
    const ComColor* held = boost::any_cast<ComColor>(&value);
    if (!held || *held == kv::ui::atl::dv::noColor) return "none";
    const ComColor c = *held;
    char text[16];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

std::string valueText(const boost::any& value)
{
    if (value.empty()) return "null";
    if (const bool* b = boost::any_cast<bool>(&value)) return *b ? "true" : "false";
    return colorText(value);
}

std::string stateText(unsigned state)
{
    std::string out;
    const std::pair<unsigned, const char*> names[] = {{0x1, "pending"}, {0x2, "modified"}, {0x40, "null"},
                                                      {0x100, "null allowed"}};
    for (const auto& n : names)
        if (state & n.first) out += std::string(out.empty() ? "" : ", ") + n.second;
    return out.empty() ? "unmodified" : out;
}

void watch(CreatedControl& made)
{
    if (made.field)
        made.field->valueChanged.connect([](const std::wstring& name, unsigned, const boost::any& v) {
            fields().events.push_back("value of " + toUtf8(name) + " written: " + valueText(v));
        });
    if (made.clicked)
        made.clicked->connect([] { fields().events.push_back("push button clicked"); });
}

void reportEvents(Session& s)
{
    for (const std::string& e : fields().events) s.out() << "  signal: " << e << "\n";
    fields().events.clear();
}

// What the window draws when it prints its client area; bookkeeping calls
// (selecting, creating and deleting objects) left out.
void reportDrawing(Session& s, HWND window)
{
    kvplat::clearGdiLog();
    HDC dc = GetDC(window);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    ReleaseDC(window, dc);
    for (const std::string& line : kvplat::gdiLog()) {
        if (line.compare(0, 12, "SelectObject") == 0 || line.compare(0, 6, "Create") == 0 ||
            line.compare(0, 12, "DeleteObject") == 0)
            continue;
        s.out() << "    " << line << "\n";
    }
}

// The palette's grid: how many cells it draws, and the selected one in full.
void reportPalette(Session& s, HWND grid)
{
    kvplat::clearGdiLog();
    HDC dc = GetDC(grid);
    SendMessageW(grid, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    ReleaseDC(grid, dc);
    const std::vector<std::string> log = kvplat::gdiLog();
    int cells = 0;
    for (const std::string& line : log) cells += line.compare(0, 8, "FillRect") == 0;
    s.out() << "  the grid draws " << cells << " colour cells; the selected one:\n";
    for (size_t i = 0; i < log.size(); ++i)
        if (log[i].compare(0, 13, "DrawFocusRect") == 0)
            for (size_t k = i; k < log.size() && k < i + 3; ++k) s.out() << "    " << log[k] << "\n";
}

void closeFields(Session& s);

void openDialog(Session& s)
{
    supplyLibraryResources();
    if (fields().window && IsWindow(fields().window)) throw ScriptError("the field dialog is open already");
    // Still open when the session ends, the dialog is closed before the module
    // that made its controls may unload.
    s.atFinish([&s] {
        if (fields().window && IsWindow(fields().window)) closeFields(s);
    });
    ControlFactories& list = factories(s);
    FieldDialog& d = fields();
    d.window = CreateWindowExW(0, WC_DIALOG, L"Field controls", WS_POPUP | WS_CAPTION | WS_VISIBLE, 200, 200, 260, 140,
                               nullptr, nullptr, nullptr, nullptr);
    d.colors = list.makeColors(d.window);
    kv::ui::atl::dv::ControlSpec spec;
    spec.parent = d.window;
    spec.rect = RECT{10, 10, 110, 34};
    spec.id = kPushId;
    spec.text = L"Apply";
    spec.toolTip = L"Apply the settings";
    spec.style = BS_DEFPUSHBUTTON;
    d.push = list.create(L"PushButton", spec, d.colors);
    spec.rect = RECT{10, 44, 160, 64};
    spec.id = kCheckId;
    spec.text = L"Show concave faces";
    spec.toolTip = L"Colour the concave faces";
    spec.style = 0;
    d.check = list.create(L"CheckBox", spec, d.colors);
    spec.rect = RECT{10, 74, 130, 98};
    spec.id = kColorId;
    spec.text = L"";
    spec.toolTip = L"Colour of the texts and lines";
    d.color = list.create(L"ColorButton", spec, d.colors);
    if (!d.push.window || !d.check.window || !d.color.window) {
        DestroyWindow(d.window);
        d = FieldDialog();
        throw ScriptError("a factory could not make its control");
    }
    d.check.field->initField(L"ShowKonkave", boost::any(false), 0);
    d.check.field->showValue(kv::ui::atl::dv::showQuietly | kv::ui::atl::dv::showHolding);
    d.color.field->initField(L"CadColor", boost::any(ComColor(RGB(255, 0, 0))), kv::ui::atl::dv::stateNullAllowed);
    d.color.field->showValue(kv::ui::atl::dv::showQuietly);
    watch(d.push);
    watch(d.check);
    watch(d.color);
    s.out() << "field dialog open: \"PushButton\" Apply, \"CheckBox\" ShowKonkave, \"ColorButton\" CadColor\n";
}

void showFields(Session& s)
{
    openFields();
    FieldDialog& d = fields();
    s.out() << (d.styles ? "drawn with visual styles\n" : "drawn classically (no visual styles)\n");
    s.out() << "push button \"Apply\"\n";
    reportDrawing(s, d.push.window);
    s.out() << "check box ShowKonkave = " << valueText(d.check.field->getValue()) << " ("
            << stateText(d.check.field->getState()) << ")\n";
    s.out() << "colour button CadColor = " << valueText(d.color.field->getValue()) << " ("
            << stateText(d.color.field->getState()) << ")\n";
    reportDrawing(s, d.color.window);
}

HWND paletteGrid()
{
    // The open palette gives its colour grid the focus and names the colour
    // button as its owner.
    HWND focus = GetFocus();
    const UINT getOwner = WM_USER + 0x165;  // the popup's owner, as the library answers it
    if (focus && GetDlgCtrlID(focus) == 10103 &&
        reinterpret_cast<HWND>(SendMessageW(GetParent(focus), getOwner, 0, 0)) == fields().color.window)
        return focus;
    return nullptr;
}

// As the user clicks: the click lands on the button after it has brought its
// dialog to the front, which closes a palette open on the colour button.
void click(Session& s, const std::string& which)
{
    openFields();
    FieldDialog& d = fields();
    const HWND button = which == "push"    ? d.push.window
                        : which == "check" ? GetWindow(d.check.window, GW_CHILD)
                        : which == "color" ? d.color.window
                                           : nullptr;
    if (!button) throw ScriptError("click push, check or color");
    if (!kvplat::clickButton(button))
        throw ScriptError("the " + (which == "check" ? std::string("check box") : which + " button") +
                          " cannot be clicked (hidden or disabled)");
    if (which == "color") {
        HWND grid = paletteGrid();
        if (!grid) throw ScriptError("the palette did not open");
        s.out() << "palette open below the colour button\n";
        reportPalette(s, grid);
    }
    kvplat::pumpMessages();
    reportEvents(s);
}

void keys(Session& s, const std::vector<std::string>& words)
{
    HWND grid = paletteGrid();
    if (!grid) throw ScriptError("no palette open (controls click color)");
    for (size_t i = 1; i < words.size(); ++i) {
        const std::string& k = words[i];
        const WPARAM key = k == "left" ? VK_LEFT : k == "right" ? VK_RIGHT : k == "up" ? VK_UP : k == "down" ? VK_DOWN
                           : k == "enter" ? VK_RETURN : k == "escape" ? VK_ESCAPE : 0;
        if (!key) throw ScriptError("keys are left, right, up, down, enter and escape");
        // Posted, as the host's message loop hands keys out to the palette.
        PostMessageW(grid, WM_KEYDOWN, key, 0);
        kvplat::pumpMessages();
    }
    s.out() << (paletteGrid() ? "palette still open\n" : "palette closed\n");
    reportEvents(s);
}

// One part of an RGB colour: a whole number from 0 to 255 written in decimal
// digits, nothing else ("1e2", "0x10", "-0" and "12.7" are refused).
int colorPart(const std::string& word)
{
    const int maxPart = 255;
    if (word.empty() || word.size() > 3 || word.find_first_not_of("0123456789") != std::string::npos ||
        std::stoi(word) > maxPart)
        throw ScriptError("a colour part is a whole number from 0 to 255, not '" + word + "'");
    return std::stoi(word);
}

void moreColors(Session& s, const std::vector<std::string>& words)
{
    HWND grid = paletteGrid();
    if (!grid) throw ScriptError("no palette open (controls click color)");
    if (words.size() == 2 && words[1] == "cancel") {
        kvplat::pushColorDialogAnswer(false, 0);
    } else if (words.size() == 4) {
        int rgb[3];
        for (int i = 0; i < 3; ++i) rgb[i] = colorPart(words[static_cast<size_t>(i) + 1]);
        kvplat::pushColorDialogAnswer(true, RGB(rgb[0], rgb[1], rgb[2]));
    } else {
        throw ScriptError("more R G B, or more cancel");
    }
    kvplat::clickButton(GetDlgItem(GetParent(grid), 10101));
    kvplat::pumpMessages();
    const auto calls = kvplat::colorDialogCalls();
    if (!calls.empty())
        s.out() << "colour dialog opened with " << colorText(boost::any(ComColor(calls.back().initial)))
                << (calls.back().flags & CC_SOLIDCOLOR ? ", solid colours only" : "") << "\n";
    reportEvents(s);
}

void resetCheck(Session& s)
{
    openFields();
    HWND inner = GetWindow(fields().check.window, GW_CHILD);
    kvplat::pushMenuChoice(100);
    SendMessageW(inner, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(inner), MAKELPARAM(-1, -1));
    const auto menu = kvplat::lastTrackedMenu();
    s.out() << "context menu: \"" << (menu.empty() ? std::string() : toUtf8(menu[0])) << "\"\n";
    reportEvents(s);
}

void closeFields(Session& s)
{
    openFields();
    FieldDialog& d = fields();
    DestroyWindow(d.window);
    kvplat::pumpMessages();
    const bool styles = d.styles;
    d = FieldDialog();  // the control objects go after their windows
    d.styles = styles;
    s.out() << "field dialog closed; GDI objects alive: " << kvplat::liveGdiTotal() << "\n";
}

void controls(Session& s, const std::string& args)
{
    const std::vector<std::string> words = splitWords(args);
    const std::string verb = words.empty() ? std::string() : words[0];
    const bool alone = words.size() == 1;  // the verbs that take no further word
    if (verb == "open" && alone) openDialog(s);
    else if (verb == "show" && alone) showFields(s);
    else if (verb == "click" && words.size() == 2) click(s, words[1]);
    else if (verb == "keys") keys(s, words);
    else if (verb == "more") moreColors(s, words);
    else if (verb == "reset" && alone) resetCheck(s);
    else if (verb == "palette" && alone)
        s.out() << (paletteGrid() ? "palette open, the focus on its grid\n" : "palette closed\n");
    else if (verb == "close" && alone) closeFields(s);
    else if (verb == "styles" && words.size() == 2 && (words[1] == "on" || words[1] == "off")) {
        kvplat::setThemeActive(words[1] == "on");
        fields().styles = words[1] == "on";
        s.out() << "visual styles " << words[1] << "\n";
    } else
        throw ScriptError("controls open|show|click push|check|color|keys ...|more R G B|more cancel|reset|"
                          "palette|styles on|off|close");
}

// ---------------------------------------------------------------- layout persistence

std::string rectText(const RECT& r)
{
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

void reportNodes(Session& s, void* layout, int (*nodes)(void*, kvUiLayoutNode*, int))
{
    kvUiLayoutNode all[64];
    const int count = std::min(nodes(layout, all, 64), 64);
    for (int i = 0; i < count; ++i)
        s.out() << std::string(static_cast<size_t>(all[i].depth) * 2 + 2, ' ') << "node " << all[i].id << " at "
                << rectText(all[i].current) << "\n";
}

// The panel a layout belongs to, by the mode the window shows and where the
// panel sits: the single-face panel serves modes 1 and 2 and shares its
// template with the tool-position panel, and the radius and plane lists share
// theirs, so neither the template nor the control id tells them apart.
std::string panelName(HWND window, HWND panel)
{
    const int modeListId = 1058;
    const LRESULT mode = SendMessageW(GetDlgItem(window, modeListId), CB_GETCURSEL, 0, 0) + 1;
    if (GetParent(panel) != window) return mode == 3 ? "radius list" : "plane list";
    return mode <= 2 ? "single-face panel" : mode <= 4 ? "multi-face panel" : "tool-position panel";
}

void layoutCommand(Session& s, const std::string& args)
{
    const std::vector<std::string> words = splitWords(args);
    if (words.empty() || (words[0] != "show" && words.size() != 2) ||
        (words[0] != "save" && words[0] != "restore" && words[0] != "show"))
        throw ScriptError("layout save NAME, layout restore NAME or layout show");
    CWnd* window = s.document().window(kAnalysisWindowName);
    const HWND hwnd = window ? window->GetSafeHwnd() : nullptr;
    if (!hwnd || !IsWindow(hwnd)) throw ScriptError("no analysis window open");
    const kvTestEntryTable& entry = testEntry(s);
    auto within = entry.layoutsWithin;
    auto dialogOf = entry.layoutDialog;
    auto nodes = entry.layoutNodes;
    auto persist = entry.layoutPersist;
    void* layouts[16] = {};
    const int count = std::min(within(hwnd, layouts, 16), 16);
    if (count == 0) throw ScriptError("no layout attached in the analysis window");
    for (int i = 0; i < count; ++i) {
        const HWND panel = dialogOf(layouts[i]);
        if (!IsWindowVisible(panel)) continue;
        const std::string name = panelName(hwnd, panel);
        const std::wstring path = L"Software\\Tarnwell\\Layouts\\" + fromUtf8(words.size() > 1 ? words[1] : "") +
                                  L"\\" + fromUtf8(name);
        if (words[0] == "save" || words[0] == "restore") {
            const bool save = words[0] == "save";
            if (!persist(layouts[i], path.c_str(), save))
                throw ScriptError(save ? "the layout could not be saved"
                                       : "no stored layout fits the " + name + "; it is left as it was");
            s.out() << (save ? "saved" : "restored") << " layout of the " << name << " under HKEY_CURRENT_USER\\"
                    << toUtf8(path) << (save ? "" : " (the panel is laid out from it at its next size change)")
                    << "\n";
        } else {
            s.out() << "layout of the " << name << "\n";
        }
        reportNodes(s, layouts[i], nodes);
    }
}

const CommandRegistration registrations[] = {
    {"controls", controls},
    {"layout", layoutCommand},
};

DemoSection tour("60-controls",
                 "echo -- the window-control library: fields made by its factories\n"
                 "controls open\n"
                 "controls show\n"
                 "controls click push\n"
                 "controls click check\n"
                 "controls reset\n"
                 "echo -- the colour button's palette, by keyboard\n"
                 "controls click color\n"
                 "controls keys down left enter\n"
                 "echo -- more colours: the colour dialog\n"
                 "controls click color\n"
                 "controls more 51 102 153\n"
                 "echo -- another window coming up closes the palette; the next click opens it again;\n"
                 "echo -- a click on another control of the dialog closes it\n"
                 "controls click color\n"
                 "analyse\n"
                 "controls palette\n"
                 "close\n"
                 "controls click color\n"
                 "controls click push\n"
                 "controls palette\n"
                 "echo -- without visual styles the controls draw classically\n"
                 "controls styles off\n"
                 "controls show\n"
                 "controls styles on\n"
                 "controls close\n"
                 "echo -- the analysis window's layout saved and restored, each panel's its own\n"
                 "analyse\n"
                 "mode 1\n"
                 "layout save demo\n"
                 "resize 420 600\n"
                 "layout show\n"
                 "mode 5\n"
                 "layout save demo\n"
                 "mode 1\n"
                 "layout restore demo\n"
                 "close\n");

} // namespace

} // namespace hostsim
