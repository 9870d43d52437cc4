#include "analyse/kvCMultiSelRadiusDialog.h"

#include "analyse/kvAnalyseKeys.h"
#include "analyse/kvCAnalyseDlg.h"
#include "host/object/kvPropAccess.h"
#include "sdk/kvMsgEnt.h"
#include "sdk/kvValueSets.h"

#include <cmath>
#include <cwchar>

kvCMultiSelRadiusDialog::kvCMultiSelRadiusDialog() : m_faces(0)
{
    // The records of a large selection are many: the array doubles.
    m_faces.setGrowBy(0);
}

kvCMultiSelRadiusDialog::~kvCMultiSelRadiusDialog() = default;

const kvCMultiSelListDialog::Messages& kvCMultiSelRadiusDialog::messages() const
{
    static const Messages texts = {
        L"Exception in kvAnalyse(Plan 8)",  L"Exception in kvAnalyse (Plan 9)",
        L"Exception in kvAnalyse (Plan 10)", L"Exception in kvAnalyse (Plan 12)",
        L"Exception in kvAnalyse (Plan 13)", L"Exception in kvAnalyse (Plan 11)",
        L"Exception in kvAnalyse(Plan 7)",
    };
    return texts;
}

void kvCMultiSelRadiusDialog::insertColumns(kvIApplication1* app)
{
    m_list.InsertColumn(0, L"V", LVCFMT_LEFT, 20, 0);
    m_list.InsertColumn(1, L"C", LVCFMT_LEFT, 19, 0);
    m_list.InsertColumn(2, kvCMsgEnt(L"twUiCyc.loc|MacRadius|Radius").getEntry(app).c_str(), LVCFMT_LEFT, 62, 1);
    m_list.InsertColumn(3, kvCMsgEnt(L"twUiCyc.loc|AnaCount|Count").getEntry(app).c_str(), LVCFMT_LEFT, 62, 1);
    m_list.InsertColumn(4, kvCMsgEnt(L"twUiCyc.loc|AnaMRad|Min.Rad.").getEntry(app).c_str(), LVCFMT_LEFT, 62, 0);
}

namespace {
const double kSqrt2 = std::sqrt(2.0);

void directionsFromCentre(const kvFaceAxisRecord& geometry, const kvCGeVector& z, kvCGeVector& a, kvCGeVector& c)
{
    a = geometry.p0 - geometry.p2;
    c = geometry.p1 - geometry.p2;
    if (a.length() > 0.00001)
        a.normIt();
    if (c.length() > 0.00001)
        c.normIt();
    a += z;
    c += z;
}
}  // namespace

namespace {
// A fillet measured as 3 - 1e-8 is a fillet of 3 and meets a limit of 3;
// a radius 0.0001 beside a limit is another radius at every magnitude a list
// holds. The noise allowed lies far between the two.
constexpr double kvRadiusLimitNoise = 1e-7;
}  // namespace

bool kvCMultiSelRadiusDialog::withinRange(double radius, double minValue, double maxValue)
{
    return minValue - kvRadiusLimitNoise <= radius && radius <= maxValue + kvRadiusLimitNoise;
}

bool kvCMultiSelRadiusDialog::isConcave(kvFaceAxisRecord geometry, kvCGeVector z)
{
    kvCGeVector a, c;
    directionsFromCentre(geometry, z, a, c);
    return a.length() - kSqrt2 <= 0.001 && c.length() - kSqrt2 <= 0.001;
}

bool kvCMultiSelRadiusDialog::isConvex(kvFaceAxisRecord geometry, kvCGeVector z)
{
    kvCGeVector a, c;
    directionsFromCentre(geometry, z, a, c);
    return kSqrt2 - a.length() <= 0.1 && kSqrt2 - c.length() <= 0.1;
}

