// The analysis window's life: building the object, the host's parts it talks
// to, opening the window, bringing it up to date when the command runs again,
// and closing it.
#include "analyse/kvCAnalyseDlg.h"

#include "analyse/kvAnalyseException.h"

#include "analyse/kvAnalyseKeys.h"
#include "analyse/kvAnalyseRequire.h"
#include "analyse/kvAnalyseTemplates.h"
#include "analyse/kvCAnalyseDlgInternal.h"
#include "host/kvExports.h"
#include "host/object/kvPropAccess.h"
#include "sdk/kvResourceCntxt.h"
#include "sdk/kvValueSets.h"

using kvAnalyseDlgInternal::LongOperation;
using kvAnalyseDlgInternal::moduleHandle;

namespace {

kvAnalyseLastSettings g_lastSettings = {};

}  // namespace

kvAnalyseLastSettings& kvAnalyseLastSettingsRecord()
{
    return g_lastSettings;
}

// ---------------------------------------------------------------- life cycle

kvCAnalyseDlg::kvCAnalyseDlg(CWnd* parent)
    : kvCDialog(IDD, parent),
      faceColours(0),
      faceColourUsed(0),
      modeList(kvKeyAnalyseMode, idModeList, -1,
               1, L"twUiCyc.loc|Ana1El|Analyse single element",
               2, L"twUiCyc.loc|Ana2El|Analyse two element",
               3, L"twUiCyc.loc|AnaRad|Radius analyse",
               4, L"twUiCyc.loc|AnaPlane|Plane analyse",
               5, L"twUiCyc.loc|AnaToolPos|Tool position analyse",
               -1),
      cadAttribute(kvKeyCadAttribute, idCadAttribute, 1)
{
    faceColours.setGrowBy(8);
    faceColourUsed.setGrowBy(8);
    lockModule();
    setProperties(&ownProperties);
}

kvCAnalyseDlg::~kvCAnalyseDlg()
{
    // Deleted while the window still exists (a host that gives up on a new
    // window): end the window without a second delete from its last message.
    destroyed = true;
    if (GetSafeHwnd())
        DestroyWindow();
    destroyPanels();
    disconnectMouseReactor();
    if (brush) {
        ::DeleteObject(brush);
        brush = nullptr;
    }
    unlockModule();
    // Whatever path ends the window, the document must not keep a pointer to it.
    try {
        unregisterFromDocument();
    } catch (...) {
    }
    setProperties(nullptr);
}

void kvCAnalyseDlg::unregisterFromDocument()
{
    if (mpExecContext.isNull())
        return;
    kvIfPtr<kvIAppDocument1> appDoc;
    mpExecContext->getAppDocument(&appDoc);
    if (!appDoc.isNull())
        appDoc->unregisterWindow(this);
}

void kvCAnalyseDlg::setModel(kvITarnwellModel1* pModel)
{
    model = pModel;
}

void kvCAnalyseDlg::getLastSettings(kvAnalyseLastSettings** settings)
{
    if (settings)
        *settings = &kvAnalyseLastSettingsRecord();
}

kvIfPtr<kvIApplication1> kvCAnalyseDlg::application() const
{
    kvIfPtr<kvIApplication1> app;
    if (!mpExecContext.isNull())
        mpExecContext->getApplication(&app);
    return app;
}

// The application document must exist whenever the window talks to the host.
kvIfPtr<kvIAppDocument1> kvCAnalyseDlg::appDocument() const
{
    kvIfPtr<kvIAppDocument1> appDoc;
    if (!mpExecContext.isNull())
        mpExecContext->getAppDocument(&appDoc);
    KV_REQUIRE(!appDoc.isNull(), L"pAppDoc", kvUnitAnalyseUI);
    return appDoc;
}

// The host's "Feedbacks" settings: sizes and colours of what the window draws.
kvIfPtr<kvIDataSet1> kvCAnalyseDlg::feedbacks(const kvIfPtr<kvIAppDocument1>& appDoc) const
{
    kvIfPtr<kvIDataSet1> setup;
    appDoc->getDataSet(kvKeyFeedbacks, &setup);
    KV_REQUIRE(!setup.isNull(), L"pSetup", kvUnitAnalyseUI);
    return setup;
}

bool kvCAnalyseDlg::baseDocOffers(const wchar_t* name) const
{
    if (m_pBaseDoc.isNull())
        return false;
    kvIUnknown* found = m_pBaseDoc.get()->queryInterface(name);
    if (!found)
        return false;
    found->release();
    return true;
}

// ---------------------------------------------------------------- opening

int kvCAnalyseDlg::openAnalysisDialog(CWnd* parent, kvIUnknownPtr first)
{
    kvCResourceCntxt scope(moduleHandle());
    kvRegisterAnalyseTemplates();
    jobDef = first.get();
    opened = false;
    ownProperties.setPropRef(kvKeyMillAreaRef, nullptr);
    if (!jobDef.isNull()) {
        mode = 5;
        kvAnalyseLastSettingsRecord().mode = 5;
        propSet(&ownProperties, kvKeyAnalyseMode, 5);
        takeJobReferences(first);
    }
    const BOOL created = Create(IDD, parent);
    resultsShown = false;
    if (created) {
        placeToolFromJob(first);
        installMouseReactor(kvCGeMatrix());
    }
    opened = true;
    return created;
}

