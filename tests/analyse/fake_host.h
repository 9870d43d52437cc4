// Small host objects for driving the analysis window in tests: they count
// their references and record what the window asks of them.
#pragma once

#include "analyse/kvCAnalyseDlg.h"
#include "host/object/kvIfPtr.h"
#include "platform/kvPlatform.h"
#include "sdk/kvAssert.h"
#include "sdk/kvFeatureHelp.h"
#include "sdk/kvInterfaces.h"
#include "sdk/kvPropertySet.h"
#include "sdk/kvUnknownImp.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <map>
#include <string>
#include <vector>

namespace fake {

// Hands out a new reference of iface through out.
template <class I>
int handOut(I* iface, kvIUnknown** out)
{
    if (!out)
        return -1;
    *out = nullptr;
    if (!iface)
        return -1;
    iface->addRef();
    *out = static_cast<kvIUnknown*>(iface);
    return 0;
}

// The host's resource manager with its texts: it knows no folder and no
// text, and records what it is asked, in order ("base folder", or the key
// of a text).
class Resources : public kvIUnknownImp, public kvIResourceMgr1, public kvITextLookup1 {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override
    {
        return kvQueryInterfaces<kvIResourceMgr1, kvITextLookup1>(this, name);
    }
    int getBaseFolder(wchar_t*, int) override
    {
        asked.push_back(L"base folder");
        return -1;
    }
    int lookupText(const wchar_t*, const wchar_t* key, wchar_t*, int) override
    {
        asked.push_back(key ? key : L"");
        return -1;
    }
    // The place of the first question, or -1.
    int first(const std::wstring& question) const
    {
        for (size_t i = 0; i < asked.size(); ++i)
            if (asked[i] == question)
                return static_cast<int>(i);
        return -1;
    }
    std::vector<std::wstring> asked;
};

class Application : public kvIUnknownImp, public kvIApplication1 {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIApplication1>(this, name); }
    // None unless a test gives one (the window then reads its texts there).
    int getResourceManager(kvIUnknown** out) override { return handOut<kvIResourceMgr1>(resources, out); }
    kvIResourceMgr1* resources = nullptr;
    int messageBox(int kind, const wchar_t* text, int flags) override
    {
        boxes.push_back({kind, text ? text : L"", flags});
        return 0;
    }
    struct Box {
        int kind;
        std::wstring text;
        int flags;
    };
    std::vector<Box> boxes;
};

class DataSet : public kvIUnknownImp, public kvIDataSet1 {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIDataSet1>(this, name); }
    unsigned long getColor(const wchar_t* key) override { return colours[key]; }
    double getDouble(const wchar_t* key) override { return doubles[key]; }
    bool getBool(const wchar_t* key) override { return bools[key]; }
    int getString(const wchar_t* key, kvCString& value) override
    {
        auto it = texts.find(key);
        if (it == texts.end())
            return -1;
        value = it->second;
        return 0;
    }
    std::map<std::wstring, unsigned long> colours;
    std::map<std::wstring, double> doubles;
    std::map<std::wstring, bool> bools;
    std::map<std::wstring, std::wstring> texts;
};

// The base document with the show modes and the mouse events.
class BaseDocument : public kvIUnknownImp,
                     public kvIBaseDocument1,
                     public kvIBaseDocWithAnalyseShowMode,
                     public kvIBaseDocWithFeatureShowMode,
                     public kvIMouseEvents1 {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override
    {
        return kvQueryInterfaces<kvIBaseDocument1, kvIBaseDocWithAnalyseShowMode, kvIBaseDocWithFeatureShowMode,
                                 kvIMouseEvents1>(this, name);
    }
    int getTmpGraphics(kvIUnknown** graphics) override;
    int setAnalyseShowMode(int mode) override
    {
        analyseShowModes.push_back(mode);
        return 0;
    }
    int setFeatureShowMode(int mode, int flag) override
    {
        featureShowModes.push_back(mode * 10 + flag);
        return featureShowModeResult;
    }
    int addReactor(kvIMouseEventsReactor1* reactor) override
    {
        reactor->addRef();
        reactors.push_back(reactor);
        return 0;
    }
    int removeReactor(kvIMouseEventsReactor1* reactor) override
    {
        for (size_t i = 0; i < reactors.size(); ++i) {
            if (reactors[i] == reactor) {
                reactors.erase(reactors.begin() + static_cast<long>(i));
                reactor->release();
                return 0;
            }
        }
        return -1;
    }

    std::vector<int> analyseShowModes;
    std::vector<int> featureShowModes;
    int featureShowModeResult = 0;
    std::vector<kvIMouseEventsReactor1*> reactors;
};

