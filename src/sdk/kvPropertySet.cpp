#include "sdk/kvPropertySet.h"

#include "host/object/kvPropertyBag.h"
#include "sdk/kvGenVal.h"
#include "sdk/kvGeomTypes.h"
#include "sdk/kvValueSets.h"

#include <algorithm>
#include <cwchar>
#include <memory>
#include <string>

namespace {

// Events travel up through nested sets and references; a reference cycle
// must not send them round for ever.
const int kMaxDepth = 32;
thread_local int tEventDepth = 0;

struct DepthGuard {
    bool ok;
    DepthGuard() : ok(tEventDepth < kMaxDepth) { ++tEventDepth; }
    ~DepthGuard() { --tEventDepth; }
};

bool sameName(const wchar_t* a, const wchar_t* b)
{
    if (a == nullptr || b == nullptr)
        return a == b;
    return std::wcscmp(a, b) == 0;
}

// 1 equal, 0 different, -1 when a holds no T.
template <class T>
int compareAs(const kvCGenVal& a, const kvCGenVal& b)
{
    const T* x = kvGenValPtr<T>(a);
    if (x == nullptr)
        return -1;
    const T* y = kvGenValPtr<T>(b);
    return (y != nullptr && *x == *y) ? 1 : 0;
}

template <class... T>
bool sameValueOf(const kvCGenVal& a, const kvCGenVal& b)
{
    int result = -1;
    ((result = result >= 0 ? result : compareAs<T>(a, b)), ...);
    return result == 1;
}

// Whether two values are of one type and equal; values of a type not listed
// here always count as different, so a change is never missed.
bool sameValue(const kvCGenVal& a, const kvCGenVal& b)
{
    return sameValueOf<bool, short, unsigned short, int, unsigned int, long, unsigned long, float, double, kvCString,
                       kvCGePoint, kvCGeVector, kvCGeMatrix, kvCGeContour2d, kvCGeContour3d, kvCColor, kvCSurfaceSet,
                       kvCCadEntityData>(a, b);
}

kvCPrPropertySet* setOf(kvPrProperty* entry)
{
    if (auto s = dynamic_cast<kvCPrPropertySet*>(entry))
        return s;
    if (auto r = dynamic_cast<kvPrPropRef*>(entry))
        return r->target();
    return nullptr;
}

}  // namespace

// ---------------------------------------------------------------- restriction

bool kvCValRestrict<int>::allows(int v) const
{
    if (m_hasRange && (v < m_min || v > m_max))
        return false;
    return m_allowed.empty() || std::find(m_allowed.begin(), m_allowed.end(), v) != m_allowed.end();
}

bool kvCValRestrict<int>::test(const kvCGenVal& value) const
{
    int v = 0;
    kvCGenValueRefNc<int> ref(v);
    try {
        ref.assign(value, true);
    } catch (bool) {
        return false;
    }
    return allows(v);
}

bool kvCValRestrict<int>::check(const int& v) const
{
    kvTGenValPlace<kvCGenValueConstRefNc<int>> place;
    kvCGenVal* held = place.hold(newGenValueConstRef(v, place.place()));
    return held != nullptr && test(*held);
}

// ---------------------------------------------------------------- reference

kvPrPropRef::kvPrPropRef(const wchar_t* name, kvCPrPropertySet* target) : kvPrProperty(name) { setTarget(target); }

kvPrPropRef::kvPrPropRef(const kvPrPropRef& other) : kvPrProperty(other), kvPrPropSetListener()
{
    setTarget(other.m_target);
}

kvPrPropRef::~kvPrPropRef()
{
    if (m_target != nullptr)
        m_target->removeListener(this);
}

void kvPrPropRef::setTarget(kvCPrPropertySet* target)
{
    if (target == m_target)
        return;
    if (m_target != nullptr)
        m_target->removeListener(this);
    m_target = target;
    if (m_target != nullptr)
        m_target->addListener(this);
}

void kvPrPropRef::propertyEvent(kvCPrPropertySet*, unsigned int code, const wchar_t* name)
{
    if (m_owner != nullptr)
        m_owner->forward(code, m_name, name);
}

