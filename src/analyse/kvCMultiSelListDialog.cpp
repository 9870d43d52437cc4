#include "analyse/kvCMultiSelListDialog.h"

#include "analyse/kvAnalyseException.h"
#include "analyse/kvAnalyseKeys.h"
#include "analyse/kvCAnalyseDlg.h"
#include "analyse/kvCMultiFaceSelDialog.h"
#include "analyse/kvDialogToolTips.h"
#include "analyse/kvMultiFaceIcons.h"
#include "analyse/kvMultiFaceSupport.h"
#include "analyse/kvMultiFaceTemplates.h"
#include "host/object/kvPropAccess.h"
#include "sdk/kvAssert.h"
#include "sdk/kvMsgEnt.h"
#include "sdk/kvTwRound.h"

#include "platform/windows_ui.h"

#include <cmath>
#include <cwchar>

using namespace kv::ui::atl::layout;

const KVPROP_DLGMSGMAP_ENTRY kvCMultiSelListDialog::sMsgEntries[] = {
    KVPROP_DLGMSG_END()
};
const KVPROP_DLGMSGMAP kvCMultiSelListDialog::sMessageMap = {&kvCDlgBase::sGetMessageMap,
                                                             kvCMultiSelListDialog::sMsgEntries};
const KVPROP_STDCTRL_ENTRY kvCMultiSelListDialog::sStdCtrlEntries[] = {
    KVPROP_STDCTRL_END()
};
const KVPROP_STDCTRL kvCMultiSelListDialog::sStdCtrls = {&kvCDlgBase::sGetStdCtrls,
                                                         kvCMultiSelListDialog::sStdCtrlEntries};

