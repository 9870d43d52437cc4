// The simulator's host objects: the host side of the component interfaces the
// module calls. Each is reference counted for real (it dies with its last
// reference) and present in the census while it lives, so a reference the
// module keeps too long shows up at the end of the session.
//
// Objects are made with create(), which hands out the first reference; the
// caller gives it back with release(). The constructors are public only for
// kvIfImp, which completes each class.
#pragma once

#include "cad_model.h"
#include "census.h"
#include "sdk/kvPropertySet.h"
#include "sdk/kvUnknownImp.h"

#include <deque>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace hostsim {

class Model;
class ResourceManager;
class FrameSet;

// kvIApplication1 (message boxes, resource manager), kvITarnwellApp1 and the
// host's parameters (kvISWParameter1, printed as they are set).
class Application : public kvIUnknownImp,
                    public kvIApplication1,
                    public kvITarnwellApp1,
                    public kvISWParameter1,
                    public Counted {
public:
    static Application* create(std::ostream& out);

    kvIUnknown* queryInterface(const wchar_t* name) override;
    int getResourceManager(kvIUnknown** manager) override;
    // Prints what the user would see; the answer comes from the queue, else 1
    // (the OK or Yes button).
    int messageBox(int kind, const wchar_t* text, int flags) override;
    int setParameter(const wchar_t* name, int value) override;

    void queueAnswer(int answer) { m_answers.push_back(answer); }
    std::size_t pendingAnswers() const { return m_answers.size(); }
    ResourceManager& resources() { return *m_resources; }
    int messageBoxCount() const { return m_messageBoxes; }

    explicit Application(std::ostream& out);
    ~Application() override;

private:
    std::ostream& m_out;
    ResourceManager* m_resources;  // one reference held
    std::deque<int> m_answers;
    int m_messageBoxes = 0;
};

// kvIResourceMgr1 (language modules), kvIResourceMgr2 (language name) and the
// host's texts in the user's language (kvITextLookup1).
class ResourceManager : public kvIUnknownImp,
                        public kvIResourceMgr1,
                        public kvIResourceMgr2,
                        public kvITextLookup1,
                        public Counted {
public:
    static ResourceManager* create();

    kvIUnknown* queryInterface(const wchar_t* name) override;
    int loadModule(const wchar_t* fileName, HMODULE* module) override;
    int freeModule(HMODULE module) override;
    int getLanguageName(wchar_t* buffer, int capacity) override;
    int lookupText(const wchar_t* file, const wchar_t* key, wchar_t* buffer, int capacity) override;
    // The host's base folder, ending in a separator; by default a folder of
    // the simulator with the colour catalogue in "feattech" (catalog.cpp).
    int getBaseFolder(wchar_t* buffer, int capacity) override;
    void setBaseFolder(const std::wstring& folder) { m_baseFolder = folder; }

    void setLanguage(const std::wstring& name) { m_language = name; }
    const std::wstring& language() const { return m_language; }
    // Files loadModule answers; by default the language files of the host.
    void setAvailableFiles(std::vector<std::wstring> files) { m_available = std::move(files); }
    // File names of the modules loaded and not yet freed, in loading order.
    std::vector<std::wstring> loadedModules() const;
    // A library the host installs: loadModule of that file name loads the
    // shared library at path for real (an empty path takes it away again).
    void setLibrary(const std::wstring& fileName, const std::string& path);

    ResourceManager();
    ~ResourceManager() override;

private:
    struct Loaded {
        std::wstring file;
        HMODULE library = nullptr;  // a real library, else the record is the handle
    };
    std::wstring m_language = L"English";
    std::wstring m_baseFolder;  // empty: the simulator's own
    std::map<std::wstring, std::string> m_libraries;
    std::vector<std::wstring> m_available;
    std::vector<Loaded*> m_loaded;  // a module handle is the address of its record
};

// The lines written to a stream, passed on to another stream and kept: what
// a graphics group printed as it drew is what the view shows of it.
class KeptLines : public std::streambuf {
public:
    explicit KeptLines(std::ostream& target) : m_target(target) {}
    const std::vector<std::string>& lines() const { return m_lines; }
    std::ostream& target() { return m_target; }

protected:
    int overflow(int c) override;

private:
    std::ostream& m_target;
    std::string m_line;
    std::vector<std::string> m_lines;
};

