// Control base class: default look, hit testing and state reset.
#include "toolkit/base_ctrl.h"

namespace mivo {

int g_bHoverCleared = 0;
int g_bPageHoverCleared = 0;

void ResetHoverFlags() {
    g_bHoverCleared = 0;
    g_bPageHoverCleared = 0;
}

void CBaseCtrl::Draw(gfx::Canvas& dc) {
    if (!m_bVisible) return;
    dc.StrokeRect(m_rect, 0xFF000000u);
}

int CBaseCtrl::OnLButtonDown(int x, int y) { return IsUsable(x, y) ? 1 : 0; }

int CBaseCtrl::OnMouseMove(int x, int y) { return IsInside(x, y) ? 1 : 0; }

int CBaseCtrl::OnLButtonUp(int x, int y) { return IsUsable(x, y) ? 1 : 0; }

int CBaseCtrl::OnLButtonDblClk(int x, int y) { return IsUsable(x, y) ? 1 : 0; }

void CBaseCtrl::ResetState(int kind, int exceptId) {
    if (exceptId == m_nID) return;
    m_nState = kStateNormal;
    m_bHover = 0;
    if (kind == kResetRelease) m_bPressed = 0;
}

}  // namespace mivo