class Graphics : public kvIUnknownImp, public kvIBaseTmpGraphics {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIBaseTmpGraphics>(this, name); }
    int setVisible(int v) override
    {
        visible = v;
        return 0;
    }
    int drawCs(const double frame[4][4], double size, unsigned long x, unsigned long y, unsigned long z,
               int flags) override
    {
        CoordinateSystem cs;
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                cs.frame[r][c] = frame[r][c];
        cs.size = size;
        cs.colours[0] = x;
        cs.colours[1] = y;
        cs.colours[2] = z;
        cs.flags = flags;
        drawn.push_back(cs);
        return 0;
    }
    // Lines, contours and texts are kept in model coordinates (the window
    // draws them without a frame, but for texts).
    int drawLine(const double start[3], const double end[3], unsigned long, int, const wchar_t*,
                 const double[4][4], double, unsigned long, int) override
    {
        lines.push_back({kvCGePoint(start), kvCGePoint(end)});
        return 0;
    }
    int drawContour(const kvCGeContour3d& contour, double tolerance, bool filled, unsigned long colour, int flag,
                    const wchar_t* name, const double frame[4][4], double width, unsigned long colour2, int flag2,
                    kvTArray<double[3]>& points) override
    {
        contours.push_back(contour);
        ContourCall call;
        call.tolerance = tolerance;
        call.filled = filled;
        call.colour = colour;
        call.flag = flag;
        call.named = name != nullptr;
        call.name = name ? name : L"";
        call.frame = kvCGeMatrix(frame);
        call.width = width;
        call.colour2 = colour2;
        call.flag2 = flag2;
        call.points = &points;
        call.pointsHeld = points.size();
        // A mark in the buffer, so that a later drawing shows whether it got
        // the same buffer back.
        const double mark[3] = {0.0, 0.0, 0.0};
        points.append(mark);
        contourCalls.push_back(call);
        return 0;
    }
    int drawText(const wchar_t* text, const double frame[4][4], double, unsigned long, int) override
    {
        texts.push_back({text, kvCGePoint(frame[0][3], frame[1][3], frame[2][3])});
        return 0;
    }
    struct CoordinateSystem {
        double frame[4][4];
        double size;
        unsigned long colours[3];
        int flags;
    };
    struct Text {
        std::wstring text;
        kvCGePoint at;
    };
    // The arguments of a contour drawing beside the contour itself.
    struct ContourCall {
        double tolerance = 0.0;
        bool filled = true;
        unsigned long colour = 0, colour2 = 0;
        int flag = -1, flag2 = -1;
        bool named = false;
        std::wstring name;
        kvCGeMatrix frame;
        double width = 0.0;
        const kvTArray<double[3]>* points = nullptr;
        // The buffer's size when it was handed over; each drawing leaves one
        // point more in it.
        unsigned int pointsHeld = 0;
    };
    int visible = 0;
    std::vector<CoordinateSystem> drawn;
    std::vector<std::pair<kvCGePoint, kvCGePoint>> lines;
    std::vector<kvCGeContour3d> contours;
    std::vector<ContourCall> contourCalls;
    std::vector<Text> texts;
    // Every group a document hands out, for tests to look at afterwards.
    static std::vector<kvIfPtr<kvIBaseTmpGraphics>>& made()
    {
        static std::vector<kvIfPtr<kvIBaseTmpGraphics>> groups;
        return groups;
    }
};

inline int BaseDocument::getTmpGraphics(kvIUnknown** graphics)
{
    kvIfPtr<kvIBaseTmpGraphics> g(static_cast<kvIBaseTmpGraphics*>(new kvIfImp<Graphics>()));
    Graphics::made().push_back(g);
    return handOut(g.getIf(), graphics);
}

class AppDocument : public kvIUnknownImp, public kvIAppDocument1 {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIAppDocument1>(this, name); }
    int getBaseDocument(kvIUnknown** out) override { return handOut<kvIBaseDocument1>(baseDoc, out); }
    int getDataSet(const wchar_t* name, kvIUnknown** out) override
    {
        if (!name || std::wstring(name) != L"Feedbacks")
            return handOut<kvIDataSet1>(nullptr, out);
        return handOut<kvIDataSet1>(feedbacks, out);
    }
    int registerWindow(const wchar_t* name, CWnd* window) override
    {
        windows[name] = window;
        return 0;
    }
    int unregisterWindow(CWnd* window) override
    {
        for (auto it = windows.begin(); it != windows.end(); ++it) {
            if (it->second == window) {
                windows.erase(it);
                return 0;
            }
        }
        return -1;
    }
    int findWindow(const wchar_t* name, CWnd** window) override
    {
        auto it = windows.find(name);
        *window = it == windows.end() ? nullptr : it->second;
        return 0;
    }
    kvIBaseDocument1* baseDoc = nullptr;
    kvIDataSet1* feedbacks = nullptr;
    std::map<std::wstring, CWnd*> windows;
};

