// Commands for the tool position (mode 5): a job the script prepares (its
// machine, frame, tool with holder, milling area and feedback points) and
// starts the analysis with, a pick on a handle of the drawn tool, the
// collision library the host installs, and what the panel, the model's
// frames, the "Feedbacks" settings and the job show afterwards.
#include "args.h"
#include "script.h"
#include "session.h"
#include "text.h"
#include "toolpos_host.h"
#include "view.h"
#include "window_query.h"

#include "host/object/kvPropAccess.h"
#include "platform/afx.h"
#include "platform/kvPlatform.h"
#include "sdk/kvPropertyCtrl.h"
#include "sdk/kvValueSets.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <cstdio>
#include <ostream>

namespace hostsim {

namespace {

// What the next analyse-job starts with.
struct PreparedJob {
    bool prepared = false;
    std::wstring machine;
    double origin[3] = {0, 0, 0};
    double axis[3] = {0, 0, 1};
    bool hasTool = false;
    double tool[6] = {0, 0, 0, 0, 0, 0};  // diameter, length, holder 1 and 2 diameter and length
    int toolType = 0;                     // the tool's "Type" (12: its feedback point is half a diameter up)
    bool allFaces = true;
    std::vector<int> faces;
    bool feedback1 = false, feedback2 = false;
    double point1[3] = {0, 0, 0}, point2[3] = {0, 0, 0};
};

PreparedJob g_prepared;
// The job lent to the open window, while it lives (no reference: the
// window holds it, and the job clears this when it dies).
JobDefinition* g_lent = nullptr;


// Every number of these commands is a model coordinate or length, refused
// with its text when it is not a plain finite number within the limit.
std::vector<double> numbersOf(const std::vector<std::string>& words, std::size_t first)
{
    std::vector<double> values;
    for (std::size_t i = first; i < words.size(); ++i)
        values.push_back(numberArg(words[i], -kCoordinateLimit, kCoordinateLimit, "a coordinate or length"));
    return values;
}

CWnd* openWindow(Session& s)
{
    CWnd* window = s.document().window(kAnalysisWindowName);
    return window && window->GetSafeHwnd() && IsWindow(window->GetSafeHwnd()) ? window : nullptr;
}

PreparedJob& prepared()
{
    if (!g_prepared.prepared) throw ScriptError("no job prepared: use job MACHINE X Y Z first");
    return g_prepared;
}

// "job MACHINE X Y Z [NX NY NZ]": a job on that machine whose frame has its
// origin at (X, Y, Z) and its Z axis along (NX, NY, NZ); no tool yet, the
// whole part as its milling area, no feedback points.
void job(Session& s, const std::string& args)
{
    (void)s;
    const auto words = splitWords(args);
    if (words.size() != 4 && words.size() != 7) throw ScriptError("expected: job MACHINE X Y Z [NX NY NZ]");
    const std::vector<double> n = numbersOf(words, 1);
    PreparedJob next;
    next.prepared = true;
    next.machine = fromUtf8(words[0]);
    for (int k = 0; k < 3; ++k) next.origin[k] = n[k];
    if (n.size() == 6) {
        const double l = std::sqrt(n[3] * n[3] + n[4] * n[4] + n[5] * n[5]);
        if (l < 1e-9) throw ScriptError("the frame's axis is zero");
        for (int k = 0; k < 3; ++k) next.axis[k] = n[3 + k] / l;
    }
    g_prepared = next;
    s.out() << "job prepared on machine " << words[0] << ", frame at (" << fmt(n[0]) << ", " << fmt(n[1]) << ", "
            << fmt(n[2]) << ")\n";
}

// "job-tool DIAMETER LENGTH [HOLDER_DIAMETER HOLDER_LENGTH [DIAMETER2 LENGTH2]]"
// or "job-tool none".
void jobTool(Session& s, const std::string& args)
{
    PreparedJob& p = prepared();
    const auto words = splitWords(args);
    if (words.size() == 1 && words[0] == "none") {
        p.hasTool = false;
        s.out() << "job tool: none\n";
        return;
    }
    if (words.size() != 2 && words.size() != 4 && words.size() != 6)
        throw ScriptError("expected: job-tool DIAMETER LENGTH [HOLDER_DIAMETER HOLDER_LENGTH [D2 L2]] or none");
    const std::vector<double> n = numbersOf(words, 0);
    p.hasTool = true;
    p.toolType = 0;
    for (int i = 0; i < 6; ++i) p.tool[i] = i < static_cast<int>(n.size()) ? n[i] : 0.0;
    s.out() << "job tool: diameter " << fmt(n[0]) << ", length " << fmt(n[1]);
    if (n.size() >= 4) s.out() << ", holder " << fmt(n[2]) << " x " << fmt(n[3]);
    if (n.size() == 6) s.out() << " and " << fmt(n[4]) << " x " << fmt(n[5]);
    s.out() << '\n';
}

// "job-tool-type N": the prepared tool's "Type".
void jobToolType(Session& s, const std::string& args)
{
    PreparedJob& p = prepared();
    const std::vector<double> n = numbersOf(splitWords(args), 0);
    if (n.size() != 1 || n[0] != std::floor(n[0]) || n[0] < 0 || n[0] > 32767)
        throw ScriptError("expected one tool type number");
    p.toolType = static_cast<int>(n[0]);
    s.out() << "job tool type: " << p.toolType << '\n';
}

// "job-area all", "job-area none" or "job-area ID ...": the faces of the
// sample part in the job's milling area.
void jobArea(Session& s, const std::string& args)
{
    PreparedJob& p = prepared();
    const auto words = splitWords(args);
    if (words.empty()) throw ScriptError("expected all, none or face ids");
    p.faces.clear();
    p.allFaces = words.size() == 1 && words[0] == "all";
    if (!p.allFaces && !(words.size() == 1 && words[0] == "none")) {
        for (double id : numbersOf(words, 0)) {
            if (!samplePart().findFace(static_cast<int>(id)) || id != std::floor(id))
                throw ScriptError("the part has no face " + fmt(id));
            p.faces.push_back(static_cast<int>(id));
        }
    }
    s.out() << "job milling area: " << (p.allFaces ? std::string("all faces") : std::to_string(p.faces.size()) + " faces")
            << '\n';
}

// "job-feedback X Y Z [X2 Y2 Z2]" or "job-feedback off".
void jobFeedback(Session& s, const std::string& args)
{
    PreparedJob& p = prepared();
    const auto words = splitWords(args);
    if (words.size() == 1 && words[0] == "off") {
        p.feedback1 = p.feedback2 = false;
        s.out() << "job feedback points: off\n";
        return;
    }
    if (words.size() != 3 && words.size() != 6) throw ScriptError("expected: job-feedback X Y Z [X2 Y2 Z2] or off");
    const std::vector<double> n = numbersOf(words, 0);
    p.feedback1 = true;
    p.feedback2 = n.size() == 6;
    for (int k = 0; k < 3; ++k) {
        p.point1[k] = n[k];
        p.point2[k] = p.feedback2 ? n[3 + k] : 0.0;
    }
    s.out() << "job feedback points: " << (p.feedback2 ? "two" : "one") << '\n';
}

JobDefinition* makeJob(Session& s, const PreparedJob& p)
{
    JobDefinition* job = JobDefinition::create(p.machine, p.origin);
    job->setOutput(&s.out());
    kvCGeMatrix frame;
    frame.setFromArbitraryAxis(kvCGeVector(p.axis[0], p.axis[1], p.axis[2]));
    frame.setTranslation(kvCGePoint(p.origin[0], p.origin[1], p.origin[2]));
    propSet(&job->frame(), L"Matrix", frame);
    if (p.hasTool) {
        const wchar_t* keys[6] = {L"Diameter", L"Length", L"HolderDiameter1", L"HolderLength1", L"HolderDiameter2",
                                  L"HolderLength2"};
        for (int i = 0; i < 6; ++i) propSet(&job->tool(), keys[i], p.tool[i]);
        propSet(&job->tool(), L"Type", static_cast<short>(p.toolType));
    } else {
        // A job without a tool refers to none.
        job->settings().setPropRef(L"Tool", nullptr);
    }
    kvCSurfaceSet faces;
    for (const SampleFace& face : samplePart().faces()) {
        if (!p.allFaces && std::find(p.faces.begin(), p.faces.end(), face.id) == p.faces.end()) continue;
        FaceObject* object = FaceObject::create(face);
        faces.add(static_cast<kvIGeSurface*>(object));
        object->_relRef();
    }
    propSet(&job->millingArea(), L"Surfaces", faces);
    propSet(&job->settings(), L"TFBPointEnable", p.feedback1);
    propSet(&job->settings(), L"TFBPointEnable2", p.feedback2);
    if (p.feedback1) propSet(&job->settings(), L"TFBPoint", kvCGePoint(p.point1[0], p.point1[1], p.point1[2]));
    if (p.feedback2) propSet(&job->settings(), L"TFBPoint2", kvCGePoint(p.point2[0], p.point2[1], p.point2[2]));
    return job;
}

// Starts the analysis with the prepared job, as the job dialog does.
void analyseJob(Session& s, const std::string& args)
{
    if (!args.empty()) throw ScriptError("analyse-job takes no arguments");
    JobDefinition* job = makeJob(s, prepared());
    g_lent = job;
    job->watch(&g_lent);
    s.startAnalyseLending(job);
    s.out() << (openWindow(s) ? "analysis window open on the job\n" : "no analysis window\n");
}

// The property set the open window's panels share.
kvCPrPropertySet* windowProperties(Session& s)
{
    CWnd* window = openWindow(s);
    if (!window) throw ScriptError("no analysis window open");
    std::vector<HWND> all{window->GetSafeHwnd()};
    for (std::size_t i = 0; i < all.size(); ++i)
        for (HWND child : kvplat::childWindows(all[i])) all.push_back(child);
    for (HWND hwnd : all) {
        kvCTwPropertyCtrlBase* control = kvCTwPropertyCtrlBase::fromWindow(hwnd);
        if (control && control->propertySet()) return control->propertySet();
    }
    throw ScriptError("the window shows no property control");
}

// What the tool-position panel holds: the tool's frame, its length, the
// turning angles and the collision check's word.
void toolpos(Session& s, const std::string& args)
{
    if (!args.empty()) throw ScriptError("toolpos takes no arguments");
    kvCPrPropertySet* set = windowProperties(s);
    kvCGeMatrix frame;
    propGet(set, L"ToolPosFrameMat", frame);
    s.out() << "tool at " << describeFrame(frame.asDoubleMat()) << '\n';
    double diameter = 0.0, length = 0.0;
    if (propGet(set, L"Tool/Diameter", diameter) && propGet(set, L"Tool/Length", length))
        s.out() << "tool diameter " << fmt(diameter) << ", length " << fmt(length) << '\n';
    else
        s.out() << "tool: none\n";
    double a = 0, b = 0, c = 0;
    propGet(set, L"AAngle", a);
    propGet(set, L"BAngle", b);
    propGet(set, L"CAngle", c);
    s.out() << "angles A " << fmt(a) << ", B " << fmt(b) << ", C " << fmt(c) << '\n';
    kvCString message;
    propGet(set, L"Message", message);
    s.out() << "collision check: " << toUtf8(message.str()) << '\n';
}

// "handle A|B|C": a pick on that handle of the drawn tool (an entity in the
// handle's colour, with the views' flag for a handle pick).
void handle(Session& s, const std::string& args)
{
    static const std::map<std::string, int> indices = {{"A", 14}, {"B", 94}, {"C", 174}};
    const auto it = indices.find(args);
    if (it == indices.end()) throw ScriptError("expected A, B or C");
    kvCColor colour;
    colour.setFromAcadColorIndex(it->second);
    HandleEntity* entity = HandleEntity::create(colour.colorValue());
    double view[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, -1, 0}, {0, 0, 0, 1}};
    const double viewParameters[2] = {1.0, 100.0};
    const int reached = s.baseDocument().sendMouseEvent(1, 0.0, 0.0, viewParameters, view, 0,
                                                        static_cast<kvICadEntity*>(entity), nullptr, true);
    entity->_relRef();
    s.out() << "[view] pick on handle " << args << " sent to " << reached << " mouse reactor"
            << (reached == 1 ? "" : "s") << '\n';
}

// "frame-menu feedback" or "frame-menu axisline": the user right-clicks the
// new-frame button and chooses that item of the menu it shows.
void frameMenu(Session& s, const std::string& args)
{
    CWnd* window = openWindow(s);
    if (!window) throw ScriptError("no analysis window open");
    UINT command = 0;
    if (args == "feedback") command = 1081;
    else if (args == "axisline") command = 1082;
    else throw ScriptError("expected feedback or axisline");
    const HWND button = GetDlgItem(window->GetSafeHwnd(), 1036);
    if (!button || !visibleUpTo(button, window->GetSafeHwnd()))
        throw ScriptError("the new-frame button is not shown");
    bool shown = false;
    kvplat::setMenuChoiceHook([&](HMENU) {
        shown = true;
        return command;
    });
    // As the user clicks: the click at a point inside the button brings the
    // analysis window to the front first.
    const bool clicked = kvplat::rightClick(button, POINT{2, 2});
    kvplat::setMenuChoiceHook(nullptr);
    if (!clicked) throw ScriptError("the new-frame button cannot be clicked (hidden or disabled)");
    kvplat::pumpMessages();
    if (!shown) {
        s.out() << "the new-frame button shows no right-click menu\n";
        return;
    }
    const auto menu = kvplat::lastTrackedMenu();
    s.out() << "right-click menu:";
    for (const std::wstring& item : menu) s.out() << " \"" << toUtf8(item) << "\"";
    s.out() << "\nmenu command " << args << '\n';
}

// "collisionlib on|off|broken": the host installs the collision library,
// does not, or installs a file that is no library.
void collisionLib(Session& s, const std::string& args)
{
    if (args == "on")
        s.resources().setLibrary(L"kvCdTree.dll", KV_CDTREE_PATH);
    else if (args == "off")
        s.resources().setLibrary(L"kvCdTree.dll", std::string());
    else if (args == "broken")
        s.resources().setLibrary(L"kvCdTree.dll", KV_SIM_DATA_DIR "/Machines/DemoMill/table.stl");
    else
        throw ScriptError("expected on, off or broken");
    s.out() << "collision library: " << args << '\n';
}

void libraries(Session& s, const std::string& args)
{
    if (!args.empty()) throw ScriptError("libraries takes no arguments");
    const auto loaded = s.resources().loadedModules();
    s.out() << "modules loaded through the resource manager:";
    if (loaded.empty()) s.out() << " none";
    for (const std::wstring& file : loaded) s.out() << ' ' << toUtf8(file);
    s.out() << '\n';
}

void frames(Session& s, const std::string& args)
{
    if (!args.empty()) throw ScriptError("frames takes no arguments");
    s.model().frames().print(s.out());
}

void feedbacks(Session& s, const std::string& args)
{
    if (!args.empty()) throw ScriptError("feedbacks takes no arguments");
    s.out() << "\"Feedbacks\" settings:\n";
    s.document().feedbacks().print(s.out());
}

// The lent job's frame, tool and feedback points, while its window keeps it.
void jobShow(Session& s, const std::string& args)
{
    if (!args.empty()) throw ScriptError("job-show takes no arguments");
    if (!g_lent) throw ScriptError("no job is held by an analysis window");
    kvCPrPropertySet& settings = g_lent->settings();
    kvCGeMatrix frame;
    propGet(&settings, L"FrameRef/Matrix", frame);
    s.out() << "job frame: " << describeFrame(frame.asDoubleMat()) << '\n';
    double length = 0.0;
    if (propGet(&settings, L"Tool/Length", length)) s.out() << "job tool length: " << fmt(length) << '\n';
    bool on1 = false, on2 = false;
    kvCGePoint p1, p2;
    propGet(&settings, L"TFBPointEnable", on1);
    propGet(&settings, L"TFBPointEnable2", on2);
    propGet(&settings, L"TFBPoint", p1);
    propGet(&settings, L"TFBPoint2", p2);
    s.out() << "job feedback point 1: "
            << (on1 ? "(" + fmt(p1.x) + ", " + fmt(p1.y) + ", " + fmt(p1.z) + ")" : std::string("off")) << '\n';
    s.out() << "job feedback point 2: "
            << (on2 ? "(" + fmt(p2.x) + ", " + fmt(p2.y) + ", " + fmt(p2.z) + ")" : std::string("off")) << '\n';
}

const CommandRegistration registrations[] = {
    {"job", job},
    {"job-tool", jobTool},
    {"job-tool-type", jobToolType},
    {"job-area", jobArea},
    {"job-feedback", jobFeedback},
    {"analyse-job", analyseJob},
    {"job-show", jobShow},
    {"toolpos", toolpos},
    {"handle", handle},
    {"frame-menu", frameMenu},
    {"collisionlib", collisionLib},
    {"libraries", libraries},
    {"frames", frames},
    {"feedbacks", feedbacks},
};

} // namespace

} // namespace hostsim
