// The modeless analysis window that the command "analyse" opens on a document:
// the mode list, a row of icon buttons and one panel per mode, all driven by
// one property set that the window owns and shares with its panels.
#pragma once

#include "analyse/kvAnalyseLastSettings.h"
#include "analyse/kvCAnalyseCtrl.h"
#include "analyse/kvCListCtrl.h"
#include "analyse/kvMeasurementWriter.h"
#include "host/object/kvArray.h"
#include "sdk/kvDialog.h"
#include "sdk/kvFeatureHelp.h"
#include "sdk/kvPropertySet.h"
#include "sdk/kvStdControls.h"

#include <cstddef>
#include <map>
#include <vector>

struct RatBSplSurf;
class kvCMouseReactor;
class kvCMultiSelListDialog;
class kvCSingleFaceSelDialog;
class kvCToolPosDialog;

class kvCAnalyseDlg : public kvCDialog, public kvCAnalyseCtrl {
    // The multi-face panel follows and sets the window's show and transparent
    // buttons and flags.
    friend class kvCMultiFaceSelDialog;

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
    // the start (a job definition) or empty. Gives the window creation's
    // result: 0 when no window could be made (GetSafeHwnd() is null then).
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
    // The tool-position panel starts turning the tool by the mouse: the
    // reactor measures in the turning plane, and the pick that ends the turn
    // is taken wherever it lands (kvCAnalyseDlgToolPos.cpp).
    void beginMouseTurn(kvCGeMatrix turningPlane);
    void drawAnalysisFrame();
    // -1 (no pair started) also ends a pair in progress.
    void setPickIndex(int index);
    void clearResultGraphics(bool withPickMarkers);

    // Mouse callbacks the reactor calls with this window as user data.
    static void onMousePick(void* userData, const double* point, const double* position2d, int onObject,
                            const double* normal, kvIUnknown* hitObject, const double* viewDirection, bool flag);
    static void onMouseMove(void* userData, double x, double y);

    // ---- measurement results (kvCAnalyseDlgResults.cpp)
    // Result kinds: -1 clear, 1 colour, 2 name, 3 type, 4 to 22 the numeric
    // results, 100 the CAD environment and the Save button.
    void showResultProperties(int tag, int kind, const wchar_t* text);
    void showResultValue(int tag, int kind, double value);
    // 0 above 100000 in magnitude, else the document's display rounding.
    double roundForDisplay(double value);
    // Ticks the result and draws its graphic (null: the last one again).
    void showResultGraphic(const wchar_t* key);
    bool areResultsShown() const { return resultsShown; }

    // ---- element measurement (kvCAnalyseDlgElement.cpp)
    void analyseElementAtPick(const double* point, const double* position2d, bool onObject, const double* normal,
                              kvIUnknown* hitObject, const double* viewDirection, bool flag);
    // The curvature circles of a face at a point on it; false (outputs left
    // as they are) when the face has no surface or the point does not come
    // back onto the surface.
    bool curvatureAtPickPoint(const double* point, kvIUnknown* face, kvFaceAxisRecord& minPickCircle,
                              double& minPickRadius, kvFaceAxisRecord& maxPickCircle, double& maxPickRadius);
    void showPickPoint(bool isPoint, double x, double y, double z);
    // Longest text formatValueWithUnit writes, terminator included.
    static constexpr std::size_t valueTextSize = 64;
    // The text of an angle with its unit, cut to capacity characters.
    void formatValueWithUnit(double angle, wchar_t* out, std::size_t capacity = valueTextSize);
    void showElementNameText();
    void forwardMouseMove(double x, double y);

    // ---- result graphics and pick marker (kvCAnalyseDlgGraphics.cpp)
    void drawAnalysisResults();
    void drawPickMarker(kvCGeMatrix markerFrame, kvCGeMatrix faceFrame);

    // ---- colour catalogue (kvCAnalyseDlgCatalog.cpp)
    void loadColorCatalog();
    // The catalogue name of a colour, or null.
    static const wchar_t* colorNameByRgb(int r, int g, int b);

    // ---- two-element measurement (kvCAnalyseDlgPair.cpp)
    // The second pick's rules for the type of the face just classified:
    // results, "AnalyseType" and graphics of the pair.
    void applySecondPickRules(int faceType);
    // The straight distance of the picks, and along the first vector.
    void measurePickDistance(const double pick[3], bool alongFirstVector, bool showAxialDistance);
    // The cone's full opening angle in degrees, drawn with the style.
    double showConeAngleGraphic(int style);
    // A right angle and the angle between the axis and the face's normal.
    void showFaceHoleAngleGraphic();
    // The angle between the two axes taken as lines.
    void showDrillholeAngleGraphic();
    // The angled hole's offset; drawn unless computeOnly.
    double showAngledHoleGraphic(bool computeOnly);
    // The selection's plane (planeNormal, planePoint) as the pair's first element.
    void recordSelectedPlaneAsFirstElement();

