// Value types of the host's property sets: sets of interfaces (the faces of a
// surface selection), CAD attributes and the surface attributes of a face-set
// property.
#pragma once

#include "host/object/kvIfPtr.h"
#include "sdk/kvGeomTypes.h"
#include "sdk/kvString.h"

#include <vector>

// One entry of an interface set: holds one reference to its interface.
class kvCIUnknownData {
public:
    kvCIUnknownData() = default;
    explicit kvCIUnknownData(kvIUnknown* p);
    kvCIUnknownData(const kvCIUnknownData& other);
    kvCIUnknownData& operator=(const kvCIUnknownData& other);
    ~kvCIUnknownData();

    // The entry's interface as a new smart pointer (empty for an empty entry).
    kvIUnknownPtr getUnknown() const;
    // The raw interface, no reference added.
    kvIUnknown* get() const { return m_p; }
    void clear();

private:
    kvIUnknown* m_p = nullptr;
};

// A set of interfaces in insertion order; every member carries one
// reference, copies add their own.
class kvCIUnknownSet {
public:
    kvCIUnknownSet() = default;
    kvCIUnknownSet(const kvCIUnknownSet& other);
    kvCIUnknownSet& operator=(const kvCIUnknownSet& other);
    virtual ~kvCIUnknownSet();

    unsigned int count() const { return static_cast<unsigned int>(m_items.size()); }
    // Non-zero when index names an element; data then holds it.
    int get(unsigned int index, kvCIUnknownData& data) const;
    kvIUnknown* getAt(unsigned int index) const { return index < m_items.size() ? m_items[index] : nullptr; }
    // Adds p (a null pointer is refused); returns the new count or 0.
    unsigned int add(kvIUnknown* p);
    bool removeAt(unsigned int index);
    void clear();

    friend bool operator==(const kvCIUnknownSet& a, const kvCIUnknownSet& b) { return a.m_items == b.m_items; }
    friend bool operator!=(const kvCIUnknownSet& a, const kvCIUnknownSet& b) { return !(a == b); }

private:
    std::vector<kvIUnknown*> m_items;
};

// The faces of a surface selection ("Surfaces").
class kvCSurfaceSet : public kvCIUnknownSet {
public:
    kvCSurfaceSet() = default;
    kvCSurfaceSet(const kvCSurfaceSet&) = default;
    kvCSurfaceSet& operator=(const kvCSurfaceSet&) = default;
    ~kvCSurfaceSet() override = default;
};

// CAD attributes of written entities ("CadAttribute"): colour and layer.
class kvCCadEntityData {
public:
    kvCCadEntityData() : m_layer(L"0") { m_colour.setRGB(255, 0, 0); }
    kvCCadEntityData(const kvCColor& colour, const kvCString& layer) : m_colour(colour), m_layer(layer) {}

    const kvCColor& colour() const { return m_colour; }
    kvCColor& colour() { return m_colour; }
    void setColour(const kvCColor& c) { m_colour = c; }
    const kvCString& layer() const { return m_layer; }
    void setLayer(const kvCString& layer) { m_layer = layer; }

    friend bool operator==(const kvCCadEntityData& a, const kvCCadEntityData& b)
    {
        return a.m_colour == b.m_colour && a.m_layer == b.m_layer;
    }
    friend bool operator!=(const kvCCadEntityData& a, const kvCCadEntityData& b) { return !(a == b); }

private:
    kvCColor m_colour;
    kvCString m_layer;
};

namespace tw {
namespace cfg {
// The surface attributes of a face-set property.
struct SurfaceAttributes {
    unsigned int value = 0;
    bool first = false;
    bool second = false;
    kvCString name;

    SurfaceAttributes() = default;
    SurfaceAttributes(unsigned int v, bool a, bool b, const kvCString& n) : value(v), first(a), second(b), name(n) {}
};
}  // namespace cfg
}  // namespace tw
