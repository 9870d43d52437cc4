#include "toolpos_host.h"

#include "host_objects.h"
#include "referenced.h"
#include "sample_part.h"
#include "text.h"
#include "view.h"

#include "host/object/kvPropAccess.h"

#include <cstdio>
#include <cwchar>

namespace hostsim {

namespace {

std::string colour(unsigned long c)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%06lx", c);
    return text;
}

} // namespace

std::string describeFrame(const double m[4][4])
{
    return "origin (" + fmt(m[0][3]) + ", " + fmt(m[1][3]) + ", " + fmt(m[2][3]) + "), axis (" +
           fmt(m[0][2]) + ", " + fmt(m[1][2]) + ", " + fmt(m[2][2]) + ")";
}

// ---------------------------------------------------------------- frames

Frame* Frame::create(const std::wstring& name, const double matrix[4][4]) { return makeReferenced<Frame>(name, matrix); }

Frame::Frame(const std::wstring& name, const double matrix[4][4]) : m_name(name), m_settings(L"Frame")
{
    propSet(&m_settings, L"Matrix", kvCGeMatrix(matrix));
}

kvIUnknown* Frame::queryInterface(const wchar_t* name)
{
    return kvQueryInterfaces<kvITwFrame1, kvIGenericObject>(this, name);
}

int Frame::getMatrix(double matrix[4][4])
{
    kvCGeMatrix m;
    if (!matrix || !propGet(&m_settings, L"Matrix", m)) return -1;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) matrix[r][c] = m(r, c);
    return 0;
}

int Frame::getName(wchar_t* buffer, int capacity)
{
    if (!buffer || capacity < 1) return -1;
    std::wcsncpy(buffer, m_name.c_str(), static_cast<std::size_t>(capacity));
    buffer[capacity - 1] = L'\0';
    return 0;
}

int Frame::getPropertySet(kvCPrPropertySet** set)
{
    if (!set) return -1;
    *set = &m_settings;
    return 0;
}

Frame* Frame::frameOf(kvIUnknown* object)
{
    if (!object) return nullptr;
    kvIUnknown* frame = object->queryInterface(kvIfName<kvITwFrame1>::value);
    if (!frame) return nullptr;
    frame->release();
    return dynamic_cast<Frame*>(static_cast<kvITwFrame1*>(frame));
}

FrameSet* FrameSet::create() { return makeReferenced<FrameSet>(); }

FrameSet::~FrameSet()
{
    for (Frame* frame : m_frames) frame->_relRef();
}

kvIUnknown* FrameSet::queryInterface(const wchar_t* name) { return kvQueryInterfaces<kvITwFrameSet1>(this, name); }

int FrameSet::createFrame(const double matrix[4][4], kvIUnknown** frame)
{
    if (!matrix || !frame) return -1;
    *frame = nullptr;
    Frame* made = Frame::create(L"Frame " + std::to_wstring(m_frames.size() + 1), matrix);
    m_frames.push_back(made);
    *frame = static_cast<kvITwFrame1*>(made);
    (*frame)->addRef();
    return 0;
}

void FrameSet::print(std::ostream& out) const
{
    if (m_frames.empty()) out << "model frames: none\n";
    for (Frame* frame : m_frames) {
        double m[4][4];
        frame->getMatrix(m);
        out << "model frame \"" << toUtf8(frame->name()) << "\": " << describeFrame(m) << '\n';
    }
}

// ---------------------------------------------------------------- handles

HandleEntity* HandleEntity::create(unsigned long colour) { return makeReferenced<HandleEntity>(colour); }

HandleEntity::HandleEntity(unsigned long colour) : Counted("handle"), m_colour(colour) {}

kvIUnknown* HandleEntity::queryInterface(const wchar_t* name) { return kvQueryInterfaces<kvICadEntity>(this, name); }

int HandleEntity::getColor(unsigned long* color)
{
    if (!color) return -1;
    *color = m_colour;
    return 0;
}

// ---------------------------------------------------------------- what the host objects show of it

int TmpGraphics::drawCylinder(const double frame[4][4], double radius, double bottom, double top, unsigned long c)
{
    if (!frame) return -1;
    m_out << "[view] group " << m_number << ": cylinder radius " << fmt(radius) << ", " << fmt(bottom) << " to " << fmt(top)
          << " along the axis of " << describeFrame(frame) << ", colour " << colour(c) << '\n';
    return 0;
}

int TmpGraphics::drawCircle(const double frame[4][4], double radius, unsigned long c)
{
    if (!frame) return -1;
    m_out << "[view] group " << m_number << ": handle circle radius " << fmt(radius) << " about " << describeFrame(frame) << ", colour "
          << colour(c) << '\n';
    return 0;
}

int Application::setParameter(const wchar_t* name, int value)
{
    if (!name) return -1;
    m_out << "[host] parameter " << toUtf8(name) << " = " << value << '\n';
    return 0;
}

int DataSet::setFrameFeedback(const double matrix[4][4])
{
    if (!matrix) return -1;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) m_frameFeedback[r][c] = matrix[r][c];
    m_hasFrameFeedback = true;
    return 0;
}

bool DataSet::frameFeedback(double matrix[4][4]) const
{
    if (!m_hasFrameFeedback) return false;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) matrix[r][c] = m_frameFeedback[r][c];
    return true;
}

void DataSet::print(std::ostream& out) const
{
    for (const auto& e : m_doubles) out << "  " << toUtf8(e.first) << " = " << fmt(e.second) << '\n';
    for (const auto& e : m_colors) out << "  " << toUtf8(e.first) << " = " << colour(e.second) << '\n';
    for (const auto& e : m_bools) out << "  " << toUtf8(e.first) << " = " << (e.second ? "true" : "false") << '\n';
    for (const auto& e : m_texts) out << "  " << toUtf8(e.first) << " = " << toUtf8(e.second) << '\n';
    out << "  frame feedback = " << (m_hasFrameFeedback ? describeFrame(m_frameFeedback) : std::string("none"))
        << '\n';
}

int JobDefinition::setReference(const wchar_t* name, kvIUnknown* object, int flags)
{
    (void)flags;
    Frame* frame = Frame::frameOf(object);
    if (!name || std::wcscmp(name, L"FrameRef") != 0 || !frame) return -1;
    kvCPrPropertySet* target = nullptr;
    frame->getPropertySet(&target);
    m_settings.setPropRef(L"FrameRef", target);
    frame->_addRef();
    if (m_frameObject) m_frameObject->release();
    m_frameObject = static_cast<kvITwFrame1*>(frame);
    if (m_out) *m_out << "[host] the job now uses frame \"" << toUtf8(frame->name()) << "\"\n";
    return 0;
}

} // namespace hostsim