namespace {
// Check-box states of a row (state images).
constexpr UINT unticked = 0x1000;
constexpr UINT ticked = 0x2000;
// The rows' small image list holds no image: one pixel wide, as high as a
// small icon. Every row names image 1 of it.
constexpr int rowImageWidth = 1;
constexpr int rowImageHeight = 16;
constexpr int rowImage = 1;

// Raises one of the list's flags for the scope and sets it back on every
// path to what it was (the handlers it covers may run inside another).
class FlagScope {
public:
    explicit FlagScope(bool& flag) : m_flag(flag), m_before(flag) { m_flag = true; }
    ~FlagScope() { m_flag = m_before; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& m_flag;
    bool m_before;
};
}  // namespace

kvCMultiSelListDialog::kvCMultiSelListDialog() : kvCDialog(kvIDD_MULTISELLIST, nullptr), m_layout(-1, -1)
{
}

kvCMultiSelListDialog::~kvCMultiSelListDialog()
{
    if (m_toolTip && ::IsWindow(m_toolTip))
        ::DestroyWindow(m_toolTip);
}

const KVPROP_DLGMSGMAP* kvCMultiSelListDialog::getMessageMap() const
{
    return &sMessageMap;
}

const KVPROP_STDCTRL* kvCMultiSelListDialog::getStdCtrls() const
{
    return &sStdCtrls;
}

void kvCMultiSelListDialog::getLocFile(kvCString& file, kvCString&, kvCString&) const
{
    file = L"twUiCyc.loc";
}

kvCString kvCMultiSelListDialog::helpContext() const
{
    return kvCString(kvModePanelHelpKey);
}

kvCAnalyseDlg* kvCMultiSelListDialog::analysisWindow() const
{
    return m_pPanel ? m_pPanel->mainDialog() : nullptr;
}

kvIfPtr<kvIApplication1> kvCMultiSelListDialog::application() const
{
    kvIfPtr<kvIApplication1> app;
    if (execContext())
        execContext()->getApplication(&app);
    return app;
}

kvIfPtr<kvIAppDocument1> kvCMultiSelListDialog::appDocument(const wchar_t* unit, int line) const
{
    kvIfPtr<kvIAppDocument1> doc;
    if (execContext())
        execContext()->getAppDocument(&doc);
    if (doc.isNull())
        kvAssertFail(L"pAppDoc", unit, line);
    return doc;
}

void kvCMultiSelListDialog::showException(const wchar_t* text) const
{
    kvShowAnalyseException(execContext(), text);
}

bool kvCMultiSelListDialog::autoZoom() const
{
    bool on = false;
    propGet(mpProp, kvKeyAutoZoom, on);
    return on;
}

void kvCMultiSelListDialog::setAutoZoom(bool on)
{
    if (mpProp)
        propSet(mpProp, kvKeyAutoZoom, on);
}

kvCGeVector kvCMultiSelListDialog::frameZ() const
{
    kvCGeMatrix frame;
    propGet(mpProp, kvKeyFrameRef_Matrix, frame);
    kvCGePoint origin;
    kvCGeVector x, y, z;
    frame.getCoordSystem(origin, x, y, z);
    return z;
}

void kvCMultiSelListDialog::refreshPanel()
{
    if (m_pPanel)
        m_pPanel->refreshAnalysisDisplay(0);
}

kvGroupColouring kvCMultiSelListDialog::colouring() const
{
    kvGroupColouring c;
    c.groups = &m_groupFaces;
    c.colours = &m_groupColours;
    c.visible = &m_rowShown;
    c.selectedGroup = m_currentGroup;
    c.highlightColour = m_selectedBgColour;
    return c;
}

// ---------------------------------------------------------------- window

BOOL kvCMultiSelListDialog::Create(UINT templateId, CWnd* parent)
{
    m_pPanel = dynamic_cast<kvCMultiFaceSelDialog*>(parent);
    kvRegisterMultiFaceTemplates();
    kvRegisterMultiFaceIcons(kvMultiFaceModule());
    const BOOL created = kvCDialog::Create(templateId, parent);
    kvIdentifyPanel(m_hWnd, templateId);
    if (kvCAnalyseDlg* window = analysisWindow()) {
        m_groupColours = window->faceColourTable();
        m_rowShown = window->faceColourFlags();
    }
    return created;
}

BOOL kvCMultiSelListDialog::OnInitDialog()
{
    const BOOL result = kvCDialog::OnInitDialog();
    try {
        if (!m_list.GetSafeHwnd())
            m_list.SubclassDlgItem(kvIDC_LIST_GROUPS, this);
        const DWORD style = m_list.GetExtendedStyle() | LVS_EX_CHECKBOXES | LVS_EX_SUBITEMIMAGES |
                            LVS_EX_FULLROWSELECT;
        m_list.SetExtendedStyle(style ^ LVS_EX_TRACKSELECT);
        // An empty small image list gives the rows their height.
        if (!m_imageList.GetSafeHandle())
            m_imageList.Create(rowImageWidth, rowImageHeight, ILC_COLOR32, 0, 1);
        m_list.SetImageList(m_imageList.GetSafeHandle(), LVSIL_SMALL);
        m_list.SetHighlightColor(RGB(160, 210, 210));
        m_list.SetHighlightTextColor(RGB(0, 0, 0));

        NodeBuilder builder(m_hWnd);
        builder.begin(makeNode(builder, rootNodeId, keepClipChildren | horizontal | sizeY));
        builder.add(makeWindowNode(builder, kvIDC_LIST_GROUPS, sizeY));
        builder.begin(makeWindowNode(builder, kvIDC_LIST_NAVIGATOR, horizontal | sizeX));
        builder.add(makeWindowNode(builder, kvIDC_LIST_ELEMENTS, sizeX));
        builder.add(makeWindowNode(builder, kvIDC_LIST_NEXT, moveXRight));
        builder.end();
        builder.end();
        if (builder.ok())
            m_layout.attach(m_hWnd, builder.root(), builder.gripId());
        m_layout.onSize(m_hWnd, 0);
    } catch (...) {
        if (messages().initDialog)
            showException(messages().initDialog);
    }
    if (!m_toolTip)
        m_toolTip = kvCreateDialogToolTips(m_hWnd, {kvIDC_LIST_GROUPS, kvIDC_LIST_PREVIOUS, kvIDC_LIST_POSITION,
                                                    kvIDC_LIST_NEXT, kvIDC_LIST_ELEMENTS});
    return result;
}

bool kvCMultiSelListDialog::onToolTipText(NMHDR* header)
{
    if (header->code != TTN_GETDISPINFOW)
        return false;
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    if (!execContext() || !(info->uFlags & TTF_IDISHWND))
        return true;
    // The navigator's controls are told by the navigator's own caption; the
    // group list has no tip.
    switch (::GetDlgCtrlID(reinterpret_cast<HWND>(header->idFrom))) {
    case kvIDC_LIST_PREVIOUS:
    case kvIDC_LIST_POSITION:
    case kvIDC_LIST_NEXT:
    case kvIDC_LIST_ELEMENTS: {
        kvIfPtr<kvIApplication1> app = application();
        const kvCString text = kvCMsgEnt(L"twUiCyc.loc|AnaZoomin|Zooming in element").getEntry(app.getIf());
        std::wcsncpy(info->szText, text.c_str(), 79);
        info->szText[79] = L'\0';
        info->lpszText = info->szText;
        break;
    }
    default:
        break;
    }
    return true;
}

void kvCMultiSelListDialog::reInitialize()
{
    kvCDlgBase::reInitialize();
    if (m_pPanel)
        m_pPanel->buildAnalysisInfoPage();
    if (!GetSafeHwnd())
        return;
    if (!m_list.GetSafeHwnd())
        m_list.SubclassDlgItem(kvIDC_LIST_GROUPS, this);
    kvIfPtr<kvIApplication1> app = application();
    if (m_list.GetSafeHwnd() && ::SendMessageW(m_list.GetSafeHwnd(), LVM_GETHEADER, 0, 0)) {
        // Columns are inserted once; a second initialisation keeps them.
        bool hasColumns = ::SendMessageW(m_list.GetSafeHwnd(), LVM_GETCOLUMNWIDTH, 0, 0) > 0;
        if (!hasColumns)
            insertColumns(app.getIf());
    }
    SetDlgItemText(kvIDC_LIST_NAVIGATOR,
                   kvCMsgEnt(L"twUiCyc.loc|AnaZoomin|Zooming in element").getEntry(app.getIf()).c_str());
    const std::pair<int, int> arrows[] = {{kvIDC_LIST_PREVIOUS, kvIDI_PREVIOUS_FACE},
                                          {kvIDC_LIST_NEXT, kvIDI_NEXT_FACE}};
    for (const auto& arrow : arrows) {
        if (CWnd* button = GetDlgItem(arrow.first)) {
            button->EnableWindow(TRUE);
            HICON icon = ::LoadIconW(kvMultiFaceModule(), MAKEINTRESOURCEW(arrow.second));
            button->SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
        }
    }
    resetNavigation();
}

BOOL kvCMultiSelListDialog::OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (msg == WM_SIZE) {
        m_layout.onSize(m_hWnd, static_cast<UINT>(wParam));
        if (result)
            *result = 0;
        return TRUE;
    }
    return kvCDialog::OnWndMsg(msg, wParam, lParam, result);
}

