// Commands that act on the analysis window as a user would (choose a mode,
// press a button, type a property, resize and close it), that tell what the
// window shows, and that play the host's side: the views' mouse events, the
// settings, and optional interfaces a host may lack.
#include "args.h"
#include "face_selection.h"
#include "script.h"
#include "session.h"
#include "text.h"
#include "view.h"
#include "window_query.h"

#include "host/object/kvPropAccess.h"
#include "platform/afx.h"
#include "platform/kvPlatform.h"
#include "sdk/kvPropertyCtrl.h"
#include "sdk/kvValueSets.h"

#include <array>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <map>
#include <ostream>

namespace hostsim {

namespace {

// The buttons of the analysis window by the names a script uses, in the order
// they are shown.
const std::vector<std::pair<std::string, int>> kButtons = {
    {"transparent", 1033}, {"save", 1034}, {"show-faces", 1057}, {"new-frame", 1036},
    {"tool-length", 1035}, {"close", 1017}, {"help", 1016},
};
const int kModeList = 1058;

HWND analysisWindow(Session& s)
{
    CWnd* window = s.document().window(kAnalysisWindowName);
    const HWND hwnd = window ? window->GetSafeHwnd() : nullptr;
    if (!hwnd || !IsWindow(hwnd)) throw ScriptError("no analysis window open");
    return hwnd;
}

int buttonId(const std::string& name)
{
    for (const auto& b : kButtons)
        if (b.first == name) return b.second;
    if (name.empty() || !(std::isdigit(static_cast<unsigned char>(name[0])) || name[0] == '-' || name[0] == '+'))
        throw ScriptError("no button '" + name + "'");
    // Control ids are 16-bit.
    return static_cast<int>(integerArg(name, 1, 0xFFFF, "a button id"));
}

// The host's property control the user sees in the window, or null.
kvCTwPropertyCtrlBase* shownPropertyControl(HWND window)
{
    std::vector<HWND> all;
    descendants(window, all);
    for (HWND hwnd : all) {
        kvCTwPropertyCtrlBase* control = kvCTwPropertyCtrlBase::fromWindow(hwnd);
        if (control && visibleUpTo(hwnd, window)) return control;
    }
    return nullptr;
}

std::string comboText(HWND combo, int index)
{
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) return std::string();
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<std::size_t>(length));
    return toUtf8(text);
}



// ---------------------------------------------------------------- the user at the window

void chooseMode(Session& s, const std::string& args)
{
    const HWND combo = GetDlgItem(analysisWindow(s), kModeList);
    if (splitWords(args).size() != 1) throw ScriptError("expected the number of a mode list entry");
    const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    if (count < 1) throw ScriptError("the mode list is empty");
    const int index = static_cast<int>(integerArg(args, 1, count, "an entry of the mode list")) - 1;
    if (!kvplat::selectComboItem(combo, index)) throw ScriptError("the mode list cannot be used now");
    s.out() << "mode list: chose \"" << comboText(combo, index) << "\"\n";
}

void press(Session& s, const std::string& args)
{
    if (splitWords(args).size() != 1) throw ScriptError("expected one button");
    const int id = buttonId(args);
    const HWND button = GetDlgItem(analysisWindow(s), id);
    if (!button) throw ScriptError("the window has no button " + std::to_string(id));
    if (kvplat::clickButton(button))
        s.out() << "pressed " << args << '\n';
    else
        s.out() << "button " << args << " cannot be pressed (hidden or disabled)\n";
}

void resize(Session& s, const std::string& args)
{
    const auto words = splitWords(args);
    if (words.size() != 2) throw ScriptError("expected a width and a height");
    // Window coordinates of the platform are 16-bit.
    const int width = static_cast<int>(integerArg(words[0], 1, 32767, "a window width"));
    const int height = static_cast<int>(integerArg(words[1], 1, 32767, "a window height"));
    const HWND window = analysisWindow(s);
    kvplat::userResize(window, width, height);
    RECT r;
    GetWindowRect(window, &r);
    s.out() << "window resized to " << (r.right - r.left) << " x " << (r.bottom - r.top) << '\n';
}

void closeWindow(Session& s, const std::string& args)
{
    if (!args.empty()) throw ScriptError("close takes no arguments");
    const HWND window = analysisWindow(s);
    // The close box of the caption.
    SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    const bool gone = !IsWindow(window);
    const bool registered = s.document().window(kAnalysisWindowName) != nullptr;
    s.out() << (gone ? "analysis window closed" : "analysis window still open")
            << (registered ? ", still registered" : ", unregistered") << '\n';
}

