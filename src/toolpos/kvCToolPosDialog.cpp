// The tool-position panel: its property tables, the collision set-up, the
// tool's place and turning it by the mouse.
#include "toolpos/kvCToolPosDialog.h"

#include "analyse/kvAnalyseException.h"
#include "analyse/kvAnalyseKeys.h"
#include "analyse/kvAnalyseLastSettings.h"
#include "analyse/kvCAnalyseDlg.h"
#include "geom/geom.h"
#include "host/object/kvPropAccess.h"
#include "sdk/kvFeatureHelp.h"
#include "sdk/kvMsgEnt.h"
#include "sdk/kvValueSets.h"
#include "toolpos/kvCCollisionCheck.h"
#include "toolpos/kvPartMesh.h"
#include "toolpos/kvToolPlacement.h"

#include <cmath>
#include <cwchar>
#include <filesystem>
#include <functional>
#include <string>

namespace {

// The collision precision when the settings give none: the chord tolerance
// of the part model and the tip's lift off a face it rests on.
const double kDefaultPrecision = 0.01;
// The smallest hole or island of a face that the part model is sure to
// show: the faces are sampled at least this finely before they are cut to
// their boundaries.
const double kSmallestTrimFeature = 4.0;

const wchar_t* const kMouseFlags[] = {kvKeyAAngleMouse, kvKeyBAngleMouse, kvKeyCAngleMouse};
const wchar_t* const kAngles[] = {kvKeyAAngle, kvKeyBAngle, kvKeyCAngle};

}  // namespace

const wchar_t* const kvCToolPosDialog::feedbackStatusName = L"SW_SF_STAT";

const KVPROP_DLGMSGMAP_ENTRY kvCToolPosDialog::sMsgEntries[] = {
    KVPROP_DLGMSG_ENTRY(KVPROP_EVT_VALUECHANGED, kvKeyAAngle, &kvCToolPosDialog::onPositionChanged),
    KVPROP_DLGMSG_ENTRY(KVPROP_EVT_VALUECHANGED, kvKeyBAngle, &kvCToolPosDialog::onPositionChanged),
    KVPROP_DLGMSG_ENTRY(KVPROP_EVT_VALUECHANGED, kvKeyCAngle, &kvCToolPosDialog::onPositionChanged),
    KVPROP_DLGMSG_ENTRY(KVPROP_EVT_VALUECHANGED, kvKeyAAngleMouse, &kvCToolPosDialog::onMouseAngleFlag),
    KVPROP_DLGMSG_ENTRY(KVPROP_EVT_VALUECHANGED, kvKeyBAngleMouse, &kvCToolPosDialog::onMouseAngleFlag),
    KVPROP_DLGMSG_ENTRY(KVPROP_EVT_VALUECHANGED, kvKeyCAngleMouse, &kvCToolPosDialog::onMouseAngleFlag),
    KVPROP_DLGMSG_END()
};
const KVPROP_DLGMSGMAP kvCToolPosDialog::sMessageMap = {&kvCDlgBase::sGetMessageMap, kvCToolPosDialog::sMsgEntries};
const KVPROP_STDCTRL_ENTRY kvCToolPosDialog::sStdCtrlEntries[] = {
    KVPROP_STDCTRL_END()
};
const KVPROP_STDCTRL kvCToolPosDialog::sStdCtrls = {&kvCDlgBase::sGetStdCtrls, kvCToolPosDialog::sStdCtrlEntries};

kvCToolPosDialog::kvCToolPosDialog() : m_check(new kvCCollisionCheck()) {}

kvCToolPosDialog::~kvCToolPosDialog()
{
    releaseGraphics();
    newFrame.detach();
    m_check.reset();
}

const KVPROP_DLGMSGMAP* kvCToolPosDialog::getMessageMap() const
{
    return &sMessageMap;
}

const KVPROP_STDCTRL* kvCToolPosDialog::getStdCtrls() const
{
    return &sStdCtrls;
}

BOOL kvCToolPosDialog::OnInitDialog()
{
    return kvCSingleFaceSelDialog::OnInitDialog();
}

void kvCToolPosDialog::reInitialize()
{
    kvCDlgBase::reInitialize();
    fillToolInfo();
}