BOOL kvCMultiSelListDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    switch (id) {
    case cmdAllOn: onAllOn(); return TRUE;
    case cmdAllOff: onAllOff(); return TRUE;
    case cmdAllSelectedOn: onAllSelectedOn(); return TRUE;
    case cmdAllSelectedOff: onAllSelectedOff(); return TRUE;
    case cmdZoomIn: fillElementCombo(); return TRUE;
    case cmdAutoZoomOn: onAutoZoomOn(); return TRUE;
    case cmdAutoZoomOff: onAutoZoomOff(); return TRUE;
    case cmdWriteOnLayers: onListCommand(id); return TRUE;
    case kvIDC_LIST_NEXT:
        if (code == BN_CLICKED) { onNextElement(); return TRUE; }
        break;
    case kvIDC_LIST_PREVIOUS:
        if (code == BN_CLICKED) { onPreviousElement(); return TRUE; }
        break;
    case kvIDC_LIST_ELEMENTS:
        if (code == CBN_SELENDOK) { onElementChosen(); return TRUE; }
        break;
    default: break;
    }
    return kvCDialog::OnCommand(wParam, lParam);
}

BOOL kvCMultiSelListDialog::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
    if (header && onToolTipText(header)) {
        if (result)
            *result = 0;
        return TRUE;
    }
    if (!header || header->idFrom != static_cast<UINT_PTR>(kvIDC_LIST_GROUPS))
        return kvCDialog::OnNotify(wParam, lParam, result);
    if (result)
        *result = 1;
    if (header->code == LVN_ITEMCHANGED) {
        const NMLISTVIEW& change = *reinterpret_cast<const NMLISTVIEW*>(lParam);
        onItemChanged(change);
        // The list's own selection notification follows every change of a
        // row's selection, a clearing and the list's own included; a pick's
        // pass over the rows tells it once, when the selection stands.
        if (!m_selectingByValue && ((change.uNewState ^ change.uOldState) & LVIS_SELECTED))
            onGroupSelected();
        return TRUE;
    }
    if (header->code == selectionChanged) {
        onGroupSelected();
        return TRUE;
    }
    if (header->code == NM_DBLCLK) {
        const NMITEMACTIVATE& hit = *reinterpret_cast<const NMITEMACTIVATE*>(lParam);
        onDoubleClick(hit.iItem, hit.iSubItem);
        return TRUE;
    }
    if (header->code == NM_RCLICK) {
        const NMITEMACTIVATE& hit = *reinterpret_cast<const NMITEMACTIVATE*>(lParam);
        onContextMenu(hit.ptAction);
        return TRUE;
    }
    return kvCDialog::OnNotify(wParam, lParam, result);
}

