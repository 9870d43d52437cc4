#include "face_selection.h"

#include "session.h"
#include "text.h"

#include <memory>

namespace hostsim {

namespace {
unsigned long colourOf(const SampleColour& c)
{
    return static_cast<unsigned long>(c.r) | (static_cast<unsigned long>(c.g) << 8) |
           (static_cast<unsigned long>(c.b) << 16);
}
// The host's colour of faces in a transparent view.
const unsigned long kTransparentViewColour = 0xC8C8C8;
}  // namespace

// ---------------------------------------------------------------- entities

FaceEntity* FaceEntity::create(const SampleFace& face)
{
    FaceEntity* entity = new kvIfImp<FaceEntity>(face);
    entity->_addRef();
    return entity;
}

FaceEntity::FaceEntity(const SampleFace& face) : FaceObject(face), m_colour(colourOf(face.colour)), m_layer(face.layer)
{
}

unsigned long FaceEntity::originalColour() const
{
    return colourOf(face().colour);
}

int FaceEntity::getColor(unsigned long* color)
{
    if (!color) return -1;
    *color = m_colour;
    return 0;
}

kvIUnknown* FaceEntity::queryInterface(const wchar_t* name)
{
    if (kvIUnknown* found = FaceObject::queryInterface(name)) return found;
    return kvQueryInterfaces<kvIColorAttrib>(this, name);
}

int FaceEntity::setColor(unsigned long color)
{
    m_colour = color;
    m_kind = 1;
    return 0;
}

int FaceEntity::getColor(unsigned long* color, int* kind)
{
    if (!color || !kind) return -1;
    ++m_attributeCalls;
    *color = m_colour;
    *kind = m_kind;
    return 0;
}

int FaceEntity::setColor(unsigned long color, int kind)
{
    ++m_attributeCalls;
    m_colour = color;
    m_kind = kind;
    return 0;
}

int FaceEntity::getDisplayColor(unsigned long* color)
{
    if (!color) return -1;
    *color = kTransparentViewColour;
    return 0;
}

int FaceEntity::updateDisplay()
{
    ++m_updates;
    return 0;
}

int FaceEntity::beginEdit()
{
    if (m_editing) return -1;
    m_editing = true;
    return 0;
}

int FaceEntity::setLayer(const wchar_t* layer)
{
    if (!m_editing || !layer) return -1;
    m_layer = toUtf8(layer);
    return 0;
}

int FaceEntity::endEdit()
{
    if (!m_editing) return -1;
    m_editing = false;
    return 0;
}

// ---------------------------------------------------------------- groups

FaceGroup* FaceGroup::create(const std::vector<FaceEntity*>& faces, bool quilt)
{
    FaceGroup* group = new kvIfImp<FaceGroup>(faces, quilt);
    group->_addRef();
    return group;
}

FaceGroup::FaceGroup(const std::vector<FaceEntity*>& faces, bool quilt)
    : Counted(quilt ? "face quilt" : "face group"), m_faces(faces), m_quilt(quilt)
{
    for (FaceEntity* face : m_faces) face->_addRef();
}

FaceGroup::~FaceGroup()
{
    for (FaceEntity* face : m_faces) face->_relRef();
}

kvIUnknown* FaceGroup::queryInterface(const wchar_t* name)
{
    if (m_quilt) return kvQueryInterfaces<kvIObjectEnum, kvIGeSurfaceQuilt>(this, name);
    return kvQueryInterfaces<kvIObjectEnum>(this, name);
}

int FaceGroup::getFaceCount() { return static_cast<int>(m_faces.size()); }

int FaceGroup::getFace(int index, kvIUnknown** face)
{
    if (!face) return -1;
    *face = nullptr;
    if (index < 0 || index >= getFaceCount()) return -1;
    *face = static_cast<kvIGeSurface*>(m_faces[static_cast<std::size_t>(index)]);
    (*face)->addRef();
    return 0;
}

int FaceGroup::reset()
{
    m_at = 0;
    return 0;
}

int FaceGroup::atEnd() { return m_at >= m_faces.size() ? 1 : 0; }

int FaceGroup::current(kvIUnknown** object)
{
    if (!object) return -1;
    *object = nullptr;
    if (m_at >= m_faces.size()) return -1;
    *object = static_cast<kvIGeSurface*>(m_faces[m_at]);
    (*object)->addRef();
    return 0;
}

int FaceGroup::next()
{
    if (m_at < m_faces.size()) ++m_at;
    return 0;
}

// ---------------------------------------------------------------- selection

Selection* Selection::create()
{
    Selection* selection = new kvIfImp<Selection>();
    selection->_addRef();
    return selection;
}

Selection::Selection() : Counted("selection") {}

Selection::~Selection()
{
    select({});
    dropEntities();
}

kvIUnknown* Selection::queryInterface(const wchar_t* name) { return kvQueryInterfaces<kvISelector1>(this, name); }

int Selection::setFilter(int filter)
{
    m_filter = filter;
    return 0;
}

int Selection::setMode(int mode)
{
    m_mode = mode;
    return 0;
}

int Selection::getCount() { return static_cast<int>(m_selected.size()); }

int Selection::getItem(int index, kvIUnknown** item)
{
    if (!item) return -1;
    *item = nullptr;
    if (index < 0 || index >= getCount()) return -1;
    *item = m_selected[static_cast<std::size_t>(index)];
    (*item)->addRef();
    return 0;
}

void Selection::dropEntities()
{
    for (FaceEntity* entity : m_entities) entity->_relRef();
    m_entities.clear();
}

void Selection::setPart(std::shared_ptr<const std::vector<SampleFace>> faces, const std::string& name)
{
    select({});
    dropEntities();
    m_part = std::move(faces);
    m_partName = name;
    m_entities.reserve(m_part->size());
    for (const SampleFace& face : *m_part) m_entities.push_back(FaceEntity::create(face));
}

FaceEntity* Selection::entityById(int id) const
{
    for (FaceEntity* entity : m_entities)
        if (entity->face().id == id) return entity;
    return nullptr;
}

void Selection::select(const std::vector<kvIUnknown*>& objects)
{
    for (kvIUnknown* object : objects) object->addRef();
    for (kvIUnknown* object : m_selected) object->release();
    m_selected = objects;
}

Selection& documentSelection(Session& session)
{
    AppDocument& document = session.document();
    if (!document.selector()) {
        Selection* selection = Selection::create();
        // The sample part's faces live for the process; the part keeps a
        // view of them without owning them.
        selection->setPart(std::shared_ptr<const std::vector<SampleFace>>(&samplePart().faces(),
                                                                          [](const std::vector<SampleFace>*) {}),
                           "sample part");
        document.setSelector(static_cast<kvISelector1*>(selection));
        selection->_relRef();
    }
    return *dynamic_cast<Selection*>(static_cast<kvISelector1*>(document.selector()));
}

} // namespace hostsim
