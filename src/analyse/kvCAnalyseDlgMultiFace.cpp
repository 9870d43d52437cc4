// The analysis window's side of modes 3 and 4: showing the multi-face
// panel's lists, colouring their groups and giving the faces their own
// colours back.
#include "analyse/kvCAnalyseDlg.h"

#include "analyse/kvCMultiFaceSelDialog.h"
#include "analyse/kvCMultiSelPlanDialog.h"
#include "analyse/kvCMultiSelRadiusDialog.h"

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
    if (!isNewPanel) {
        panel->createListDialogs(false);
        if (GetSafeHwnd() && GetDlgItem(idShowFaces)) {
            facesShown = true;
            kvCMultiSelListDialog* list = panel->currentList();
            if (list)
                list->evaluate();
            if (!list || list->rowCount() == 0)
                facesShown = false;
            setChecked(idShowFaces, facesShown);
            onShowFacesButton();
        }
    }
    panel->createListDialogs(false);
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
