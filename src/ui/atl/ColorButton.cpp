#include "ui/atl/ColorButton.h"

#include "ui/atl/ButtonDraw.h"
#include "ui/atl/ColorButtonDlg.h"
#include "ui/atl/ColorsCtrl.h"
#include "ui/atl/PrivateMessages.h"
#include "ui/atl/ResourceStrings.h"
#include "ui/atl/Theme.h"
#include "ui/atl/WindowUtils.h"

#include <map>
#include <vector>

namespace kv {
namespace ui {
namespace atl {

namespace {

const UINT kTextFlags = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING;

// The library's custom colours of the colour dialog, kept for the process.
COLORREF g_customColors[16] = {
    0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
    0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
};

UINT g_colorOkMessage = 0;

UINT colorOkMessage()
{
    if (!g_colorOkMessage) {
        ATL::CCritSecLock lock(ATL::atlBaseModule().m_csStaticDataInitAndTypeInfo);
        if (!g_colorOkMessage)
            g_colorOkMessage = RegisterWindowMessageW(COLOROKSTRINGW);
    }
    return g_colorOkMessage;
}

// The library's object for the colour dialog's window: it accepts every colour.
class ColorDialogObject {
public:
    LRESULT processMessage(UINT msg, WPARAM, LPARAM)
    {
        if (msg == colorOkMessage())
            return 0;  // no objection: the colour is accepted
        return 0;
    }
};

std::map<HWND, ColorDialogObject*>& colorDialogs()
{
    static std::map<HWND, ColorDialogObject*> dialogs;
    return dialogs;
}

UINT_PTR CALLBACK colorDialogHook(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        const auto* cc = reinterpret_cast<const CHOOSECOLORW*>(lParam);
        if (cc && cc->lCustData)
            colorDialogs()[dialog] = reinterpret_cast<ColorDialogObject*>(cc->lCustData);
        return TRUE;
    }
    if (msg == colorOkMessage()) {
        auto it = colorDialogs().find(dialog);
        return it == colorDialogs().end() ? 0 : static_cast<UINT_PTR>(it->second->processMessage(msg, wParam, lParam));
    }
    return 0;
}

int averageCharWidth(HDC dc)
{
    TEXTMETRICW tm{};
    return GetTextMetricsW(dc, &tm) ? tm.tmAveCharWidth : 0;
}

} // namespace

std::wstring libraryString(UINT id)
{
    std::wstring text;
    for (int i = 0;; ++i) {
        HINSTANCE module = ATL::atlBaseModule().GetHInstanceAt(i);
        if (!module)
            return std::wstring();
        if (LoadResourceString(text, module, id))
            return text;
    }
}

ColorButton::ColorButton()
    : m_settingColor(false), m_color(dv::noColor), m_displayOnly(false), m_anyColor(false), m_dropDown(true)
{
}

ColorButton::~ColorButton() = default;

ColorButtonDlg* ColorButton::openPopup() { return ColorButtonDlg::open(); }

void ColorButton::setColor(dv::ComColor color)
{
    if (color == m_color)
        return;
    m_color = color;
    redraw();
    onColorChanged();
}

void ColorButton::setDisplayOnly(bool displayOnly)
{
    if (displayOnly == m_displayOnly)
        return;
    m_displayOnly = displayOnly;
    redraw();
}

void ColorButton::onColorChanged()
{
    ::SendMessageW(::GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), colorChangedNotification),
                   reinterpret_cast<LPARAM>(m_hWnd));
}

void ColorButton::onClicked()
{
    if (m_displayOnly)
        return;
    if (!m_dropDown) {
        PushButtonBase::onClicked();
        return;
    }
    openColorPopup(m_hWnd, m_color & 0xFFFFFF, m_anyColor, idColorChosen);
}

