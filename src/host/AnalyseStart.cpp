#include "host/AnalyseStart.h"

#include "analyse/kvCAnalyseDlg.h"
#include "host/kvAppXApplication.h"
#include "host/object/kvIfPtr.h"
#include "platform/afx.h"
#include "platform/kvPlatform.h"
#include "sdk/kvAssert.h"
#include "sdk/kvMsgEnt.h"
#include "sdk/kvResourceCntxt.h"

#include <new>

const wchar_t* const kvAnalyseStartUnit = L"AnalyseStart";
const wchar_t* const kvAnalyseDlgWindowName = L"kvCAnalyseDlg";

HINSTANCE kvAnalyseModuleInstance = nullptr;

namespace {

AFX_EXTENSION_MODULE extensionModule = {};
int moduleLockCount = 0;
// Set once and never released: the module keeps the connection, and with it
// one module lock, for the rest of the process.
kvCAnalyseConnectionImp* analyseConnection = nullptr;

} // namespace

extern "C" BOOL DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == 1) {
        if (!AfxInitExtensionModule(extensionModule, instance))
            return 0;
        kvAnalyseModuleInstance = instance;
        // The library's chain of resource modules keeps the object.
        new CDynLinkLibrary(extensionModule, FALSE);
    } else if (reason == 0) {
        AfxTermExtensionModule(extensionModule, FALSE);
    }
    return 1;
}

// ---------------------------------------------------------------- exports

extern "C" {

int lockModule() { return ++moduleLockCount; }

int unlockModule() { return --moduleLockCount; }

bool canUnload() { return moduleLockCount == 0; }

bool kvAppXGetAppX(kvIAppExtension1** out)
{
    if (!out)
        return false;
    *out = nullptr;
    static kvIfImp<kvCAnalyseAppXImp> appX;
    *out = &appX;
    return *out != nullptr;
}

void getAnalyseConnection(kvIUnknown* pUnkTarnwell, kvIUnknown** ppUnkMAnalyseConnect)
{
    try {
        if (!pUnkTarnwell)
            kvAssertFail(L"pUnkTarnwell", kvAnalyseStartUnit, 333);
        if (!ppUnkMAnalyseConnect)
            kvAssertFail(L"ppUnkMAnalyseConnect", kvAnalyseStartUnit, 334);

        kvIfPtr<kvITarnwellApp1> tarnwellApp(pUnkTarnwell);
        *ppUnkMAnalyseConnect = nullptr;

        if (!analyseConnection) {
            analyseConnection = new kvIfImp<kvCAnalyseConnectionImp>();
            analyseConnection->setTarnwellApp(tarnwellApp.getIf());
            static_cast<kvITwAnalyseConnection*>(analyseConnection)->addRef();
        }
        if (!analyseConnection)
            throw false;

        *ppUnkMAnalyseConnect = static_cast<kvITwAnalyseConnection*>(analyseConnection)
                                    ->queryInterface(kvIfName<kvIUnknown>::value);
        if (!*ppUnkMAnalyseConnect)
            throw false;
    } catch (...) {
        // Nothing leaves an export: the caller sees the empty out-parameter.
    }
}

} // extern "C"

// ---------------------------------------------------------------- application extension

kvIUnknown* kvCAnalyseAppXImp::queryInterface(const wchar_t* name)
{
    if (name && (std::wcscmp(name, kvIfName<kvIAppExtension1>::value) == 0 ||
                 std::wcscmp(name, kvIfName<kvIUnknown>::value) == 0)) {
        addRef();
        return static_cast<kvIAppExtension1*>(this);
    }
    return nullptr;
}

bool kvCAnalyseAppXImp::init(kvIApplication1* application)
{
    setAppXApplication(application);
    return true;
}

bool kvCAnalyseAppXImp::exit()
{
    releaseAppXApplication();
    return true;
}

bool kvCAnalyseAppXImp::execCommand(const wchar_t* command, kvIAppExecContext1* context)
{
    if (!command || _wcsicmp(command, L"analyse") != 0)
        return true;
    if (!context)
        kvAssertFail(L"pCntxt", kvAnalyseStartUnit, 136);

    kvIfPtr<kvIApplication1> application;
    context->getApplication(&application);

    kvIUnknownPtr connectionUnknown;
    getAnalyseConnection(application.get(), &connectionUnknown);

    kvIfPtr<kvITwAnalyseConnection> connection(connectionUnknown.get());
    if (connection.isNull())
        kvAssertFail(L"pAnalyseCnct", kvAnalyseStartUnit, 145);

    kvTArray<kvIUnknown*> params(8);
    connection->startAnalyse(&params, context);
    return true;
}

// ---------------------------------------------------------------- analysis connection

kvCAnalyseConnectionImp::kvCAnalyseConnectionImp() { lockModule(); }

kvCAnalyseConnectionImp::~kvCAnalyseConnectionImp() { unlockModule(); }