// The job's machine and the sets its references point at become the window's
// own references, so that the panels read the job's frame, area and tool.
void kvCAnalyseDlg::takeJobReferences(const kvIUnknownPtr& first)
{
    kvIfPtr<kvIGenericObject> generic(first.get());
    if (generic.isNull())
        return;
    kvCPrPropertySet* job = nullptr;
    if (generic->getPropertySet(&job) != 0 || !job)
        return;
    kvCString machine;
    if (propGet(job, kvKeyMachine, machine))
        propSet(&ownProperties, kvKeyMachine, machine);
    for (const wchar_t* key : {kvKeyMillAreaRef, kvKeyFrameRef, kvKeyTool}) {
        if (kvCPrPropertySet* target = job->getPropSet(key))
            ownProperties.setPropRef(key, target);
    }
}

void kvCAnalyseDlg::reactivateAnalysisDialog(kvIUnknownPtr first)
{
    installMouseReactor(kvCGeMatrix());
    jobDef = first.get();
    if (!jobDef.isNull()) {
        mode = 5;
        kvAnalyseLastSettingsRecord().mode = 5;
        propSet(&ownProperties, kvKeyAnalyseMode, 5);
        // The new job's sets replace those of the job held before, which
        // may be gone once jobDef let go of it.
        takeJobReferences(first);
    }
    showResultProperties(0, -1, L"");
    onAnalyseModeChanged(kvKeyAnalyseMode);
    // Another job brings its own frame, tool and milling area: its tool is
    // placed and checked anew, as on opening, not left where the last job had it.
    if (!jobDef.isNull())
        placeToolFromJob(first);
    // The frame drawn is the one the shown coordinates are measured from:
    // the job's frame, another job's, or none when the job is gone.
    try {
        drawAnalysisFrame();
    } catch (...) {
        kvShowAnalyseException(application(), L"Exception in kvAnalyse(26)");
    }
    opened = true;
}

BOOL kvCAnalyseDlg::OnInitDialog()
{
    try {
        // The module holds no pictures for this window's own buttons: they
        // keep the resource ids of the icons they would show (buttonIcon).
        enableToolTips();
        kvIfPtr<kvIApplication1> app = application();
        return kvCDialog::OnInitDialog();
    } catch (...) {
        kvShowAnalyseException(application(), L"Exception in kvAnalyse(9)");
        return FALSE;
    }
}

void kvCAnalyseDlg::drawAnalysisFrame()
{
    kvIfPtr<kvIDataSet1> setup = feedbacks(appDocument());
    feedbackSize = setup->getDouble(kvKeySize);
    kvCGeMatrix frame;
    propGet(&ownProperties, kvKeyFrameRef_Matrix, frame);
    graphics[gfxFrame].detach();
    if (!m_pBaseDoc.isNull())
        m_pBaseDoc->getTmpGraphics(&graphics[gfxFrame]);
    if (!graphics[gfxFrame].isNull()) {
        graphics[gfxFrame]->drawCs(frame.asDoubleMat(), 0.9 * feedbackSize, frameColour, frameColour, frameColour,
                                   1);
        graphics[gfxFrame]->setVisible(1);
    }
    ++frameDraws;
}

// ---------------------------------------------------------------- closing

void kvCAnalyseDlg::OnCancel()
{
    // The window object may be gone before the bracket closes: it holds
    // its own reference to the document.
    LongOperation busy(m_pBaseDoc);
    try {
        closeToolPosition();
        kvAnalyseLastSettings& last = kvAnalyseLastSettingsRecord();
        last.valid = true;
        last.mode = mode;
        if ((mode == 3 || mode == 4) && (facesShown || transparent))
            restoreGroupColours();
        if (transparent) {
            kvIfPtr<kvIBaseDocWithFeatureShowMode> showMode = transparencySwitch;
            if (showMode.isNull())
                showMode = m_pBaseDoc.get();
            if (!showMode.isNull())
                showMode->setFeatureShowMode(0, 1);
        }
        transparencySwitch.detach();
        disconnectMouseReactor();
        clearResultGraphics(true);
        resultsShown = false;
        kvIfPtr<kvIBaseDocWithAnalyseShowMode> analyseShowMode(m_pBaseDoc.get());
        if (!analyseShowMode.isNull())
            analyseShowMode->setAnalyseShowMode(0);
        opened = false;
        showControl(idSave, false);
        propSet(&ownProperties, kvKeySurfaces, kvCSurfaceSet());
        emptyGroupLists();
        // The window object may be gone after this.
        if (GetSafeHwnd())
            DestroyWindow();
    } catch (...) {
        kvIfPtr<kvIApplication1> app = application();
        kvShowAnalyseException(app, L"Exception in kvAnalyse(10)");
    }
}

void kvCAnalyseDlg::OnDestroy()
{
    ShowWindow(SW_HIDE);
    // Panels and the brush belong to the window and go with it on every close.
    destroyPanels();
    if (toolTip) {
        ::DestroyWindow(toolTip);
        toolTip = nullptr;
    }
    if (brush) {
        ::DeleteObject(brush);
        brush = nullptr;
    }
    if (!model.isNull()) {
        model->onAnalysisClosed();
        try {
            kvIfPtr<kvIHelpContext1> help;
            if (!mpExecContext.isNull())
                mpExecContext->getHelpContext(&help);
            KV_REQUIRE(!help.isNull(), L"pHelpContext", kvUnitAnalyseUI);
            help->onWindowClosed();
        } catch (...) {
        }
        model.detach();
    }
    try {
        unregisterFromDocument();
    } catch (...) {
    }
    kvCDialog::OnDestroy();
}

void kvCAnalyseDlg::PostNcDestroy()
{
    kvCDialog::PostNcDestroy();
    // The window's last message ends the object, unless the object is being
    // deleted already and ended the window itself.
    if (!destroyed)
        delete this;
}