bool ColorButton::runColorDialog()
{
    ColorDialogObject object;
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof(cc);
    cc.hwndOwner = m_hWnd;
    cc.rgbResult = m_color & 0xFFFFFF;
    cc.lpCustColors = g_customColors;
    cc.Flags = (m_anyColor ? (CC_RGBINIT | CC_FULLOPEN) : (CC_RGBINIT | CC_FULLOPEN | CC_SOLIDCOLOR)) | CC_ENABLEHOOK;
    cc.lCustData = reinterpret_cast<LPARAM>(&object);
    cc.lpfnHook = &colorDialogHook;
    colorOkMessage();
    const BOOL chosen = ChooseColorW(&cc);
    for (auto it = colorDialogs().begin(); it != colorDialogs().end();)
        it = it->second == &object ? colorDialogs().erase(it) : std::next(it);
    if (!chosen)
        return false;
    m_color = cc.rgbResult & 0xFFFFFF;
    redraw();
    onColorChanged();
    return true;
}

BOOL ColorButton::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result, DWORD mapId)
{
    switch (msg) {
    case WM_GETDLGCODE:
        PushButtonBase::ProcessWindowMessage(hwnd, msg, wParam, lParam, result, mapId);
        result |= DLGC_WANTARROWS;
        return TRUE;
    case WM_KEYDOWN:
        if (wParam == VK_DOWN && m_dropDown) {
            onClicked();
            result = 0;
            return TRUE;
        }
        break;
    case msgIsPartOfControl: {
        HWND other = reinterpret_cast<HWND>(lParam);
        ColorButtonDlg* popup = ColorButtonDlg::open();
        // The popup's grid takes the focus when it opens: a window inside the
        // popup belongs to the control as much as the popup itself.
        result = other == hwnd || (popup && popup->m_hWnd && popup->owner() == hwnd && other &&
                                   isWindowWithin(other, popup->m_hWnd));
        return TRUE;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == 0 && LOWORD(wParam) == idColorChosen) {
            // The chosen colour is the open popup's, whatever window the
            // command names; without a popup there is none to take.
            if (ColorButtonDlg* popup = ColorButtonDlg::open()) {
                m_color = popup->color();
                redraw();
                onColorChanged();
            }
            result = 0;
            return TRUE;
        }
        if (HIWORD(wParam) == 0 && LOWORD(wParam) == idMoreColors) {
            runColorDialog();
            result = 0;
            return TRUE;
        }
        break;
    default:
        break;
    }
    if (PushButtonBase::ProcessWindowMessage(hwnd, msg, wParam, lParam, result, mapId))
        return TRUE;
    return processPrint(hwnd, msg, wParam, lParam, result);
}

std::wstring ColorButton::shownText() const
{
    if (!text().empty() || m_color != dv::noColor)
        return text();
    return libraryString(idNoColorText);
}

void ColorButton::drawSwatch(HDC dc, const RECT& swatch, bool disabled) const
{
    if (!disabled && m_color != dv::noColor) {
        FrameRect(dc, &swatch, GetSysColorBrush(COLOR_WINDOWFRAME));
        RECT inner = swatch;
        InflateRect(&inner, -1, -1);
        fillColor(dc, inner, m_color, m_anyColor);
    } else {
        FrameRect(dc, &swatch, GetSysColorBrush(COLOR_BTNSHADOW));
    }
}

void ColorButton::draw(HDC dc)
{
    if (!drawThemed(dc))
        drawClassic(dc);
}

bool ColorButton::drawThemed(HDC dc)
{
    Theme& theme = Theme::instance();
    if (!theme.isThemeActive())
        return false;
    ThemeDataPtr data = theme.open(m_hWnd, L"Button");
    if (!data)
        return false;
    const LRESULT uiState = DefWindowProc(WM_QUERYUISTATE, 0, 0);
    const bool disabled = !IsWindowEnabled(m_hWnd);
    int background, textState;
    if (m_displayOnly) {
        background = PBS_DISABLED;
        textState = disabled ? PBS_DISABLED : PBS_NORMAL;
    } else {
        background = disabled ? PBS_DISABLED : (state() & BST_PUSHED) ? PBS_PRESSED : hot() ? PBS_HOT : PBS_NORMAL;
        textState = background;
    }
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    RECT content;
    if (!drawThemedPushBackground(theme, *data, m_hWnd, dc, background, client, content))
        return false;
    if ((state() & BST_FOCUS) && !(uiState & UISF_HIDEFOCUS) && !m_displayOnly)
        DrawFocusRect(dc, &content);
    TEXTMETRICW tm{};
    data->textMetrics(dc, BP_PUSHBUTTON, textState, &tm);
    if (!m_displayOnly && m_dropDown)
        drawThemedDropDown(dc, content, tm.tmAveCharWidth, !disabled);
    RECT swatch = content;
    InflateRect(&swatch, -2, -2);
    const std::wstring shown = shownText();
    if (!shown.empty()) {
        swatch.right = swatch.left + (swatch.bottom - swatch.top);
        RECT textRect{swatch.right + tm.tmAveCharWidth, content.top, content.right, content.bottom};
        if (textRect.right - textRect.left > 0)
            data->drawText(dc, BP_PUSHBUTTON, textState, shown.c_str(), -1,
                           kTextFlags | ((uiState & UISF_HIDEACCEL) ? DT_HIDEPREFIX : 0), 0, &textRect);
    }
    drawSwatch(dc, swatch, disabled);
    return true;
}