class HelpContext : public kvIUnknownImp, public kvIHelpContext1 {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIHelpContext1>(this, name); }
    int clearContext() override
    {
        calls.push_back(L"clear");
        return 0;
    }
    int setContext(const wchar_t* key) override
    {
        calls.push_back(std::wstring(L"set ") + key);
        return 0;
    }
    int showHelp() override
    {
        calls.push_back(L"show");
        return 0;
    }
    int onWindowClosed() override
    {
        calls.push_back(L"closed");
        return 0;
    }
    std::vector<std::wstring> calls;
};

class ExecContext : public kvIUnknownImp, public kvIAppExecContext1 {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIAppExecContext1>(this, name); }
    int getApplication(kvIUnknown** out) override { return handOut<kvIApplication1>(app, out); }
    int getAppDocument(kvIUnknown** out) override { return handOut<kvIAppDocument1>(appDoc, out); }
    int getBaseDocument(kvIUnknown** out) override { return handOut<kvIBaseDocument1>(baseDoc, out); }
    int getHelpContext(kvIUnknown** out) override { return handOut<kvIHelpContext1>(help, out); }
    kvIApplication1* app = nullptr;
    kvIAppDocument1* appDoc = nullptr;
    kvIBaseDocument1* baseDoc = nullptr;
    kvIHelpContext1* help = nullptr;
};

class Model : public kvIUnknownImp, public kvITarnwellModel1 {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvITarnwellModel1>(this, name); }
    int onAnalysisClosed() override
    {
        ++closed;
        return 0;
    }
    int closed = 0;
};

class JobDefinition : public kvIUnknownImp, public kvITwCycleJobDef1 {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvITwCycleJobDef1>(this, name); }
};

// A job definition that is also a generic object with its own settings.
class GenericJob : public kvIUnknownImp, public kvITwCycleJobDef1, public kvIGenericObject {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override
    {
        return kvQueryInterfaces<kvITwCycleJobDef1, kvIGenericObject>(this, name);
    }
    int getPropertySet(kvCPrPropertySet** set) override
    {
        if (!set)
            return -1;
        *set = &settings;
        return 0;
    }
    kvCPrPropertySet settings;
};

// One host: every object built, wired and held for the test's life.
struct Host {
    Host()
    {
        app = new kvIfImp<Application>();
        feedbacks = new kvIfImp<DataSet>();
        baseDoc = new kvIfImp<BaseDocument>();
        appDoc = new kvIfImp<AppDocument>();
        help = new kvIfImp<HelpContext>();
        context = new kvIfImp<ExecContext>();
        model = new kvIfImp<Model>();
        app->addRef();
        feedbacks->addRef();
        static_cast<kvIBaseDocument1*>(baseDoc)->addRef();
        appDoc->addRef();
        help->addRef();
        context->addRef();
        model->addRef();
        appDoc->baseDoc = baseDoc;
        appDoc->feedbacks = feedbacks;
        context->app = app;
        context->appDoc = appDoc;
        context->baseDoc = baseDoc;
        context->help = help;
    }
    ~Host()
    {
        app->release();
        feedbacks->release();
        static_cast<kvIBaseDocument1*>(baseDoc)->release();
        appDoc->release();
        help->release();
        context->release();
        model->release();
    }
    kvIfImp<Application>* app;
    kvIfImp<DataSet>* feedbacks;
    kvIfImp<BaseDocument>* baseDoc;
    kvIfImp<AppDocument>* appDoc;
    kvIfImp<HelpContext>* help;
    kvIfImp<ExecContext>* context;
    kvIfImp<Model>* model;

    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;
};

// The analysis window on a fresh platform and host: open() opens and shows it,
// the end closes what is still open and forgets the face library.
struct WindowFixture : ::testing::Test {
    Host host;
    kvCAnalyseDlg* dlg = nullptr;

    void SetUp() override
    {
        kvplat::reset();
        kvSetAssertSink([](const wchar_t*) {});
        kvAnalyseLastSettingsRecord() = kvAnalyseLastSettings{};
        Graphics::made().clear();
    }
    void TearDown() override
    {
        if (dlg && dlg->GetSafeHwnd())
            close();
        kvSetFeatureHelpProvider(nullptr);
        Graphics::made().clear();
        kvplat::reset();
        kvSetAssertSink(nullptr);
    }
    kvCAnalyseDlg* open(kvIUnknown* job = nullptr)
    {
        dlg = new kvCAnalyseDlg(nullptr);
        dlg->setExecContext(host.context);
        dlg->setModel(host.model);
        EXPECT_NE(dlg->openAnalysisDialog(nullptr, kvIUnknownPtr(job)), 0);
        EXPECT_NE(dlg->GetSafeHwnd(), nullptr);
        dlg->ShowWindow(SW_SHOW);
        return dlg;
    }
    void close()
    {
        ::SendMessageW(dlg->GetSafeHwnd(), WM_CLOSE, 0, 0);
        dlg = nullptr;
    }
};

}  // namespace fake
