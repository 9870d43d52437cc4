// The host's component interfaces. Every interface derives from kvIUnknown and
// is asked for by its class name; the name comes from kvIfName<T>, declared
// next to each interface, so the text the host compares is always the class
// name itself.
//
// Conventions shared by all operations:
// - an out-parameter of interface type is a kvIUnknown** (the address that
//   kvIfPtrBase::operator& hands out); the host stores there the kvIUnknown
//   base of the named interface, carrying one reference for the caller, or
//   leaves it null;
// - operations that return int answer 0 for success unless said otherwise;
// - an operation a host does not implement answers failure (the defaults
//   below), so a host or a test fake implements only what it offers.
#pragma once

#include "platform/windows.h"
#include "host/object/kvArray.h"
#include "sdk/kvString.h"

class CWnd;
class kvCPrPropertySet;
class kvCGeContour3d;

// The name of an interface as the host compares it. Only declared interfaces
// have one: asking for an undeclared interface does not compile.
template <class T>
struct kvIfName;

#define KV_IF_WIDEN2(x) L##x
#define KV_IF_WIDEN(x) KV_IF_WIDEN2(x)
#define KV_IF_NAME(T)                                              \
    template <>                                                    \
    struct kvIfName<T> {                                           \
        static constexpr const wchar_t* value = KV_IF_WIDEN(#T);   \
    }

// ---------------------------------------------------------------- base

class kvIUnknown {
public:
    virtual bool addRef() = 0;
    virtual bool release() = 0;
    // The named interface of the object with one reference added, or null.
    virtual kvIUnknown* queryInterface(const wchar_t* name) = 0;

protected:
    ~kvIUnknown() = default;
};
KV_IF_NAME(kvIUnknown);

#define KV_DECLARE_EMPTY_INTERFACE(Name) \
    class Name : public kvIUnknown {     \
    protected:                           \
        ~Name() = default;               \
    };                                   \
    KV_IF_NAME(Name)

class kvIApplication1;
class kvIAppExecContext1;
class kvIMouseEventsReactor1;

// ---------------------------------------------------------------- the module's own

class kvIAppExtension1 : public kvIUnknown {
public:
    virtual bool init(kvIApplication1* application) = 0;
    virtual bool exit() = 0;
    virtual bool execCommand(const wchar_t* command, kvIAppExecContext1* context) = 0;

protected:
    ~kvIAppExtension1() = default;
};
KV_IF_NAME(kvIAppExtension1);

class kvITwAnalyseConnection : public kvIUnknown {
public:
    virtual int startAnalyse(kvTArray<kvIUnknown*>* params, kvIAppExecContext1* context) = 0;
    virtual int forwardToStartAnalyse(kvTArray<kvIUnknown*>* params, kvIAppExecContext1* context) = 0;

protected:
    ~kvITwAnalyseConnection() = default;
};
KV_IF_NAME(kvITwAnalyseConnection);

// ---------------------------------------------------------------- application and context

class kvIApplication1 : public kvIUnknown {
public:
    // Out: kvIResourceMgr1.
    virtual int getResourceManager(kvIUnknown** manager) { (void)manager; return -1; }
    // kind 0 notice, 1 question (answer 1 = yes), 3 error; the host's answer.
    virtual int messageBox(int kind, const wchar_t* text, int flags) { (void)kind; (void)text; (void)flags; return 0; }

protected:
    ~kvIApplication1() = default;
};
KV_IF_NAME(kvIApplication1);

class kvIAppExecContext1 : public kvIUnknown {
public:
    virtual int getApplication(kvIUnknown** application) { (void)application; return -1; }
    virtual int getBaseSystem(kvIUnknown** baseSystem) { (void)baseSystem; return -1; }
    virtual int getAppDocument(kvIUnknown** document) { (void)document; return -1; }
    virtual int getBaseDocument(kvIUnknown** document) { (void)document; return -1; }
    virtual int getHelpContext(kvIUnknown** helpContext) { (void)helpContext; return -1; }

protected:
    ~kvIAppExecContext1() = default;
};
KV_IF_NAME(kvIAppExecContext1);

class kvIBaseSystem1 : public kvIUnknown {
public:
    // The host's main window, or null.
    virtual int getMainWindow(HWND* window) { (void)window; return -1; }

protected:
    ~kvIBaseSystem1() = default;
};
KV_IF_NAME(kvIBaseSystem1);

class kvITarnwellApp1 : public kvIUnknown {
public:
    // 0 when the user chose a colour, which is then in *chosen.
    virtual int chooseColor(kvIAppExecContext1* context, unsigned long initial, unsigned long* chosen)
    { (void)context; (void)initial; (void)chosen; return -1; }

protected:
    ~kvITarnwellApp1() = default;
};
KV_IF_NAME(kvITarnwellApp1);

// ---------------------------------------------------------------- documents

class kvIAppDocument1 : public kvIUnknown {
public:
    virtual int getBaseDocument(kvIUnknown** document) { (void)document; return -1; }
    // Out: kvIDataSet1 of the named settings (e.g. "Feedbacks").
    virtual int getDataSet(const wchar_t* name, kvIUnknown** dataSet) { (void)name; (void)dataSet; return -1; }
    // Out: kvISelector1.
    virtual int getSelector(kvIUnknown** selector) { (void)selector; return -1; }
    // A window registered under a name is found by that name until unregistered.
    virtual int registerWindow(const wchar_t* name, CWnd* window) { (void)name; (void)window; return -1; }
    virtual int unregisterWindow(CWnd* window) { (void)window; return -1; }
    virtual int findWindow(const wchar_t* name, CWnd** window) { (void)name; (void)window; return -1; }
    // How many decimals the document shows its values with.
    virtual int getDisplayDecimals(int* decimals) { (void)decimals; return -1; }

protected:
    ~kvIAppDocument1() = default;
};
KV_IF_NAME(kvIAppDocument1);

class kvIBaseDocument1 : public kvIUnknown {
public:
    // Out: kvIBaseModel1.
    virtual int getBaseModel(kvIUnknown** model) { (void)model; return -1; }
    // Out: a new kvIBaseTmpGraphics group.
    virtual int getTmpGraphics(kvIUnknown** graphics) { (void)graphics; return -1; }
    virtual int layerNameState() { return 0; }
    virtual int getLayerName(wchar_t* buffer, int capacity) { (void)buffer; (void)capacity; return -1; }

protected:
    ~kvIBaseDocument1() = default;
};
KV_IF_NAME(kvIBaseDocument1);

class kvIBaseDocWithAnalyseShowMode : public kvIUnknown {
public:
    virtual int setAnalyseShowMode(int mode) { (void)mode; return -1; }
    // Non-zero: the document is in transparent mode.
    virtual int isTransparentMode() { return 0; }

protected:
    ~kvIBaseDocWithAnalyseShowMode() = default;
};
KV_IF_NAME(kvIBaseDocWithAnalyseShowMode);

class kvIBaseDocWithFeatureShowMode : public kvIUnknown {
public:
    // Non-zero: failed.
    virtual int setFeatureShowMode(int mode, int flag) { (void)mode; (void)flag; return -1; }

protected:
    ~kvIBaseDocWithFeatureShowMode() = default;
};
KV_IF_NAME(kvIBaseDocWithFeatureShowMode);

class kvIBaseDocWithColorSet : public kvIUnknown {
public:
    // Maps a colour into the document's colour set.
    virtual int setColorSet(unsigned long color, unsigned long* mapped) { (void)color; (void)mapped; return -1; }

protected:
    ~kvIBaseDocWithColorSet() = default;
};
KV_IF_NAME(kvIBaseDocWithColorSet);

class kvIBaseDocWithView : public kvIUnknown {
public:
    // 1 when the view offers the named function.
    virtual int hasViewFunction(const wchar_t* name) { (void)name; return 0; }
    virtual int fitViewToBox(const double first[3], const double second[3]) { (void)first; (void)second; return -1; }

protected:
    ~kvIBaseDocWithView() = default;
};
KV_IF_NAME(kvIBaseDocWithView);

class kvIInvDocument1 : public kvIUnknown {
public:
    virtual int beginLongOperation() { return -1; }
    virtual int endLongOperation() { return -1; }

protected:
    ~kvIInvDocument1() = default;
};
KV_IF_NAME(kvIInvDocument1);

class kvISWDocument1 : public kvIUnknown {
public:
    virtual int beginInsert(const double frame[4][4]) { (void)frame; return -1; }
    virtual int endInsert() { return -1; }

protected:
    ~kvISWDocument1() = default;
};
KV_IF_NAME(kvISWDocument1);

KV_DECLARE_EMPTY_INTERFACE(kvITDBaseDocument1);
KV_DECLARE_EMPTY_INTERFACE(kvITarnwellDoc2);

// ---------------------------------------------------------------- model and CAD entities

class kvITarnwellModel1 : public kvIUnknown {
public:
    virtual int onAnalysisClosed() { return 0; }

protected:
    ~kvITarnwellModel1() = default;
};
KV_IF_NAME(kvITarnwellModel1);

KV_DECLARE_EMPTY_INTERFACE(kvIAppModel1);

class kvIBaseModel1 : public kvIUnknown {
public:
    // kind 7 text, 1 line, 5 polyline. Out: the new entity.
    virtual int createEntity(int kind, kvIUnknown** entity) { (void)kind; (void)entity; return -1; }

protected:
    ~kvIBaseModel1() = default;
};
KV_IF_NAME(kvIBaseModel1);

// Optional face of a model that can take an entity out again; a host
// without it keeps whatever was written into its model.
class kvIBaseModelWithDelete : public kvIUnknown {
public:
    // Takes an entity of this model out again, as if it had never been
    // created; 0 when it is gone.
    virtual int deleteEntity(kvIUnknown* entity) { (void)entity; return -1; }

protected:
    ~kvIBaseModelWithDelete() = default;
};
KV_IF_NAME(kvIBaseModelWithDelete);

class kvICadEntity : public kvIUnknown {
public:
    virtual int getColor(unsigned long* color) { (void)color; return -1; }
    virtual int setColor(unsigned long color) { (void)color; return -1; }
    // *color holds the starting value and receives the colour to paint with.
    virtual int getDisplayColor(unsigned long* color) { (void)color; return -1; }
    virtual int updateDisplay() { return -1; }
    virtual int beginEdit() { return -1; }
    virtual int setLayer(const wchar_t* layer) { (void)layer; return -1; }
    virtual int endEdit() { return -1; }

protected:
    ~kvICadEntity() = default;
};
KV_IF_NAME(kvICadEntity);

class kvICadText : public kvICadEntity {
public:
    virtual int setPlacement(const double frame[4][4]) { (void)frame; return -1; }
    virtual int setGeometry(const wchar_t* text, const double direction[3], double height)
    { (void)text; (void)direction; (void)height; return -1; }

protected:
    ~kvICadText() = default;
};
KV_IF_NAME(kvICadText);

class kvICadLine : public kvICadEntity {
public:
    virtual int setGeometry(const double start[3], const double end[3]) { (void)start; (void)end; return -1; }

protected:
    ~kvICadLine() = default;
};
KV_IF_NAME(kvICadLine);

class kvICadPolyline : public kvICadEntity {
public:
    virtual int setGeometry(const double (*points)[3], int count) { (void)points; (void)count; return -1; }

protected:
    ~kvICadPolyline() = default;
};
KV_IF_NAME(kvICadPolyline);

class kvICadThick2dEntity : public kvICadEntity {
protected:
    ~kvICadThick2dEntity() = default;
};
KV_IF_NAME(kvICadThick2dEntity);

class kvIColorAttrib : public kvIUnknown {
public:
    virtual int getColor(unsigned long* color, int* kind) { (void)color; (void)kind; return -1; }
    virtual int setColor(unsigned long color, int kind) { (void)color; (void)kind; return -1; }

protected:
    ~kvIColorAttrib() = default;
};
KV_IF_NAME(kvIColorAttrib);

class kvISelector1 : public kvIUnknown {
public:
    virtual int setFilter(int filter) { (void)filter; return -1; }
    virtual int setMode(int mode) { (void)mode; return -1; }
    virtual int getCount() { return 0; }
    virtual int getItem(int index, kvIUnknown** item) { (void)index; (void)item; return -1; }

protected:
    ~kvISelector1() = default;
};
KV_IF_NAME(kvISelector1);

class kvIObjectEnum : public kvIUnknown {
public:
    virtual int reset() { return -1; }
    // Non-zero at the end of the enumeration.
    virtual int atEnd() { return 1; }
    // Out: the current object, possibly null.
    virtual int current(kvIUnknown** object) { (void)object; return -1; }
    virtual int next() { return -1; }

protected:
    ~kvIObjectEnum() = default;
};
KV_IF_NAME(kvIObjectEnum);

class kvIGenericObject : public kvIUnknown {
public:
    virtual int setReference(const wchar_t* name, kvIUnknown* object, int flags)
    { (void)name; (void)object; (void)flags; return -1; }
    // The object's own property set (a job's settings and references). The
    // object keeps it: it stays valid while the caller holds the object.
    virtual int getPropertySet(kvCPrPropertySet** set) { if (set) *set = nullptr; return -1; }

protected:
    ~kvIGenericObject() = default;
};
KV_IF_NAME(kvIGenericObject);

// ---------------------------------------------------------------- geometry

class kvIGeSurface : public kvIUnknown {
public:
    // The surface normal at a point of the surface; 2 when none can be given.
    virtual int getNormal(const double point[3], int flags, double normal[3])
    { (void)point; (void)flags; (void)normal; return 2; }

protected:
    ~kvIGeSurface() = default;
};
KV_IF_NAME(kvIGeSurface);

class kvIGeTrimmedSurfApprox : public kvIUnknown {
public:
    // Out: the trimmed surface (queried as kvIGeTrimmedSurface by the caller).
    virtual int getTrimmedSurface(double tolerance, kvIUnknown** surface)
    { (void)tolerance; (void)surface; return -1; }

protected:
    ~kvIGeTrimmedSurfApprox() = default;
};
KV_IF_NAME(kvIGeTrimmedSurfApprox);

class kvIGeTrimmedSurface : public kvIUnknown {
public:
    // Out: the untrimmed base surface.
    virtual int getBaseSurface(kvIUnknown** surface) { (void)surface; return -1; }

protected:
    ~kvIGeTrimmedSurface() = default;
};
KV_IF_NAME(kvIGeTrimmedSurface);

// A face as a surface with its boundary.
class kvIGeBoundedSurface : public kvIUnknown {
public:
    // Out: an object enumeration (kvIObjectEnum) of the face's boundary
    // curves (kvIGeCurve), and one of its loops, which may stay null. 0 when
    // the boundary was handed out.
    virtual int getBoundary(kvIUnknown** curves, kvIUnknown** loops)
    { (void)curves; (void)loops; return -1; }
    // 0 when answered, with *onFace non-zero when the point lies on the face
    // as trimmed, within the tolerance.
    virtual int isPointOnFace(const double point[3], double tolerance, int* onFace)
    { (void)point; (void)tolerance; (void)onFace; return -1; }

protected:
    ~kvIGeBoundedSurface() = default;
};
KV_IF_NAME(kvIGeBoundedSurface);
KV_DECLARE_EMPTY_INTERFACE(kvIGeCbSurface2);
// Several faces that the host keeps as one surface.
class kvIGeSurfaceQuilt : public kvIUnknown {
public:
    virtual int getFaceCount() { return 0; }
    // Out: face index of the quilt (0 when handed out).
    virtual int getFace(int index, kvIUnknown** face) { (void)index; (void)face; return -1; }

protected:
    ~kvIGeSurfaceQuilt() = default;
};
KV_IF_NAME(kvIGeSurfaceQuilt);
KV_DECLARE_EMPTY_INTERFACE(kvIGeMesh);
KV_DECLARE_EMPTY_INTERFACE(kvIGeArc);
// A curve of the model, by its parameter.
class kvIGeCurve : public kvIUnknown {
public:
    // 0 with the curve's first and last parameter.
    virtual int getParameterRange(double* start, double* end) { (void)start; (void)end; return -1; }
    // 0 with the curve's point at parameter t.
    virtual int getPoint(double t, double point[3]) { (void)t; (void)point; return -1; }

protected:
    ~kvIGeCurve() = default;
};
KV_IF_NAME(kvIGeCurve);

class kvIGeLine : public kvIUnknown {
public:
    virtual int getEndPoints(double start[3], double end[3]) { (void)start; (void)end; return -1; }

protected:
    ~kvIGeLine() = default;
};
KV_IF_NAME(kvIGeLine);

class kvIGePoint : public kvIUnknown {
public:
    virtual int getPosition(double point[3]) { (void)point; return -1; }

protected:
    ~kvIGePoint() = default;
};
KV_IF_NAME(kvIGePoint);

// ---------------------------------------------------------------- graphics and input

class kvIBaseTmpGraphics : public kvIUnknown {
public:
    virtual int setVisible(int visible) { (void)visible; return -1; }
    // Draws a coordinate system: the axes of frame (row-major, translation in
    // the last column) with the given length, one colour per axis.
    virtual int drawCs(const double frame[4][4], double size, unsigned long xColour, unsigned long yColour,
                       unsigned long zColour, int flags)
    { (void)frame; (void)size; (void)xColour; (void)yColour; (void)zColour; (void)flags; return -1; }
    // The drawing calls behind the host library's draw functions
    // (sdk/kvTmpGraphics.h). Points are in model coordinates unless a frame
    // is given; a frame places what is drawn in its local coordinates.
    virtual int drawLine(const double start[3], const double end[3], unsigned long colour, int flag,
                         const wchar_t* name, const double frame[4][4], double width, unsigned long colour2,
                         int flag2)
    { (void)start; (void)end; (void)colour; (void)flag; (void)name; (void)frame; (void)width; (void)colour2;
      (void)flag2; return -1; }
    // A contour approximated within tolerance. filled: its inside filled
    // (the analysis draws outlines only). points is the caller's buffer for
    // the approximation points, kept by the caller from one call to the next.
    virtual int drawContour(const kvCGeContour3d& contour, double tolerance, bool filled, unsigned long colour,
                            int flag, const wchar_t* name, const double frame[4][4], double width,
                            unsigned long colour2, int flag2, kvTArray<double[3]>& points)
    { (void)contour; (void)tolerance; (void)filled; (void)colour; (void)flag; (void)name; (void)frame; (void)width;
      (void)colour2; (void)flag2; (void)points; return -1; }
    // A cone (an arrowhead) along the frame's Z axis from its origin.
    virtual int drawCone(double tipRadius, double baseRadius, double height, bool closeTip, bool closeBase,
                         int facets, unsigned long colour, const double frame[4][4])
    { (void)tipRadius; (void)baseRadius; (void)height; (void)closeTip; (void)closeBase; (void)facets;
      (void)colour; (void)frame; return -1; }
    virtual int drawText(const wchar_t* text, const double frame[4][4], double height, unsigned long colour,
                         int flag)
    { (void)text; (void)frame; (void)height; (void)colour; (void)flag; return -1; }
    // A closed profile of count points in the frame's XY plane, extruded.
    virtual int drawExtrusion(const double (*profile)[3], int count, double height, unsigned long colour,
                              const double frame[4][4], const double direction[3], const double extrusion[3])
    { (void)profile; (void)count; (void)height; (void)colour; (void)frame; (void)direction; (void)extrusion;
      return -1; }

protected:
    ~kvIBaseTmpGraphics() = default;
};
KV_IF_NAME(kvIBaseTmpGraphics);

class kvIMoveableBaseTmpGraphics : public kvIBaseTmpGraphics {
protected:
    ~kvIMoveableBaseTmpGraphics() = default;
};
KV_IF_NAME(kvIMoveableBaseTmpGraphics);

KV_DECLARE_EMPTY_INTERFACE(kvIStlTmpGraphics);

// What the host's views call for every mouse event.
class kvIMouseEventsReactor1 : public kvIUnknown {
public:
    // view is the view's row-major 4x4 matrix (row 2 the view direction, row 3
    // the cursor in model coordinates); viewParameters[1] the snap radius;
    // hitPoint (three doubles) is read only when hitObject is given.
    virtual void onMouseEvent(int event, double x, double y, int reserved1, const double* viewParameters,
                              double view[4][4], int reserved2, int state, kvIUnknown* hitObject,
                              const double* hitPoint, bool flag) = 0;

protected:
    ~kvIMouseEventsReactor1() = default;
};
KV_IF_NAME(kvIMouseEventsReactor1);

class kvIMouseEvents1 : public kvIUnknown {
public:
    virtual int addReactor(kvIMouseEventsReactor1* reactor) { (void)reactor; return -1; }
    // After this the reactor gets no more events.
    virtual int removeReactor(kvIMouseEventsReactor1* reactor) { (void)reactor; return -1; }

protected:
    ~kvIMouseEvents1() = default;
};
KV_IF_NAME(kvIMouseEvents1);

// ---------------------------------------------------------------- settings and resources

class kvIDataSet1 : public kvIUnknown {
public:
    // The value stored under the key, 0 when there is none.
    virtual unsigned long getColor(const wchar_t* key) { (void)key; return 0; }
    virtual double getDouble(const wchar_t* key) { (void)key; return 0.0; }
    // False when there is none.
    virtual bool getBool(const wchar_t* key) { (void)key; return false; }
    // 0 and the text when the key holds one; value is left as it is otherwise.
    virtual int getString(const wchar_t* key, kvCString& value) { (void)key; (void)value; return -1; }

protected:
    ~kvIDataSet1() = default;
};
KV_IF_NAME(kvIDataSet1);


class kvIResourceMgr1 : public kvIUnknown {
public:
    // Loads a resource module by file name; *module is non-null on success.
    virtual int loadModule(const wchar_t* fileName, HMODULE* module) { (void)fileName; (void)module; return -1; }
    virtual int freeModule(HMODULE module) { (void)module; return -1; }
    // The host's base folder, ending in a path separator.
    virtual int getBaseFolder(wchar_t* buffer, int capacity) { (void)buffer; (void)capacity; return -1; }

protected:
    ~kvIResourceMgr1() = default;
};
KV_IF_NAME(kvIResourceMgr1);

class kvIResourceMgr2 : public kvIUnknown {
public:
    // A terminated language name such as "English" or "German".
    virtual int getLanguageName(wchar_t* buffer, int capacity) { (void)buffer; (void)capacity; return -1; }

protected:
    ~kvIResourceMgr2() = default;
};
KV_IF_NAME(kvIResourceMgr2);

KV_DECLARE_EMPTY_INTERFACE(kvIResourceMgr3);

// The host's language texts: the text of a key in a text file ("twUiCyc.loc")
// in the user's language. Offered by the host's resource manager; message
// entries (kvCMsgEnt) use it and fall back to their default text without it.
class kvITextLookup1 : public kvIUnknown {
public:
    // 0 and a terminated text when the file holds the key.
    virtual int lookupText(const wchar_t* file, const wchar_t* key, wchar_t* buffer, int capacity)
    { (void)file; (void)key; (void)buffer; (void)capacity; return -1; }

protected:
    ~kvITextLookup1() = default;
};
KV_IF_NAME(kvITextLookup1);

class kvIHelpContext1 : public kvIUnknown {
public:
    virtual int clearContext() { return -1; }
    virtual int setContext(const wchar_t* key) { (void)key; return -1; }
    virtual int showHelp() { return -1; }
    virtual int onWindowClosed() { return 0; }

protected:
    ~kvIHelpContext1() = default;
};
KV_IF_NAME(kvIHelpContext1);

KV_DECLARE_EMPTY_INTERFACE(kvITDSystem1);

// ---------------------------------------------------------------- jobs and tools

KV_DECLARE_EMPTY_INTERFACE(kvITwCycleJobDef1);
KV_DECLARE_EMPTY_INTERFACE(kvITwTool1);
KV_DECLARE_EMPTY_INTERFACE(kvITwToolSet1);
KV_DECLARE_EMPTY_INTERFACE(kvITwToolSet2);
KV_DECLARE_EMPTY_INTERFACE(kvITwToolDatabaseCall1);
KV_DECLARE_EMPTY_INTERFACE(kvITwMillingArea2);
KV_DECLARE_EMPTY_INTERFACE(kvICfgIO1);
KV_DECLARE_EMPTY_INTERFACE(kvICfgOStream1);
KV_DECLARE_EMPTY_INTERFACE(kvICfgIStream1);
KV_DECLARE_EMPTY_INTERFACE(kvITwToolExport);
KV_DECLARE_EMPTY_INTERFACE(kvITwToolImport);

// The tool position's interfaces: frames, feedback settings, host parameters
// and the solid temporary graphics.
#include "sdk/kvToolInterfaces.h"

// Every declared interface, for code that walks them all.
#define KV_FOR_EACH_INTERFACE(X)                                                            \
    X(kvIUnknown) X(kvIAppExtension1) X(kvITwAnalyseConnection) X(kvIApplication1)          \
    X(kvIAppExecContext1) X(kvIBaseSystem1) X(kvITarnwellApp1) X(kvIAppDocument1)           \
    X(kvIBaseDocument1) X(kvIBaseDocWithAnalyseShowMode) X(kvIBaseDocWithFeatureShowMode)   \
    X(kvIBaseDocWithColorSet) X(kvIBaseDocWithView) X(kvIInvDocument1) X(kvISWDocument1)    \
    X(kvITDBaseDocument1) X(kvITarnwellDoc2) X(kvITarnwellModel1) X(kvIAppModel1)           \
    X(kvIBaseModel1) X(kvICadEntity) X(kvICadText) X(kvICadLine) X(kvICadPolyline)          \
    X(kvICadThick2dEntity) X(kvIColorAttrib) X(kvISelector1) X(kvIObjectEnum)               \
    X(kvIGenericObject) X(kvIGeSurface) X(kvIGeTrimmedSurfApprox) X(kvIGeTrimmedSurface)    \
    X(kvIGeBoundedSurface) X(kvIGeCbSurface2) X(kvIGeSurfaceQuilt) X(kvIGeMesh)             \
    X(kvIGeArc) X(kvIGeCurve) X(kvIGeLine) X(kvIGePoint) X(kvIBaseTmpGraphics)              \
    X(kvIMoveableBaseTmpGraphics) X(kvITDTmpGraphicsExt) X(kvIStlTmpGraphics)               \
    X(kvIMouseEventsReactor1) X(kvIMouseEvents1) X(kvIDataSet1) X(kvISWParameter1)          \
    X(kvIResourceMgr1) X(kvIResourceMgr2) X(kvIResourceMgr3) X(kvITextLookup1)              \
    X(kvIHelpContext1) X(kvITDSystem1) X(kvITwCycleJobDef1) X(kvITwTool1) X(kvITwToolSet1)  \
    X(kvITwToolSet2) X(kvITwToolDatabaseCall1) X(kvITwFrame1) X(kvITwFrameSet1)             \
    X(kvITwMillingArea2) X(kvIFeedback1) X(kvICfgIO1) X(kvICfgOStream1) X(kvICfgIStream1)   \
    X(kvITwToolExport) X(kvITwToolImport)