// The panel's lines: the tool's place and turning angles, the length offset
// and the check's word.
void kvCToolPosDialog::fillToolInfo()
{
    try {
        kvCTwPropertyCtrlBase::reInitialize();
        kvIfPtr<kvIApplication1> app;
        if (execContext())
            execContext()->getApplication(&app);
        auto text = [&app](const wchar_t* key) { return kvCMsgEnt(key).getEntry(app.getIf()); };
        const ePropCtrlType plain = static_cast<ePropCtrlType>(0);
        const ePropCtrlType line = static_cast<ePropCtrlType>(15);
        const nCads::eGeoAssociateType noGeo = static_cast<nCads::eGeoAssociateType>(0);
        const nCads::eParameterType noPar = static_cast<nCads::eParameterType>(0);
        // The check's word is the panel's to write, not the user's.
        if (mpProp && !mpProp->hasProp(kvKeyMessage))
            propSet(mpProp, kvKeyMessage, kvCString());
        kvCPropertySetUtil(mpProp).setReadOnly(kvKeyMessage, true);
        addCategory(L"ToolPos", text(L"twUiCyc.loc|AnaToolPos|Tool position analyse"), true);
        addProperty(L"ToolPos", kvKeyMessage, text(L"twUiCyc.loc|TpMessage|Collision check"), line, noGeo, noPar,
                    -1, true);
        addProperty(L"ToolPos", kvKeyAAngle, text(L"twUiCyc.loc|TpAAngle|A angle"), plain, noGeo, noPar, -1, true);
        addProperty(L"ToolPos", kvKeyBAngle, text(L"twUiCyc.loc|TpBAngle|B angle"), plain, noGeo, noPar, -1, true);
        addProperty(L"ToolPos", kvKeyCAngle, text(L"twUiCyc.loc|TpCAngle|C angle"), plain, noGeo, noPar, -1, true);
        addProperty(L"ToolPos", kvKeyToolLengthOffset, text(L"twUiCyc.loc|TpLenOffset|Tool length offset"), plain,
                    noGeo, noPar, -1, true);
    } catch (...) {
        showException(L"Exception in kvAnalyse (Plan 26)");
    }
}

void kvCToolPosDialog::showException(const wchar_t* text)
{
    kvShowAnalyseException(execContext(), text);
}

void kvCToolPosDialog::setMessage(const kvCString& text)
{
    m_verdict = text;
    m_note = kvCString();
    showMessage();
}

void kvCToolPosDialog::setNote(const kvCString& text)
{
    m_note = text;
    showMessage();
}

// One line: the check's word first, then what the set-up found wanting and
// what the last action did.
void kvCToolPosDialog::showMessage()
{
    if (!mpProp)
        return;
    kvCString line = m_verdict;
    for (const kvCString* part : {&m_setupNote, &m_note}) {
        if (part->isEmpty())
            continue;
        if (!line.isEmpty())
            line += L"; ";
        line += *part;
    }
    propSet(mpProp, kvKeyMessage, line);
}

bool kvCToolPosDialog::collisionReady() const
{
    return m_check && m_check->isLoaded() && m_check->hasTool();
}

double kvCToolPosDialog::chordTolerance() const
{
    double precision = 0.0;
    propGet(mpProp, kvKeyStarPRECISION, precision);
    return std::isfinite(precision) && precision > 0.0 ? precision : kDefaultPrecision;
}

bool kvCToolPosDialog::readTool(kvToolDimensions& tool, kvCString& problem) const
{
    return kvReadToolDimensions(mpProp ? mpProp->getPropSet(kvKeyTool) : nullptr, tool, problem);
}

bool kvCToolPosDialog::sendTool(const kvToolDimensions& tool, kvCString& problem)
{
    return m_check->setTool(kvToolCylinders(tool, chordTolerance()), problem);
}

// ---------------------------------------------------------------- collision set-up