// ---------------------------------------------------------------- evaluation and rows

bool kvCMultiSelListDialog::evaluate()
{
    try {
        m_groupFaces.clear();
        m_groupBoxes.clear();
        resetNavigation();
        evaluateGroups();
        return true;
    } catch (...) {
        showException(messages().evaluate);
        return false;
    }
}

void kvCMultiSelListDialog::fillList()
{
    try {
        kvIfPtr<kvIAppDocument1> doc = appDocument(assertUnit(), __LINE__);
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        m_selectedBgColour = RGB(175, 0, 0);
        m_highlightColour = RGB(255, 0, 0);
        m_uncheckSeen = false;
        m_list.DeleteAllItems();
        kvIfPtr<kvIApplication1> app = application();
        unsigned int colourIndex = 0;
        wchar_t text[64];
        for (int row = 0; row < rowCount(); ++row) {
            const int at = m_list.InsertItem(m_list.GetItemCount(), L"", rowImage);
            m_list.SetItemData(at, 1);
            if (colourIndex >= m_groupColours.size())
                colourIndex = 0;
            const COLORREF colour = m_groupColours[colourIndex];
            ++colourIndex;
            m_list.SetItemBgColor(at, 1, colour, true);
            m_list.SetItemTxtColor(at, 1, colour, true);
            m_list.SetItemStyle(at, 1, 0xF1, true);
            m_list.SetItemSelectedBgColor(at, 1, m_selectedBgColour, false);
            m_list.SetItemSelectedTxtColor(at, 1, colour, false);
            m_list.SetItemSelectedStyle(at, 1, 0x30, true);
            std::swprintf(text, 64, L"%lg", rowValue(row));
            m_list.SetItemText(at, 2, text);
            std::swprintf(text, 64, L"%ld", static_cast<long>(rowFaceCount(row)));
            m_list.SetItemText(at, 3, text);
            std::swprintf(text, 64, L"%lg", twRound(doc.getIf(), rowFirstValue(row)));
            m_list.SetItemText(at, 4, text);
            m_list.SetCheck(at, TRUE);
        }
    } catch (...) {
        showException(messages().fillList);
    }
}

bool kvCMultiSelListDialog::selectRowsByValue(double value)
{
    bool matched = false, changed = false;
    {
        // Each row whose selection changes reaches the item-change handler
        // as a user's change does (a row selected beside a selected row gives
        // it its tick); the selection notification waits for the whole pass.
        FlagScope pass(m_selectingByValue);
        for (int row = 0; row < m_list.GetItemCount(); ++row) {
            const std::wstring text = m_list.GetItemText(row, 2);
            if (text.empty())
                continue;
            const bool wasSelected = m_list.GetItemState(row, LVIS_SELECTED) != 0;
            const bool selected = rowMatches(std::wcstod(text.c_str(), nullptr), value);
            if (selected) {
                m_list.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
                m_list.EnsureVisible(row, TRUE);
                matched = true;
            } else {
                m_list.SetItemState(row, 0, LVIS_SELECTED);
            }
            changed = changed || selected != wasSelected;
        }
    }
    // A match is taken up as a choice of the user's; a selection the value
    // cleared is told as the list tells every change of its selection.
    if (matched || changed)
        onGroupSelected();
    return true;
}

