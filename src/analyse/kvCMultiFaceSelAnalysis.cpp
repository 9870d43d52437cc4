// The multi-face panel's analysis over the selection: the immediate or
// deferred start, the run with its progress window, and the handing of the
// face records to the lists.
#include "analyse/kvAnalyseException.h"
#include "analyse/kvCMultiFaceSelDialog.h"

#include "analyse/kvAnalyseKeys.h"
#include "analyse/kvCAnalyseDlg.h"
#include "analyse/kvCMultiSelPlanDialog.h"
#include "analyse/kvCMultiSelRadiusDialog.h"
#include "analyse/kvMultiFaceSupport.h"
#include "host/object/kvPropAccess.h"
#include "sdk/kvMsgEnt.h"
#include "sdk/kvProgressDlg.h"
#include "sdk/kvValueSets.h"

#include <memory>

void kvCMultiFaceSelDialog::onSurfacesChanged(const wchar_t*)
{
    if (!m_mainDialog || !m_mainDialog->isOpened())
        return;
    kvCSurfaceSet selection;
    propGet(mpProp, kvKeySurfaces, selection);
    // Without a window there is no timer to wait for: the run starts at once.
    if (selection.count() <= immediateLimit || !GetSafeHwnd())
        runSelectionAnalysis();
    else
        SetTimer(analysisTimer, analysisDelay);
}

void kvCMultiFaceSelDialog::onAnalysisTimer(UINT_PTR)
{
    runSelectionAnalysis();
}

void kvCMultiFaceSelDialog::runSelectionAnalysis()
{
    kvIfPtr<kvIInvDocument1> doc;
    if (execContext()) {
        kvIUnknownPtr base;
        execContext()->getBaseDocument(&base);
        doc = base.get();
    }
    if (!doc.isNull())
        doc->beginLongOperation();
    try {
        if (GetSafeHwnd())
            KillTimer(analysisTimer);
        propSet(mpProp, kvKeyMessage, 0);
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        const int mode = currentMode();
        if (mode == 3 || mode == 4)
            analyseSelectedFaces();
        propSet(mpProp, kvKeyMessage, 2);
        kvCAnalyseDlg* window = m_mainDialog;
        kvCMultiSelListDialog* list = currentList();
        if (window && list) {
            if (window->areFacesShown()) {
                if (list->evaluate())
                    colourCurrentList(true, true);
                propSet(mpProp, kvKeyMessage, 2);
            } else if (window->GetDlgItem(kvCAnalyseDlg::idShowFaces)) {
                window->setChecked(kvCAnalyseDlg::idShowFaces, true);
                window->facesShown = true;
                if (list->evaluate())
                    colourCurrentList(true, false);
                propSet(mpProp, kvKeyMessage, 1);
            } else {
                // Without the button the list is still brought up to date.
                list->evaluate();
            }
        }
        if (window && window->GetSafeHwnd())
            window->ShowWindow(SW_SHOW);
    } catch (...) {
        kvShowAnalyseException(execContext(), L"Exception in kvAnalyse(5)");
    }
    if (!doc.isNull())
        doc->endLongOperation();
}

bool kvCMultiFaceSelDialog::selectionAnalysed() const
{
    kvCSurfaceSet selection;
    propGet(mpProp, kvKeySurfaces, selection);
    if (selection.count() != m_analysedSelection.size())
        return false;
    for (unsigned int i = 0; i < selection.count(); ++i)
        if (kvIUnknownPtr(selection.getAt(i)).get() != m_analysedSelection[i].get())
            return false;
    return true;
}

namespace {
// The progress window goes on every path out of the run.
struct ProgressCloser {
    void operator()(CProgressDlg* progress) const
    {
        if (progress->GetSafeHwnd())
            progress->DestroyWindow();  // deletes itself
        else
            delete progress;
    }
};
}  // namespace

void kvCMultiFaceSelDialog::analyseSelectedFaces()
{
    try {
        kvCSurfaceSet selection;
        propGet(mpProp, kvKeySurfaces, selection);
        kvIfPtr<kvIApplication1> app;
        if (execContext())
            execContext()->getApplication(&app);

        std::unique_ptr<CProgressDlg, ProgressCloser> progress(new (std::nothrow) CProgressDlg());
        if (!progress)
            return;
        progress->DoModeless(nullptr);
        progress->UpdateUI();
        progress->closeOnCancel(false);
        progress->withMessages(false);
        progress->selfDestruct(true);
        progress->setCancelStr(kvCMsgEnt(L"twFTMain.loc|SelCancel|Cancel").getEntry(app.getIf()).c_str());
        progress->setTitleStr(kvCMsgEnt(L"twUiMain.loc|AnaModCheck|Model analysing").getEntry(app.getIf()).c_str());
        progress->UpdateUI();

        if (!m_radiusList || !m_planeList)
            return;
        m_radiusList->clearFaceRecords();
        m_planeList->clearFaceRecords();
        m_analysedSelection.clear();
        for (unsigned int i = 0; i < selection.count(); ++i)
            m_analysedSelection.emplace_back(selection.getAt(i));

        const std::vector<kvIUnknownPtr> faces = kvFlattenSelection(selection);
        progress->setNOfItems(static_cast<unsigned int>(faces.size()));
        progress->UpdateUI();

        kvCGeMatrix frame;
        propGet(mpProp, kvKeyFrameRef_Matrix, frame);
        kvCGePoint origin;
        kvCGeVector x, y, z;
        frame.getCoordSystem(origin, x, y, z);

        CProgressDlg* bar = progress.get();
        kvAnalyseFaces(
            faces, z, [](kvIUnknown* face, kvCAnalyseCtrl& work) { return work.classifyNurbsFace(face); }, *this,
            m_radiusList->faceRecords(), m_planeList->faceRecords(), [bar](unsigned int position) {
                bar->setProgress(position);
                bar->UpdateUI();
            });
    } catch (...) {
        kvShowAnalyseException(execContext(), L"Exception in kvAnalyse(7)");
    }
}
