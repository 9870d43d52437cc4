// The maker's property set: ordered slots of named properties (values, nested
// sets and references to other sets), with per-property flags and value
// restrictions, a controller that hands out the owner's interfaces, and
// synchronous change events.
//
// Event codes sent to listeners (with the property's key; keys inside nested
// or referenced sets arrive with the path, e.g. "FrameRef/Matrix"):
//   2  a value changed (a property was created with a value, a different
//      value was stored, or a reference was pointed at another set);
//   3  a value was removed (a property was removed, or a referenced set went
//      away);
//   4  the restrictions changed (the value restriction or the flags).
// A write that stores the value the property already holds sends nothing.
#pragma once

#include "host/object/kvPrProperty.h"
#include "sdk/kvString.h"

#include <vector>

class kvCGenVal;
class kvCPrPropertySet;
class kvIUnknown;

// Configuration of a read; no reader in this module passes one.
struct propGetCfg {};

// Property flags (16-bit, signed).
enum {
    kvPropFlagHidden = 1,
    kvPropFlagReadOnly = 2
};

// The owner of a property set (a job, a tool): hands out its interfaces.
class kvPrPropSetReactor {
public:
    virtual ~kvPrPropSetReactor() {}
    // Stores the named interface, with one reference for the caller, in
    // *out, or null; true when one was handed out.
    virtual bool getInterface(const wchar_t* name, kvIUnknown** out) = 0;
};

class kvPrPropSetListener {
public:
    virtual void propertyEvent(kvCPrPropertySet* set, unsigned int code, const wchar_t* name) = 0;
    // The set is being destroyed; it forgets the listener afterwards.
    virtual void propertySetGone(kvCPrPropertySet* set) { (void)set; }

protected:
    virtual ~kvPrPropSetListener() {}
};

// A restriction of the values a property may take.
class kvCValRestrictBase {
public:
    // True when the value is allowed.
    virtual bool test(const kvCGenVal& value) const = 0;
    virtual ~kvCValRestrictBase() {}
    virtual kvCValRestrictBase* clone() const = 0;
};

template <class T>
class kvCValRestrict;

// Integer restriction: an optional closed range and an optional list of
// allowed values; a value must satisfy both that are set. Values of other
// types are tested after conversion to int; one that does not convert fails.
template <>
class kvCValRestrict<int> : public kvCValRestrictBase {
public:
    kvCValRestrict() = default;
    kvCValRestrict(int minimum, int maximum) : m_hasRange(true), m_min(minimum), m_max(maximum) {}

    bool test(const kvCGenVal& value) const override;
    kvCValRestrictBase* clone() const override { return new kvCValRestrict<int>(*this); }

    // Tests an int without building a heap value.
    bool check(const int& v) const;

    void setRange(int minimum, int maximum)
    {
        m_hasRange = true;
        m_min = minimum;
        m_max = maximum;
    }
    void addAllowed(int v) { m_allowed.push_back(v); }

private:
    bool allows(int v) const;

    bool m_hasRange = false;
    int m_min = 0;
    int m_max = 0;
    std::vector<int> m_allowed;
};

// A property that refers to a property set owned elsewhere (or to none).
class kvPrPropRef : public kvPrProperty, private kvPrPropSetListener {
public:
    explicit kvPrPropRef(const wchar_t* name = nullptr, kvCPrPropertySet* target = nullptr);
    kvPrPropRef(const kvPrPropRef& other);
    kvPrPropRef& operator=(const kvPrPropRef&) = delete;
    ~kvPrPropRef() override;
    kvPrProperty* clone() const override { return new kvPrPropRef(*this); }

    kvCPrPropertySet* target() const { return m_target; }
    void setTarget(kvCPrPropertySet* target);

private:
    friend class kvCPrPropertySet;
    void propertyEvent(kvCPrPropertySet* set, unsigned int code, const wchar_t* name) override;
    void propertySetGone(kvCPrPropertySet* set) override;

    kvCPrPropertySet* m_target = nullptr;
    kvCPrPropertySet* m_owner = nullptr;  // the set this reference lives in
};