void help(Session& s, const std::string& args)
{
    if (!args.empty()) throw ScriptError("help takes no arguments");
    // F1 in the window.
    SendMessageW(analysisWindow(s), WM_HELP, 0, 0);
}

// Faces of the sample part by id, as the host's selection would hand them.
kvCSurfaceSet selectionOf(const std::string& args)
{
    kvCSurfaceSet set;
    for (const std::string& word : splitWords(args)) {
        const int id = static_cast<int>(integerArg(word, 1, INT_MAX, "a face id"));
        const SampleFace* face = samplePart().findFace(id);
        if (!face) throw ScriptError("the sample part has no face '" + word + "'");
        FaceObject* object = FaceObject::create(*face);
        set.add(static_cast<kvIGeSurface*>(object));
        object->_relRef();
    }
    return set;
}

void setProperty(Session& s, const std::string& args)
{
    std::string key, value;
    splitKeyValue(args, key, value);
    if (key.empty()) throw ScriptError("expected a property key and a value");
    kvCTwPropertyCtrlBase* control = shownPropertyControl(analysisWindow(s));
    if (!control || !control->propertySet()) throw ScriptError("the window shows no property control");
    const std::wstring wkey = fromUtf8(key);
    if (!showsLine(control, wkey)) throw ScriptError("the panel shows no line \"" + key + "\"");
    bool done = false;
    if (key == "Surfaces")
        done = propSet(control->propertySet(), wkey.c_str(), selectionOf(value));
    else
        done = control->setValueText(wkey.c_str(), fromUtf8(value).c_str());
    if (!done) throw ScriptError("\"" + key + "\" does not take '" + value + "'");
    s.out() << "property \"" << escapeText(key) << "\" set to " << escapeText(value) << '\n';
}

// A caller (the host's macro language, another module) writes a value into
// the window's property set: no line has to show the key, and the list that
// shows it takes what it is given.
void writeProperty(Session& s, const std::string& args)
{
    std::string key, value;
    splitKeyValue(args, key, value);
    if (key.empty() || value.empty()) throw ScriptError("expected a property key and a value");
    kvCTwPropertyCtrlBase* control = shownPropertyControl(analysisWindow(s));
    if (!control || !control->propertySet()) throw ScriptError("the window shows no property control");
    if (!control->setValueText(fromUtf8(key).c_str(), fromUtf8(value).c_str()))
        throw ScriptError("\"" + key + "\" does not take '" + value + "'");
    s.out() << "a caller wrote " << escapeText(value) << " into \"" << escapeText(key) << "\"\n";
}

// ---------------------------------------------------------------- what the window shows

void showModes(Session& s, HWND window)
{
    const HWND combo = GetDlgItem(window, kModeList);
    const int count = combo ? static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0)) : 0;
    const int chosen = combo ? static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)) : -1;
    s.out() << "mode list: " << count << " entries\n";
    for (int i = 0; i < count; ++i)
        s.out() << "  " << (i + 1) << ' ' << comboText(combo, i) << (i == chosen ? "  <- chosen" : "") << '\n';
}

void showPanel(Session& s, HWND window)
{
    kvCTwPropertyCtrlBase* control = shownPropertyControl(window);
    if (!control) {
        s.out() << "panel: no property control shown\n";
        return;
    }
    s.out() << "panel:\n";
    for (const std::wstring& line : control->displayLines()) s.out() << "  " << shownText(line) << '\n';
}

void showToolTips(Session& s, HWND window)
{
    for (const auto& b : kButtons) {
        const HWND button = GetDlgItem(window, b.second);
        if (!button) continue;
        // What the tooltip window asks when the mouse rests on the button.
        NMTTDISPINFOW info{};
        info.hdr.hwndFrom = nullptr;
        info.hdr.idFrom = reinterpret_cast<UINT_PTR>(button);
        info.hdr.code = TTN_GETDISPINFOW;
        info.uFlags = TTF_IDISHWND;
        SendMessageW(window, WM_NOTIFY, static_cast<WPARAM>(b.second), reinterpret_cast<LPARAM>(&info));
        const std::wstring text = info.lpszText ? info.lpszText : info.szText;
        s.out() << "tooltip " << b.first << ": " << (text.empty() ? "(none)" : toUtf8(text)) << '\n';
    }
}