void kvCToolPosDialog::setupCollisionCheck(void*)
{
    try {
        m_check->unload();
        m_collision = collisionUnknown;
        // A length found free belongs to the tool it was found for: a job
        // set up anew brings its own tool, which a new offset must not
        // lengthen from the last job's.
        m_freeLengthKnown = false;
        m_verdict = kvCString();
        m_note = kvCString();
        m_setupNote = kvCString();
        kvAnalyseLastSettings* last = nullptr;
        if (owner())
            owner()->getLastSettings(&last);
        kvCString problem;
        bool ready = false;
        kvIfPtr<kvIApplication1> app;
        if (execContext())
            execContext()->getApplication(&app);
        kvToolDimensions tool;
        if (!readTool(tool, problem)) {
            // Nothing to check without a usable tool; the library stays unloaded.
        } else if (m_check->load(app.getIf(), problem)) {
            ready = buildPartModel(problem) && sendTool(tool, problem);
            if (ready) {
                addMachineModels();
                m_tool = tool;
                m_toolKnown = true;
            } else {
                m_check->unload();
            }
        }
        // Only a check that was built switches the check on and is kept for
        // the next opening; a failed one leaves the settings as they were.
        if (ready) {
            propSet(mpProp, kvKeyToolCollisionCheck, 1);
            if (last) {
                last->collisionValid = true;
                last->toolCollisionCheck = true;
                last->precision = chordTolerance();
            }
        } else {
            setMessage(problem);
        }
        redrawToolPosition(true, ready);
    } catch (...) {
        // Nothing half built stays: no check at all rather than one without
        // its part or tool.
        m_check->unload();
        showException(L"Exception in kvAnalyse (Plan 17)");
    }
}

namespace {

// Whether a point of a face's surface lies on the face as the host trims
// it; a face whose host does not answer is its whole surface.
class FaceTrim {
public:
    FaceTrim(kvIUnknown* face, double tolerance) : m_bounded(face), m_tolerance(tolerance) {}
    bool operator()(const GeomPoint& p)
    {
        if (m_bounded.isNull() || !m_answers)
            return true;
        const double point[3] = {p.x, p.y, p.z};
        int on = 0;
        if (m_bounded->isPointOnFace(point, m_tolerance, &on) != 0) {
            m_answers = false;
            return true;
        }
        return on != 0;
    }

private:
    kvIfPtr<kvIGeBoundedSurface> m_bounded;
    double m_tolerance;
    bool m_answers = true;
};

}  // namespace

// The milling area's faces, each tessellated from its surface and cut to
// the face, so that holes and pockets stay open.
bool kvCToolPosDialog::buildPartModel(kvCString& problem)
{
    kvCSurfaceSet faces;
    const kvCPrPropertySet* area = mpProp->getPropSet(kvKeyMillAreaRef);
    if (!area || !propGet(area, kvKeySurfaces, faces) || faces.count() == 0) {
        problem = L"The milling area holds no faces";
        return false;
    }
    kvPartMesh mesh;
    const double tolerance = chordTolerance();
    kvCFeatureHelp library;
    for (unsigned int i = 0; i < faces.count(); ++i) {
        kvIUnknown* face = faces.getAt(i);
        RatBSplSurf* surface = library.newRatBSplSurf(face);
        if (!surface)
            continue;
        FaceTrim trim(face, tolerance);
        kvTessellateTrimmedFace(surface, std::ref(trim), tolerance, kSmallestTrimFeature, mesh);
        ratBSplSurfFree(surface);
    }
    if (mesh.triangleCount() == 0) {
        problem = L"The milling area's faces give no surface to check against";
        return false;
    }
    return m_check->setPart(mesh, problem);
}