    // ---- angle dimension (kvCAnalyseDlgAngle.cpp)
    // The angle between the elements' traces in degrees, 180 less that
    // between a and b (0 when they are parallel or on an exception); draws
    // the dimension, its arc spanning that angle, unless kind is 3, and
    // writes it into the model while a measurement is being saved.
    double drawMeasurementResults(kvCGeVector a, kvCGeVector b, kvCGePoint p, kvCGePoint q, int kind);
    void writeArrowheadToModel(kvIfPtr<kvIBaseModel1> model, kvCGeVector axis, kvCGePoint tip, double radius,
                               double height);

    // ---- saving a measurement (kvCAnalyseDlgSave.cpp)
    // One contour (a line or polyline) and the text, when not null, as CAD
    // entities on the save's layer and colour; the line or polyline written.
    kvIUnknownPtr writeMeasurementToModel(kvCGeContour3d* contour, kvIfPtr<kvIBaseModel1> model, kvCGeMatrix frame,
                                          const wchar_t* text);
    // A result dimension as drawn: extension contour, dimension line with
    // its text, and each drawn arrowhead (cone frame, base radius, height).
    struct DrawnArrowhead {
        kvCGeMatrix frame;
        double radius;
        double height;
    };
    void writeResultDimensionToModel(const kvCGeContour3d& extension, const kvCGePoint& a, const kvCGePoint& b,
                                     const wchar_t* text, const kvCGeMatrix& textFrame,
                                     const std::vector<DrawnArrowhead>& arrowheads);
    // The base document's model, for writing; asserts "pBaseDoc".
    kvIfPtr<kvIBaseModel1> modelForWriting();
    bool isSavingMeasurement() const { return savingMeasurement; }

    // ---- the tool-position page's mouse turning (kvCAnalyseDlgToolPos.cpp)
    bool toolPosMouseAngleActive();
    void toolPosFinishMouseAngle();
    void toolPosTurnToolByMouse(double x, double y);
    void toolPosTrackToolAxisWithMouse();

    // Face types of the element measurement, as the second-pick rules get them.
    enum { facePlane = 1, faceCylinder = 2, faceCone = 3, faceRounding = 4, faceTorus = 5, faceFreeForm = 6 };

