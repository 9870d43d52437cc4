#include "cad_model.h"

#include "host_objects.h"
#include "script.h"
#include "session.h"
#include "text.h"

#include <cstdio>
#include <ostream>

namespace hostsim {

// ---------------------------------------------------------------- store

std::size_t CadStore::add(int kind)
{
    CadRecord r;
    r.kind = kind;
    r.insert = m_open ? m_opened : 0;
    if (m_open)
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) r.insertFrame[i][j] = m_frame[i][j];
    m_records.push_back(r);
    return m_records.size() - 1;
}

void CadStore::clear()
{
    m_records.clear();
    m_opened = m_closed = m_unbalanced = 0;
    m_open = false;
}

int CadStore::beginInsert(const double frame[4][4])
{
    if (!frame) return -1;
    if (m_open) ++m_unbalanced;
    m_open = true;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) m_frame[i][j] = frame[i][j];
    ++m_opened;
    return 0;
}

int CadStore::endInsert()
{
    if (!m_open) {
        ++m_unbalanced;
        return -1;
    }
    m_open = false;
    ++m_closed;
    return 0;
}

namespace {

std::string number(double v)
{
    char text[32];
    // Round off the last bits of arithmetic so that listings read as a
    // person would write the values.
    double r = v;
    if (r > -5e-10 && r < 5e-10) r = 0.0;
    std::snprintf(text, sizeof text, "%.6g", r);
    return text;
}

std::string point(const std::array<double, 3>& p)
{
    return "(" + number(p[0]) + ", " + number(p[1]) + ", " + number(p[2]) + ")";
}

const char* kindName(int kind)
{
    switch (kind) {
    case cadText: return "text";
    case cadLine: return "line";
    case cadPolyline: return "polyline";
    default: return "entity";
    }
}

} // namespace

void CadStore::print(std::ostream& out) const
{
    std::size_t listed = 0;
    for (const CadRecord& r : m_records) listed += r.deleted ? 0 : 1;
    out << "model entities: " << listed << '\n';
    int n = 0;
    for (const CadRecord& r : m_records) {
        if (r.deleted) continue;
        out << "  " << ++n << "  " << kindName(r.kind);
        if (r.kind == cadText) {
            out << " \"" << shownText(r.text) << "\" height " << number(r.height) << " direction "
                << point(r.direction);
            if (r.placed)
                out << " at " << point({{r.placement[0][3], r.placement[1][3], r.placement[2][3]}});
        } else if (r.kind == cadLine && r.points.size() == 2) {
            out << " from " << point(r.points[0]) << " to " << point(r.points[1]);
        } else if (!r.points.empty()) {
            out << ' ' << r.points.size() << " points from " << point(r.points.front()) << " to "
                << point(r.points.back());
        } else {
            out << " without geometry";
        }
        out << "  layer \"" << (r.hasLayer ? shownText(r.layer) : std::string()) << "\"  colour ";
        if (r.hasColour) {
            char text[16];
            std::snprintf(text, sizeof text, "0x%06lx", r.colour);
            out << text;
        } else {
            out << "none";
        }
        out << "  insert " << r.insert;
        if (r.insert)
            out << " at " << point({{r.insertFrame[0][3], r.insertFrame[1][3], r.insertFrame[2][3]}});
        if (r.editsBegun != r.editsEnded) out << "  edit left open";
        if (r.changesOutsideEdit) out << "  changed outside an edit";
        out << '\n';
    }
    out << "insert brackets: " << m_opened << " opened, " << m_closed << " closed";
    if (m_open) out << ", one still open";
    if (m_unbalanced) out << ", " << m_unbalanced << " unbalanced";
    out << '\n';
}

// ---------------------------------------------------------------- entity handles

namespace {

// What every handle is, whatever its entity's kind: the record it stands
// for in its model.
class CadRecordHandle {
public:
    virtual ~CadRecordHandle() = default;
    virtual const Model* model() const = 0;
    virtual std::size_t index() const = 0;
};

// The part every entity kind shares: the record it stands for, and the
// model that keeps the record (one reference held).
template <class Interface>
class CadHandle : public kvIUnknownImp, public Interface, public CadRecordHandle, public Counted {
public:
    CadHandle(const char* kind, Model* model, CadStore& store, std::size_t index)
        : Counted(kind), m_model(model), m_store(store), m_index(index)
    {
        m_model->_addRef();
    }
    const Model* model() const override { return m_model; }
    std::size_t index() const override { return m_index; }
    ~CadHandle() override { m_model->_relRef(); }

