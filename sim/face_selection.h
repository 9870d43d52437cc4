// The document's faces as the host's CAD entities (each with its colour and
// layer), face groups, and the host's selection of them. The selection owns
// the part's entities, and the document owns the selection, so they live as
// long as the document does.
#pragma once

#include "sample_part.h"
#include "view.h"

#include "sdk/kvInterfaces.h"
#include "sdk/kvUnknownImp.h"

#include <memory>
#include <string>
#include <vector>

namespace hostsim {

class Session;

// A face of the document: its shape (FaceObject) and its CAD attributes,
// also as the colour attribute (kvIColorAttrib) that a document with colour
// attributes gives its entities: the colour with its kind.
class FaceEntity : public FaceObject, public kvIColorAttrib {
public:
    // With one reference for the caller.
    static FaceEntity* create(const SampleFace& face);

    kvIUnknown* queryInterface(const wchar_t* name) override;
    int getColor(unsigned long* color) override;
    int setColor(unsigned long color) override;
    // The kind is 0 for a face's own colour and 1 once a colour was set on
    // the entity.
    int getColor(unsigned long* color, int* kind) override;
    int setColor(unsigned long color, int kind) override;
    // The colour the host shows a face with in a transparent view.
    int getDisplayColor(unsigned long* color) override;
    int updateDisplay() override;
    int beginEdit() override;
    // Only between beginEdit and endEdit.
    int setLayer(const wchar_t* layer) override;
    int endEdit() override;

    unsigned long colour() const { return m_colour; }
    int colourKind() const { return m_kind; }
    // Calls through the colour attribute.
    int attributeCalls() const { return m_attributeCalls; }
    const std::string& layer() const { return m_layer; }
    unsigned long originalColour() const;
    bool editing() const { return m_editing; }
    int displayUpdates() const { return m_updates; }

    explicit FaceEntity(const SampleFace& face);

private:
    unsigned long m_colour;
    int m_kind = 0;
    int m_attributeCalls = 0;
    std::string m_layer;
    bool m_editing = false;
    int m_updates = 0;
};

// A face group: an object enumeration of faces. A group flagged as a quilt
// is also a surface quilt (kvIGeSurfaceQuilt), as the host hands out faces
// that it keeps as one surface.
class FaceGroup : public kvIUnknownImp, public kvIObjectEnum, public kvIGeSurfaceQuilt, public Counted {
public:
    static FaceGroup* create(const std::vector<FaceEntity*>& faces, bool quilt = false);
    kvIUnknown* queryInterface(const wchar_t* name) override;
    int reset() override;
    int atEnd() override;
    int current(kvIUnknown** object) override;
    int next() override;
    int getFaceCount() override;
    int getFace(int index, kvIUnknown** face) override;

    std::size_t size() const { return m_faces.size(); }

    FaceGroup(const std::vector<FaceEntity*>& faces, bool quilt);
    ~FaceGroup() override;

private:
    std::vector<FaceEntity*> m_faces;  // one reference each
    std::size_t m_at = 0;
    bool m_quilt;
};

// The host's selection in the document, and the document's faces.
class Selection : public kvIUnknownImp, public kvISelector1, public Counted {
public:
    static Selection* create();
    kvIUnknown* queryInterface(const wchar_t* name) override;
    int setFilter(int filter) override;
    int setMode(int mode) override;
    int getCount() override;
    int getItem(int index, kvIUnknown** item) override;

    // The document's part becomes these faces (the part keeps them); the
    // selection is emptied.
    void setPart(std::shared_ptr<const std::vector<SampleFace>> faces, const std::string& name);
    const std::string& partName() const { return m_partName; }
    const std::vector<FaceEntity*>& entities() const { return m_entities; }
    FaceEntity* entityById(int id) const;

    // The selected objects, in order; each gets one reference of the selection.
    void select(const std::vector<kvIUnknown*>& objects);
    const std::vector<kvIUnknown*>& selected() const { return m_selected; }
    int lastFilter() const { return m_filter; }
    int lastMode() const { return m_mode; }

    Selection();
    ~Selection() override;

private:
    void dropEntities();

    std::shared_ptr<const std::vector<SampleFace>> m_part;
    std::string m_partName;
    std::vector<FaceEntity*> m_entities;  // one reference each
    std::vector<kvIUnknown*> m_selected;  // one reference each
    int m_filter = 0;
    int m_mode = 0;
};

// The document's selection, made with the sample part on first use.
Selection& documentSelection(Session& session);

} // namespace hostsim