void kvCMultiSelListDialog::setRowShown(int row, bool shown)
{
    if (row < 0)
        return;
    m_rowShown[static_cast<unsigned int>(row)] = shown;
    m_list.SetCheck(row, shown ? TRUE : FALSE);
}

// ---------------------------------------------------------------- navigator

void kvCMultiSelListDialog::resetNavigation()
{
    CWnd* position = GetSafeHwnd() ? GetDlgItem(kvIDC_LIST_POSITION) : nullptr;
    if (!position)
        return;
    position->SetWindowText(L"");
    position->EnableWindow(FALSE);
    for (int id : {kvIDC_LIST_PREVIOUS, kvIDC_LIST_NEXT, kvIDC_LIST_NAVIGATOR})
        if (CWnd* c = GetDlgItem(id))
            c->EnableWindow(FALSE);
    if (CWnd* combo = GetDlgItem(kvIDC_LIST_ELEMENTS)) {
        combo->SendMessage(CB_RESETCONTENT);
        combo->EnableWindow(FALSE);
    }
}

void kvCMultiSelListDialog::showElement()
{
    try {
        const int row = m_list.GetFirstSelected();
        if (row < 0 || row >= rowCount())
            return;
        const std::vector<kvIUnknownPtr>& faces = m_groupFaces[static_cast<std::size_t>(row)];
        if (faces.empty())
            return;
        kvIfPtr<kvIAppDocument1> doc = appDocument(assertUnit(), __LINE__);
        kvIUnknownPtr base;
        doc->getBaseDocument(&base);
        kvIfPtr<kvIBaseDocWithView> view(base.get());
        const int n = static_cast<int>(faces.size());
        if (m_currentElement < 0)
            m_currentElement = n - 1;
        if (m_currentElement > n - 1)
            m_currentElement = 0;
        wchar_t text[32];
        std::swprintf(text, 32, L"%d/%d", m_currentElement + 1, n);
        SetDlgItemText(kvIDC_LIST_POSITION, text);
        for (int id : {kvIDC_LIST_POSITION, kvIDC_LIST_PREVIOUS, kvIDC_LIST_NEXT, kvIDC_LIST_NAVIGATOR,
                       kvIDC_LIST_ELEMENTS})
            if (CWnd* c = GetDlgItem(id))
                c->EnableWindow(TRUE);
        if (CWnd* combo = GetDlgItem(kvIDC_LIST_ELEMENTS))
            combo->SendMessage(CB_SETCURSEL, static_cast<WPARAM>(m_currentElement));
        if (view.isNull() || view->hasViewFunction(L"fitViewToBox") != 1)
            return;
        const kvIBoundingbox& box = m_groupBoxes[static_cast<std::size_t>(row)][static_cast<std::size_t>(m_currentElement)];
        kvCGePoint p = box.min;
        kvCGePoint q = box.max;
        const double margin = p.distanceTo(q) >= 0.01 ? 5.0 : 25.0;
        q.set(q.x + margin, q.y + margin, q.z + margin);
        p.set(p.x - margin, p.y - margin, p.z - margin);
        if (m_pPanel && analysisWindow())
            m_pPanel->selectAndColourFaces(analysisWindow()->areFacesShown(), true,
                                           analysisWindow()->isTransparent(), colouring());
        double first[3], second[3];
        q.get(first);
        p.get(second);
        view->fitViewToBox(first, second);
    } catch (...) {
        showException(messages().showElement);
    }
}

