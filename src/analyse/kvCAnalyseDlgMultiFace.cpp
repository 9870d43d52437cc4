// The analysis window's side of modes 3 and 4: showing the multi-face
// panel's lists, colouring their groups and giving the faces their own
// colours back.
#include "analyse/kvCAnalyseDlg.h"

#include "analyse/kvCMultiFaceSelDialog.h"
#include "analyse/kvCMultiSelPlanDialog.h"
#include "analyse/kvCMultiSelRadiusDialog.h"
#include "analyse/kvAnalyseKeys.h"
#include "host/object/kvPropAccess.h"
#include "sdk/kvValueSets.h"

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
            // A list without rows is still shown as the selection's run shows
            // it: every selected face in the base colour. Turned off, the
            // same faces in the same mode would show their own colours or the
            // base colour by the way the user came back to the mode. With
            // nothing selected (a window opened anew) there is nothing to
            // show: the colouring would paint whatever the document still
            // has selected, which no row and no selection explains.
            facesShown = list != nullptr && (list->rowCount() > 0 || selectionHoldsFaces());
            setChecked(idShowFaces, facesShown);
            onShowFacesButton();
        }
    }
    panel->createListDialogs(false);
    if (isNewPanel && !panel->selectionAnalysed())
        panel->runSelectionAnalysis();
}

bool kvCAnalyseDlg::selectionHoldsFaces() const
{
    kvCSurfaceSet selection;
    propGet(&ownProperties, kvKeySurfaces, selection);
    return selection.count() > 0;
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
    // The selection refreshes the panel, which must not clear the result
    // that is being shown.
    clearResultsOnRefresh = false;
    list->selectRowsByValue(value);
    clearResultsOnRefresh = true;
    list->resetNavigation();
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
