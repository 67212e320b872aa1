// Static text.
#include "toolkit/zyl_static.h"

#include "gfx/text.h"

namespace mivo {

void CZylStatic::Draw(gfx::Canvas& dc) {
    if (!m_bVisible) return;
    gfx::ImagePtr image = gfx::RenderStaticText(dc, m_strText, m_nFontHeight, m_rect);
    dc.DrawImage(image.get(), m_rect);
}

}  // namespace mivo