class kvCPrPropertySet : public kvPrProperty {
public:
    explicit kvCPrPropertySet(const wchar_t* name = nullptr);
    // Deep copy of slots, values, nested sets, references, flags and
    // restrictions; listeners and the controller stay with the original.
    kvCPrPropertySet(const kvCPrPropertySet& other);
    kvCPrPropertySet& operator=(const kvCPrPropertySet&) = delete;
    ~kvCPrPropertySet() override;
    kvPrProperty* clone() const override { return new kvCPrPropertySet(*this); }

    // Values. A key may be a path through nested or referenced sets
    // ("FrameRef/Matrix").
    // Writes the stored value into value through its assign (with
    // conversion); false, value untouched, for a missing key, an entry that
    // holds no value or a value that does not convert.
    bool getPropValue(const wchar_t* name, kvCGenVal& value, propGetCfg* cfg = nullptr) const;
    // Stores value: converted into the stored type when it converts,
    // otherwise replacing the stored value. A missing key is created when
    // create is set (false otherwise). A value that the key's restriction
    // does not allow is refused (false, the property unchanged).
    bool setPropValue(const wchar_t* name, const kvCGenVal& value, bool create);
    // Empties the key's slot (the slot stays, so later slots keep their
    // positions).
    bool removeProp(const wchar_t* name);
    bool hasProp(const wchar_t* name) const { return find(name) != nullptr; }
    // The entry for a key, or null.
    kvPrProperty* find(const wchar_t* name) const;

    // Nested and referenced sets.
    // The set a key names (a nested set or a reference's target), or null.
    kvCPrPropertySet* getPropSet(const wchar_t* name) const;
    // The nested set of that name, created when missing; null when the key
    // holds something else.
    kvCPrPropertySet* addPropSet(const wchar_t* name);
    // Declares a reference property (target may be null) or re-points one.
    bool setPropRef(const wchar_t* name, kvCPrPropertySet* target);
    // Appends a property that the set then owns; refused (and deleted) when
    // the name is taken.
    bool addProperty(kvPrProperty* property);

    // Slots in order; empty slots give a null entry.
    unsigned int count() const { return static_cast<unsigned int>(m_slots.size()); }
    bool getAt(unsigned int index, kvPrProperty*& entry) const;

    // Flags and restrictions.
    bool getFlags(const wchar_t* name, short& flags) const;
    bool setFlags(const wchar_t* name, short flags);
    // The key's restriction (owned by the set), or null.
    bool getRestrictions(const wchar_t* name, const kvCValRestrictBase*& out, propGetCfg* cfg = nullptr) const;
    // Installs a restriction that the set then owns (null removes it).
    bool setRestrictions(const wchar_t* name, kvCValRestrictBase* restriction);

    // Merges another set in: its values, nested sets and references are
    // written into this one key by key, with the usual events.
    bool set(const kvCPrPropertySet& other);

    // Undo recording is not kept by this set; the switch is remembered for
    // callers that ask.
    void disableUndo(bool disable) { m_undoDisabled = disable; }
    bool isUndoDisabled() const { return m_undoDisabled; }

    kvPrPropSetReactor* controller() const { return m_controller; }
    void setController(kvPrPropSetReactor* controller) { m_controller = controller; }

    void addListener(kvPrPropSetListener* listener);
    void removeListener(kvPrPropSetListener* listener);

    // The set this one is nested in, or null.
    kvCPrPropertySet* parent() const { return m_parent; }

private:
    friend class kvPrPropRef;

    struct Slot {
        kvPrProperty* entry = nullptr;
        short flags = 0;
        kvCValRestrictBase* restriction = nullptr;
    };

    // The set and the slot that a key reaches (following paths).
    const kvCPrPropertySet* resolve(const wchar_t* name, const wchar_t*& leaf, int depth) const;
    int slotIndex(const wchar_t* name) const;
    void adopt(kvPrProperty* entry);
    unsigned int appendSlot(kvPrProperty* entry);
    void notify(unsigned int code, const wchar_t* name);
    void forward(unsigned int code, const kvCScString& prefix, const wchar_t* name);

    std::vector<Slot> m_slots;
    std::vector<kvPrPropSetListener*> m_listeners;
    kvPrPropSetReactor* m_controller = nullptr;
    kvCPrPropertySet* m_parent = nullptr;
    bool m_undoDisabled = false;
    bool m_dying = false;
};
