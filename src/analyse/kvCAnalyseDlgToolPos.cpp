// What the analysis window asks of the tool-position page. The window has no
// page of mode 5 yet, so the mouse never turns a tool: every question answers
// as for a page that does not exist.
#include "analyse/kvCAnalyseDlg.h"

bool kvCAnalyseDlg::toolPosMouseAngleActive()
{
    return false;
}

void kvCAnalyseDlg::toolPosFinishMouseAngle()
{
}

void kvCAnalyseDlg::toolPosTurnToolByMouse(double, double)
{
}

void kvCAnalyseDlg::toolPosTrackToolAxisWithMouse()
{
}
