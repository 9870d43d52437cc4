// The group list of the plane analysis: planar faces grouped by their angle
// to the frame's z axis (0 to 90 degrees) in steps of a nominal angle.
#pragma once

#include "analyse/kvCMultiSelListDialog.h"

class kvCMultiSelPlanDialog : public kvCMultiSelListDialog {
public:
    kvCMultiSelPlanDialog();
    ~kvCMultiSelPlanDialog() override;

    // The records of the last plane analysis, filled by the panel.
    kvTArray<kvIPlanUnknown>& faceRecords() { return m_faces; }
    void clearFaceRecords() override { m_faces.setSize(0); }
    unsigned int faceRecordCount() const override { return m_faces.size(); }
    const std::vector<kvIPlanInfo>& groups() const { return m_groups; }

protected:
    const Messages& messages() const override;
    const wchar_t* assertUnit() const override { return L"MselPlanUi"; }
    void evaluateGroups() override;
    void insertColumns(kvIApplication1* app) override;
    const wchar_t* elementValueKey() const override { return L"twUiCyc.loc|MacAngle|angle"; }
    bool rowMatches(double rowValue, double value) const override;
    double rowValue(int row) const override { return m_groups.at(static_cast<std::size_t>(row)).value; }
    double rowFirstValue(int row) const override { return m_groups.at(static_cast<std::size_t>(row)).firstValue; }
    int rowFaceCount(int row) const override { return m_groups.at(static_cast<std::size_t>(row)).count; }

private:
    std::vector<kvIPlanInfo> m_groups;
    kvTArray<kvIPlanUnknown> m_faces;
};
