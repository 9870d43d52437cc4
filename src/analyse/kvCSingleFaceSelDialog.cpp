#include "analyse/kvCSingleFaceSelDialog.h"

#include "analyse/kvAnalyseException.h"
#include "analyse/kvAnalyseKeys.h"
#include "analyse/kvAnalyseTemplates.h"
#include "analyse/kvCAnalyseDlg.h"
#include "host/object/kvPropAccess.h"
#include "sdk/kvMsgEnt.h"

using namespace kv::ui::atl::layout;

const KVPROP_DLGMSGMAP_ENTRY kvCSingleFaceSelDialog::sMsgEntries[] = {
    KVPROP_DLGMSG_ENTRY(3, kvKeyFrameRef, &kvCSingleFaceSelDialog::onFrameChanged),
    KVPROP_DLGMSG_ENTRY(4, kvKeyFrameRef, &kvCSingleFaceSelDialog::onFrameChanged),
    KVPROP_DLGMSG_ENTRY(2, kvKeyFrameRef, &kvCSingleFaceSelDialog::onFrameChanged),
    KVPROP_DLGMSG_ENTRY(2, kvKeyFrameRef_Matrix, &kvCSingleFaceSelDialog::onFrameChanged),
    KVPROP_DLGMSG_END()
};
const KVPROP_DLGMSGMAP kvCSingleFaceSelDialog::sMessageMap = {&kvCDlgBase::sGetMessageMap,
                                                              kvCSingleFaceSelDialog::sMsgEntries};
const KVPROP_STDCTRL_ENTRY kvCSingleFaceSelDialog::sStdCtrlEntries[] = {
    KVPROP_STDCTRL_END()
};
const KVPROP_STDCTRL kvCSingleFaceSelDialog::sStdCtrls = {&kvCDlgBase::sGetStdCtrls,
                                                          kvCSingleFaceSelDialog::sStdCtrlEntries};

kvCSingleFaceSelDialog::kvCSingleFaceSelDialog() : kvCDialog(IDD, nullptr), m_layout(-1, -1)
{
}

kvCSingleFaceSelDialog::~kvCSingleFaceSelDialog() = default;

const KVPROP_DLGMSGMAP* kvCSingleFaceSelDialog::getMessageMap() const
{
    return &sMessageMap;
}

const KVPROP_STDCTRL* kvCSingleFaceSelDialog::getStdCtrls() const
{
    return &sStdCtrls;
}

void kvCSingleFaceSelDialog::getLocFile(kvCString& file, kvCString&, kvCString&) const
{
    file = L"twUiCyc.loc";
}

kvCString kvCSingleFaceSelDialog::helpContext() const
{
    return kvCString(kvModePanelHelpKey);
}

BOOL kvCSingleFaceSelDialog::Create(UINT templateId, CWnd* parent)
{
    m_owner = dynamic_cast<kvCAnalyseDlg*>(parent);
    kvRegisterAnalyseTemplates();
    return kvCDialog::Create(templateId, parent);
}

BOOL kvCSingleFaceSelDialog::OnInitDialog()
{
    if (CWnd* placeholder = GetDlgItem(1002))
        ReplaceCtrl(placeholder->GetSafeHwnd());
    buildPropertyCtrl();

    NodeBuilder builder(m_hWnd);
    builder.begin(makeNode(builder, rootNodeId, 0x12003));
    builder.add(makeListCtrlNode(builder, 1002, 3));
    builder.end();
    if (builder.ok())
        m_layout.attach(m_hWnd, builder.root(), builder.gripId());
    m_layout.onSize(m_hWnd, 0);

    return kvCDialog::OnInitDialog();
}

BOOL kvCSingleFaceSelDialog::OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (msg == WM_SIZE) {
        m_layout.onSize(m_hWnd, static_cast<UINT>(wParam));
        if (result)
            *result = 0;
        return TRUE;
    }
    if (msg == WM_NOTIFY && lParam) {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == TTN_NEEDTEXTW) {
            if (result)
                *result = 0;
            return TRUE;
        }
    }
    return kvCDialog::OnWndMsg(msg, wParam, lParam, result);
}

void kvCSingleFaceSelDialog::buildPropertyCtrl()
{
    try {
        build(mpExecContext, mpProp, m_hWnd, true);
    } catch (...) {
        kvShowAnalyseException(execContext(), L"Exception in kvAnalyse (Plan 14)");
    }
}

void kvCSingleFaceSelDialog::reInitialize()
{
    kvCDlgBase::reInitialize();
    fillFaceInfo();
}

void kvCSingleFaceSelDialog::fillFaceInfo()
{
    try {
        kvCTwPropertyCtrlBase::reInitialize();
        int mode = 0;
        propGet(mpProp, kvKeyAnalyseMode, mode);
        kvIfPtr<kvIApplication1> app;
        if (execContext())
            execContext()->getApplication(&app);
        auto text = [&app](const wchar_t* key) { return kvCMsgEnt(key).getEntry(app.getIf()); };
        if (mode == 1) {
            addCategory(L"General", text(L"twUiCyc.loc|SingleFaceInf|Single face info"), true);
            addCategory(L"FaceInfo", text(L"twUiCyc.loc|InfFace|Face info"), true);
        } else if (mode == 2) {
            addCategory(L"General", text(L"twUiCyc.loc|DobbleFaceInf|Two faces infos"), true);
            addCategory(L"FaceInfo", text(L"twUiCyc.loc|InfFace1|Info face 1"), true);
            addCategory(L"FaceInfo1", text(L"twUiCyc.loc|InfFace2|Info face 2"), true);
        } else {
            return;
        }
        addCategory(L"SubFrame", text(L"twUiCyc.loc|Pickpoint|Coordiantes"), true);
        addProperty(L"SubFrame", kvKeyFrameRef, text(L"twUiMain.loc|Frm|Frame"), static_cast<ePropCtrlType>(10),
                    static_cast<nCads::eGeoAssociateType>(0), static_cast<nCads::eParameterType>(0), -1, true);
    } catch (...) {
        kvShowAnalyseException(execContext(), L"Exception in kvAnalyse (Plan 16)");
    }
}

void kvCSingleFaceSelDialog::onFrameChanged(const wchar_t*)
{
    if (!m_owner)
        return;
    int mode = 0;
    propGet(m_owner->properties(), kvKeyAnalyseMode, mode);
    if (mode == 1 || mode == 2)
        m_owner->drawAnalysisFrame();
}