void kvPrPropRef::propertySetGone(kvCPrPropertySet* set)
{
    if (set != m_target)
        return;
    m_target = nullptr;
    if (m_owner != nullptr)
        m_owner->notify(3, getName());
}

// ---------------------------------------------------------------- property set

kvCPrPropertySet::kvCPrPropertySet(const wchar_t* name) : kvPrProperty(name) {}

kvCPrPropertySet::kvCPrPropertySet(const kvCPrPropertySet& other) : kvPrProperty(other)
{
    m_undoDisabled = other.m_undoDisabled;
    m_slots.reserve(other.m_slots.size());
    for (const Slot& s : other.m_slots) {
        Slot copy;
        copy.flags = s.flags;
        m_slots.push_back(copy);
        Slot& mine = m_slots.back();
        if (s.entry != nullptr) {
            mine.entry = s.entry->clone();
            adopt(mine.entry);
        }
        if (s.restriction != nullptr)
            mine.restriction = s.restriction->clone();
    }
}

kvCPrPropertySet::~kvCPrPropertySet()
{
    // Listeners learn first, while the set is still whole; then nothing more
    // is sent from it (its own entries going away must not report into a set
    // that is half gone).
    std::vector<kvPrPropSetListener*> listeners(m_listeners);
    for (kvPrPropSetListener* l : listeners)
        if (std::find(m_listeners.begin(), m_listeners.end(), l) != m_listeners.end())
            l->propertySetGone(this);
    m_listeners.clear();
    m_dying = true;
    for (Slot& s : m_slots) {
        delete s.entry;
        s.entry = nullptr;
        delete s.restriction;
        s.restriction = nullptr;
    }
}

int kvCPrPropertySet::slotIndex(const wchar_t* name) const
{
    for (std::size_t i = 0; i < m_slots.size(); ++i)
        if (m_slots[i].entry != nullptr && sameName(m_slots[i].entry->getName(), name))
            return static_cast<int>(i);
    return -1;
}

const kvCPrPropertySet* kvCPrPropertySet::resolve(const wchar_t* name, const wchar_t*& leaf, int depth) const
{
    leaf = name;
    if (name == nullptr || depth >= kMaxDepth)
        return this;
    const wchar_t* slash = std::wcschr(name, L'/');
    if (slash == nullptr)
        return this;
    const std::wstring head(name, slash);
    const int i = slotIndex(head.c_str());
    if (i < 0)
        return this;
    const kvCPrPropertySet* sub = setOf(m_slots[i].entry);
    if (sub == nullptr)
        return this;
    return sub->resolve(slash + 1, leaf, depth + 1);
}

kvPrProperty* kvCPrPropertySet::find(const wchar_t* name) const
{
    const wchar_t* leaf = nullptr;
    const kvCPrPropertySet* s = resolve(name, leaf, 0);
    const int i = s->slotIndex(leaf);
    return i < 0 ? nullptr : s->m_slots[i].entry;
}

void kvCPrPropertySet::adopt(kvPrProperty* entry)
{
    if (auto s = dynamic_cast<kvCPrPropertySet*>(entry))
        s->m_parent = this;
    else if (auto r = dynamic_cast<kvPrPropRef*>(entry))
        r->m_owner = this;
}

unsigned int kvCPrPropertySet::appendSlot(kvPrProperty* entry)
{
    Slot s;
    s.entry = entry;
    m_slots.push_back(s);
    adopt(entry);
    return static_cast<unsigned int>(m_slots.size() - 1);
}

bool kvCPrPropertySet::getPropValue(const wchar_t* name, kvCGenVal& value, propGetCfg*) const
{
    const kvPrProperty* entry = find(name);
    const kvCProperty* p = dynamic_cast<const kvCProperty*>(entry);
    if (p == nullptr || p->value() == nullptr)
        return false;
    try {
        value.assign(*p->value(), true);
    } catch (bool) {
        return false;
    }
    return true;
}

