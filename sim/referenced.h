// Objects the simulator hands to the module are reference counted; this
// makes one with the simulator's own first reference, which its owner drops
// with _relRef().
#pragma once

#include "sdk/kvUnknownImp.h"

#include <utility>

namespace hostsim {

template <class Object, class... Args>
Object* makeReferenced(Args&&... args)
{
    Object* object = new kvIfImp<Object>(std::forward<Args>(args)...);
    object->_addRef();
    return object;
}

} // namespace hostsim