// The STL files of the machine's folder under the host's base folder. What
// keeps a model out is said after the check's word; the part is checked
// whatever the machine gives.
void kvCToolPosDialog::addMachineModels()
{
    kvCString machine;
    if (!propGet(mpProp, kvKeyMachine, machine))
        machine = kvCString();
    kvIfPtr<kvIApplication1> app;
    if (execContext())
        execContext()->getApplication(&app);
    kvIfPtr<kvIResourceMgr1> manager;
    if (!app.isNull())
        app->getResourceManager(&manager);
    std::wstring base;
    if (!kvHostBaseFolder(manager.getIf(), base)) {
        m_setupNote = L"no machine model loaded: the host gives no base folder";
        return;
    }
    const kvMachineModels models = kvFindMachineModels(base, machine.str());
    const std::wstring folder = L"Machines/" + machine.str();
    switch (models.state) {
    case kvMachineModels::noName:
        m_setupNote = L"no machine model loaded: the job names no machine";
        return;
    case kvMachineModels::badName:
        m_setupNote = kvCString(L"no machine model loaded: the machine name \"") + machine +
                      L"\" is not one folder name";
        return;
    case kvMachineModels::noFolder:
        m_setupNote = kvCString(L"no machine model loaded: there is no folder ") + folder.c_str() +
                      L" in the host's base folder";
        return;
    case kvMachineModels::noFiles:
        m_setupNote = kvCString(L"no machine model loaded: the folder ") + folder.c_str() + L" holds no STL file";
        return;
    case kvMachineModels::found:
        break;
    }
    std::vector<kvCString> notes;
    for (const std::string& file : models.files) {
        int skipped = 0;
        const int added = m_check->addMachineStl(file, &skipped);
        const kvCString name(std::filesystem::path(file).filename().wstring().c_str());
        if (added < 0)
            notes.push_back(kvCString(L"machine model ") + name + L" " + kvMachineModelProblem(added));
        else if (skipped > 0)
            notes.push_back(kvCString(L"machine model ") + name + L": " + std::to_wstring(skipped).c_str() +
                            (skipped == 1 ? L" triangle" : L" triangles") + L" without area left out");
    }
    if (m_check->machineCount() == 0)
        notes.insert(notes.begin(), kvCString(L"no machine model loaded"));
    for (const kvCString& note : notes) {
        if (!m_setupNote.isEmpty())
            m_setupNote += L"; ";
        m_setupNote += note;
    }
}

// ---------------------------------------------------------------- the tool's place

void kvCToolPosDialog::activatePage()
{
    try {
        m_newToolMark = false;
        redrawToolPosition(true, true);
    } catch (...) {
        showException(L"Exception in kvAnalyse (Plan 25)");
    }
}

void kvCToolPosDialog::onPositionChanged(const wchar_t*)
{
    redrawToolPosition(true, true);
}

void kvCToolPosDialog::placeAt(const kvCGeMatrix& faceFrame)
{
    if (!mpProp)
        return;
    propSet(mpProp, kvKeyToolPosFaceMat, faceFrame);
    m_placed = true;
    redrawToolPosition(true, true);
}

void kvCToolPosDialog::redrawToolPosition(bool recompute, bool check)
{
    try {
        if (!mpProp)
            return;
        if (recompute) {
            kvCGeMatrix base;
            double angles[3];
            readPlacement(base, angles);
            m_toolFrame = kvToolFrame(base, angles[0], angles[1], angles[2]);
            propSet(mpProp, kvKeyToolPosFrameMat, m_toolFrame);
            kvToolDimensions tool;
            kvCString problem;
            m_toolKnown = readTool(tool, problem);
            if (m_toolKnown) {
                m_tool = tool;
                if (m_check->isLoaded() && !sendTool(tool, problem))
                    m_check->unload();
                else
                    problem = kvCString();
            }
            if (!problem.isEmpty()) {
                // No verdict of the tool before stays beside one that cannot be checked.
                m_collision = collisionUnknown;
                setMessage(problem);
            }
        }
        if (!m_placed)
            return;
        if (check && collisionReady() && m_toolKnown) {
            kvCdHit hit;
            const int result = m_check->test(m_toolFrame, &hit);
            if (result == 1) {
                m_collision = collisionHit;
                setMessage(kvCString(L"Collision: the ") + kvToolBodyName(hit.body) +
                           (hit.obstacle == kvCdObstacleMachine ? L" meets the machine" : L" meets the part"));
            } else if (result == 0) {
                m_collision = collisionFree;
                setMessage(kvCString(L"No collision"));
            } else {
                m_collision = collisionUnknown;
                setMessage(kvCString(L"The collision test failed"));
            }
        }
        drawTool();
        if (owner() && m_mouseAxis < 0)
            owner()->setMouseReactorMatrix(m_toolFrame);
    } catch (...) {
        showException(L"Exception in kvAnalyse (Plan 18)");
    }
}

