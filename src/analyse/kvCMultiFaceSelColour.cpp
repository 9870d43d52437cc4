// The multi-face panel's face colouring: the faces of the shown groups are
// painted in their group's colour, and every painted face gets its own colour
// back when the colouring is switched off.
//
// A face's own colour is saved the first time it is painted and is kept with
// the face itself, so it goes back onto that face however the selection or
// the groups have changed in between, faces of a group outside the selection
// included. A face painted again keeps the colour saved first; a face that a
// colouring no longer paints (neither selected nor in a group) gets its own
// colour back at once.
#include "analyse/kvCMultiFaceSelDialog.h"

#include "analyse/kvCAnalyseDlg.h"
#include "sdk/kvAssert.h"
#include "sdk/kvSurfaceQuilt.h"

namespace {
// How the host's selector is prepared before the selection is walked; the
// values are the host's own.
constexpr int selectorFilterFaces = 56;
constexpr int selectorModeSelected = 2;
}  // namespace

int kvCMultiFaceSelDialog::colourCurrentList(bool show, bool coloursSaved)
{
    kvCMultiSelListDialog* list = currentList();
    if (!m_mainDialog)
        return 0;
    kvGroupColouring groups;
    if (list)
        groups = list->colouring();
    return selectAndColourFaces(show, coloursSaved, m_mainDialog->isTransparent(), groups);
}

void kvCMultiFaceSelDialog::paint(const kvIfPtr<kvICadEntity>& entity, unsigned long colour, bool withAttribute)
{
    kvIfPtr<kvIColorAttrib> attribute;
    if (withAttribute) {
        attribute = entity.get();
        if (attribute.isNull())
            kvAssertFail(L"ColorAttribEntity", L"AnalyseUI", __LINE__);
    }
    if (m_savedIndex.find(entity.get()) == m_savedIndex.end()) {
        SavedColour saved;
        saved.entity = entity;
        if (withAttribute)
            attribute->getColor(&saved.colour, &saved.kind);
        else
            entity->getColor(&saved.colour);
        m_savedIndex.emplace(entity.get(), m_savedColours.size());
        m_savedColours.push_back(saved);
    }
    entity->setColor(colour);
}

void kvCMultiFaceSelDialog::restoreColours(bool withAttribute)
{
    // Taken out first: a failure halfway leaves no half-restored record that
    // a later restore would write again over a face's own colour.
    std::vector<SavedColour> saved;
    saved.swap(m_savedColours);
    m_savedIndex.clear();
    giveBack(saved, withAttribute);
}

void kvCMultiFaceSelDialog::giveBack(const std::vector<SavedColour>& saved, bool withAttribute)
{
    for (const SavedColour& s : saved) {
        kvIfPtr<kvIColorAttrib> attribute;
        if (withAttribute)
            attribute = s.entity.get();
        if (!attribute.isNull())
            attribute->setColor(s.colour, s.kind);
        else
            s.entity->setColor(s.colour);
        s.entity->updateDisplay();
    }
}

std::vector<kvIfPtr<kvICadEntity>> kvCMultiFaceSelDialog::selectionWalk()
{
    std::vector<kvIfPtr<kvICadEntity>> visited;
    kvIfPtr<kvIAppDocument1> doc;
    if (execContext())
        execContext()->getAppDocument(&doc);
    if (doc.isNull())
        kvAssertFail(L"pAppDoc", L"AnalyseUI", __LINE__);
    kvIfPtr<kvISelector1> selector;
    {
        kvIUnknownPtr found;
        doc->getSelector(&found);
        selector = found.get();
    }
    if (selector.isNull())
        kvAssertFail(L"pSelector", L"AnalyseUI", __LINE__);
    selector->setFilter(selectorFilterFaces);
    selector->setMode(selectorModeSelected);
    const int count = selector->getCount();
    if (count <= 0)
        return visited;
    kvIUnknownPtr first;
    selector->getItem(0, &first);
    // The faces the first object stands for: a quilt's faces, a face group's
    // faces, or the object itself.
    std::vector<kvIUnknownPtr> faces;
    if (!getSurfaceQuilt(first.get(), faces) && !collectEnumeratedObjects(first.get(), faces))
        faces.push_back(first);
    bool anyEntity = false;
    const bool enumeration = !kvIfPtr<kvIObjectEnum>(first.get()).isNull();
    for (const kvIUnknownPtr& face : faces) {
        kvIfPtr<kvICadEntity> entity(face.get());
        if (entity.isNull())
            continue;
        anyEntity = true;
        // A group visits its own faces, each once.
        if (enumeration)
            visited.push_back(entity);
    }
    // Otherwise each face visits the whole selection; the visits for a
    // quilt's further faces would paint the same faces again, so the
    // selection is visited once.
    if (enumeration || !anyEntity)
        return visited;
    for (int i = 0; i < count; ++i) {
        kvIUnknownPtr item;
        selector->getItem(i, &item);
        kvIfPtr<kvICadEntity> entity(item.get());
        if (!entity.isNull())
            visited.push_back(entity);
    }
    return visited;
}

