#include "analyse/kvCMultiSelPlanDialog.h"

#include "analyse/kvAnalyseKeys.h"
#include "analyse/kvMultiSelAnalysis.h"
#include "host/object/kvPropAccess.h"
#include "sdk/kvMsgEnt.h"

#include <cmath>

kvCMultiSelPlanDialog::kvCMultiSelPlanDialog() : m_faces(0)
{
    m_faces.setGrowBy(0);
}

kvCMultiSelPlanDialog::~kvCMultiSelPlanDialog() = default;

const kvCMultiSelListDialog::Messages& kvCMultiSelPlanDialog::messages() const
{
    static const Messages texts = {
        L"Exception in kvAnalyse(Plan 1)",  L"Exception in kvAnalyse (Plan 4)",
        L"Exception in kvAnalyse (Plan 5)", L"Exception in kvAnalyse(Plan 6)",
        L"Exception in kvAnalyse(Plan 3)",  nullptr,
        nullptr,
    };
    return texts;
}

void kvCMultiSelPlanDialog::insertColumns(kvIApplication1* app)
{
    m_list.InsertColumn(0, L"V", LVCFMT_LEFT, 20, 0);
    m_list.InsertColumn(1, L"C", LVCFMT_LEFT, 19, 0);
    m_list.InsertColumn(2, kvCMsgEnt(L"twUiCyc.loc|MacAngle|Angle").getEntry(app).c_str(), LVCFMT_LEFT, 62, 1);
    m_list.InsertColumn(3, kvCMsgEnt(L"twUiCyc.loc|AnaCount|Count").getEntry(app).c_str(), LVCFMT_LEFT, 62, 1);
    m_list.InsertColumn(4, kvCMsgEnt(L"twUiCyc.loc|AnaMAng|Min.Angle").getEntry(app).c_str(), LVCFMT_LEFT, 62, 0);
}

void kvCMultiSelPlanDialog::evaluateGroups()
{
    m_groups.clear();
    m_step = 1.0;
    m_minValue = 0.0;
    m_maxValue = 90.0;
    if (!mpProp)
        return;
    if (m_faces.size() == 0) {
        fillList();
        return;
    }
    propGet(mpProp, kvKeyMinAngle, m_minValue);
    propGet(mpProp, kvKeyMaxAngle, m_maxValue);
    propGet(mpProp, kvKeyAngleSteps, m_step);
    if (!(m_step >= 0.01))
        m_step = 0.01;
    const kvCGeVector z = frameZ();

    std::vector<kvValueEntry> accepted;
    accepted.reserve(m_faces.size());
    for (unsigned int i = 0; i < m_faces.size(); ++i) {
        try {
            // The angle is taken against the frame of this evaluation, so a
            // changed frame regroups the faces and shows their new angles.
            kvIPlanUnknown& record = m_faces.at(i);
            record.angle = kvAngleToFrame(z, record.normal);
            record.box.value = record.angle;
            if (m_minValue - 0.001 <= record.angle && record.angle <= m_maxValue + 0.001)
                accepted.emplace_back(record.angle, i);
        } catch (...) {
            showException(L"Exception in kvAnalyse(Plan 2)");
        }
    }
    kvSortValueEntries(accepted);
    takeGroups(kvGroupSortedValues(accepted, m_step, 0.0), m_faces, m_groups);
    fillList();
    selectFirstRow();
}

bool kvCMultiSelPlanDialog::rowMatches(double rowValue, double value) const
{
    return std::fabs(rowValue - value) < m_step / 2;
}
