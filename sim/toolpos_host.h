// The host's side of the tool position: the model's frames, the handles of
// the tool that a pick in the views reaches, and what a job, the "Feedbacks"
// settings and the solid graphics show of the module's work.
#pragma once

#include "census.h"
#include "sdk/kvPropertySet.h"
#include "sdk/kvUnknownImp.h"

#include <ostream>
#include <string>
#include <vector>

namespace hostsim {

// A frame of the model (kvITwFrame1), with its settings ("Matrix") for the
// jobs that refer to it (kvIGenericObject). Part of the model: it lives as
// long as its frame set or a job holds it.
class Frame : public kvIUnknownImp, public kvITwFrame1, public kvIGenericObject {
public:
    static Frame* create(const std::wstring& name, const double matrix[4][4]);
    kvIUnknown* queryInterface(const wchar_t* name) override;
    int getMatrix(double matrix[4][4]) override;
    int getName(wchar_t* buffer, int capacity) override;
    int getPropertySet(kvCPrPropertySet** set) override;

    const std::wstring& name() const { return m_name; }
    // The frame behind a host object, or null.
    static Frame* frameOf(kvIUnknown* object);

    Frame(const std::wstring& name, const double matrix[4][4]);

private:
    std::wstring m_name;
    kvCPrPropertySet m_settings;
};

// The model's frames (kvITwFrameSet1): frames made by createFrame are named
// "Frame 1", "Frame 2" and so on and kept in the set.
class FrameSet : public kvIUnknownImp, public kvITwFrameSet1 {
public:
    static FrameSet* create();
    kvIUnknown* queryInterface(const wchar_t* name) override;
    int createFrame(const double matrix[4][4], kvIUnknown** frame) override;

    const std::vector<Frame*>& frames() const { return m_frames; }
    // One line per frame: name and origin and Z axis.
    void print(std::ostream& out) const;

    FrameSet() = default;
    ~FrameSet() override;

private:
    std::vector<Frame*> m_frames;  // one reference each
};

// A drawn handle of the tool as a pick reaches it: a CAD entity of the
// handle's colour.
class HandleEntity : public kvIUnknownImp, public kvICadEntity, public Counted {
public:
    static HandleEntity* create(unsigned long colour);
    kvIUnknown* queryInterface(const wchar_t* name) override;
    int getColor(unsigned long* color) override;

    explicit HandleEntity(unsigned long colour);

private:
    unsigned long m_colour;
};

// The matrix as "origin (x, y, z), axis (x, y, z)".
std::string describeFrame(const double matrix[4][4]);

} // namespace hostsim
