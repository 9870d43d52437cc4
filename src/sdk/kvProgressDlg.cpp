#include "sdk/kvProgressDlg.h"

namespace {
int gLive = 0;
}

CProgressDlg::CProgressDlg()
{
    ++gLive;
}

CProgressDlg::~CProgressDlg()
{
    --gLive;
    if (GetSafeHwnd()) {
        // The object goes first: its window must not delete it again.
        m_selfDestruct = false;
        DestroyWindow();
    }
}

int CProgressDlg::liveCount()
{
    return gLive;
}

BOOL CProgressDlg::DoModeless(CWnd* parent)
{
    const RECT rect{0, 0, 320, 90};
    return CreateEx(0, WC_STATICW, m_title.c_str(), WS_POPUP | WS_CAPTION | WS_VISIBLE, rect, parent, 0);
}

void CProgressDlg::UpdateUI()
{
    ++m_updates;
    if (GetSafeHwnd())
        SetWindowText(m_title.c_str());
}

void CProgressDlg::PostNcDestroy()
{
    if (m_selfDestruct)
        delete this;
}
