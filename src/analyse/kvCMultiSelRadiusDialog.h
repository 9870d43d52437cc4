// The group list of the radius analysis: faces filtered by radius range and
// by shape (concave, convex, undercut), grouped into steps of a nominal
// radius; its groups' faces can be put on layers named after the radius.
#pragma once

#include "analyse/kvCMultiSelListDialog.h"

class kvCMultiSelRadiusDialog : public kvCMultiSelListDialog {
public:
    kvCMultiSelRadiusDialog();
    ~kvCMultiSelRadiusDialog() override;

    // The records of the last radius analysis, filled by the panel.
    kvTArray<kvIArcUnknown>& faceRecords() { return m_faces; }
    void clearFaceRecords() override { m_faces.setSize(0); }
    unsigned int faceRecordCount() const override { return m_faces.size(); }
    const std::vector<kvIRadiusInfo>& groups() const { return m_groups; }

    // Puts the faces of the selected groups on layers "<layer>_R<radius>".
    void writeFacesOnLayers();

    // True when the radius lies in the closed range, allowing only for the
    // floating-point noise of a measured radius (kvRadiusLimitNoise).
    static bool withinRange(double radius, double minValue, double maxValue);

    // Shape tests of a face's circle against the frame's z axis.
    static bool isConcave(kvFaceAxisRecord geometry, kvCGeVector z);
    static bool isConvex(kvFaceAxisRecord geometry, kvCGeVector z);

protected:
    const Messages& messages() const override;
    const wchar_t* assertUnit() const override { return L"MselRadUi"; }
    void evaluateGroups() override;
    void insertColumns(kvIApplication1* app) override;
    const wchar_t* elementValueKey() const override { return L"twUiCyc.loc|AnaMinRad|min. radius"; }
    bool rowMatches(double rowValue, double value) const override;
    double rowValue(int row) const override { return m_groups.at(static_cast<std::size_t>(row)).value; }
    double rowFirstValue(int row) const override { return m_groups.at(static_cast<std::size_t>(row)).firstValue; }
    int rowFaceCount(int row) const override { return m_groups.at(static_cast<std::size_t>(row)).count; }
    void appendMenuItems(HMENU menu, int firstSelected, kvIApplication1* app) override;
    void onListCommand(UINT id) override;

private:
    std::vector<kvIRadiusInfo> m_groups;
    kvTArray<kvIArcUnknown> m_faces;
};
