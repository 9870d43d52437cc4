// The analysis window's side of modes 3 and 4: showing the multi-face
// panel's lists, colouring their groups and giving the faces their own
// colours back.
#include "analyse/kvCAnalyseDlg.h"

#include "analyse/kvCMultiFaceSelDialog.h"
#include "analyse/kvCMultiSelPlanDialog.h"
#include "analyse/kvCMultiSelRadiusDialog.h"

#include <cwchar>

namespace {
kvCMultiFaceSelDialog* asMultiFacePanel(kvCDialog* panel)
{
    return dynamic_cast<kvCMultiFaceSelDialog*>(panel);
}
}  // namespace

void kvCAnalyseDlg::showMultiFaceLists(bool isNewPanel)
{
    kvCMultiFaceSelDialog* panel = asMultiFacePanel(multiFacePanel);
    if (!panel)
        return;
    // A selection changed while another mode was shown was never analysed:
    // the lists would show the faces of the selection before it.
    if (!isNewPanel) {
        panel->createListDialogs(false);
        if (!panel->selectionAnalysed())
            panel->analyseSelectedFaces();
        if (GetSafeHwnd() && GetDlgItem(idShowFaces)) {
            kvCMultiSelListDialog* list = panel->currentList();
            if (list)
                list->evaluate();
            // Coming back, the faces are shown when the list has groups to
            // show; over a list without rows the button ends off and every
            // face keeps its own colour, whatever the selection holds.
            facesShown = list != nullptr && list->rowCount() > 0;
            setChecked(idShowFaces, facesShown);
            onShowFacesButton();
        }
    }
    panel->createListDialogs(false);
    if (isNewPanel && !panel->selectionAnalysed())
        panel->runSelectionAnalysis();
}

void kvCAnalyseDlg::selectListRowsOfResult(int kind, const wchar_t* text)
{
    kvCMultiFaceSelDialog* panel = asMultiFacePanel(multiFacePanel);
    if (!panel || !text)
        return;
    // Only numeric results (kinds 4 to 99) name a row: the type, colour and
    // coordinate lines of a pick and the saving line (kind 100) would read as
    // 0 or as a colour component and select the 0 row or none, undoing the
    // selection of the face's angle.
    kvCMultiSelListDialog* list = nullptr;
    if (mode == 3 && (kind == 6 || kind == 17))
        list = panel->radiusList();
    else if (mode == 4 && kind >= 4 && kind < 100)
        list = panel->planeList();
    wchar_t* end = nullptr;
    const double value = std::wcstod(text, &end);
    if (!list || end == text)
        return;
    selectListRows(list, value);
    list->resetNavigation();
}

void kvCAnalyseDlg::selectPlaneRowsOfAngle(double angle)
{
    kvCMultiFaceSelDialog* panel = asMultiFacePanel(multiFacePanel);
    if (panel && panel->planeList())
        selectListRows(panel->planeList(), angle);
}

void kvCAnalyseDlg::selectListRows(kvCMultiSelListDialog* list, double value)
{
    // The selection refreshes the panel, which must not clear the result
    // that is being shown.
    clearResultsOnRefresh = false;
    list->selectRowsByValue(value);
    clearResultsOnRefresh = true;
}

void kvCAnalyseDlg::restoreGroupColours()
{
    if (kvCMultiFaceSelDialog* panel = asMultiFacePanel(multiFacePanel))
        panel->selectAndColourFaces(false, false, false, kvGroupColouring());
}

void kvCAnalyseDlg::emptyGroupLists()
{
    kvCMultiFaceSelDialog* panel = asMultiFacePanel(multiFacePanel);
    if (!panel)
        return;
    if (kvCMultiSelPlanDialog* planes = panel->planeList()) {
        planes->clearFaceRecords();
        planes->evaluate();
    }
    if (kvCMultiSelRadiusDialog* radii = panel->radiusList()) {
        radii->clearFaceRecords();
        radii->evaluate();
    }
}

bool kvCAnalyseDlg::colourGroupFaces()
{
    kvCMultiFaceSelDialog* panel = asMultiFacePanel(multiFacePanel);
    return panel && panel->colourCurrentList(true, true) == 0;
}