kvIUnknown* kvCAnalyseConnectionImp::queryInterface(const wchar_t* name)
{
    if (name && (std::wcscmp(name, kvIfName<kvITwAnalyseConnection>::value) == 0 ||
                 std::wcscmp(name, kvIfName<kvIUnknown>::value) == 0)) {
        _addRef();
        return static_cast<kvITwAnalyseConnection*>(this);
    }
    return nullptr;
}

void kvCAnalyseConnectionImp::setTarnwellApp(kvITarnwellApp1* application) { (void)application; }

int kvCAnalyseConnectionImp::forwardToStartAnalyse(kvTArray<kvIUnknown*>* params, kvIAppExecContext1* context)
{
    return startAnalyse(params, context);
}

namespace {

kvIUnknownPtr firstParameter(kvTArray<kvIUnknown*>* params)
{
    if (params && params->size() > 0)
        return kvIUnknownPtr(params->at(0));
    return kvIUnknownPtr();
}

HWND hostMainWindow(kvIAppExecContext1* context)
{
    HWND mainWindow = nullptr;
    kvIfPtr<kvIBaseSystem1> baseSystem;
    context->getBaseSystem(&baseSystem);
    if (!baseSystem.isNull())
        baseSystem->getMainWindow(&mainWindow);
    return mainWindow;
}

} // namespace

int kvCAnalyseConnectionImp::startAnalyse(kvTArray<kvIUnknown*>* params, kvIAppExecContext1* context)
{
    // Without a context there is no document to check; the same assertion as
    // for a context that yields none.
    kvIfPtr<kvIAppDocument1> appDoc;
    if (context)
        context->getAppDocument(&appDoc);
    if (appDoc.isNull())
        kvAssertFail(L"pAppDoc", kvAnalyseStartUnit, 244);

    kvIfPtr<kvIBaseDocument1> baseDoc;
    appDoc->getBaseDocument(&baseDoc);
    if (baseDoc.isNull())
        kvAssertFail(L"pBaseDoc", kvAnalyseStartUnit, 247);

    kvIfPtr<kvIApplication1> application;
    context->getApplication(&application);

    // A document without analyse show modes cannot be in transparent mode and
    // has no show mode to switch.
    kvIfPtr<kvIBaseDocWithAnalyseShowMode> showMode(baseDoc.get());
    if (!showMode.isNull() && showMode->isTransparentMode() != 0) {
        if (!application.isNull()) {
            kvCMsgEnt message(L"twFTMain.loc|FeatAnalyseWarn|Analyse cannot start in transparent mode");
            const kvCString text = message.getEntry(application.getIf());
            application->messageBox(3, text, 16);
        }
        return 0;
    }

    kvIfPtr<kvITarnwellModel1> model;
    model = appDoc.get();
    if (model.isNull())
        kvAssertFail(L"pTwModel", kvAnalyseStartUnit, 261);

    kvCResourceCntxt resourceScope(kvAnalyseModuleInstance);

    CWnd* found = nullptr;
    appDoc->findWindow(kvAnalyseDlgWindowName, &found);
    // Only an analysis window can be brought back; anything else registered
    // under the name is replaced by a new one.
    kvCAnalyseDlg* openDialog = dynamic_cast<kvCAnalyseDlg*>(found);

    if (!showMode.isNull())
        showMode->setAnalyseShowMode(1);

    // The host sees the base system asked for and the parameter taken on both
    // paths, before the window is re-shown or a new one is made.
    hostMainWindow(context);
    kvIUnknownPtr parameter = firstParameter(params);

    if (openDialog) {
        openDialog->ShowWindow(SW_SHOW);
        openDialog->reactivateAnalysisDialog(parameter);
        return 0;
    }

    kvCAnalyseDlg* dialog = nullptr;
    try {
        dialog = new kvCAnalyseDlg(nullptr);
    } catch (const std::bad_alloc&) {
        // No window object: nothing to open, and nothing reaches the host.
    }
    if (!dialog) {
        // The document leaves the show mode it was switched into for the window.
        if (!showMode.isNull())
            showMode->setAnalyseShowMode(0);
        return 0;
    }
    dialog->setExecContext(context);
    dialog->setModel(model.getIf());

    try {
        HWND mainWindow = hostMainWindow(context);
        const kvIUnknownPtr openingParameter = firstParameter(params);
        dialog->openAnalysisDialog(CWnd::FromHandle(mainWindow), openingParameter);
        if (!dialog->GetSafeHwnd())
            throw false;
        dialog->ShowWindow(SW_SHOW);
        appDoc->registerWindow(kvAnalyseDlgWindowName, dialog);
        ::SendMessageW(dialog->GetSafeHwnd(), KV_WM_ANALYSE_REGISTERED, 1,
                       reinterpret_cast<LPARAM>(dialog->GetSafeHwnd()));
    } catch (...) {
        // A half-made window must not stay behind: deleting it gives back its
        // module lock and takes it off the document, and the document leaves
        // the show mode it was switched into for it.
        delete dialog;
        if (!showMode.isNull())
            showMode->setAnalyseShowMode(0);
    }
    return 0;
}