// ---------------------------------------------------------------- turning by the mouse

bool kvCToolPosDialog::isMouseAngleActive() const
{
    for (const wchar_t* key : kMouseFlags) {
        bool on = false;
        if (mpProp && propGet(mpProp, key, on) && on)
            return true;
    }
    return false;
}

// A flag switched on starts a turn about its axis, measured in the plane
// through the tip across that axis.
void kvCToolPosDialog::onMouseAngleFlag(const wchar_t* name)
{
    if (m_inMouseTurn)
        return;
    for (int axis = 0; axis < 3; ++axis) {
        bool on = false;
        if (std::wcscmp(name, kMouseFlags[axis]) != 0 || !propGet(mpProp, kMouseFlags[axis], on) || !on)
            continue;
        m_mouseAxis = axis;
        m_mouseReferenceSet = false;
        m_mousePlane = turningPlane(axis);
        if (owner())
            owner()->beginMouseTurn(m_mousePlane);
    }
}

void kvCToolPosDialog::readPlacement(kvCGeMatrix& base, double angles[3]) const
{
    base = kvCGeMatrix();
    propGet(mpProp, kvKeyToolPosFaceMat, base);
    for (int i = 0; i < 3; ++i) {
        angles[i] = 0.0;
        propGet(mpProp, kAngles[i], angles[i]);
    }
}

kvCGeMatrix kvCToolPosDialog::turningPlane(int axis) const
{
    kvCGeMatrix base;
    double angles[3];
    readPlacement(base, angles);
    return kvMouseAnglePlane(base, angles[0], angles[1], angles[2], static_cast<kvToolAxis>(axis));
}

void kvCToolPosDialog::turnToolByMouse(double x, double y)
{
    try {
        if (m_mouseAxis < 0 || !std::isfinite(x) || !std::isfinite(y))
            return;
        const double angle = kvMouseAngleDegrees(x, y);
        if (!m_mouseReferenceSet) {
            // The first position only says where the turn starts.
            m_mouseReferenceSet = true;
            m_mouseReference = angle;
            m_mouseStartAngle = 0.0;
            propGet(mpProp, kAngles[m_mouseAxis], m_mouseStartAngle);
            return;
        }
        const double turned = kvNormaliseAngle(m_mouseStartAngle + angle - m_mouseReference);
        // The tool is drawn at once; the check waits for the turn's end, and
        // until then no verdict of the place it left stays in view.
        double shown = 0.0;
        propGet(mpProp, kAngles[m_mouseAxis], shown);
        if (turned != shown && m_collision != collisionUnknown) {
            m_collision = collisionUnknown;
            setMessage(kvCString(L"Not checked while the tool is turned: a pick sets it down and checks it"));
        }
        m_inMouseTurn = true;
        suspendEvents(true);
        propSet(mpProp, kAngles[m_mouseAxis], turned);
        suspendEvents(false);
        m_inMouseTurn = false;
        redrawToolPosition(true, false);
    } catch (...) {
        suspendEvents(false);
        m_inMouseTurn = false;
        showException(L"Exception in kvAnalyse (Plan 23)");
    }
}

void kvCToolPosDialog::finishMouseAngle()
{
    try {
        m_inMouseTurn = true;
        for (const wchar_t* key : kMouseFlags)
            propSet(mpProp, key, false);
        m_inMouseTurn = false;
        m_mouseAxis = -1;
        m_mouseReferenceSet = false;
        redrawToolPosition(true, true);
    } catch (...) {
        m_inMouseTurn = false;
        showException(L"Exception in kvAnalyse (Plan 23)");
    }
}

void kvCToolPosDialog::endMouseTurn()
{
    m_mouseAxis = -1;
    m_mouseReferenceSet = false;
    if (!mpProp)
        return;
    m_inMouseTurn = true;
    for (const wchar_t* key : kMouseFlags)
        propSet(mpProp, key, false);
    m_inMouseTurn = false;
}

void kvCToolPosDialog::trackToolAxisWithMouse()
{
    if (owner() && m_mouseAxis < 0)
        owner()->setMouseReactorMatrix(m_toolFrame);
}
