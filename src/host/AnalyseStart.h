// The module's start-up unit: the library entry, the application-extension
// object the host initialises and sends commands to, and the process-wide
// analysis connection whose startAnalyse opens or re-shows the analysis window.
#pragma once

#include "host/kvExports.h"
#include "host/object/kvArray.h"
#include "sdk/kvUnknownImp.h"

// The unit name that the start-up assertions report.
extern const wchar_t* const kvAnalyseStartUnit;

// The name under which the analysis window is registered with the document.
extern const wchar_t* const kvAnalyseDlgWindowName;

// The message sent once to a new analysis window after its registration.
enum { KV_WM_ANALYSE_REGISTERED = WM_USER + 205 };

// The module's own instance handle, kept by DllMain on attach; null before.
extern HINSTANCE kvAnalyseModuleInstance;

// The library entry, called by the loader: reason 1 attaches (0 refuses the
// load, and the module is not used), 0 detaches, others do nothing.
extern "C" KV_MODULE_EXPORT BOOL DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

// The application extension. One static instance; it counts no references.
class kvCAnalyseAppXImp : public kvIAppExtension1, public kvIUnknownSingletonImp {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override;
    // Keeps the application as the module-global application (null clears it).
    bool init(kvIApplication1* application) override;
    bool exit() override;
    // Acts on "analyse" (any letter case) only; lets every exception through.
    bool execCommand(const wchar_t* command, kvIAppExecContext1* context) override;
};

// The analysis connection. Holds one module lock while it exists.
class kvCAnalyseConnectionImp : public kvIUnknownImp, public kvITwAnalyseConnection {
public:
    kvCAnalyseConnectionImp();
    ~kvCAnalyseConnectionImp() override;

    kvIUnknown* queryInterface(const wchar_t* name) override;
    // Always 0. Refuses in transparent mode; otherwise re-shows the registered
    // analysis window or creates, shows and registers a new one. The
    // assertions on the document and its model pass out to the caller; a new
    // window that cannot be had (no memory for it, or its opening throws)
    // leaves nothing behind and the document's show mode off again.
    int startAnalyse(kvTArray<kvIUnknown*>* params, kvIAppExecContext1* context) override;
    int forwardToStartAnalyse(kvTArray<kvIUnknown*>* params, kvIAppExecContext1* context) override;
    // Hands the host application to the connection; it keeps nothing of it.
    void setTarnwellApp(kvITarnwellApp1* application);
};