int kvCMultiFaceSelDialog::selectAndColourFaces(bool show, bool, bool transparent, const kvGroupColouring& groups)
{
    try {
        kvIUnknownPtr base;
        if (execContext())
            execContext()->getBaseDocument(&base);
        const bool withAttribute = !kvIfPtr<kvITDBaseDocument1>(base.get()).isNull();
        const bool swDocument = !kvIfPtr<kvISWDocument1>(base.get()).isNull();
        if (!show) {
            if (m_savedColours.empty())
                return 0;
            if (swDocument && m_mainDialog && m_mainDialog->isChecked(kvCAnalyseDlg::idTransparent))
                m_mainDialog->setChecked(kvCAnalyseDlg::idTransparent, false);
            restoreColours(withAttribute);
            return 0;
        }
        const unsigned long neutral = m_mainDialog ? m_mainDialog->toolColour : 0;
        kvIfPtr<kvICadEntity> last;
        const std::vector<kvIfPtr<kvICadEntity>> visited = selectionWalk();
        unsigned long baseColour = neutral;
        if (!visited.empty()) {
            unsigned long display = neutral;
            visited.front()->getDisplayColor(&display);
            baseColour = transparent ? display : neutral;
        }
        std::unordered_set<kvIUnknown*> painted;
        for (const kvIfPtr<kvICadEntity>& entity : visited) {
            paint(entity, baseColour, withAttribute);
            painted.insert(entity.get());
            last = entity;
        }
        if (swDocument && m_mainDialog)
            m_mainDialog->setChecked(kvCAnalyseDlg::idTransparent, transparent);

        if (groups.groups && groups.colours) {
            unsigned int t = 0;
            for (std::size_t g = 0; g < groups.groups->size(); ++g) {
                if (t >= groups.colours->size())
                    t = 0;
                const unsigned long colour = groups.colours->size() ? groups.colours->at(t) : 0;
                ++t;
                const bool selected = static_cast<int>(g) == groups.selectedGroup;
                const bool visible = groups.visible && g < groups.visible->size() &&
                                     groups.visible->at(static_cast<unsigned int>(g));
                if (!selected && !visible)
                    continue;
                for (const kvIUnknownPtr& face : (*groups.groups)[g]) {
                    kvIfPtr<kvICadEntity> entity(face.get());
                    if (entity.isNull())
                        continue;
                    paint(entity, selected ? groups.highlightColour : colour, withAttribute);
                    painted.insert(entity.get());
                    last = entity;
                }
            }
        }
        // A face painted before that is now neither selected nor in a group
        // (the selection went on, or was emptied) would keep a colour that no
        // list explains: it gets its own back.
        restoreColoursExcept(painted, withAttribute);
        if (!last.isNull())
            last->updateDisplay();
        return 0;
    } catch (...) {
        return 2;
    }
}

void kvCMultiFaceSelDialog::restoreColoursExcept(const std::unordered_set<kvIUnknown*>& painted, bool withAttribute)
{
    std::vector<SavedColour> kept;
    std::vector<SavedColour> released;
    for (SavedColour& s : m_savedColours)
        (painted.count(s.entity.get()) ? kept : released).push_back(std::move(s));
    m_savedColours.swap(kept);
    m_savedIndex.clear();
    for (std::size_t i = 0; i < m_savedColours.size(); ++i)
        m_savedIndex.emplace(m_savedColours[i].entity.get(), i);
    giveBack(released, withAttribute);
}
