// Small helpers of the multi-face panel and its lists: the long-operation
// bracket with the wait cursor and the module whose resources the panel's
// dialogs come from.
#pragma once

#include "host/object/kvIfPtr.h"
#include "platform/windows.h"
#include "sdk/kvInterfaces.h"

// While it lives the document runs a long operation (when it offers one) and
// the wait cursor shows; both end on every path out of the scope.
class kvLongOperation {
public:
    explicit kvLongOperation(kvIAppExecContext1* context);
    ~kvLongOperation();

private:
    kvIfPtr<kvIInvDocument1> m_doc;

    kvLongOperation(const kvLongOperation&) = delete;
    kvLongOperation& operator=(const kvLongOperation&) = delete;
};

// The module that carries the panel's dialogs.
HINSTANCE kvMultiFaceModule();

// A panel's window carries its template id as its control id: the key under
// which a host keeps what belongs to that panel, its stored layout among
// them, apart from the other panels of the same window.
void kvIdentifyPanel(HWND panel, UINT templateId);
