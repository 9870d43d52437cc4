// Resource scope: while an object lives, dialog templates and other resources
// are taken from the given module. Scopes nest; each restores the module that
// was current when it began.
#pragma once

#include "platform/windows.h"

class kvCResourceCntxt {
public:
    explicit kvCResourceCntxt(HINSTANCE module);
    ~kvCResourceCntxt();

    HINSTANCE previous() const { return m_previous; }

private:
    HINSTANCE m_previous;

    kvCResourceCntxt(const kvCResourceCntxt&) = delete;
    kvCResourceCntxt& operator=(const kvCResourceCntxt&) = delete;
};