void kvCMultiSelRadiusDialog::evaluateGroups()
{
    m_groups.clear();
    m_step = 1.0;
    m_minValue = 0.01;
    m_maxValue = 100.0;
    if (!mpProp)
        return;
    if (m_faces.size() == 0) {
        fillList();
        return;
    }
    propGet(mpProp, kvKeyMinDiameter, m_minValue);
    propGet(mpProp, kvKeyMaxDiameter, m_maxValue);
    propGet(mpProp, kvKeyDiameterSteps, m_step);
    if (!(m_step >= 0.01))
        m_step = 0.01;
    bool showConcave = true, showConvex = true, showUndercut = true;
    propGet(mpProp, kvKeyShowKonkave, showConcave);
    propGet(mpProp, kvKeyShowKonvex, showConvex);
    propGet(mpProp, kvKeyShowUndercut, showUndercut);
    const kvCGeVector z = frameZ();

    std::vector<kvValueEntry> accepted;
    accepted.reserve(m_faces.size());
    for (unsigned int i = 0; i < m_faces.size(); ++i) {
        const kvIArcUnknown& record = m_faces.at(i);
        if (record.face.isNull())
            continue;
        if (!withinRange(record.radius, m_minValue, m_maxValue))
            continue;
        if (!showConcave || !showConvex || !showUndercut) {
            const bool concave = isConcave(record.axis, z);
            const bool convex = isConvex(record.axis, z);
            if ((!showConcave && concave) || (!showConvex && convex) || (!showUndercut && !concave && !convex))
                continue;
        }
        accepted.emplace_back(record.radius, i);
    }
    kvSortValueEntries(accepted);
    takeGroups(kvGroupSortedValues(accepted, m_step, 0.001), m_faces, m_groups);
    fillList();
    selectFirstRow();
}

bool kvCMultiSelRadiusDialog::rowMatches(double rowValue, double value) const
{
    return std::fabs(rowValue - value + 0.00001) <= m_step / 2;
}

void kvCMultiSelRadiusDialog::appendMenuItems(HMENU menu, int firstSelected, kvIApplication1* app)
{
    // The layer and colour of the CAD environment become the analysis
    // window's layer name and colour before the menu names the layer.
    kvCAnalyseDlg* window = analysisWindow();
    kvCString layer = window ? window->savingStyle().layer : kvCString();
    unsigned long colour = window ? window->savingStyle().colour : 0;
    propGet(mpProp, kvKeyCadLayer, layer);
    propGet(mpProp, kvKeyCadColor, colour);
    if (window) {
        window->setSavingLayer(layer);
        window->setSavingColour(colour);
    }
    const double value = firstSelected >= 0 && firstSelected < rowCount() ? rowValue(firstSelected) : 0.0;
    wchar_t text[512];
    std::swprintf(text, 512, L"%ls <%ls_R%lg...",
                  kvCMsgEnt(L"twUiCyc.loc|WrtRad|Write faces on separate layers").getEntry(app).c_str(),
                  layer.c_str(), value);
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, cmdWriteOnLayers, text);
}

void kvCMultiSelRadiusDialog::onListCommand(UINT id)
{
    if (id == cmdWriteOnLayers)
        writeFacesOnLayers();
}

namespace {
// An entity opened for editing is closed again on every path.
class EditScope {
public:
    explicit EditScope(const kvIfPtr<kvICadEntity>& entity) : m_entity(entity) { m_entity->beginEdit(); }
    ~EditScope() { m_entity->endEdit(); }

private:
    const kvIfPtr<kvICadEntity>& m_entity;
};
}  // namespace

void kvCMultiSelRadiusDialog::writeFacesOnLayers()
{
    // The layer of the CAD attributes becomes the analysis window's current
    // layer name; the faces still go on the layer the menu offered.
    kvCCadEntityData attributes;
    if (propGet(mpProp, kvKeyCadAttribute, attributes))
        if (kvCAnalyseDlg* window = analysisWindow())
            window->setSavingLayer(attributes.layer());
    kvCString layer;
    propGet(mpProp, kvKeyCadLayer, layer);
    for (int row = m_list.GetFirstSelected(); row >= 0; row = m_list.GetNextItem(row, LVNI_SELECTED)) {
        if (row >= rowCount())
            continue;
        wchar_t name[512];
        std::swprintf(name, 512, L"%ls_R%lg", layer.c_str(), rowValue(row));
        for (const kvIUnknownPtr& face : m_groupFaces[static_cast<std::size_t>(row)]) {
            kvIfPtr<kvICadEntity> entity(face.get());
            if (entity.isNull())
                continue;
            EditScope edit(entity);
            entity->setLayer(name);
        }
    }
}