// The button row as a user sees it: each button shown or hidden, enabled or
// not, and pressed in when it is a check button that is checked.
void showButtons(Session& s, HWND window)
{
    s.out() << "buttons:";
    for (const auto& b : kButtons) {
        const HWND button = GetDlgItem(window, b.second);
        if (!button) continue;
        s.out() << ' ' << b.first << " (" << (visibleUpTo(button, window) ? "shown" : "hidden")
                << (IsWindowEnabled(button) ? ", enabled" : ", disabled")
                << (SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED ? ", checked" : "") << ')';
    }
    s.out() << '\n';
}

std::string placeText(const RECT& r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")-(" + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + "), " + std::to_string(r.right - r.left) + " x " +
           std::to_string(r.bottom - r.top);
}

// Where a child stands in its parent's client area.
RECT placeIn(HWND child, HWND parent)
{
    RECT r;
    GetWindowRect(child, &r);
    POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
    ScreenToClient(parent, &corners[0]);
    ScreenToClient(parent, &corners[1]);
    return RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

// The shown panel in the window and, for the multi-face panel, its border
// and its two lists (radius and plane) in it.
void showPlaces(Session& s, HWND window)
{
    const int multiFaceBorder = 1367, singleFaceGroup = 1080, listTemplate = 24174;
    for (HWND panel : kvplat::childWindows(window)) {
        const HWND border = GetDlgItem(panel, multiFaceBorder);
        if (!IsWindowVisible(panel) || (!border && !GetDlgItem(panel, singleFaceGroup))) continue;
        s.out() << "panel at " << placeText(placeIn(panel, window)) << '\n';
        if (!border) continue;
        s.out() << "  border at " << placeText(placeIn(border, panel)) << '\n';
        for (HWND list : kvplat::childWindows(panel))
            if (GetDlgCtrlID(list) == listTemplate)
                s.out() << "  " << (IsWindowVisible(list) ? "shown" : "hidden") << " list at "
                        << placeText(placeIn(list, panel)) << '\n';
    }
}

void showSize(Session& s, HWND window)
{
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    s.out() << "window size: " << (outer.right - outer.left) << " x " << (outer.bottom - outer.top) << ", client "
            << (client.right - client.left) << " x " << (client.bottom - client.top) << '\n';
}

void show(Session& s, const std::string& args)
{
    const auto words = splitWords(args);
    if (words.empty()) throw ScriptError("expected modes, panel, tooltips, size, buttons, places, window or view");
    // The view's temporary graphics are the host's own: they need no window.
    if (words.size() == 1 && words[0] == "view") {
        TmpGraphics::printView(s.out());
        return;
    }
    const HWND window = analysisWindow(s);
    for (const std::string& what : words) {
        if (what == "view") TmpGraphics::printView(s.out());
        else if (what == "modes") showModes(s, window);
        else if (what == "panel") showPanel(s, window);
        else if (what == "tooltips") showToolTips(s, window);
        else if (what == "size") showSize(s, window);
        else if (what == "buttons") showButtons(s, window);
        else if (what == "places") showPlaces(s, window);
        else if (what == "window") {
            s.out() << "window title: " << toUtf8(kvplat::windowText(window)) << '\n';
            showSize(s, window);
            showButtons(s, window);
            showModes(s, window);
            showPanel(s, window);
        } else {
            throw ScriptError("cannot show '" + what + "'");
        }
    }
}

// ---------------------------------------------------------------- the host's side

// A view whose eye looks along looking, as the host's views hand it to a
// mouse reactor: rows 0 and 1 are the screen's x (right) and y (up) axes, row 2 the
// view direction, which points from the scene towards the viewer (the eye
// looks along its reverse), and row 3 the cursor in model coordinates. The
// rows 0 to 2 form a right-handed frame.
void makeView(const double* looking, const double* cursor, double view[4][4])
{
    double d[3] = {looking[0], looking[1], looking[2]};
    const double l = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    for (double& c : d) c /= l;
    const double back[3] = {-d[0], -d[1], -d[2]};
    // Screen x: perpendicular to the direction, horizontal where possible.
    double x[3] = {d[1], -d[0], 0.0};
    double lx = std::sqrt(x[0] * x[0] + x[1] * x[1]);
    if (lx < 1e-9) {
        x[0] = 1.0;
        x[1] = 0.0;
        lx = 1.0;
    }
    for (double& c : x) c /= lx;
    // Screen y = back x x, so that x x y = back: a view straight down has
    // x along the model's X and y along its Y.
    const double y[3] = {back[1] * x[2] - back[2] * x[1], back[2] * x[0] - back[0] * x[2],
                         back[0] * x[1] - back[1] * x[0]};
    for (int k = 0; k < 3; ++k) {
        view[0][k] = x[k];
        view[1][k] = y[k];
        view[2][k] = back[k];
        view[3][k] = cursor[k];
    }
    view[0][3] = view[1][3] = view[2][3] = 0.0;
    view[3][3] = 1.0;
}

// Each view direction a script looks along is a view of its own, side by
// side on the screen this far apart (beyond any coordinate a script gives).
const double kViewSpacing = 4.0 * kCoordinateLimit;

// The view looking along the direction (row 2 of a view matrix), numbered
// in the order the directions were first used.
std::size_t viewIndex(const double* direction)
{
    static std::vector<std::array<double, 3>> views;
    for (std::size_t i = 0; i < views.size(); ++i)
        if (views[i][0] == direction[0] && views[i][1] == direction[1] && views[i][2] == direction[2]) return i;
    views.push_back({{direction[0], direction[1], direction[2]}});
    return views.size() - 1;
}

void pick(Session& s, const std::string& args)
{
    const std::vector<double> n = numberArgs(args, 6, -kCoordinateLimit, kCoordinateLimit, "a point and a view direction");
    const double origin[3] = {n[0], n[1], n[2]}, direction[3] = {n[3], n[4], n[5]};
    if (direction[0] == 0.0 && direction[1] == 0.0 && direction[2] == 0.0)
        throw ScriptError("the view direction is zero");
    RayHit hit;
    const bool onFace = pickFace(samplePart(), origin, direction, hit);
    const double* cursor = onFace ? hit.point : origin;
    double view[4][4];
    makeView(direction, cursor, view);
    // The cursor's place on the screen, in view units, in the view's own
    // part of the screen: the same place in two views is two places.
    const double x = view[0][0] * cursor[0] + view[0][1] * cursor[1] + view[0][2] * cursor[2] +
                     kViewSpacing * static_cast<double>(viewIndex(view[2]));
    const double y = view[1][0] * cursor[0] + view[1][1] * cursor[1] + view[1][2] * cursor[2];
    const double viewParameters[2] = {1.0, 100.0};  // a snap radius of 1 model unit
    if (onFace)
        s.out() << "[view] pick hits face " << hit.face->id << " \"" << hit.face->name << "\" at "
                << fmt3(hit.point) << '\n';
    else
        s.out() << "[view] pick hits nothing\n";
    FaceObject* object = onFace ? FaceObject::create(*hit.face) : nullptr;
    const int reached = s.baseDocument().sendMouseEvent(1, x, y, viewParameters, view, 0,
                                                        object ? static_cast<kvIGeSurface*>(object) : nullptr,
                                                        onFace ? hit.point : nullptr);
    if (object) object->_relRef();
    s.out() << "[view] pick sent to " << reached << " mouse reactor" << (reached == 1 ? "" : "s") << '\n';
}

void move(Session& s, const std::string& args)
{
    const std::vector<double> n = numberArgs(args, 3, -kCoordinateLimit, kCoordinateLimit, "a point");
    const double cursor[3] = {n[0], n[1], n[2]}, down[3] = {0.0, 0.0, -1.0};
    double view[4][4];
    makeView(down, cursor, view);
    const double viewParameters[2] = {1.0, 100.0};
    const int reached = s.baseDocument().sendMouseEvent(0, cursor[0], cursor[1], viewParameters, view, 0,
                                                        nullptr, nullptr);
    s.out() << "[view] move sent to " << reached << " mouse reactor" << (reached == 1 ? "" : "s") << '\n';
}

void offer(Session& s, const std::string& args)
{
    const auto words = splitWords(args);
    if (words.size() != 2 || (words[1] != "on" && words[1] != "off"))
        throw ScriptError("expected an interface name and on or off");
    const bool on = words[1] == "on";
    if (words[0] == "kvIHelpContext1")
        s.context().setHelpOffered(on);
    else if (!s.baseDocument().setOffers(fromUtf8(words[0]), on) && !s.model().setOffers(fromUtf8(words[0]), on))
        throw ScriptError("'" + words[0] + "' is not an optional interface of the host");
    s.out() << "host offers " << words[0] << ": " << words[1] << '\n';
}

void feedback(Session& s, const std::string& args)
{
    std::string key, value;
    splitKeyValue(args, key, value);
    if (key.empty() || value.empty()) throw ScriptError("expected a key and a value");
    DataSet& set = s.document().feedbacks();
    const std::wstring wkey = fromUtf8(key);
    if (value == "true" || value == "false") {
        set.setBool(wkey, value == "true");
    } else if (key.compare(0, 6, "Color_") == 0) {
        set.setColor(wkey, colourArg(value));
    } else if (key == "Size") {
        // The length of the axes drawn for a frame.
        set.setDouble(wkey, numberArg(value, 0.0, kCoordinateLimit, "a size"));
    } else {
        set.setString(wkey, fromUtf8(value));
    }
    s.out() << "feedback \"" << escapeText(key) << "\" = " << escapeText(value) << '\n';
}

// The host objects alive apart from the session's own standing ones.
void census(Session& s, const std::string& args)
{
    if (!args.empty()) throw ScriptError("census takes no arguments");
    static const char* const standing[] = {"application", "resource manager", "base document", "model",
                                           "application document", "data set", "base system", "help context",
                                           "execution context"};
    std::map<std::string, int> extra = Census::alive();
    auto drop = [&extra](const std::string& kind, std::size_t count) {
        auto it = extra.find(kind);
        if (it == extra.end()) return;
        it->second -= static_cast<int>(count);
        if (it->second <= 0) extra.erase(it);
    };
    for (const char* kind : standing) drop(kind, 1);
    // The document's selection and the faces of its part are the document's.
    drop("selection", 1);
    drop("face", documentSelection(s).entities().size());
    s.out() << "host objects held by the module:";
    if (extra.empty()) s.out() << " none";
    for (const auto& entry : extra) s.out() << ' ' << entry.first << ' ' << entry.second;
    s.out() << '\n';
}

const CommandRegistration registrations[] = {
    {"mode", chooseMode}, {"press", press},     {"resize", resize}, {"close", closeWindow},
    {"help", help},       {"set", setProperty}, {"show", show},     {"pick", pick},
    {"move", move},       {"offer", offer},     {"feedback", feedback}, {"census", census},
    {"write", writeProperty},
};

// Where the lists stand as the window changes size, a mode no entry of the
// mode list stands for, and the plane list following a pick's exact angle.
const DemoSection placesTour(
    "15-places",
    "echo -- the radius list fills the multi-face panel below its property page, at every size of the window\n"
    "analyse\n"
    "mode 3\n"
    "select faces 111 113 121\n"
    "show places\n"
    "resize 800 1000\n"
    "show places\n"
    "layout show\n"
    "echo -- the plane list in the same place; a narrow and a tiny window leave the lists what is left, and "
    "never less than nothing\n"
    "mode 4\n"
    "show places\n"
    "resize 208 500\n"
    "show places\n"
    "resize 100 150\n"
    "show places\n"
    "select none\n"
    "echo -- the selection of no face is shown: \"Show faces\" is checked\n"
    "show buttons\n"
    "echo -- a caller writes a mode no entry stands for: no entry is chosen, the single-face panel shows and "
    "\"Show faces\" stays, unchecked as on leaving modes 3 and 4\n"
    "write AnalyseMode 7\n"
    "show modes buttons places\n"
    "show tooltips\n"
    "close\n"
    "echo -- the mode is kept for the next opening; choosing an entry leaves it\n"
    "analyse\n"
    "show modes\n"
    "mode 5\n"
    "close\n"
    "echo -- a job's frame turned by -0.0004 degrees: the chamfer lies at 45.0004 degrees and reads 45; its pick "
    "selects the row of its own angle, the 46 row at steps of 2\n"
    "analyse job DMU50 0 0 0 -0.0004\n"
    "mode 4\n"
    "select faces 101 103 107 108\n"
    "set AngleSteps 2\n"
    "pick 30 -10 50 0 1 -1\n"
    "rows\n"
    "select none\n"
    "mode 5\n"
    "close\n");

} // namespace

HWND openAnalysisWindow(Session& s) { return analysisWindow(s); }

kvCTwPropertyCtrlBase* propertyControlShown(HWND window) { return shownPropertyControl(window); }

} // namespace hostsim
