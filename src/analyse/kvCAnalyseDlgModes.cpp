// The analysis window's modes: one panel per mode, created on first use and
// shown in the window's panel area, and what a change of mode clears and
// switches.
#include "analyse/kvCAnalyseDlg.h"

#include "analyse/kvAnalyseException.h"

#include "analyse/kvAnalyseKeys.h"
#include "analyse/kvAnalyseRequire.h"
#include "analyse/kvCAnalyseDlgInternal.h"
#include "analyse/kvCMultiFaceSelDialog.h"
#include "analyse/kvCSingleFaceSelDialog.h"
#include "host/object/kvPropAccess.h"
#include "sdk/kvMsgEnt.h"
#include "sdk/kvResourceCntxt.h"
#include "toolpos/kvCToolPosDialog.h"

using kvAnalyseDlgInternal::LongOperation;
using kvAnalyseDlgInternal::moduleHandle;

// ---------------------------------------------------------------- modes and panels

// Clearing the results rebuilds the single-face panel's information, so a
// panel shown again for the other of its two modes shows that mode's
// categories. The element's name goes with the results it stood beside.
void kvCAnalyseDlg::clearResultDisplay()
{
    if ((mode == 1 || mode == 2) && singleFacePanel && singleFacePanel->GetSafeHwnd())
        singleFacePanel->fillFaceInfo();
    resultsShown = false;
    elementNameShown = false;
    // A save redraws the last result shown: once cleared, there is none to
    // redraw, and nothing of it may reach the model.
    lastResultKey = nullptr;
}

// A pair ends with every clearing: its first element is no longer shown, so
// the next pick in mode 2 is a first element again.
void kvCAnalyseDlg::setPickIndex(int index)
{
    pickIndex = index;
    if (index < 0)
        firstElementKind = 0;
}

void kvCAnalyseDlg::clearResultGraphics(bool withPickMarkers)
{
    graphics[gfxElementName].detach();
    graphics[gfxMeasurement].detach();
    graphics[gfxResult].detach();
    if (withPickMarkers) {
        graphics[gfxPickMarker1].detach();
        graphics[gfxPickMarker2].detach();
    }
    if (toolPosPanel)
        toolPosPanel->releaseGraphics();
}

kvCDialog** kvCAnalyseDlg::panelSlot(int m)
{
    switch (m) {
    case 3:
    case 4:
        return &multiFacePanel;
    case 5:
        return reinterpret_cast<kvCDialog**>(&toolPosPanel);
    default:
        return reinterpret_cast<kvCDialog**>(&singleFacePanel);
    }
}

kvCDialog* kvCAnalyseDlg::panelForMode(int m) const
{
    return *const_cast<kvCAnalyseDlg*>(this)->panelSlot(m);
}

kvCDialog* kvCAnalyseDlg::newPanelForMode(int m, UINT& templateId)
{
    switch (m) {
    case 3:
    case 4:
        templateId = kvCMultiFaceSelDialog::IDD;
        return new kvCMultiFaceSelDialog();
    case 5:
        templateId = kvCToolPosDialog::IDD;
        return new kvCToolPosDialog();
    default:
        templateId = kvCSingleFaceSelDialog::IDD;
        return new kvCSingleFaceSelDialog();
    }
}

void kvCAnalyseDlg::hideOtherPanels(kvCDialog* keep)
{
    kvCDialog* all[] = {multiFacePanel, singleFacePanel, toolPosPanel};
    for (kvCDialog* panel : all) {
        if (panel && panel != keep && panel->GetSafeHwnd())
            panel->ShowWindow(SW_HIDE);
    }
}

void kvCAnalyseDlg::createModeSubDialog()
{
    // A panel is a child of the window: none before the window exists (the
    // mode may be set before, when a job opens the window).
    if (!GetSafeHwnd())
        return;
    LongOperation busy(m_pBaseDoc);
    try {
        KV_REQUIRE(mpProp, L"mpProp", kvUnitAnalyseUI);
        propGet(mpProp, kvKeyAnalyseMode, mode);
        kvCResourceCntxt scope(moduleHandle());
        kvCDialog** slot = panelSlot(mode);
        bool isNew = false;
        UINT templateId = 0;
        if (!*slot) {
            *slot = newPanelForMode(mode, templateId);
            isNew = *slot != nullptr;
        }
        kvCDialog* panel = *slot;
        hideOtherPanels(panel);
        showControl(idPanelArea, false);
        if (panel && isNew) {
            panel->setExecContext(mpExecContext.getIf());
            panel->setProperties(mpProp);
            KV_REQUIRE(panel->Create(templateId, this), L"pNew->Create(id,this)", kvUnitAnalyseUI);
            CRect area;
            if (CWnd* group = GetDlgItem(idPanelArea)) {
                group->GetWindowRect(&area);
                ScreenToClient(&area);
            }
            const UINT flags = SWP_NOZORDER | (panel->IsWindowVisible() ? 0 : SWP_NOREDRAW);
            panel->SetWindowPos(nullptr, area.left, area.top, area.Width(), area.Height(), flags);
            panel->ShowWindow(SW_SHOWNA);
        } else if (panel) {
            panel->ShowWindow(SW_SHOW);
        }
        if (mode == 3 || mode == 4)
            showMultiFaceLists(isNew);
    } catch (...) {
        kvShowAnalyseException(application(), L"Exception in kvAnalyse(23)");
    }
}

