// The panel of the radius analysis (mode 3) and the plane analysis (mode 4):
// a property page with the face selection, the frame, the range and steps of
// the grouping and the filters, and below it the group list of the mode. A
// change of the selection analyses the faces; changes of the range, steps,
// filters and frame regroup the list and recolour its faces.
#pragma once

#include "analyse/kvCAnalyseCtrl.h"
#include "analyse/kvCMultiSelListDialog.h"
#include "analyse/kvMultiSelAnalysis.h"
#include "sdk/kvDialog.h"
#include "sdk/kvPropertyCtrl.h"
#include "ui/atl/layout/DialogLayout.h"

#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class kvCAnalyseDlg;
class kvCMultiSelPlanDialog;
class kvCMultiSelRadiusDialog;

class kvCMultiFaceSelDialog : public kvCDialog, public kvCAnalyseCtrl, public kvCTwPropertyCtrlBase {
public:
    enum { IDD = 24051 };
    // The one-shot timer that defers the analysis of a large selection.
    enum { analysisTimer = 1, analysisDelay = 100 };
    // Selections of up to this many elements are analysed at once.
    static constexpr unsigned int immediateLimit = 10;

    kvCMultiFaceSelDialog();
    // Destroys the two list dialogs with the panel.
    ~kvCMultiFaceSelDialog() override;

    BOOL Create(UINT templateId, CWnd* parent = nullptr) override;
    using kvCDialog::Create;
    BOOL OnInitDialog() override;
    BOOL OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    void getLocFile(kvCString& file, kvCString& section, kvCString& prefix) const override;
    // The empty key that every mode panel shares.
    kvCString helpContext() const override;
    const KVPROP_DLGMSGMAP* getMessageMap() const override;
    const KVPROP_STDCTRL* getStdCtrls() const override;

    // Where the lists stand in the panel: this far below the top of the
    // panel's border and this far from its other three sides.
    enum { listTop = 150, listMargin = 12 };

    // Creates both lists on first use and shows the one of the current mode.
    void createListDialogs(bool flag);
    // Lays the border over the panel's client area and both lists inside it
    // (listTop, listMargin); a panel too narrow or too low for the margins
    // gives the lists a width or height of 0. Each list then lays out its
    // own controls. Nothing before the panel's window exists.
    void placeListDialogs();
    void buildAnalysisInfoPage();
    void refreshAnalysisDisplay(int argument);
    bool onDisplayTogglesChanged();

    // The analysis over the selection.
    void onSurfacesChanged(const wchar_t* name);
    void onAnalysisTimer(UINT_PTR id);
    void runSelectionAnalysis();
    void analyseSelectedFaces();
    // True when the face records were made from the "Surfaces" shown now.
    bool selectionAnalysed() const;

    // Paints the groups' faces (show true) or gives every painted face its
    // own colour back (show false). Each face's colour is saved the first
    // time it is painted and given back to that face, whatever the selection
    // is by then, or as soon as a colouring no longer paints it; coloursSaved
    // is kept for the callers' sake and changes nothing of that. 0, or 2
    // after a caught exception.
    int selectAndColourFaces(bool show, bool coloursSaved, bool transparent, const kvGroupColouring& groups);
    // The current list's groups, coloured (show true) with the window's flags.
    int colourCurrentList(bool show, bool coloursSaved);

    kvCAnalyseDlg* mainDialog() const { return m_mainDialog; }
    kvCMultiSelRadiusDialog* radiusList() const { return m_radiusList.get(); }
    kvCMultiSelPlanDialog* planeList() const { return m_planeList.get(); }
    // The list of the current mode, or null.
    kvCMultiSelListDialog* currentList() const;
    // Faces whose own colour is saved now.
    std::size_t savedColourCount() const { return m_savedColours.size(); }
    // The tooltip window of the panel's controls (null before the window).
    HWND toolTipWindow() const { return m_toolTip; }

protected:
    void onFilterChanged(const wchar_t* name);
    void onFrameChanged(const wchar_t* name);
    bool onToolTipText(NMHDR* header);
    int currentMode() const;
    void evaluateAndColour(bool evaluateList);

private:
    struct SavedColour {
        kvIfPtr<kvICadEntity> entity;
        unsigned long colour = 0;
        int kind = 0;
    };
    void paint(const kvIfPtr<kvICadEntity>& entity, unsigned long colour, bool withAttribute);
    void restoreColours(bool withAttribute);
    // Every face saved but not painted now gets its own colour back.
    void restoreColoursExcept(const std::unordered_set<kvIUnknown*>& painted, bool withAttribute);
    void giveBack(const std::vector<SavedColour>& saved, bool withAttribute);
    std::vector<kvIfPtr<kvICadEntity>> selectionWalk();

    kv::ui::atl::layout::DialogLayout m_layout;
    std::vector<SavedColour> m_savedColours;
    std::unordered_map<kvIUnknown*, std::size_t> m_savedIndex;
    std::vector<kvIUnknownPtr> m_analysedSelection;  // the elements of "Surfaces" last analysed
    std::unique_ptr<kvCMultiSelRadiusDialog> m_radiusList;
    std::unique_ptr<kvCMultiSelPlanDialog> m_planeList;
    kvCAnalyseDlg* m_mainDialog = nullptr;
    HWND m_toolTip = nullptr;
    bool m_radiusListPending = true;
    bool m_planeListPending = true;

    static const KVPROP_DLGMSGMAP_ENTRY sMsgEntries[];
    static const KVPROP_DLGMSGMAP sMessageMap;
    static const KVPROP_STDCTRL_ENTRY sStdCtrlEntries[];
    static const KVPROP_STDCTRL sStdCtrls;
};
