// Push button: four pictures by state, a click reported on a release over it.
#pragma once
#include "gfx/image.h"
#include "toolkit/base_ctrl.h"

namespace mivo {

class CZylButton : public CBaseCtrl {
public:
    CZylButton(std::string text, int id, int left, int top, int right, int bottom);

    // Drops every picture held (the disabled one too) and takes the three given.
    void SetImages(gfx::ImagePtr normal, gfx::ImagePtr hover, gfx::ImagePtr pressed);

    void Draw(gfx::Canvas& dc) override;
    int OnLButtonDown(int x, int y) override;
    int OnMouseMove(int x, int y) override;
    int OnLButtonUp(int x, int y) override;
    void SetEnabled(int flag) override;
    void ResetState(int kind, int exceptId) override;

    gfx::ImagePtr m_pNormal;    // state 0
    gfx::ImagePtr m_pPressed;   // states 2 and 3
    gfx::ImagePtr m_pHover;     // state 1
    gfx::ImagePtr m_pDisabled;  // state 4
};

// The picture a button or drop-down button shows in `state`; null for an unknown state.
const gfx::Image* PictureForState(int state, const gfx::ImagePtr& normal, const gfx::ImagePtr& hover,
                                  const gfx::ImagePtr& pressed, const gfx::ImagePtr& disabled);

// Shared by the button and the drop-down button: a selected control keeps state 3 through
// every state change except SetEnabled.
inline void SetStateKeepingSelected(int& state, int value) {
    if (state != kStateSelected) state = value;
}

}  // namespace mivo
