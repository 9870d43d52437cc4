// Host interfaces the tool-position panel uses: the model's frames, the
// "Feedbacks" settings it writes, the host's parameters and the temporary
// graphics of solids. Included by kvInterfaces.h; same conventions.
#pragma once

// A frame of the model (a coordinate system that jobs refer to).
class kvITwFrame1 : public kvIUnknown {
public:
    // The frame's matrix (rows first, translation in the last column).
    virtual int getMatrix(double matrix[4][4]) { (void)matrix; return -1; }
    // The frame's name, terminated and cut to capacity.
    virtual int getName(wchar_t* buffer, int capacity) { (void)buffer; (void)capacity; return -1; }

protected:
    ~kvITwFrame1() = default;
};
KV_IF_NAME(kvITwFrame1);

// The model's frames.
class kvITwFrameSet1 : public kvIUnknown {
public:
    // Out: the new frame (kvITwFrame1), named by the host.
    virtual int createFrame(const double matrix[4][4], kvIUnknown** frame) { (void)matrix; (void)frame; return -1; }

protected:
    ~kvITwFrameSet1() = default;
};
KV_IF_NAME(kvITwFrameSet1);

// The writable side of the "Feedbacks" settings (offered by that data set).
class kvIFeedback1 : public kvIUnknown {
public:
    // The frame the host's views show as the frame feedback.
    virtual int setFrameFeedback(const double matrix[4][4]) { (void)matrix; return -1; }

protected:
    ~kvIFeedback1() = default;
};
KV_IF_NAME(kvIFeedback1);

// The host's named parameters (offered by the application).
class kvISWParameter1 : public kvIUnknown {
public:
    virtual int setParameter(const wchar_t* name, int value) { (void)name; (void)value; return -1; }

protected:
    ~kvISWParameter1() = default;
};
KV_IF_NAME(kvISWParameter1);

// Solids in a temporary graphics group (offered by kvIBaseTmpGraphics groups).
class kvITDTmpGraphicsExt : public kvIUnknown {
public:
    // A cylinder about the frame's Z axis between the heights bottom and top.
    virtual int drawCylinder(const double frame[4][4], double radius, double bottom, double top,
                             unsigned long colour)
    { (void)frame; (void)radius; (void)bottom; (void)top; (void)colour; return -1; }
    // A circle about the frame's Z axis in its XY plane; the views hand it to
    // a pick as a CAD entity of that colour.
    virtual int drawCircle(const double frame[4][4], double radius, unsigned long colour)
    { (void)frame; (void)radius; (void)colour; return -1; }

protected:
    ~kvITDTmpGraphicsExt() = default;
};
KV_IF_NAME(kvITDTmpGraphicsExt);
