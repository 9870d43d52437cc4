// The CAD entities a module writes into the simulator's model: texts, lines
// and polylines with their geometry, placement, layer and colour, and the
// insert bracket of the document they were written in. The model keeps plain
// records; the entity objects the module gets are thin handles on them that
// live only as long as the module holds them, so the census shows a handle
// the module forgot to give back.
#pragma once

#include "census.h"
#include "sdk/kvUnknownImp.h"

#include <array>
#include <iosfwd>
#include <string>
#include <vector>

namespace hostsim {

// Entity kinds as the model's createEntity takes them.
enum CadKind { cadLine = 1, cadPolyline = 5, cadText = 7 };

struct CadRecord {
    int kind = 0;
    // Text: the text, its direction and height, and its placement frame.
    std::wstring text;
    std::array<double, 3> direction{{0.0, 0.0, 0.0}};
    double height = 0.0;
    bool placed = false;
    double placement[4][4] = {};
    // Line: start and end; polyline: every point.
    std::vector<std::array<double, 3>> points;
    bool hasLayer = false;
    std::wstring layer;
    bool hasColour = false;
    unsigned long colour = 0;
    // The document's insert bracket the entity was created in (counted from
    // 1), or 0 when it was created outside one, and that bracket's frame.
    int insert = 0;
    double insertFrame[4][4] = {};
    // Edits begun and ended on the entity; a begun edit left open shows.
    int editsBegun = 0;
    int editsEnded = 0;
    // Changes made outside an edit (the host would refuse them).
    int changesOutsideEdit = 0;
    // Taken out of the model again: no longer listed.
    bool deleted = false;
};

// The model's entities and the document's insert brackets.
class CadStore {
public:
    // Adds a record of the kind; the index of the new record.
    std::size_t add(int kind);
    CadRecord& record(std::size_t index) { return m_records.at(index); }
    const std::vector<CadRecord>& records() const { return m_records; }
    void clear();

    // kvISWDocument1: a bracket opens with the frame entities are inserted
    // in; a bracket opened inside another or closed without one counts as
    // unbalanced.
    int beginInsert(const double frame[4][4]);
    int endInsert();
    int bracketsOpened() const { return m_opened; }
    int bracketsClosed() const { return m_closed; }
    bool insertOpen() const { return m_open; }
    int unbalancedBrackets() const { return m_unbalanced; }

    // One line per entity, then the brackets.
    void print(std::ostream& out) const;

    // Plays a model that cannot create entities of a kind (0: none refused).
    void refuse(int kind) { m_refused = kind; }
    bool refuses(int kind) const { return m_refused != 0 && kind == m_refused; }

private:
    std::vector<CadRecord> m_records;
    int m_opened = 0;
    int m_closed = 0;
    int m_unbalanced = 0;
    bool m_open = false;
    double m_frame[4][4] = {};
    int m_refused = 0;
};

class Model;

// Makes the handle of a new entity of the kind in the model's store, with
// one reference for the caller; null for a kind the model does not know.
kvIUnknown* createCadEntity(Model* model, CadStore& store, int kind);

// Takes the entity behind a handle of this model out of its store; false
// for anything else, or an entity taken out already.
bool deleteCadEntity(Model* model, CadStore& store, kvIUnknown* entity);

} // namespace hostsim
