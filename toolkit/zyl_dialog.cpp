// Skinned dialog host.
#include "toolkit/zyl_dialog.h"

#include <algorithm>

#include "toolkit/zyl_button.h"

namespace mivo {

CZylDialog::~CZylDialog() {
    m_pBkImage.reset();
    RemoveAllCtrls();
}

void CZylDialog::AttachWindow(platform::Window* wnd) {
    m_pWnd = wnd;
    if (!wnd) return;
    if (m_pBkImage) {
        m_rect = wnd->GetRect();
        wnd->Move({m_rect.left, m_rect.top, m_rect.left + m_pBkImage->Width(), m_rect.top + m_pBkImage->Height()});
    }
    m_rect = wnd->GetRect();
}

CZylButton* CZylDialog::AddButton(IBaseCtrlEvent* sink, std::string text, int id, int left, int top, int right,
                                  int bottom, gfx::ImagePtr normal, gfx::ImagePtr hover, gfx::ImagePtr pressed) {
    auto button = std::make_unique<CZylButton>(std::move(text), id, left, top, right, bottom);
    button->SetImages(std::move(normal), std::move(hover), std::move(pressed));
    button->m_pEvent = sink;
    CZylButton* raw = button.get();
    m_ctrls.push_back(std::move(button));
    return raw;
}

CBaseCtrl* CZylDialog::AddCtrl(std::unique_ptr<CBaseCtrl> ctrl) {
    CBaseCtrl* raw = ctrl.get();
    m_ctrls.push_back(std::move(ctrl));
    return raw;
}

CBaseCtrl* CZylDialog::FindCtrl(int id) {
    for (auto& ctrl : m_ctrls) {
        if (!ctrl) continue;
        if (CBaseCtrl* found = ctrl->FindById(id)) return found;
    }
    return nullptr;
}

void CZylDialog::RemoveAllCtrls() {
    // Deleted in index order; a control never reaches back into the list from its destructor.
    for (auto& ctrl : m_ctrls) ctrl.reset();
    m_ctrls.clear();
    m_ctrls.shrink_to_fit();
    m_pTopCtrl = nullptr;
}

void CZylDialog::Redraw() {
    if (!m_pWnd) return;
    m_rect = m_pWnd->GetRect();
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    if (w <= 0 || h <= 0) return;
    if (m_frame.Width() != w || m_frame.Height() != h) {
        m_frame = gfx::Image(w, h);
    } else {
        auto pixels = m_frame.Pixels();
        std::fill(pixels.begin(), pixels.end(), gfx::Pixel{0});
    }
    gfx::Canvas dc(m_frame);
    DrawContent(dc);
    m_pWnd->Present(m_frame);
}

void CZylDialog::BringToTop(CBaseCtrl* ctrl) {
    auto it = std::find_if(m_ctrls.begin(), m_ctrls.end(), [ctrl](const auto& p) { return p.get() == ctrl; });
    if (it == m_ctrls.end()) return;
    std::unique_ptr<CBaseCtrl> moved = std::move(*it);
    m_ctrls.erase(it);
    m_ctrls.push_back(std::move(moved));
    m_pTopCtrl = ctrl;
}

void CZylDialog::ResetCtrlStates(int kind, int exceptId) {
    for (size_t i = 0; i < m_ctrls.size(); ++i) {
        if (m_ctrls[i]) m_ctrls[i]->ResetState(kind, exceptId);
    }
}

void CZylDialog::DrawContent(gfx::Canvas& dc) {
    if (m_pBkImage) dc.DrawImage(m_pBkImage.get(), 0, 0);
    for (size_t i = 0; i < m_ctrls.size(); ++i) {
        if (m_ctrls[i]) m_ctrls[i]->Draw(dc);
    }
}

// The loops index the list afresh on every step: a control may reorder its own container
// (BringChildToTop) while it handles the event, and then takes it, which ends the walk.
int CZylDialog::OnLButtonDown(int x, int y) {
    m_bLButtonDown = 1;
    for (size_t i = m_ctrls.size(); i-- > 0;) {
        if (m_ctrls[i] && m_ctrls[i]->OnLButtonDown(x, y)) return 1;
    }
    return 0;
}

int CZylDialog::OnMouseMove(int x, int y) {
    for (size_t i = m_ctrls.size(); i-- > 0;) {
        if (m_ctrls[i] && m_ctrls[i]->OnMouseMove(x, y)) {
            g_bHoverCleared = 0;
            return 1;
        }
    }
    if (g_bHoverCleared == 1) return 0;
    ResetCtrlStates(kResetEnter, -1);
    g_bHoverCleared = 1;
    Redraw();
    return 0;
}

int CZylDialog::OnLButtonUp(int x, int y) {
    m_bLButtonDown = 0;
    for (size_t i = 0; i < m_ctrls.size(); ++i) {
        if (m_ctrls[i] && m_ctrls[i]->OnLButtonUp(x, y)) return 1;
    }
    return 0;
}

int CZylDialog::OnLButtonDblClk(int x, int y) {
    for (size_t i = 0; i < m_ctrls.size(); ++i) {
        if (m_ctrls[i] && m_ctrls[i]->OnLButtonDblClk(x, y)) return 1;
    }
    return 0;
}

int CZylDialog::OnTimer(int timerId) {
    for (size_t i = 0; i < m_ctrls.size(); ++i) {
        if (m_ctrls[i] && m_ctrls[i]->OnTimer(timerId)) return 1;
    }
    return 0;
}

}  // namespace mivo
