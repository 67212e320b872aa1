// Page control.
#include "toolkit/zyl_page.h"

#include <algorithm>

namespace mivo {

CZylPageCtrl::CZylPageCtrl(int id, int left, int top, int right, int bottom)
    : CBaseCtrl(std::string(), id, left, top, right, bottom) {
    m_nType = kCtrlPage;
}

CZylPageCtrl::~CZylPageCtrl() {
    m_pBackground.reset();
    for (auto& child : m_children) child.reset();
    m_children.clear();
}

CBaseCtrl* CZylPageCtrl::AddChild(std::unique_ptr<CBaseCtrl> child) {
    if (!child) return nullptr;
    if (!child->m_pEvent) child->m_pEvent = m_pEvent;
    child->m_pParent = this;
    CBaseCtrl* raw = child.get();
    m_children.push_back(std::move(child));
    return raw;
}

void CZylPageCtrl::Draw(gfx::Canvas& dc) {
    if (!m_bVisible) return;
    if (m_pBackground) dc.DrawImage(m_pBackground.get(), m_rect);
    for (size_t i = 0; i < m_children.size(); ++i) m_children[i]->Draw(dc);
}

// The walks index the list afresh: a child may move itself to the top (BringChildToTop) while
// it takes the event, after which the walk ends.
int CZylPageCtrl::OnLButtonDown(int x, int y) {
    if (!m_bVisible) return 0;
    for (size_t i = m_children.size(); i-- > 0;) {
        if (m_children[i]->OnLButtonDown(x, y)) return 1;
    }
    return 0;
}

int CZylPageCtrl::OnMouseMove(int x, int y) {
    if (!m_bVisible) return 0;
    for (size_t i = m_children.size(); i-- > 0;) {
        if (m_children[i]->OnMouseMove(x, y)) {
            g_bPageHoverCleared = 0;
            return 1;
        }
    }
    if (g_bPageHoverCleared) return 0;
    if (m_pEvent) m_pEvent->ResetCtrlStates(kResetEnter, -1);
    g_bPageHoverCleared = 1;
    HostRedraw();
    return 0;
}

int CZylPageCtrl::OnLButtonUp(int x, int y) {
    if (!m_bVisible) return 0;
    for (size_t i = m_children.size(); i-- > 0;) {
        if (m_children[i]->OnLButtonUp(x, y)) return 1;
    }
    return 0;
}

int CZylPageCtrl::OnLButtonDblClk(int x, int y) {
    if (!m_bVisible) return 0;
    for (size_t i = m_children.size(); i-- > 0;) {
        if (m_children[i]->OnLButtonDblClk(x, y)) return 1;
    }
    return 0;
}

int CZylPageCtrl::OnTimer(int timerId) {
    for (size_t i = 0; i < m_children.size(); ++i) {
        if (m_children[i]->OnTimer(timerId)) return 1;
    }
    return 0;
}

void CZylPageCtrl::ResetState(int kind, int exceptId) {
    for (size_t i = 0; i < m_children.size(); ++i) m_children[i]->ResetState(kind, exceptId);
}

CBaseCtrl* CZylPageCtrl::FindById(int id) {
    if (id == m_nID) return this;
    for (auto& child : m_children) {
        if (CBaseCtrl* found = child->FindById(id)) return found;
    }
    return nullptr;
}

void CZylPageCtrl::BringChildToTop(CBaseCtrl* child) {
    auto it = std::find_if(m_children.begin(), m_children.end(), [child](const auto& p) { return p.get() == child; });
    if (it == m_children.end()) return;
    std::unique_ptr<CBaseCtrl> moved = std::move(*it);
    m_children.erase(it);
    m_children.push_back(std::move(moved));
}

}  // namespace mivo