void kvCMultiSelListDialog::fillElementCombo()
{
    const int row = m_list.GetFirstSelected();
    CWnd* combo = GetDlgItem(kvIDC_LIST_ELEMENTS);
    if (row < 0 || row >= rowCount() || !combo)
        return;
    combo->ShowWindow(SW_SHOW);
    combo->SendMessage(CB_RESETCONTENT);
    kvIfPtr<kvIAppDocument1> doc = appDocument(assertUnit(), __LINE__);
    kvIfPtr<kvIApplication1> app = application();
    const kvCString face = kvCMsgEnt(L"twUiCyc.loc|AnaSingleFace|Face").getEntry(app.getIf());
    const kvCString valueText = kvCMsgEnt(elementValueKey()).getEntry(app.getIf());
    const std::vector<kvIBoundingbox>& boxes = m_groupBoxes[static_cast<std::size_t>(row)];
    for (std::size_t k = 0; k < boxes.size(); ++k) {
        wchar_t entry[256];
        std::swprintf(entry, 256, L"%ls %d %ls %lg", face.c_str(), static_cast<int>(k + 1), valueText.c_str(),
                      twRound(doc.getIf(), boxes[k].value));
        combo->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
    }
    combo->SendMessage(CB_SETCURSEL, 1);
    m_currentElement = 0;
    showElement();
}

void kvCMultiSelListDialog::onNextElement()
{
    ++m_currentElement;
    showElement();
}

void kvCMultiSelListDialog::onPreviousElement()
{
    --m_currentElement;
    showElement();
}

void kvCMultiSelListDialog::onElementChosen()
{
    if (CWnd* combo = GetDlgItem(kvIDC_LIST_ELEMENTS))
        m_currentElement = static_cast<int>(combo->SendMessage(CB_GETCURSEL));
    showElement();
}

// ---------------------------------------------------------------- list events

void kvCMultiSelListDialog::onItemChanged(const NMLISTVIEW& change)
{
    try {
        const UINT oldImage = change.uOldState & LVIS_STATEIMAGEMASK;
        if ((oldImage != unticked && oldImage != ticked) || m_busy || autoZoom())
            return;
        const int row = change.iItem;
        const bool isTicked = m_list.GetCheck(row) != FALSE;
        m_rowShown[static_cast<unsigned int>(row)] = isTicked;
        if (m_list.GetItemState(row, LVIS_SELECTED)) {
            FlagScope busy(m_busy);
            for (int r = m_list.GetFirstSelected(); r >= 0; r = m_list.GetNextItem(r, LVNI_SELECTED))
                setRowShown(r, isTicked);
        }
        if (!isTicked)
            m_uncheckSeen = true;
        if (m_uncheckSeen)
            refreshPanel();
    } catch (...) {
        showException(messages().itemChanged);
    }
}

void kvCMultiSelListDialog::onGroupSelected()
{
    if (!GetSafeHwnd() || !GetDlgItem(kvIDC_LIST_GROUPS))
        return;
    resetNavigation();
    const int selected = static_cast<int>(m_list.GetSelectedCount());
    if (selected > 1)
        return;
    if (selected == 1) {
        m_currentGroup = m_list.GetFirstSelected();
        refreshPanel();
    }
    // With no row left selected, auto zoom keeps none of them on.
    if (autoZoom()) {
        onAllOff();
        fillElementCombo();
    }
}

void kvCMultiSelListDialog::onDoubleClick(int row, int column)
{
    try {
        if (row < 0 || row >= m_list.GetItemCount())
            return;
        if (autoZoom()) {
            setAutoZoom(false);
            resetNavigation();
        }
        if (m_list.GetItemData(row) == 0)
            kvAssertFail(L"pSet", assertUnit(), __LINE__);
        if (column != 1)
            return;
        kvIfPtr<kvIApplication1> app = application();
        kvIfPtr<kvITarnwellApp1> tw(app.get());
        if (tw.isNull())
            kvAssertFail(L"pTw", assertUnit(), __LINE__);
        unsigned long chosen = 0;
        if (tw->chooseColor(execContext(), RGB(200, 0, 200), &chosen) != 0)
            return;
        m_groupColours[static_cast<unsigned int>(row)] = static_cast<unsigned int>(chosen);
        m_list.SetItemBgColor(row, 1, chosen, true);
        m_list.SetItemTxtColor(row, 1, chosen, true);
        m_list.SetItemSelectedTxtColor(row, 1, chosen, true);
    } catch (...) {
        showException(messages().doubleClick);
    }
}