// kvIBaseTmpGraphics: a group of temporary graphics in the host's views. It
// prints what it draws and is gone from the views when its last reference is;
// it says so when it is hidden and when it is gone. Solids come through
// kvITDTmpGraphicsExt.
class TmpGraphics : public kvIUnknownImp, public kvIBaseTmpGraphics, public kvITDTmpGraphicsExt, public Counted {
public:
    static TmpGraphics* create(std::ostream& out);
    // The groups alive and visible now, in the order they were made, with
    // what each drew: what the views show.
    static void printView(std::ostream& out);
    kvIUnknown* queryInterface(const wchar_t* name) override;
    int setVisible(int visible) override;
    int drawCs(const double frame[4][4], double size, unsigned long xColour, unsigned long yColour,
               unsigned long zColour, int flags) override;
    int drawCylinder(const double frame[4][4], double radius, double bottom, double top,
                     unsigned long colour) override;
    int drawCircle(const double frame[4][4], double radius, unsigned long colour) override;
    // Each drawing prints one line naming the group, the kind, its points in
    // model coordinates and its text (graphics_print.cpp).
    int drawLine(const double start[3], const double end[3], unsigned long colour, int flag, const wchar_t* name,
                 const double frame[4][4], double width, unsigned long colour2, int flag2) override;
    int drawContour(const kvCGeContour3d& contour, double tolerance, bool filled, unsigned long colour, int flag,
                    const wchar_t* name, const double frame[4][4], double width, unsigned long colour2, int flag2,
                    kvTArray<double[3]>& points) override;
    int drawCone(double tipRadius, double baseRadius, double height, bool closeTip, bool closeBase, int facets,
                 unsigned long colour, const double frame[4][4]) override;
    int drawText(const wchar_t* text, const double frame[4][4], double height, unsigned long colour,
                 int flag) override;
    int drawExtrusion(const double (*profile)[3], int count, double height, unsigned long colour,
                      const double frame[4][4], const double direction[3], const double extrusion[3]) override;

    // Groups are numbered in the order the host made them.
    int number() const { return m_number; }

    explicit TmpGraphics(std::ostream& out);
    ~TmpGraphics() override;

private:
    KeptLines m_drawn;
    std::ostream m_out;
    int m_visible = 0;
    int m_number = 0;
};

// The base document with its optional faces: analyse and feature show modes,
// colour set, long operations and the views' mouse events. Each optional face
// can be taken away (setOffers) to play a host that lacks it. The face of a
// document whose entities carry colour attributes (kvITDBaseDocument1) is
// offered only when asked for.
class BaseDocument : public kvIUnknownImp,
                     public kvIBaseDocument1,
                     public kvIBaseDocWithAnalyseShowMode,
                     public kvIBaseDocWithFeatureShowMode,
                     public kvIBaseDocWithColorSet,
                     public kvIInvDocument1,
                     public kvIMouseEvents1,
                     public kvISWDocument1,
                     public kvIBaseDocWithView,
                     public kvITDBaseDocument1,
                     public Counted {
public:
    static BaseDocument* create(std::ostream& out);
    // The view fits itself to a box ("fitViewToBox") and prints it.
    int hasViewFunction(const wchar_t* name) override;
    int fitViewToBox(const double first[3], const double second[3]) override;

    kvIUnknown* queryInterface(const wchar_t* name) override;
    int getTmpGraphics(kvIUnknown** graphics) override;
    // The model, whose store also keeps the insert brackets.
    int getBaseModel(kvIUnknown** model) override;
    int beginInsert(const double frame[4][4]) override;
    int endInsert() override;
    int setAnalyseShowMode(int mode) override;
    int isTransparentMode() override { return m_transparent ? 1 : 0; }
    int setFeatureShowMode(int mode, int flag) override;
    int setColorSet(unsigned long color, unsigned long* mapped) override;
    int beginLongOperation() override;
    int endLongOperation() override;
    // The document keeps one reference to each reactor until it is removed.
    int addReactor(kvIMouseEventsReactor1* reactor) override;
    int removeReactor(kvIMouseEventsReactor1* reactor) override;

    // The document's model (one reference held); null leaves it without one.
    void setModel(Model* model);
    void setTransparent(bool on) { m_transparent = on; }
    bool transparent() const { return m_transparent; }
    int analyseShowMode() const { return m_analyseShowMode; }
    int featureShowMode() const { return m_featureShowMode; }
    int longOperations() const { return m_longOperations; }

    // The optional interfaces a host may lack.
    static const std::vector<std::wstring>& optionalInterfaces();
    // False for a name that is not one of them.
    bool setOffers(const std::wstring& interfaceName, bool offered);
    bool offers(const std::wstring& interfaceName) const;

    // Sends one mouse event to every registered reactor (a copy of the list,
    // so that a reactor may remove itself); returns how many got it.
    int sendMouseEvent(int event, double x, double y, const double* viewParameters, double view[4][4], int state,
                       kvIUnknown* hitObject, const double* hitPoint, bool flag = false);
    std::size_t reactorCount() const { return m_reactors.size(); }

    explicit BaseDocument(std::ostream& out);
    ~BaseDocument() override;

private:
    std::ostream& m_out;
    bool m_transparent = false;
    int m_analyseShowMode = 0;
    int m_featureShowMode = 0;
    int m_longOperations = 0;
    std::map<std::wstring, bool> m_offers;
    std::vector<kvIMouseEventsReactor1*> m_reactors;  // one reference each
    Model* m_model = nullptr;
};