    kvIUnknown* queryInterface(const wchar_t* name) override
    {
        return kvQueryInterfaces<Interface, kvICadEntity>(this, name);
    }
    int getColor(unsigned long* color) override
    {
        if (!color || !rec().hasColour) return -1;
        *color = rec().colour;
        return 0;
    }
    int setColor(unsigned long color) override
    {
        changed();
        rec().hasColour = true;
        rec().colour = color;
        return 0;
    }
    int setLayer(const wchar_t* layer) override
    {
        if (!layer) return -1;
        changed();
        rec().hasLayer = true;
        rec().layer = layer;
        return 0;
    }
    int beginEdit() override
    {
        ++rec().editsBegun;
        return 0;
    }
    int endEdit() override
    {
        if (rec().editsEnded >= rec().editsBegun) return -1;
        ++rec().editsEnded;
        return 0;
    }

protected:
    CadRecord& rec() { return m_store.record(m_index); }
    void changed()
    {
        if (rec().editsBegun == rec().editsEnded) ++rec().changesOutsideEdit;
    }

private:
    Model* m_model;
    CadStore& m_store;
    std::size_t m_index;
};

class CadTextHandle : public CadHandle<kvICadText> {
public:
    using CadHandle::CadHandle;
    int setPlacement(const double frame[4][4]) override
    {
        if (!frame) return -1;
        changed();
        rec().placed = true;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) rec().placement[i][j] = frame[i][j];
        return 0;
    }
    int setGeometry(const wchar_t* text, const double direction[3], double height) override
    {
        if (!text || !direction) return -1;
        changed();
        rec().text = text;
        rec().direction = {{direction[0], direction[1], direction[2]}};
        rec().height = height;
        return 0;
    }
};

class CadLineHandle : public CadHandle<kvICadLine> {
public:
    using CadHandle::CadHandle;
    int setGeometry(const double start[3], const double end[3]) override
    {
        if (!start || !end) return -1;
        changed();
        rec().points = {{{start[0], start[1], start[2]}}, {{end[0], end[1], end[2]}}};
        return 0;
    }
};

class CadPolylineHandle : public CadHandle<kvICadPolyline> {
public:
    using CadHandle::CadHandle;
    int setGeometry(const double (*points)[3], int count) override
    {
        if (!points || count < 2) return -1;
        changed();
        rec().points.clear();
        for (int i = 0; i < count; ++i) rec().points.push_back({{points[i][0], points[i][1], points[i][2]}});
        return 0;
    }
};

template <class Handle>
kvIUnknown* makeHandle(const char* kind, Model* model, CadStore& store, int entityKind)
{
    Handle* h = new kvIfImp<Handle>(kind, model, store, store.add(entityKind));
    h->_addRef();
    return static_cast<kvIUnknown*>(static_cast<kvICadEntity*>(h));
}

} // namespace

kvIUnknown* createCadEntity(Model* model, CadStore& store, int kind)
{
    if (!model || store.refuses(kind)) return nullptr;
    switch (kind) {
    case cadText: return makeHandle<CadTextHandle>("cad text", model, store, kind);
    case cadLine: return makeHandle<CadLineHandle>("cad line", model, store, kind);
    case cadPolyline: return makeHandle<CadPolylineHandle>("cad polyline", model, store, kind);
    default: return nullptr;
    }
}

bool deleteCadEntity(Model* model, CadStore& store, kvIUnknown* entity)
{
    const CadRecordHandle* handle = dynamic_cast<const CadRecordHandle*>(entity);
    if (!handle || handle->model() != model || handle->index() >= store.records().size()) return false;
    CadRecord& r = store.record(handle->index());
    if (r.deleted) return false;
    r.deleted = true;
    return true;
}

// ---------------------------------------------------------------- script command

namespace {

// entities              lists what the model received
// entities clear        forgets it (the next listing starts empty)
// entities refuse KIND  the model creates no entities of the kind
//                       (text, line, polyline or none)
void entities(Session& s, const std::string& args)
{
    CadStore& store = s.model().cad();
    const std::vector<std::string> words = splitWords(args);
    if (words.empty()) {
        store.print(s.out());
    } else if (words.size() == 1 && words[0] == "clear") {
        store.clear();
        s.out() << "model entities cleared\n";
    } else if (words.size() == 2 && words[0] == "refuse") {
        const std::string& kind = words[1];
        const int code = kind == "text" ? cadText : kind == "line" ? cadLine : kind == "polyline" ? cadPolyline : 0;
        if (code == 0 && kind != "none") throw ScriptError("no entity kind '" + kind + "'");
        store.refuse(code);
        s.out() << "the model refuses " << (code ? kind + " entities" : std::string("nothing")) << '\n';
    } else {
        throw ScriptError("entities takes nothing, 'clear' or 'refuse KIND'");
    }
}

const CommandRegistration entitiesCommand("entities", entities);

} // namespace

} // namespace hostsim