void kvCMultiSelListDialog::appendMenuItems(HMENU, int, kvIApplication1*)
{
}

void kvCMultiSelListDialog::onListCommand(UINT)
{
}

void kvCMultiSelListDialog::onContextMenu(POINT clientPoint)
{
    auto build = [&]() {
        POINT screen = clientPoint;
        ::ClientToScreen(m_list.GetSafeHwnd() ? m_list.GetSafeHwnd() : m_hWnd, &screen);
        const int first = m_list.GetFirstSelected();
        const bool second = first >= 0 && m_list.GetNextItem(first, LVNI_SELECTED) >= 0;
        kvIfPtr<kvIApplication1> app = application();
        auto text = [&app](const wchar_t* key) { return kvCMsgEnt(key).getEntry(app.getIf()); };
        HMENU menu = ::CreatePopupMenu();
        ::AppendMenuW(menu, MF_STRING, cmdAllOn, text(L"twUiMain.loc|AllOn|All on").c_str());
        ::AppendMenuW(menu, MF_STRING, cmdAllOff, text(L"twUiMain.loc|AllOff|All off").c_str());
        ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        const UINT many = second ? MF_STRING : MF_STRING | MF_GRAYED;
        ::AppendMenuW(menu, many, cmdAllSelectedOn, text(L"twUiMain.loc|AllSelOn|All selected on").c_str());
        ::AppendMenuW(menu, many, cmdAllSelectedOff, text(L"twUiMain.loc|AllSelOff|All selected off").c_str());
        ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuW(menu, MF_STRING, cmdZoomIn, text(L"twFtUtil.loc|ZoomIn|Zoom In").c_str());
        if (autoZoom())
            ::AppendMenuW(menu, MF_STRING, cmdAutoZoomOff,
                          text(L"twFtUtil.loc|AutoZoomInDisable|Disable auto zoom off").c_str());
        else
            ::AppendMenuW(menu, MF_STRING, cmdAutoZoomOn,
                          text(L"twFtUtil.loc|AutoZoomInEnable|Enable auto zoom in").c_str());
        appendMenuItems(menu, first, app.getIf());
        ::TrackPopupMenu(menu, TPM_RIGHTBUTTON, screen.x, screen.y, 0, m_hWnd, nullptr);
        ::DestroyMenu(menu);
    };
    if (!messages().contextMenu) {
        build();
        return;
    }
    try {
        build();
    } catch (...) {
        showException(messages().contextMenu);
    }
}

// ---------------------------------------------------------------- list commands

void kvCMultiSelListDialog::selectFirstRow()
{
    // Told as every change of the selection is: the item-change handler and
    // the selection notification see it, so that in auto zoom row 0 alone
    // stays ticked and its faces are shown. A list without rows selects and
    // tells nothing.
    if (m_list.GetItemCount() > 0)
        m_list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    m_currentGroup = 0;
}

void kvCMultiSelListDialog::onAllOn()
{
    {
        FlagScope busy(m_busy);
        for (int row = 0; row < m_list.GetItemCount(); ++row)
            setRowShown(row, true);
    }
    refreshPanel();
}

void kvCMultiSelListDialog::onAllOff()
{
    const int keep = m_list.GetFirstSelected();
    {
        FlagScope busy(m_busy);
        for (int row = 0; row < m_list.GetItemCount(); ++row)
            setRowShown(row, row == keep);
    }
    refreshPanel();
}

void kvCMultiSelListDialog::onAllSelectedOn()
{
    {
        FlagScope busy(m_busy);
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        for (int r = m_list.GetFirstSelected(); r >= 0; r = m_list.GetNextItem(r, LVNI_SELECTED))
            setRowShown(r, true);
    }
    refreshPanel();
}

void kvCMultiSelListDialog::onAllSelectedOff()
{
    {
        FlagScope busy(m_busy);
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        for (int r = m_list.GetFirstSelected(); r >= 0; r = m_list.GetNextItem(r, LVNI_SELECTED))
            setRowShown(r, false);
    }
    refreshPanel();
}

void kvCMultiSelListDialog::onAutoZoomOn()
{
    setAutoZoom(true);
}

void kvCMultiSelListDialog::onAutoZoomOff()
{
    setAutoZoom(false);
}
