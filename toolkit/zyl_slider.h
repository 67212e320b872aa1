// Slider (an integer picked by a thumb on a track) and selector (an on/off switch).
#pragma once
#include "gfx/image.h"
#include "toolkit/base_ctrl.h"

namespace mivo {

class CZylSlider : public CBaseCtrl {
public:
    // m_nMax must be greater than m_nMin; the value starts at the minimum.
    CZylSlider(std::string text, int id, int minimum, int maximum, int left, int top, int right, int bottom);

    void SetImages(gfx::ImagePtr track, gfx::ImagePtr thumb);
    // Sets m_nPos from a pointer x coordinate, rounded to the nearest value and clamped.
    void UpdateFromPoint(int x);
    // Top-left corner where Draw puts the thumb for the current value.
    gfx::Point ThumbPosition() const;

    void Draw(gfx::Canvas& dc) override;
    int OnLButtonDown(int x, int y) override;
    int OnMouseMove(int x, int y) override;
    int OnLButtonUp(int x, int y) override;

    gfx::ImagePtr m_pTrack;  // stretched into m_rect
    gfx::ImagePtr m_pThumb;  // drawn at its own size
    int m_nMin;
    int m_nMax;
    int m_nPos;
};

class CZylSelector : public CBaseCtrl {
public:
    CZylSelector(std::string text, int id, int left, int top, int right, int bottom);

    void SetImages(gfx::ImagePtr normal, gfx::ImagePtr hover, gfx::ImagePtr on);

    void Draw(gfx::Canvas& dc) override;
    int OnLButtonDown(int x, int y) override;
    int OnMouseMove(int x, int y) override;
    int OnLButtonUp(int x, int y) override;

    gfx::ImagePtr m_pNormal;  // off, state 0
    gfx::ImagePtr m_pHover;   // off, state 1
    gfx::ImagePtr m_pOn;      // on in any state, and off while pressed
    int m_bOn = 0;
};

}  // namespace mivo
