// The context shared by the field controls of one dialog: the colours in which
// a field shows its state, and the one tooltip window the controls register
// with.
//
// A colour word holds an RGB value in its low 24 bits; bits 24 to 30 say how
// the brush for it is made: 1 a solid brush of that value, k + 1 (k >= 1) the
// system brush of colour k, 0 no brush. Bit 31 is ignored.
#pragma once

#include "platform/windows.h"

#include <boost/shared_ptr.hpp>

#include <cstdint>

namespace kv {
namespace ui {
namespace atl {

typedef std::uint32_t ColorWord;

class ControlColors {
public:
    ControlColors();
    ~ControlColors();
    ControlColors(const ControlColors&) = delete;
    ControlColors& operator=(const ControlColors&) = delete;

    // Colour set 1 (field states 0x1, 0x4), 2 (0x2, 0x10), 3 (0x20, background
    // only) and 4 (disabled or read-only edits).
    void setColors(int set, ColorWord text, ColorWord background);
    ColorWord textColor(int set) const;
    ColorWord backgroundColor(int set) const;
    // The background brush of a set: a solid brush is made once and kept; a
    // system brush is fetched on each call.
    HBRUSH brush(int set);
    HBRUSH brush1() { return brush(1); }
    HBRUSH brush2() { return brush(2); }
    HBRUSH brush3() { return brush(3); }
    HBRUSH brush4() { return brush(4); }

    void setOwner(HWND owner) { m_owner = owner; }
    HWND owner() const { return m_owner; }
    HWND toolTip() const { return m_toolTip; }

    // Registers the control with the tooltip window (made first when needed,
    // and only once the owner window exists); the control answers
    // TTN_GETDISPINFOW itself.
    void addControlToolTip(HWND control);
    void removeControlToolTip(HWND control);
    void relayToolTipEvent(const MSG* msg);

    // The answer to WM_CTLCOLOREDIT / WM_CTLCOLORBTN for a field in the given
    // state: sets the text and background colours and returns the brush.
    // Without a state colour, edit controls that are disabled or read-only use
    // set 4 when isEdit; everything else the window colour.
    HBRUSH controlColor(HDC dc, unsigned state, bool isEdit, DWORD style);

private:
    struct ColorSet {
        ColorWord text = 0;
        ColorWord background = 0;
        HBRUSH brush = nullptr;
        bool owned = false;
    };
    ColorSet m_sets[4];
    HWND m_owner;
    HWND m_toolTip;
};

typedef boost::shared_ptr<ControlColors> ControlColorsPtr;

} // namespace atl
} // namespace ui
} // namespace kv
