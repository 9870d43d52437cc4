// The reactor's life cycle, apart from its event handling.
#include "analyse/kvCMouseReactor.h"

#include <cwchar>

kvCMouseReactor::kvCMouseReactor() = default;

kvCMouseReactor::~kvCMouseReactor() = default;

bool kvCMouseReactor::addRef()
{
    ++refs;
    return true;
}

bool kvCMouseReactor::release()
{
    --refs;
    if (refs < 1)
        delete this;
    return true;
}

kvIUnknown* kvCMouseReactor::queryInterface(const wchar_t* name)
{
    if (name && (std::wcscmp(name, kvIfName<kvIUnknown>::value) == 0 ||
                 std::wcscmp(name, kvIfName<kvIMouseEventsReactor1>::value) == 0)) {
        addRef();
        return static_cast<kvIMouseEventsReactor1*>(this);
    }
    return nullptr;
}
