// The modeless analysis window that the command "analyse" opens on a document:
// the mode list, a row of icon buttons and one panel per mode, all driven by
// one property set that the window owns and shares with its panels.
#pragma once

#include "analyse/kvAnalyseLastSettings.h"
#include "analyse/kvCAnalyseCtrl.h"
#include "analyse/kvCListCtrl.h"
#include "host/object/kvArray.h"
#include "sdk/kvDialog.h"
#include "sdk/kvPropertySet.h"
#include "sdk/kvStdControls.h"

#include <map>

class kvCMouseReactor;
class kvCSingleFaceSelDialog;
class kvCToolPosDialog;

class kvCAnalyseDlg : public kvCDialog, public kvCAnalyseCtrl {
public:
    enum { IDD = 24171 };

    // Controls of the window.
    enum {
        idTransparent = 1033,
        idSave = 1034,
        idToolLength = 1035,
        idNewFrame = 1036,
        idHelp = 1016,
        idClose = 1017,
        idTopGroup = 1044,
        idPanelArea = 1042,
        idShowFaces = 1057,
        idModeList = 1058,
        idCadAttribute = 1038,
        cmdToolFeedback = 1081,
        cmdLineInToolAxis = 1082,
    };

    // Builds the window object only; the window itself comes with
    // openAnalysisDialog. Holds one module lock while it exists.
    explicit kvCAnalyseDlg(CWnd* parent = nullptr);
    ~kvCAnalyseDlg() override;

    // Creates the window as a child of parent. first is the first parameter of
    // the start (a job definition) or empty.
    int openAnalysisDialog(CWnd* parent, kvIUnknownPtr first);
    // Brings an open window up to date after the command ran again.
    void reactivateAnalysisDialog(kvIUnknownPtr first);
    void setModel(kvITarnwellModel1* model);

    // kvCDlgBase
    void reInitialize() override;
    void getLocFile(kvCString& file, kvCString& section, kvCString& prefix) const override;
    const KVPROP_DLGMSGMAP* getMessageMap() const override;
    const KVPROP_STDCTRL* getStdCtrls() const override;

    // Window
    BOOL OnInitDialog() override;
    BOOL OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void OnOK() override;
    void OnCancel() override;
    void OnDestroy() override;
    void PostNcDestroy() override;

    void getLastSettings(kvAnalyseLastSettings** settings);
    void installMouseReactor(kvCGeMatrix frame);
    void disconnectMouseReactor();
    void setMouseReactorMatrix(kvCGeMatrix frame);
    void drawAnalysisFrame();
    void setPickIndex(int index) { pickIndex = index; }
    void clearResultGraphics(bool withPickMarkers);

    // Mouse callbacks the reactor calls with this window as user data.
    static void onMousePick(void* userData, const double* point, const double* position2d, int onObject,
                            const double* normal, kvIUnknown* hitObject, const double* viewDirection, bool flag);
    static void onMouseMove(void* userData, double x, double y);

    // Appends the colours of a "|"-separated table until it holds 100 or more.
    void fillFaceColourTable(const kvCString& table);

    // What a host observes.
    struct PickRecord {
        int count = 0;
        kvCGePoint point;
        double position2d[2] = {0.0, 0.0};
        int onObject = 0;
        bool hasNormal = false;
        kvCGeVector normal;
        int moves = 0;
        double movePosition[2] = {0.0, 0.0};
    };
    int currentMode() const { return mode; }
    bool isOpened() const { return opened; }
    bool isTransparent() const { return transparent; }
    bool areFacesShown() const { return facesShown; }
    bool hasJobDefinition() const { return !jobDef.isNull(); }
    kvITarnwellModel1* heldModel() const { return model.getIf(); }
    kvCPrPropertySet* propertySet() { return &ownProperties; }
    kvCMouseReactor* mouseReactor() const { return reactor; }
    // The panel of a mode, or null when it was never created.
    kvCDialog* panelForMode(int mode) const;
    kvCSingleFaceSelDialog* singleFaceSelPanel() const { return singleFacePanel; }
    kvCToolPosDialog* toolPositionPanel() const { return toolPosPanel; }
    // The text the tooltip of a button shows now ("" for none).
    kvCString toolTipText(int controlId) const;
    // The icon resource a button shows (0 for none).
    int buttonIcon(int controlId) const;
    // The tooltip window of the buttons (null before the window exists).
    HWND toolTipWindow() const { return toolTip; }
    const PickRecord& lastPick() const { return pickRecord; }
    int frameDrawCount() const { return frameDraws; }
    const kvTArray<unsigned int>& faceColourTable() const { return faceColours; }
    int pickIndexValue() const { return pickIndex; }
    // The plane of the first selected surface, when it is one.
    int planeDefinedValue() const { return planeDefined; }
    const kvCGePoint& planePointValue() const { return planePoint; }
    const kvCGeVector& planeNormalValue() const { return planeNormal; }

protected:
    void onAnyProperty(const wchar_t* name);
    void onAnalyseModeChanged(const wchar_t* name);
    void onInfoPropertyChanged(const wchar_t* name);
    void onInfoShowText(const wchar_t* name);
    void onToolLengthOffset(const wchar_t* name);