void kvCAnalyseDlg::destroyPanels()
{
    kvCDialog** slots[] = {&multiFacePanel, reinterpret_cast<kvCDialog**>(&singleFacePanel),
                           reinterpret_cast<kvCDialog**>(&toolPosPanel)};
    for (kvCDialog** slot : slots) {
        kvCDialog* panel = *slot;
        *slot = nullptr;
        if (!panel)
            continue;
        if (panel->GetSafeHwnd())
            panel->DestroyWindow();
        delete panel;
    }
}

void kvCAnalyseDlg::onAnalyseModeChanged(const wchar_t*)
{
    {
        LongOperation busy(m_pBaseDoc);
        try {
            if (mode == 5 && toolPosPanel) {
                toolPosPanel->resetFeedbackStatus();
                // A turn by the mouse left going would take the next pick or
                // move of another mode and draw the tool there.
                toolPosPanel->endMouseTurn();
            }
            if (isChecked(idTransparent)) {
                setChecked(idTransparent, false);
                onTransparentButton();
            }
            propGet(&ownProperties, kvKeyAnalyseMode, mode);
            createModeSubDialog();
            showControl(idTransparent, true);
            if (mode != 3 && mode != 4 && facesShown) {
                if (multiFacePanel) {
                    if (isChecked(idTransparent)) {
                        setChecked(idTransparent, false);
                        transparent = false;
                    }
                    setChecked(idShowFaces, false);
                    restoreGroupColours();
                }
                facesShown = false;
            }
            setPickIndex(-1);
            clearResultGraphics(true);
            planeDefined = 0;
            // Cleared, then the CAD environment written with nothing shown:
            // that hides Save until a numeric result is shown again.
            showResultProperties(0, -1, L"");
            showResultProperties(0, 100, L"");
            switch (mode) {
            case 1: propSet(&ownProperties, kvKeyAnalyseType, 0); break;
            case 2: propSet(&ownProperties, kvKeyAnalyseType, 1); break;
            case 3: propSet(&ownProperties, kvKeyAnalyseType, 3); break;
            case 4: propSet(&ownProperties, kvKeyAnalyseType, 4); break;
            case 5:
                if (toolPosPanel)
                    toolPosPanel->activatePage();
                break;
            default: break;
            }
            if (GetSafeHwnd()) {
                newFrameButton.Attach(idNewFrame, this);
                toolLengthButton.Attach(idToolLength, this);
            }
            if (baseDocOffers(kvIfName<kvIInvDocument1>::value))
                showControl(idTransparent, false);
            if (GetSafeHwnd() && GetDlgItem(idShowFaces))
                GetDlgItem(idShowFaces)->EnableWindow(TRUE);
            const bool toolPos = mode == 5;
            showControl(idNewFrame, toolPos);
            showControl(idToolLength, toolPos);
            showControl(idShowFaces, mode != 1 && mode != 2 && !toolPos);
            if (mode == 1)
                setButtonIcon(idShowFaces, 1010);
            else if (mode == 3)
                setButtonIcon(idShowFaces, 1008);
            else if (mode != 2 && !toolPos)
                setButtonIcon(idShowFaces, 1007);
            if (toolPos)
                setButtonIcon(idNewFrame, 1011);
            if (toolPos && !jobDef.isNull() && newFrameButton.GetSafeHwnd()) {
                kvIfPtr<kvIApplication1> app = application();
                HMENU menu = ::CreatePopupMenu();
                ::AppendMenuW(menu, MF_STRING, cmdToolFeedback,
                              kvCMsgEnt(L"twUiCyc.loc|TlFdback|Set as tool feedback position").getEntry(app.getIf()));
                ::AppendMenuW(menu, MF_STRING, cmdLineInToolAxis,
                              kvCMsgEnt(L"twUiCyc.loc|CrtZLin|Create line in tool axis").getEntry(app.getIf()));
                newFrameButton.SetRClickMenu(menu);
            }
        } catch (...) {
            kvShowAnalyseException(application(), L"Exception in kvAnalyse(11)");
        }
    }
    layoutControls();
}
