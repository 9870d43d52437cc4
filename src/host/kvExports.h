// The functions the module exports to its host, and the module lock count that
// every long-lived module object (the analysis connection, each analysis
// window) holds one unit of while it exists.
#pragma once

class kvIUnknown;
class kvIAppExtension1;

#define KV_MODULE_EXPORT __attribute__((visibility("default")))

extern "C" {

// Raise the lock count by one and return the new count.
KV_MODULE_EXPORT int lockModule();
// Lower the lock count by one and return the new count. Deliberately no floor
// at 0: a host that unlocks too often sees a negative count and canUnload false.
KV_MODULE_EXPORT int unlockModule();
// True exactly when the lock count is 0.
KV_MODULE_EXPORT bool canUnload();
// Hands out the application-extension object (no reference is added: it is a
// singleton that counts none). False only for a null out-parameter.
KV_MODULE_EXPORT bool kvAppXGetAppX(kvIAppExtension1** out);
// Creates the analysis connection on first use and hands it out, typed as
// kvIUnknown and carrying one reference for the caller. Never throws; on any
// failure the out-parameter is left null (or untouched for null arguments).
KV_MODULE_EXPORT void getAnalyseConnection(kvIUnknown* pUnkTarnwell, kvIUnknown** ppUnkMAnalyseConnect);

}

// Function types of the exports, for hosts that look them up by name.
using kvPfnLockModule = int (*)();
using kvPfnUnlockModule = int (*)();
using kvPfnCanUnload = bool (*)();
using kvPfnAppXGetAppX = bool (*)(kvIAppExtension1**);
using kvPfnGetAnalyseConnection = void (*)(kvIUnknown*, kvIUnknown**);