    void takeJobReferences(const kvIUnknownPtr& first);

    // Mode 5 (kvCAnalyseDlgToolPos.cpp).
    // Places the job's tool on its frame (or its feedback points) and sets up
    // the collision check; nothing unless the mode is 5.
    void placeToolFromJob(const kvIUnknownPtr& first);
    // A pick while the tool is turned by the mouse ends the turn (true: the
    // pick is used up).
    bool finishToolTurnOnPick();
    // A pick in mode 5 with the reactor's flag: a handle of the tool sets its
    // mouse-angle flag. True when the pick was such a pick.
    bool toolHandlePick(kvIUnknown* hitObject, bool flag);
    void forwardMouseMove(double x, double y);
    // Closing in mode 5: the feedback status, and whether the job takes the
    // new frame.
    void closeToolPosition();
    void onToolPositionTimer();
    void createModeSubDialog();
    // The one place that knows which panel class serves a mode.
    kvCDialog* newPanelForMode(int mode, UINT& templateId);
    kvCDialog** panelSlot(int mode);
    void hideOtherPanels(kvCDialog* keep);
    void destroyPanels();

    void onSaveMeasurement();
    void onTransparentButton();
    void onShowFacesButton();
    void onToolLengthOptimisation();
    void onSetToolFeedbackPosition();
    void onCreateLineInToolAxis();
    void setTransparency();
    void setTransparencyGroups();
    void showGroupFaces(bool clearResults);
    void showAnalysisHelp();
    bool onNcRButtonDown(UINT hitTest, POINT point);
    void layoutControls();
    void setTitle();
    void enableToolTips();
    void uncheckOtherResults(const wchar_t* key);
    void clearResultDisplay();
    void setButtonIcon(int controlId, int icon);
    void unregisterFromDocument();
    kvIfPtr<kvIApplication1> application() const;
    kvIfPtr<kvIAppDocument1> appDocument() const;
    kvIfPtr<kvIDataSet1> feedbacks(const kvIfPtr<kvIAppDocument1>& appDoc) const;
    bool baseDocOffers(const wchar_t* name) const;
    bool isChecked(int id) const;
    void setChecked(int id, bool checked);
    void showControl(int id, bool show);

    bool facesShown = false;
    bool transparent = false;
    kvIfPtr<kvIBaseDocument1> m_pBaseDoc;
    bool opened = false;
    unsigned long elementColor = 0xFFFFFFFF;  // no colour item takes this value
    unsigned long holderColour = 0;
    unsigned long toolColour = 0xFFFFFF;
    unsigned long frameColour = 0;
    int mode = 1;
    bool showInfoText = true;
    CRClickButton newFrameButton;
    CRClickButton toolLengthButton;
    kvTArray<unsigned int> faceColours;
    kvTArray<bool> faceColourUsed;
    kvIfPtr<kvITwCycleJobDef1> jobDef;
    kvIfPtr<kvITarnwellModel1> model;
    kvCPrPropertySet ownProperties;
    kvIfPtr<kvIMouseEvents1> mouseEvents;
    kvCMouseReactor* reactor = nullptr;
    kvCGeVector planeNormal2;
    kvCGePoint planePoint;
    kvCDialog* multiFacePanel = nullptr;
    kvCSingleFaceSelDialog* singleFacePanel = nullptr;
    kvCToolPosDialog* toolPosPanel = nullptr;
    bool resultsShown = false;
    double feedbackSize = 0.0;
    unsigned long bottomColour = 0;
    kvIfPtr<kvIBaseTmpGraphics> graphics[7];
    int planeDefined = 0;
    HBRUSH brush = nullptr;
    HWND toolTip = nullptr;
    kvCListCtrl<int> modeList;
    kvCColorLayerSelCtrl cadAttribute;

private:
    int pickIndex = 0;
    bool infoGuard = false;
    bool destroyed = false;
    int frameDraws = 0;
    PickRecord pickRecord;
    std::map<int, int> buttonIcons;

    static const KVPROP_DLGMSGMAP_ENTRY sMsgEntries[];
    static const KVPROP_DLGMSGMAP sMessageMap;
    static const KVPROP_STDCTRL_ENTRY sStdCtrlEntries[];
    static const KVPROP_STDCTRL sStdCtrls;
};