void ColorButton::drawClassic(HDC dc)
{
    const LRESULT uiState = DefWindowProc(WM_QUERYUISTATE, 0, 0);
    const bool styleDisabled = (GetStyle() & WS_DISABLED) != 0;
    const bool pushed = (state() & BST_PUSHED) != 0;
    const int average = averageCharWidth(dc);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    RECT content = client;
    if (m_displayOnly) {
        DrawFrameControl(dc, &content, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | DFCS_FLAT);
        InflateRect(&content, -2, 0);
    } else {
        UINT flags = DFCS_ADJUSTRECT;
        if (pushed)
            flags |= DFCS_PUSHED;
        if (styleDisabled)
            flags |= DFCS_INACTIVE;
        if (m_dropDown) {
            drawDropDownFrame(dc, content, flags, average);
        } else {
            DrawFrameControl(dc, &content, DFC_BUTTON, flags | DFCS_BUTTONPUSH);
            InflateRect(&content, -2, 0);
        }
    }
    RECT swatch = content;
    InflateRect(&swatch, 0, -2);
    const std::wstring shown = shownText();
    if (!shown.empty()) {
        swatch.right = std::min(swatch.left + (swatch.bottom - swatch.top), content.right);
        RECT textRect{swatch.right + average, content.top, content.right, content.bottom};
        // Room for the ellipsis that the drawing may put in.
        std::wstring buffer = shown + std::wstring(4, L'\0');
        const UINT flags = kTextFlags | ((uiState & UISF_HIDEACCEL) ? DT_HIDEPREFIX : 0);
        const int oldMode = SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, &buffer[0], static_cast<int>(shown.size()), &textRect, flags);
        SetBkMode(dc, oldMode);
        if (styleDisabled) {
            // The text as the drawing above shortened it, or the whole text
            // would run out of its rectangle over the swatch and the frame.
            const std::wstring drawnText(buffer.c_str());
            FillRect(dc, &textRect, GetSysColorBrush(COLOR_BTNFACE));
            SIZE size{0, 0};
            GetTextExtentPoint32W(dc, drawnText.c_str(), static_cast<int>(drawnText.size()), &size);
            UINT state = DST_PREFIXTEXT | DSS_DISABLED;
            if (uiState & UISF_HIDEACCEL)
                state |= DSS_HIDEPREFIX;
            DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(drawnText.c_str()), drawnText.size(),
                       textRect.left + (textRect.right - textRect.left - size.cx) / 2,
                       textRect.top + (textRect.bottom - textRect.top - size.cy) / 2, size.cx, size.cy, state);
        }
    }
    drawSwatch(dc, swatch, styleDisabled);
    if ((state() & BST_FOCUS) && !(uiState & UISF_HIDEFOCUS) && !m_displayOnly) {
        const COLORREF old = SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        RECT focus = client;
        if (pushed) {
            focus.left += 4;
            focus.top += 4;
            focus.right -= 2;
            focus.bottom -= 2;
        } else {
            InflateRect(&focus, -3, -3);
        }
        DrawFocusRect(dc, &focus);
        SetBkColor(dc, old);
    }
}

} // namespace atl
} // namespace ui
} // namespace kv
