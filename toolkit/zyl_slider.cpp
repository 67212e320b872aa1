// Slider and selector.
#include "toolkit/zyl_slider.h"

namespace mivo {

// ---- CZylSlider

CZylSlider::CZylSlider(std::string text, int id, int minimum, int maximum, int left, int top, int right, int bottom)
    : CBaseCtrl(std::move(text), id, left, top, right, bottom), m_nMin(minimum), m_nMax(maximum), m_nPos(minimum) {
    m_nType = kCtrlSlider;
}

void CZylSlider::SetImages(gfx::ImagePtr track, gfx::ImagePtr thumb) {
    m_pTrack = std::move(track);
    m_pThumb = std::move(thumb);
}

void CZylSlider::UpdateFromPoint(int x) {
    // The input span is right - left - 5, five pixels wider than the drawing span: values are
    // rounded from a single-precision float as the stored positions expect.
    const int span = m_rect.right - m_rect.left - 5;
    if (span == 0) return;  // a rectangle 5 pixels wide has no usable track
    const float v = static_cast<float>(static_cast<double>(x - m_rect.left - 5) * (m_nMax - m_nMin) / span + m_nMin);
    // Beyond either end the rounded value is clamped anyway; deciding here keeps the integer
    // conversion below in range for any x.
    if (!(v < static_cast<float>(m_nMax))) {
        m_nPos = m_nMax;
        return;
    }
    if (!(v > static_cast<float>(m_nMin))) {
        m_nPos = m_nMin;
        return;
    }
    const int d = static_cast<int>(v);
    const float fraction = v - static_cast<float>(d);
    // A fraction of exactly one half rounds up.
    m_nPos = fraction >= 0.5f ? d + 1 : d;
    if (m_nPos > m_nMax) m_nPos = m_nMax;
    if (m_nPos < m_nMin) m_nPos = m_nMin;
}

gfx::Point CZylSlider::ThumbPosition() const {
    const int range = m_nMax - m_nMin;
    const float f = range != 0 ? static_cast<float>(static_cast<double>(m_nPos - m_nMin) / range) : 0.0f;
    const int tw = m_pThumb ? m_pThumb->Width() : 0;
    const int th = m_pThumb ? m_pThumb->Height() : 0;
    const int x = m_rect.left + 5 + static_cast<int>(f * static_cast<float>(m_rect.right - m_rect.left - 10)) - tw / 2;
    const int y = (m_rect.top + m_rect.bottom) / 2 - th / 2 + 4;
    return {x, y};
}

void CZylSlider::Draw(gfx::Canvas& dc) {
    if (!m_bVisible) return;
    if (m_pTrack) dc.DrawImage(m_pTrack.get(), m_rect);
    if (m_pThumb) {
        const gfx::Point p = ThumbPosition();
        dc.DrawImage(m_pThumb.get(), gfx::Rect{p.x, p.y, p.x + m_pThumb->Width(), p.y + m_pThumb->Height()});
    }
}

int CZylSlider::OnLButtonDown(int x, int y) {
    if (!IsUsable(x, y)) return 0;
    UpdateFromPoint(x);
    HostRedraw();
    m_bPressed = 1;
    return 1;
}

int CZylSlider::OnMouseMove(int x, int y) {
    if (m_bHover == 0 && m_nState == kStateNormal && m_bPressed == 0 && IsInside(x, y)) {
        HostReset(kResetEnter);
        HostHover();
        m_bHover = 1;
        m_nState = kStateHover;
        HostRedraw();
        return 1;
    }
    if (m_bPressed == 0) return 0;
    // Dragging: the value follows the pointer wherever it is.
    if (!m_bVisible) return 0;
    UpdateFromPoint(x);
    HostRedraw();
    return 1;
}

int CZylSlider::OnLButtonUp(int x, int y) {
    if (!m_bPressed) return 0;
    m_bPressed = 0;
    if (!m_bVisible) return 0;
    UpdateFromPoint(x);
    HostRedraw();
    HostClick();
    return 1;
}

// ---- CZylSelector

CZylSelector::CZylSelector(std::string text, int id, int left, int top, int right, int bottom)
    : CBaseCtrl(std::move(text), id, left, top, right, bottom) {
    m_nType = kCtrlSelector;
}

void CZylSelector::SetImages(gfx::ImagePtr normal, gfx::ImagePtr hover, gfx::ImagePtr on) {
    m_pNormal = std::move(normal);
    m_pHover = std::move(hover);
    m_pOn = std::move(on);
}

void CZylSelector::Draw(gfx::Canvas& dc) {
    if (!m_bVisible) return;
    const gfx::Image* picture = nullptr;
    if (m_bOn) {
        picture = m_pOn.get();
    } else if (m_nState == kStateNormal) {
        picture = m_pNormal.get();
    } else if (m_nState == kStateHover) {
        picture = m_pHover.get();
    } else if (m_nState == kStatePressed) {
        picture = m_pOn.get();
    }
    dc.DrawImage(picture, m_rect);
}

int CZylSelector::OnLButtonDown(int x, int y) {
    if (!IsUsable(x, y)) return 0;
    HostReset(kResetPress);
    m_bPressed = 1;
    m_nState = kStatePressed;
    HostRedraw();
    return 1;
}

int CZylSelector::OnMouseMove(int x, int y) {
    if (!IsInside(x, y)) return 0;
    if (m_bHover || m_nState != kStateNormal || m_bPressed) return 1;
    HostReset(kResetEnter);
    HostHover();
    m_bHover = 1;
    m_nState = kStateHover;
    HostRedraw();
    return 1;
}

int CZylSelector::OnLButtonUp(int x, int y) {
    if (!m_bPressed) return 0;
    m_bPressed = 0;
    if (!IsUsable(x, y)) return 0;
    HostReset(kResetRelease);
    m_nState = kStateNormal;
    m_bOn = 1 - m_bOn;
    HostRedraw();
    HostClick();
    return 1;
}

}  // namespace mivo