bool kvCPrPropertySet::setPropValue(const wchar_t* name, const kvCGenVal& value, bool create)
{
    const wchar_t* leaf = nullptr;
    kvCPrPropertySet* s = const_cast<kvCPrPropertySet*>(resolve(name, leaf, 0));
    const int i = s->slotIndex(leaf);
    if (i < 0) {
        if (!create)
            return false;
        std::unique_ptr<kvCProperty> p(new kvCProperty(leaf));
        if (!p->setPropValue(value, true))
            return false;
        s->appendSlot(p.release());
        s->notify(2, leaf);
        return true;
    }
    kvCProperty* p = dynamic_cast<kvCProperty*>(s->m_slots[i].entry);
    if (p == nullptr)
        return false;  // a nested set or a reference holds no value
    // A restricted property keeps its value when offered one it does not allow.
    const kvCValRestrictBase* restriction = s->m_slots[i].restriction;
    if (restriction != nullptr && !restriction->test(value))
        return false;
    std::unique_ptr<kvCGenVal> before(p->value() != nullptr ? p->value()->clone() : nullptr);
    if (!p->setPropValue(value, true))
        return false;
    if (before == nullptr || !sameValue(*before, *p->value()))
        s->notify(2, leaf);
    return true;
}

bool kvCPrPropertySet::removeProp(const wchar_t* name)
{
    const wchar_t* leaf = nullptr;
    kvCPrPropertySet* s = const_cast<kvCPrPropertySet*>(resolve(name, leaf, 0));
    const int i = s->slotIndex(leaf);
    if (i < 0)
        return false;
    Slot& slot = s->m_slots[i];
    const kvCScString key(leaf);
    kvPrProperty* entry = slot.entry;
    kvCValRestrictBase* restriction = slot.restriction;
    slot.entry = nullptr;
    slot.restriction = nullptr;
    slot.flags = 0;
    delete entry;
    delete restriction;
    s->notify(3, key);
    return true;
}

kvCPrPropertySet* kvCPrPropertySet::getPropSet(const wchar_t* name) const { return setOf(find(name)); }

kvCPrPropertySet* kvCPrPropertySet::addPropSet(const wchar_t* name)
{
    const wchar_t* leaf = nullptr;
    kvCPrPropertySet* s = const_cast<kvCPrPropertySet*>(resolve(name, leaf, 0));
    const int i = s->slotIndex(leaf);
    if (i >= 0)
        return dynamic_cast<kvCPrPropertySet*>(s->m_slots[i].entry);
    kvCPrPropertySet* sub = new kvCPrPropertySet(leaf);
    s->appendSlot(sub);
    s->notify(2, leaf);
    return sub;
}

bool kvCPrPropertySet::setPropRef(const wchar_t* name, kvCPrPropertySet* target)
{
    const wchar_t* leaf = nullptr;
    kvCPrPropertySet* s = const_cast<kvCPrPropertySet*>(resolve(name, leaf, 0));
    const int i = s->slotIndex(leaf);
    if (i >= 0) {
        kvPrPropRef* r = dynamic_cast<kvPrPropRef*>(s->m_slots[i].entry);
        if (r == nullptr)
            return false;
        if (r->target() != target) {
            r->setTarget(target);
            s->notify(2, leaf);
        }
        return true;
    }
    s->appendSlot(new kvPrPropRef(leaf, target));
    s->notify(2, leaf);
    return true;
}

bool kvCPrPropertySet::addProperty(kvPrProperty* property)
{
    if (property == nullptr)
        return false;
    if (slotIndex(property->getName()) >= 0) {
        delete property;
        return false;
    }
    appendSlot(property);
    notify(2, property->getName());
    return true;
}

bool kvCPrPropertySet::getAt(unsigned int index, kvPrProperty*& entry) const
{
    if (index >= m_slots.size())
        return false;
    entry = m_slots[index].entry;
    return true;
}

bool kvCPrPropertySet::getFlags(const wchar_t* name, short& flags) const
{
    const wchar_t* leaf = nullptr;
    const kvCPrPropertySet* s = resolve(name, leaf, 0);
    const int i = s->slotIndex(leaf);
    if (i < 0)
        return false;
    flags = s->m_slots[i].flags;
    return true;
}

