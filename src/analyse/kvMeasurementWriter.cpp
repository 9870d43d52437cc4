#include "analyse/kvMeasurementWriter.h"

#include "analyse/kvAnalyseRequire.h"

#include <vector>

namespace {

// The document's insert bracket, closed when the write ends however it ends.
class InsertBracket {
public:
    InsertBracket(kvIUnknown* baseDocument, const kvCGeMatrix& frame) : m_doc(baseDocument)
    {
        if (!m_doc.isNull())
            m_doc->beginInsert(frame.asDoubleMat());
    }
    ~InsertBracket()
    {
        if (!m_doc.isNull())
            m_doc->endInsert();
    }
    InsertBracket(const InsertBracket&) = delete;
    InsertBracket& operator=(const InsertBracket&) = delete;

private:
    kvIfPtr<kvISWDocument1> m_doc;
};

// An entity's edit, ended however the changes end.
class EntityEdit {
public:
    explicit EntityEdit(kvICadEntity* entity) : m_entity(entity) { m_entity->beginEdit(); }
    ~EntityEdit() { m_entity->endEdit(); }
    EntityEdit(const EntityEdit&) = delete;
    EntityEdit& operator=(const EntityEdit&) = delete;

private:
    kvICadEntity* m_entity;
};

// Lines and polylines take the colour before the layer.
void styleLine(kvICadEntity* entity, const kvMeasurementStyle& style)
{
    if (style.useColour)
        entity->setColor(style.colour);
    if (style.useLayer)
        entity->setLayer(style.layer);
}

template <class Entity>
kvIfPtr<Entity> createEntity(const kvIfPtr<kvIBaseModel1>& model, int kind)
{
    kvIUnknownPtr created;
    if (!model.isNull())
        model->createEntity(kind, &created);
    return kvIfPtr<Entity>(created);
}

// The entity made, or the failure, into the log when there is one.
void logWrite(kvMeasurementLog* log, kvIUnknown* entity, int kind, const wchar_t* text = nullptr)
{
    if (!log)
        return;
    if (entity)
        log->written.push_back({kvIUnknownPtr(entity), kind, text ? text : L""});
    else
        log->failed = true;
}

void writeText(const kvIfPtr<kvIBaseModel1>& model, const kvCGeMatrix& frame, const wchar_t* text,
               const kvMeasurementStyle& style, kvMeasurementLog* log)
{
    kvIfPtr<kvICadText> pText = createEntity<kvICadText>(model, kvCadKindText);
    logWrite(log, pText.get(), kvCadKindText, text);
    KV_REQUIRE(!pText.isNull(), L"pText", kvUnitAnalyseUI);
    EntityEdit edit(pText.getIf());
    const double(&m)[4][4] = frame.asDoubleMat();
    const double direction[3] = {m[2][0], m[2][1], m[2][2]};
    pText->setGeometry(text, direction, kvMeasurementTextHeight);
    pText->setPlacement(m);
    // The text takes the layer before the colour.
    if (style.useLayer)
        pText->setLayer(style.layer);
    if (style.useColour)
        pText->setColor(style.colour);
}

// The contour's pieces, each a contour of its own: written together, the
// approximation would join one piece's end to the next one's start.
std::vector<kvCGeContour3d> piecesOf(const kvCGeContour& contour)
{
    std::vector<kvCGeContour3d> pieces;
    for (unsigned int i = 0; i < contour.elementCount(); ++i) {
        const kvCGeContour::Element& e = contour.element(i);
        if (e.kind == 0 || pieces.empty()) {
            pieces.emplace_back();
            pieces.back().lineTo(e.end, 1);
        } else if (e.kind == 1) {
            pieces.back().lineTo(e.end, 0);
        } else {
            pieces.back().arcTo(e.end, e.centre, e.normal, e.ccw ? 1 : 0);
        }
    }
    return pieces;
}

// One piece as a line (two points) or a polyline; null when it approximates
// to fewer than two points or the model makes neither.
kvIUnknownPtr writePiece(const kvCGeContour3d& piece, const kvIfPtr<kvIBaseModel1>& model,
                         const kvMeasurementStyle& style, kvMeasurementLog* log)
{
    kvIUnknownPtr written;
    int kind = kvCadKindPolyline;
    kvTArray<double[3], kvTMemCopy<double[3]>> points(8);
    points.setGrowBy(8);
    if (!piece.getApproxPoints(points, kvMeasurementApproxTolerance) || points.size() < 2)
        return written;
    if (points.size() == 2) {
        kvIfPtr<kvICadLine> line = createEntity<kvICadLine>(model, kvCadKindLine);
        if (!line.isNull()) {
            EntityEdit edit(line.getIf());
            line->setGeometry(points[0], points[1]);
            styleLine(line.getIf(), style);
            written = kvIUnknownPtr(line.get());
            kind = kvCadKindLine;
        }
    }
    if (written == nullptr) {
        kvIfPtr<kvICadPolyline> polyline = createEntity<kvICadPolyline>(model, kvCadKindPolyline);
        if (!polyline.isNull()) {
            EntityEdit edit(polyline.getIf());
            polyline->setGeometry(points.data(), static_cast<int>(points.size()));
            styleLine(polyline.getIf(), style);
            written = kvIUnknownPtr(polyline.get());
        }
    }
    logWrite(log, written.get(), kind);
    return written;
}

} // namespace

kvIUnknownPtr kvWriteMeasurement(kvIUnknown* baseDocument, const kvCGeContour* contour,
                                 const kvIfPtr<kvIBaseModel1>& model, const kvCGeMatrix& frame, const wchar_t* text,
                                 const kvMeasurementStyle& style, kvMeasurementLog* log)
{
    InsertBracket bracket(baseDocument, frame);
    if (text) {
        try {
            writeText(model, frame, text, style, log);
        } catch (wchar_t*) {
            // A text the model refused: its assertion has told the user, and
            // the log holds the refusal for the save to answer.
            if (!log)
                throw;
        }
    }
    kvIUnknownPtr written;
    if (!contour || (log && log->failed && log->stopsAtRefusal))
        return written;
    for (const kvCGeContour3d& piece : piecesOf(*contour)) {
        kvIUnknownPtr entity = writePiece(piece, model, style, log);
        if (entity != nullptr)
            written = entity;
    }
    return written;
}

std::vector<kvWrittenEntity> kvTakeBackMeasurement(const kvIfPtr<kvIBaseModel1>& model,
                                                   const kvMeasurementLog& log)
{
    const kvIfPtr<kvIBaseModelWithDelete> deleting(model.get());
    std::vector<kvWrittenEntity> standing;
    for (auto it = log.written.rbegin(); it != log.written.rend(); ++it) {
        if (deleting.isNull() || deleting->deleteEntity(it->entity.get()) != 0)
            standing.insert(standing.begin(), *it);
    }
    return standing;
}
