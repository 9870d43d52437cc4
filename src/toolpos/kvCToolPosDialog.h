// The panel of analysis mode 5: the job's tool placed at the picked face
// point or the job's frame, turned about its A, B and C axes (by value or by
// the mouse), drawn with its holder, checked for collision with the part and
// the machine, lengthened until it is free, and written back as a frame or
// as the job's tool feedback points.
#pragma once

#include "analyse/kvCSingleFaceSelDialog.h"
#include "sdk/kvGeomTypes.h"
#include "toolpos/kvToolShape.h"

#include <memory>

class kvCCollisionCheck;

class kvCToolPosDialog : public kvCSingleFaceSelDialog {
public:
    kvCToolPosDialog();
    ~kvCToolPosDialog() override;

    BOOL OnInitDialog() override;
    void reInitialize() override;
    const KVPROP_DLGMSGMAP* getMessageMap() const override;
    const KVPROP_STDCTRL* getStdCtrls() const override;

    // Writes the host's feedback status "SW_SF_STAT" (0) when the tool
    // position stops being shown.
    void resetFeedbackStatus();
    // The mode became 5: no new tool is marked; the tool is drawn again.
    void activatePage();
    // A frame of the model at the tool's position, kept as the new frame.
    void createFrameAtToolPosition();
    // true: lengthen the tool until it is free, then add "ToolLengthOffset";
    // false: apply "ToolLengthOffset" again to the length last found free.
    void optimizeToolLength(bool optimise);
    // The job's "TFBPoint" (the tool position) and "TFBPoint2" (1000.0 along
    // the axis), written only when the job has "TFBPointEnable" and
    // "TFBPointEnable2" both set; otherwise the job is left as it is and the
    // panel's message says why.
    void setToolAxisFeedbackPoints(kvIfPtr<kvITwCycleJobDef1> job);
    // The host's frame feedback takes the tool-position matrix.
    void updateFrameFeedback();
    // Loads the collision library, builds the part model from the milling
    // area, the machine model from the machine's folder and the tool, then
    // checks the tool. The argument is not used. A failure leaves the check
    // off and says why in "Message".
    void setupCollisionCheck(void* unused);
    // Whether one of "AAngleMouse", "BAngleMouse", "CAngleMouse" is set.
    bool isMouseAngleActive() const;
    // Ends turning by the mouse: the turned angles stay, the flags are
    // cleared and the tool is checked at its new place.
    void finishMouseAngle();
    // Ends turning by the mouse without setting the tool down: the flags are
    // cleared and nothing is drawn; the turned angles stay, to be checked
    // when the page is shown again.
    void endMouseTurn();
    // Turns the tool about the axis of the set flag by the angle the mouse
    // position (in the turning plane) sweeps from its first position.
    void turnToolByMouse(double x, double y);
    // After a pick: the mouse reactor measures the next moves in the tool's
    // own plane.
    void trackToolAxisWithMouse();
    // recompute: the tool's frame and shape are taken anew from the
    // properties; check: the collision test runs. The tool is drawn again.
    void redrawToolPosition(bool recompute, bool check);
    // Drops the two temporary graphics groups.
    void releaseGraphics();
    // The pick marker's part in mode 5: faceFrame (origin at the picked
    // point or the job's tool point, Z along the tool axis) becomes
    // "ToolPosFaceMat" and the tool is placed there, checked and drawn. Until
    // the first placement nothing is drawn or checked.
    void placeAt(const kvCGeMatrix& faceFrame);
    bool isPlaced() const { return m_placed; }

    // Fields the analysis window sets and reads.
    double axialShift = 0.0;
    bool axialShiftSet = false;
    kvIfPtr<kvITwFrame1> newFrame;
    kvIfPtr<kvIBaseTmpGraphics> toolGraphics;
    kvIfPtr<kvIBaseTmpGraphics> handleGraphics;

    // What a host observes.
    enum { collisionUnknown = -1, collisionFree = 0, collisionHit = 1 };
    const kvCGeMatrix& toolFrame() const { return m_toolFrame; }
    int collisionState() const { return m_collision; }
    bool collisionReady() const;
    bool newToolMarked() const { return m_newToolMark; }
    int mouseAxis() const { return m_mouseAxis; }
    static const wchar_t* const feedbackStatusName;

protected:
    void onPositionChanged(const wchar_t* name);
    void onMouseAngleFlag(const wchar_t* name);

private:
    void fillToolInfo();
    // "Message" holds the check's word (setMessage), then what the set-up
    // found wanting (a machine model not loaded) and what the last action
    // did (setNote), so that the verdict stays in view beside them.
    void setMessage(const kvCString& text);
    void setNote(const kvCString& text);
    void showMessage();
    void showException(const wchar_t* text);
    bool readTool(kvToolDimensions& tool, kvCString& problem) const;
    bool sendTool(const kvToolDimensions& tool, kvCString& problem);
    bool buildPartModel(kvCString& problem);
    void addMachineModels();
    double chordTolerance() const;
    void drawTool();
    // "ToolPosFaceMat" and the A, B and C angles the properties hold.
    void readPlacement(kvCGeMatrix& base, double angles[3]) const;
    // The plane the mouse turns the tool in for an axis (kvToolAxis).
    kvCGeMatrix turningPlane(int axis) const;
    kvIfPtr<kvIBaseTmpGraphics> newGraphics();
    // The document's "Feedbacks" settings (sizes and colours), or null.
    kvIfPtr<kvIDataSet1> feedbackSettings();
    // 1 collision a longer tool may clear, 2 one it cannot, 0 free, negative
    // when the test failed.
    int testWithLength(const kvToolDimensions& tool, double length);
    void applyToolLength(double length);

    std::unique_ptr<kvCCollisionCheck> m_check;
    kvCString m_verdict;
    kvCString m_setupNote;
    kvCString m_note;
    kvToolDimensions m_tool;
    bool m_toolKnown = false;
    kvCGeMatrix m_toolFrame;
    int m_collision = collisionUnknown;
    bool m_newToolMark = false;
    bool m_freeLengthKnown = false;
    double m_freeLength = 0.0;
    // The length the panel last gave the tool (free length plus offset).
    double m_appliedLength = 0.0;
    int m_mouseAxis = -1;
    bool m_mouseReferenceSet = false;
    double m_mouseReference = 0.0;
    double m_mouseStartAngle = 0.0;
    kvCGeMatrix m_mousePlane;
    bool m_inMouseTurn = false;
    bool m_placed = false;
    // What the held graphics show, so that an unchanged tool is not drawn again.
    kvCGeMatrix m_drawnFrame;
    kvToolDimensions m_drawnTool;
    kvCGeMatrix m_drawnHandles[3];

    static const KVPROP_DLGMSGMAP_ENTRY sMsgEntries[];
    static const KVPROP_DLGMSGMAP sMessageMap;
    static const KVPROP_STDCTRL_ENTRY sStdCtrlEntries[];
    static const KVPROP_STDCTRL sStdCtrls;
};