    // What a host observes of a measurement.
    double measuredFaceHeight() const { return faceHeight; }
    double measuredDiameter1() const { return diameter1; }
    double measuredDiameter2() const { return diameter2; }
    double measuredFaceRadius() const { return faceRadius; }
    double measuredConeAngle() const { return coneAngle; }
    double measuredMinRadius() const { return resultMinRadius; }
    double measuredMaxRadius() const { return resultMaxRadius; }
    const kvFaceAxisRecord& measuredMinCircle() const { return resultMinCircle; }
    int firstElementKindValue() const { return firstElementKind; }
    int resultGraphicKindValue() const { return resultGraphicKind; }
    const wchar_t* elementName() const { return elementNameText; }

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
    // The saving state's layer name and colour: the radius list's menu and
    // its layer command write them as well.
    const kvMeasurementStyle& savingStyle() const { return saveStyle; }
    void setSavingLayer(const kvCString& layer) { saveStyle.layer = layer; }
    void setSavingColour(unsigned long colour) { saveStyle.colour = colour; }
    const kvTArray<unsigned int>& faceColourTable() const { return faceColours; }
    const kvTArray<bool>& faceColourFlags() const { return faceColourUsed; }
    int pickIndexValue() const { return pickIndex; }
    // The plane of the first selected surface, when it is one.
    int planeDefinedValue() const { return planeDefined; }
    const kvCGePoint& planePointValue() const { return planePoint; }
    const kvCGeVector& planeNormalValue() const { return planeNormal; }

protected:
    // The element of the current pick: its direction (the normal, or the
    // oriented axis), its reference point (the pick, or the axis point) and
    // the picked point itself.
    struct ElementState {
        kvCGeVector direction;
        kvCGePoint referencePoint;
        kvCGePoint pickPoint;
    };
    void clearMeasures();
    kvCGePoint inReferenceFrame(const kvCGePoint& p) const;
    void showTypeText(const wchar_t* textKey);
    void analyseFace(kvIUnknown* face, const double* point, const double* normal, const double* viewDir,
                     bool freeFormAllowed, bool curvatureFound, const kvFaceAxisRecord& minPickCircle,
                     double minPickRadius, const kvFaceAxisRecord& maxPickCircle, double maxPickRadius,
                     ElementState& element);
    void analyseTurnedFace(kvCFeatureHelp& feature, kvIUnknown* face, const kvPoint3DRec& p, const kvPoint3DRec& d,
                           double radius, double sineOfAngle, double value, const kvCGePoint& pick,
                           const double* viewDir, ElementState& element);
    void showEntityOfPick(kvIUnknown* hitObject, const ElementState& element);
    void runHandleTest(kvIUnknown* hitObject);

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
    // Closing in mode 5: the feedback status, and whether the job takes the
    // new frame.
    void closeToolPosition();
    void createModeSubDialog();
    // The one place that knows which panel class serves a mode.
    kvCDialog* newPanelForMode(int mode, UINT& templateId);
    kvCDialog** panelSlot(int mode);
    void hideOtherPanels(kvCDialog* keep);
    // Modes 3 and 4 (kvCAnalyseDlgMultiFace.cpp): the panel's lists when the
    // mode is shown, the faces' own colours back, the lists emptied on close.
    void showMultiFaceLists(bool isNewPanel);
    void restoreGroupColours();
    // Modes 3 and 4: the radius or plane list selects the rows of a shown
    // result (kvCAnalyseDlgMultiFace.cpp).
    void selectListRowsOfResult(int kind, const wchar_t* text);
    // Mode 4: the plane list selects the rows of a face's exact angle.
    void selectPlaneRowsOfAngle(double angle);
    void selectListRows(kvCMultiSelListDialog* list, double value);
    void emptyGroupLists();
    bool colourGroupFaces();
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
    // The document face that switched transparency on; switching back goes
    // through it, also when the document no longer hands it out.
    kvIfPtr<kvIBaseDocWithFeatureShowMode> transparencySwitch;
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
    bool clearResultsOnRefresh = true;
    int resultGraphicKind = 0;
    const wchar_t* lastResultKey = nullptr;
    double feedbackSize = 0.0;
    unsigned long bottomColour = 0;
    // Graphics groups held by the window.
    enum { gfxElementName = 0, gfxMeasurement = 1, gfxResult = 2, gfxPickMarker1 = 3, gfxPickMarker2 = 4,
           gfxFrame = 6 };
    kvIfPtr<kvIBaseTmpGraphics> graphics[7];

    // The element measurement's results.
    static constexpr std::size_t elementNameSize = 256;
    wchar_t elementNameText[elementNameSize] = {0};
    // The last pick's name is shown: its tick is on and it was drawn for the
    // pick. It stays so while the pick's results stay in the panel, also
    // when its graphic is cleared (after a save): every save writes it.
    bool elementNameShown = false;
    bool nameTextPlaced = false;
    kvCGePoint labelPosition;
    kvCGeMatrix textFrame;
    double faceHeight = 0.0;
    double diameter1 = 0.0;
    double diameter2 = 0.0;
    // Where diameter2 stands: along the second direction from the axis
    // point, which stands where diameter1 does.
    double diameter2Height = 0.0;
    double faceRadius = 0.0;
    double coneAngle = 0.0;
    double resultMinRadius = 0.0;
    double resultMaxRadius = 0.0;
    double resultMinRadiusU = 0.0;
    double resultMinRadiusV = 0.0;
    kvFaceAxisRecord resultMinCircle;
    kvFaceAxisRecord resultMaxCircle;
    kvFaceAxisRecord resultMinUCircle;
    kvFaceAxisRecord resultMinVCircle;
    // 360 minus the angle beside the angle (formatValueWithUnit); nothing
    // switches it on yet.
    bool showAngleSupplement = false;
    // The view direction of the last pick that hit a surface.
    kvCGeVector viewDirection;

    // The pair of the two-element measurement.
    int firstElementKind = 0;
    int lastElementKind = 0;
    kvCGeVector firstDirection;
    kvCGeVector firstVector;
    kvCGeVector secondDirection;
    kvCGeVector secondVector;
    kvCGePoint firstPickPoint;
    kvCGePoint secondPickPoint;
    kvCGePoint firstReferencePoint;
    kvCGePoint axisPoint;
    kvCGePoint footPoint;
    kvCGePoint offsetFootPoint;
    kvCGePoint angleSecondPoint;
    double pointDistance = 0.0;
    double axialDistance = 0.0;
    double angledHoleOffset = 0.0;
    bool savingMeasurement = false;
    kvMeasurementStyle saveStyle;
    // What the running save wrote; null between saves.
    kvMeasurementLog* saveLog = nullptr;
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
