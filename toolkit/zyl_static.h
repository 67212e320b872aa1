// Static text: a line of white text on the window's own background, cut at the rectangle's edges.
#pragma once
#include "toolkit/base_ctrl.h"

namespace mivo {

class CZylStatic : public CBaseCtrl {
public:
    CZylStatic(std::string text, int id, int left, int top, int right, int bottom)
        : CBaseCtrl(std::move(text), id, left, top, right, bottom) {}

    void Draw(gfx::Canvas& dc) override;

    int m_nFontHeight = 13;  // cell height of the text in pixels
};

}  // namespace mivo
