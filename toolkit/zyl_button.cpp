// Push button.
#include "toolkit/zyl_button.h"

namespace mivo {

const gfx::Image* PictureForState(int state, const gfx::ImagePtr& normal, const gfx::ImagePtr& hover,
                                  const gfx::ImagePtr& pressed, const gfx::ImagePtr& disabled) {
    switch (state) {
        case kStateNormal: return normal.get();
        case kStateHover: return hover.get();
        case kStatePressed:
        case kStateSelected: return pressed.get();
        case kStateDisabled: return disabled.get();
        default: return nullptr;
    }
}

CZylButton::CZylButton(std::string text, int id, int left, int top, int right, int bottom)
    : CBaseCtrl(std::move(text), id, left, top, right, bottom) {
    m_nType = kCtrlButton;
}

void CZylButton::SetImages(gfx::ImagePtr normal, gfx::ImagePtr hover, gfx::ImagePtr pressed) {
    m_pNormal = std::move(normal);
    m_pHover = std::move(hover);
    m_pPressed = std::move(pressed);
    m_pDisabled.reset();
}

void CZylButton::Draw(gfx::Canvas& dc) {
    if (!m_bVisible) return;
    dc.DrawImage(PictureForState(m_nState, m_pNormal, m_pHover, m_pPressed, m_pDisabled), m_rect);
}

int CZylButton::OnMouseMove(int x, int y) {
    if (!IsInside(x, y)) return 0;
    if (m_bHover || m_nState != kStateNormal) return 1;
    HostReset(kResetEnter);
    HostHover();
    m_bHover = 1;
    m_nState = kStateHover;
    HostRedraw();
    return 1;
}

int CZylButton::OnLButtonDown(int x, int y) {
    if (!IsUsable(x, y)) return 0;
    HostReset(kResetPress);
    SetStateKeepingSelected(m_nState, kStatePressed);
    m_bPressed = 1;
    HostRedraw();
    return 1;
}

int CZylButton::OnLButtonUp(int x, int y) {
    if (!m_bPressed) return 0;
    m_bPressed = 0;
    if (!IsUsable(x, y)) return 0;
    HostReset(kResetRelease);
    SetStateKeepingSelected(m_nState, kStateNormal);
    HostRedraw();
    HostClick();
    return 1;
}

void CZylButton::SetEnabled(int flag) {
    m_bEnabled = flag ? 1 : 0;
    m_nState = flag ? kStateNormal : kStateDisabled;
}

void CZylButton::ResetState(int kind, int exceptId) {
    if (exceptId == m_nID) return;
    m_bHover = 0;
    SetStateKeepingSelected(m_nState, kStateNormal);
    if (kind == kResetRelease) m_bPressed = 0;
}

}  // namespace mivo