// kvITarnwellModel1 and kvIBaseModel1: the model of the document, which
// receives the CAD entities the module writes, with its frames
// (kvITwFrameSet1, answered by the model's frame set). It can take an
// entity out again (kvIBaseModelWithDelete), a face that can be taken away
// (setOffers) to play a host that lacks it.
class Model : public kvIUnknownImp,
              public kvITarnwellModel1,
              public kvIBaseModel1,
              public kvIBaseModelWithDelete,
              public Counted {
public:
    static Model* create();
    kvIUnknown* queryInterface(const wchar_t* name) override;
    int createEntity(int kind, kvIUnknown** entity) override;
    // Takes an entity of this model out again; it is listed no more.
    int deleteEntity(kvIUnknown* entity) override;

    // False for a name that is not an optional interface of the model.
    bool setOffers(const std::wstring& interfaceName, bool offered);

    CadStore& cad() { return m_cad; }

    FrameSet& frames() { return *m_frames; }

    Model();
    ~Model() override;

private:
    CadStore m_cad;
    FrameSet* m_frames;  // one reference held
    bool m_deletes = true;
};

// kvIDataSet1: one named group of the host's settings (colours, numbers,
// switches and texts).
// The "Feedbacks" settings also take the frame feedback (kvIFeedback1).
class DataSet : public kvIUnknownImp, public kvIDataSet1, public kvIFeedback1, public Counted {
public:
    static DataSet* create();
    kvIUnknown* queryInterface(const wchar_t* name) override;
    unsigned long getColor(const wchar_t* key) override;
    double getDouble(const wchar_t* key) override;
    bool getBool(const wchar_t* key) override;
    int getString(const wchar_t* key, kvCString& value) override;
    int setFrameFeedback(const double matrix[4][4]) override;
    // False while no frame feedback was set.
    bool frameFeedback(double matrix[4][4]) const;
    // Every setting, one per line, in key order.
    void print(std::ostream& out) const;

    void setColor(const std::wstring& key, unsigned long color) { m_colors[key] = color; }
    void setDouble(const std::wstring& key, double value) { m_doubles[key] = value; }
    void setBool(const std::wstring& key, bool value) { m_bools[key] = value; }
    void setString(const std::wstring& key, const std::wstring& value) { m_texts[key] = value; }

    DataSet();

private:
    std::map<std::wstring, unsigned long> m_colors;
    std::map<std::wstring, double> m_doubles;
    std::map<std::wstring, bool> m_bools;
    std::map<std::wstring, std::wstring> m_texts;
    bool m_hasFrameFeedback = false;
    double m_frameFeedback[4][4] = {};
};

// kvIHelpContext1: the host's help, which prints the page it would open.
class HelpContext : public kvIUnknownImp, public kvIHelpContext1, public Counted {
public:
    static HelpContext* create(std::ostream& out);
    kvIUnknown* queryInterface(const wchar_t* name) override;
    int clearContext() override;
    int setContext(const wchar_t* key) override;
    int showHelp() override;

    const std::wstring& context() const { return m_context; }

    explicit HelpContext(std::ostream& out);

private:
    std::ostream& m_out;
    std::wstring m_context;
};

// kvIAppDocument1: the document with its windows registered by name. The
// document also answers kvITarnwellModel1 with its model.
class AppDocument : public kvIUnknownImp, public kvIAppDocument1, public Counted {
public:
    static AppDocument* create(BaseDocument* baseDocument, Model* model);

    kvIUnknown* queryInterface(const wchar_t* name) override;
    int getBaseDocument(kvIUnknown** document) override;
    int registerWindow(const wchar_t* name, CWnd* window) override;
    int unregisterWindow(CWnd* window) override;
    int findWindow(const wchar_t* name, CWnd** window) override;
    // Only the "Feedbacks" settings exist.
    int getDataSet(const wchar_t* name, kvIUnknown** dataSet) override;

    DataSet& feedbacks() { return *m_feedbacks; }

