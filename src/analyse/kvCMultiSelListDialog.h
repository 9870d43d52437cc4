// What the radius list and the plane list share: the group list with a check
// box and a colour swatch per row, the navigator that walks through the faces
// of the selected group with the view zoomed to each, the list commands and
// the context menu. Each list supplies its grouping (evaluate), its columns
// and its texts.
#pragma once

#include "analyse/kvCAnalyseCtrl.h"
#include "analyse/kvMultiSelGrouping.h"
#include "host/object/kvArray.h"
#include "host/object/kvRecords.h"
#include "sdk/kvDialog.h"
#include "sdk/kvListCtrlStyled.h"
#include "ui/atl/layout/DialogLayout.h"

#include <vector>

class kvCAnalyseDlg;
class kvCMultiFaceSelDialog;

// The faces of the shown groups and how the face colouring paints them.
struct kvGroupColouring {
    const std::vector<std::vector<kvIUnknownPtr>>* groups = nullptr;
    const kvTArray<unsigned int>* colours = nullptr;
    const kvTArray<bool>* visible = nullptr;
    int selectedGroup = 0;
    unsigned int highlightColour = 0;
};

class kvCMultiSelListDialog : public kvCDialog, public kvCAnalyseCtrl {
public:
    // Commands of the list and its context menu.
    enum {
        cmdAllOn = 1400,
        cmdAllOff = 1401,
        cmdAllSelectedOn = 1402,
        cmdAllSelectedOff = 1403,
        cmdWriteOnLayers = 1405,
        cmdZoomIn = 1406,
        cmdAutoZoomOn = 1407,
        cmdAutoZoomOff = 1408,
    };
    // The list control's own selection notification.
    static constexpr UINT selectionChanged = static_cast<UINT>(-251);

    kvCMultiSelListDialog();
    ~kvCMultiSelListDialog() override;

    // Remembers the parent panel, creates the window, then copies the
    // analysis window's group colours and row flags.
    BOOL Create(UINT templateId, CWnd* parent = nullptr) override;
    using kvCDialog::Create;
    BOOL OnInitDialog() override;
    BOOL OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    void reInitialize() override;
    void getLocFile(kvCString& file, kvCString& section, kvCString& prefix) const override;
    // The empty key that every mode panel shares.
    kvCString helpContext() const override;
    const KVPROP_DLGMSGMAP* getMessageMap() const override;
    const KVPROP_STDCTRL* getStdCtrls() const override;

    // Filters, sorts and groups the face records and refills the rows; false
    // after a caught exception.
    bool evaluate();
    void fillList();
    // Selects the rows whose nominal value matches value.
    bool selectRowsByValue(double value);
    void resetNavigation();
    void showElement();
    void fillElementCombo();
    void onAllOn();
    void onAllOff();
    void onAllSelectedOn();
    void onAllSelectedOff();
    void onAutoZoomOn();
    void onAutoZoomOff();
    void onNextElement();
    void onPreviousElement();
    void onElementChosen();
    void onGroupSelected();
    void onDoubleClick(int row, int column);
    void onContextMenu(POINT clientPoint);

    // Forgets the face records of the last analysis.
    virtual void clearFaceRecords() = 0;
    virtual unsigned int faceRecordCount() const = 0;