bool kvCPrPropertySet::setFlags(const wchar_t* name, short flags)
{
    const wchar_t* leaf = nullptr;
    kvCPrPropertySet* s = const_cast<kvCPrPropertySet*>(resolve(name, leaf, 0));
    const int i = s->slotIndex(leaf);
    if (i < 0)
        return false;
    if (s->m_slots[i].flags != flags) {
        s->m_slots[i].flags = flags;
        s->notify(4, leaf);
    }
    return true;
}

bool kvCPrPropertySet::getRestrictions(const wchar_t* name, const kvCValRestrictBase*& out, propGetCfg*) const
{
    out = nullptr;
    const wchar_t* leaf = nullptr;
    const kvCPrPropertySet* s = resolve(name, leaf, 0);
    const int i = s->slotIndex(leaf);
    if (i < 0)
        return false;
    out = s->m_slots[i].restriction;
    return out != nullptr;
}

bool kvCPrPropertySet::setRestrictions(const wchar_t* name, kvCValRestrictBase* restriction)
{
    std::unique_ptr<kvCValRestrictBase> owned(restriction);
    const wchar_t* leaf = nullptr;
    kvCPrPropertySet* s = const_cast<kvCPrPropertySet*>(resolve(name, leaf, 0));
    const int i = s->slotIndex(leaf);
    if (i < 0)
        return false;
    kvCValRestrictBase* old = s->m_slots[i].restriction;
    s->m_slots[i].restriction = owned.release();
    delete old;
    s->notify(4, leaf);
    return true;
}

bool kvCPrPropertySet::set(const kvCPrPropertySet& other)
{
    if (&other == this)
        return true;
    bool ok = true;
    for (const Slot& slot : other.m_slots) {
        kvPrProperty* entry = slot.entry;
        if (entry == nullptr)
            continue;
        const wchar_t* name = entry->getName();
        if (auto p = dynamic_cast<const kvCProperty*>(entry)) {
            if (p->value() == nullptr || !setPropValue(name, *p->value(), true)) {
                ok = false;
                continue;
            }
        } else if (auto nested = dynamic_cast<const kvCPrPropertySet*>(entry)) {
            kvCPrPropertySet* mine = addPropSet(name);
            if (mine == nullptr || !mine->set(*nested)) {
                ok = false;
                continue;
            }
        } else if (auto r = dynamic_cast<const kvPrPropRef*>(entry)) {
            if (!setPropRef(name, r->target())) {
                ok = false;
                continue;
            }
        } else {
            continue;
        }
        setFlags(name, slot.flags);
        if (slot.restriction != nullptr)
            setRestrictions(name, slot.restriction->clone());
    }
    return ok;
}

void kvCPrPropertySet::addListener(kvPrPropSetListener* listener)
{
    if (listener != nullptr && std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
        m_listeners.push_back(listener);
}

void kvCPrPropertySet::removeListener(kvPrPropSetListener* listener)
{
    m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener), m_listeners.end());
}

void kvCPrPropertySet::notify(unsigned int code, const wchar_t* name)
{
    if (m_dying)
        return;
    DepthGuard guard;
    if (!guard.ok)
        return;
    // Listeners may come and go while the event is delivered: those removed
    // meanwhile are skipped, those added meanwhile wait for the next event.
    const std::vector<kvPrPropSetListener*> listeners(m_listeners);
    for (kvPrPropSetListener* l : listeners)
        if (std::find(m_listeners.begin(), m_listeners.end(), l) != m_listeners.end())
            l->propertyEvent(this, code, name);
    if (m_parent != nullptr)
        m_parent->forward(code, m_name, name);
}

void kvCPrPropertySet::forward(unsigned int code, const kvCScString& prefix, const wchar_t* name)
{
    if (m_dying)
        return;
    const wchar_t* head = prefix;
    if (head == nullptr) {
        notify(code, name);
        return;
    }
    std::wstring path(head);
    path += L'/';
    if (name != nullptr)
        path += name;
    notify(code, path.c_str());
}