    // The host's selection of the document (null until one is given); the
    // document keeps one reference to it.
    int getSelector(kvIUnknown** selector) override;
    void setSelector(kvIUnknown* selector);
    kvIUnknown* selector() const { return m_selector; }

    // Registered windows by name, in name order.
    const std::map<std::wstring, CWnd*>& windows() const { return m_windows; }
    CWnd* window(const std::wstring& name) const;
    int registrations() const { return m_registrations; }

    AppDocument(BaseDocument* baseDocument, Model* model);
    ~AppDocument() override;

private:
    BaseDocument* m_baseDocument;  // one reference held
    Model* m_model;                // one reference held
    DataSet* m_feedbacks;          // one reference held
    kvIUnknown* m_selector = nullptr;  // one reference held
    std::map<std::wstring, CWnd*> m_windows;
    int m_registrations = 0;
};

// kvIBaseSystem1: the host's main window, a real window of the platform.
// It also answers kvITDSystem1: a host whose documents take CAD entities.
class BaseSystem : public kvIUnknownImp, public kvIBaseSystem1, public kvITDSystem1, public Counted {
public:
    static BaseSystem* create(HWND mainWindow);
    kvIUnknown* queryInterface(const wchar_t* name) override;
    int getMainWindow(HWND* window) override;
    HWND mainWindow() const { return m_mainWindow; }

    explicit BaseSystem(HWND mainWindow);

private:
    HWND m_mainWindow;
};

// kvIAppExecContext1: what a command runs in. Any of its objects may be absent
// (a context without a base system, for instance).
class ExecContext : public kvIUnknownImp, public kvIAppExecContext1, public Counted {
public:
    static ExecContext* create(Application* application, BaseSystem* baseSystem, AppDocument* document,
                               BaseDocument* baseDocument, HelpContext* helpContext);

    kvIUnknown* queryInterface(const wchar_t* name) override;
    int getApplication(kvIUnknown** application) override;
    int getBaseSystem(kvIUnknown** baseSystem) override;
    int getAppDocument(kvIUnknown** document) override;
    int getBaseDocument(kvIUnknown** document) override;
    int getHelpContext(kvIUnknown** helpContext) override;

    // A host without help hands out no help context.
    void setHelpOffered(bool offered) { m_helpOffered = offered; }
    bool helpOffered() const { return m_helpOffered; }

    ExecContext(Application* application, BaseSystem* baseSystem, AppDocument* document,
                BaseDocument* baseDocument, HelpContext* helpContext);
    ~ExecContext() override;

private:
    Application* m_application;
    BaseSystem* m_baseSystem;
    AppDocument* m_document;
    BaseDocument* m_baseDocument;
    HelpContext* m_helpContext;
    bool m_helpOffered = true;
};

// kvITwCycleJobDef1 and kvIGenericObject: a machining job of the document,
// with its own settings: the machine's name and references to the job's
// frame (its "Matrix"), tool and milling area.
class JobDefinition : public kvIUnknownImp, public kvITwCycleJobDef1, public kvIGenericObject, public Counted {
public:
    // The job's frame stands at frameOrigin, turned by tiltDegrees about its
    // X axis.
    static JobDefinition* create(const std::wstring& machine, const double frameOrigin[3], double tiltDegrees = 0.0);
    kvIUnknown* queryInterface(const wchar_t* name) override;
    int getPropertySet(kvCPrPropertySet** set) override;
    // "FrameRef" given a frame of the model: the job refers to that frame's
    // settings from then on, and holds the frame.
    int setReference(const wchar_t* name, kvIUnknown* object, int flags) override;

    kvCPrPropertySet& settings() { return m_settings; }
    kvCPrPropertySet& tool() { return m_tool; }
    kvCPrPropertySet& millingArea() { return m_area; }
    kvCPrPropertySet& frame() { return m_frame; }
    // Where the job tells what the module does to it; none by default.
    void setOutput(std::ostream* out) { m_out = out; }
    // The job clears *slot when it dies while *slot still names it.
    void watch(JobDefinition** slot) { m_watch = slot; }

    JobDefinition(const std::wstring& machine, const double frameOrigin[3], double tiltDegrees);
    ~JobDefinition() override;

private:
    std::ostream* m_out = nullptr;
    JobDefinition** m_watch = nullptr;
    kvIUnknown* m_frameObject = nullptr;  // one reference, after setReference
    kvCPrPropertySet m_frame;
    kvCPrPropertySet m_tool;
    kvCPrPropertySet m_area;
    kvCPrPropertySet m_settings;  // last: its references go before their targets
};

} // namespace hostsim