    // What the face colouring reads.
    kvGroupColouring colouring() const;
    int rowCount() const { return static_cast<int>(m_groupFaces.size()); }
    const std::vector<std::vector<kvIUnknownPtr>>& groupFaces() const { return m_groupFaces; }
    const std::vector<std::vector<kvIBoundingbox>>& groupBoxes() const { return m_groupBoxes; }
    const kvTArray<unsigned int>& groupColours() const { return m_groupColours; }
    const kvTArray<bool>& rowShown() const { return m_rowShown; }
    int currentGroup() const { return m_currentGroup; }
    int currentElement() const { return m_currentElement; }
    double step() const { return m_step; }
    CListCtrlStyled& listCtrl() { return m_list; }
    // The list's small image list: empty; it gives the rows their height.
    const CImageList& imageList() const { return m_imageList; }
    // The tooltip window of the list's controls (null before the window).
    HWND toolTipWindow() const { return m_toolTip; }
    kvCMultiFaceSelDialog* panel() const { return m_pPanel; }

protected:
    // Exception texts of one list.
    struct Messages {
        const wchar_t* showElement;
        const wchar_t* itemChanged;
        const wchar_t* fillList;
        const wchar_t* doubleClick;
        const wchar_t* evaluate;
        const wchar_t* contextMenu;  // null: the menu's exceptions pass on
        const wchar_t* initDialog;   // null: caught without a message
    };
    // The source unit that assertions of this list name.
    virtual const wchar_t* assertUnit() const = 0;
    virtual const Messages& messages() const = 0;
    // The grouping of the current records into rows.
    virtual void evaluateGroups() = 0;
    virtual void insertColumns(kvIApplication1* app) = 0;
    // The value text of the navigator entries ("min. radius", "angle").
    virtual const wchar_t* elementValueKey() const = 0;
    // True when a row showing rowValue matches value.
    virtual bool rowMatches(double rowValue, double value) const = 0;
    // Row texts of a group.
    virtual double rowValue(int row) const = 0;
    virtual double rowFirstValue(int row) const = 0;
    virtual int rowFaceCount(int row) const = 0;
    // Items a list adds at the end of its context menu.
    virtual void appendMenuItems(HMENU menu, int firstSelected, kvIApplication1* app);
    virtual void onListCommand(UINT id);

    // Takes the groups into the rows: faces and boxes per row, in row order.
    template <class Record, class Info>
    void takeGroups(const std::vector<kvValueGroup>& groups, const kvTArray<Record>& records,
                    std::vector<Info>& rows);

    // Row 0 becomes the selected group, told as any change of the selection.
    void selectFirstRow();
    kvCAnalyseDlg* analysisWindow() const;
    kvIfPtr<kvIApplication1> application() const;
    kvIfPtr<kvIAppDocument1> appDocument(const wchar_t* unit, int line) const;
    void showException(const wchar_t* text) const;
    bool autoZoom() const;
    void setAutoZoom(bool on);
    void setRowShown(int row, bool shown);
    void refreshPanel();
    kvCGeVector frameZ() const;

    COLORREF m_selectedBgColour = 0;
    COLORREF m_highlightColour = 0;
    std::vector<std::vector<kvIUnknownPtr>> m_groupFaces;
    std::vector<std::vector<kvIBoundingbox>> m_groupBoxes;
    int m_currentElement = 0;
    int m_currentGroup = 0;
    kvTArray<unsigned int> m_groupColours;
    kvTArray<bool> m_rowShown;
    bool m_uncheckSeen = false;
    double m_minValue = 0.0;
    double m_maxValue = 0.0;
    double m_step = 1.0;
    kvCMultiFaceSelDialog* m_pPanel = nullptr;
    // Raised while a list command sets check boxes itself, so that the
    // item-change handler ignores those changes.
    bool m_busy = false;
    // Raised while selectRowsByValue walks the rows: the selection
    // notification is told once, after the pass.
    bool m_selectingByValue = false;
    CListCtrlStyled m_list;
    CImageList m_imageList;
    kv::ui::atl::layout::DialogLayout m_layout;

private:
    void onItemChanged(const NMLISTVIEW& change);
    // Answers the tooltip's question for a control; false for any other
    // notification.
    bool onToolTipText(NMHDR* header);

    HWND m_toolTip = nullptr;

    static const KVPROP_DLGMSGMAP_ENTRY sMsgEntries[];
    static const KVPROP_DLGMSGMAP sMessageMap;
    static const KVPROP_STDCTRL_ENTRY sStdCtrlEntries[];
    static const KVPROP_STDCTRL sStdCtrls;
};

template <class Record, class Info>
void kvCMultiSelListDialog::takeGroups(const std::vector<kvValueGroup>& groups, const kvTArray<Record>& records,
                                       std::vector<Info>& rows)
{
    rows.resize(groups.size());
    m_groupFaces.resize(groups.size());
    m_groupBoxes.resize(groups.size());
    for (std::size_t g = 0; g < groups.size(); ++g) {
        rows[g].value = groups[g].value;
        rows[g].firstValue = groups[g].firstValue;
        rows[g].count = static_cast<int>(groups[g].members.size());
        m_groupFaces[g].reserve(groups[g].members.size());
        m_groupBoxes[g].reserve(groups[g].members.size());
        for (unsigned int index : groups[g].members) {
            m_groupFaces[g].push_back(records.at(index).face);
            m_groupBoxes[g].push_back(records.at(index).box);
        }
    }
}
