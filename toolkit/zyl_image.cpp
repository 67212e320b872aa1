// Image, image menu and animation controls.
#include "toolkit/zyl_image.h"

#include "auxiliary/sound.h"

namespace mivo {

// ---- CZylImage

CZylImage::CZylImage(std::string text, int id, int left, int top, int right, int bottom)
    : CBaseCtrl(std::move(text), id, left, top, right, bottom) {
    m_nType = kCtrlImage;
}

void CZylImage::Draw(gfx::Canvas& dc) {
    if (!m_bVisible) return;
    if (m_nPicIndex < 0 || m_nPicIndex >= static_cast<int>(m_pictures.size())) return;
    dc.DrawImage(m_pictures[m_nPicIndex].get(), m_rect);
}

int CZylImage::OnLButtonDown(int x, int y) {
    if (m_bEnabled && m_rect.Contains(x, y)) HostClick();
    return 0;
}

// ---- CImageMenuItem

void CImageMenuItem::SetImages(gfx::ImagePtr normal, gfx::ImagePtr over, gfx::ImagePtr down) {
    m_pNormal = std::move(normal);
    m_pOver = std::move(over);
    m_pDown = std::move(down);
}

// ---- CZylImageMenu

CZylImageMenu::CZylImageMenu(int id, int left, int top, int right, int bottom)
    : CBaseCtrl(std::string(), id, left, top, right, bottom) {}

CImageMenuItem* CZylImageMenu::AddItem(std::unique_ptr<CImageMenuItem> item) {
    CImageMenuItem* raw = item.get();
    m_items.push_back(std::move(item));
    return raw;
}

void CZylImageMenu::Draw(gfx::Canvas& dc) {
    if (!m_bVisible || m_items.empty()) return;
    gfx::Image off(m_rect.Width(), m_rect.Height());
    if (off.IsNull()) return;
    gfx::Canvas menu(off);
    for (const auto& item : m_items) {
        const gfx::Image* picture = nullptr;
        switch (item->m_nState) {
            case 0: picture = item->m_pNormal.get(); break;
            case 1: picture = item->m_pOver.get(); break;
            case 2:
            case 3: picture = item->m_pDown.get(); break;
            default: break;
        }
        menu.DrawImage(picture, item->m_rect);
    }
    dc.DrawImage(&off, m_rect);
}

void CZylImageMenu::HoverResetItems() {
    for (auto& item : m_items) {
        if (item->m_nState != 3) item->m_nState = 0;
    }
}

int CZylImageMenu::OnLButtonDown(int x, int y) {
    if (!IsInside(x, y)) return 0;
    x -= m_rect.left;
    y -= m_rect.top;
    m_bPressed = 1;
    HoverResetItems();
    for (auto& item : m_items) {
        if (item->m_rect.Contains(x, y)) {
            item->m_bPressed = 1;
            item->m_nState = 2;
            break;
        }
    }
    HostRedraw();
    return 1;
}

int CZylImageMenu::OnMouseMove(int x, int y) {
    if (!IsInside(x, y)) return 0;
    x -= m_rect.left;
    y -= m_rect.top;
    HoverResetItems();
    for (auto& item : m_items) {
        if (item->m_rect.Contains(x, y)) {
            if (item->m_nState != 3) item->m_nState = 1;
            HostRedraw();
            break;
        }
    }
    return 1;
}

int CZylImageMenu::OnLButtonUp(int x, int y) {
    if (!m_bVisible || !m_bPressed) return 1;
    m_bVisible = 0;
    m_bPressed = 0;
    HostRedraw();
    if (!m_rect.Contains(x, y)) {
        // The press ends here too: a press flag left on an item would let a later release on
        // that item choose it although the press of that gesture was on another one.
        for (auto& item : m_items) item->m_bPressed = 0;
        return 0;
    }
    x -= m_rect.left;
    y -= m_rect.top;
    for (auto& item : m_items) item->m_nState = 0;
    CImageMenuItem* chosen = nullptr;
    for (auto& item : m_items) {
        if (!item->m_bPressed) continue;
        item->m_bPressed = 0;
        if (item->m_bEnabled && item->m_rect.Contains(x, y)) {
            chosen = item.get();
            break;
        }
    }
    if (!chosen) return 1;
    chosen->m_nState = 3;
    if (m_pEvent) m_pEvent->OnCtrlClick(chosen->m_nID);
    return 1;
}

void CZylImageMenu::ResetState(int kind, int exceptId) { m_bVisible = 0; }

// ---- CZylAnimation

CZylAnimation::CZylAnimation(std::string text, int id, int left, int top, int right, int bottom)
    : CBaseCtrl(std::move(text), id, left, top, right, bottom) {}

void CZylAnimation::Start() {
    if (m_pEvent) m_pEvent->StartCtrlTimer(m_nID);
    if (m_bPlaySound) PlaySoundFile(m_soundPath);
}

void CZylAnimation::Step() {
    if (!m_bRunning) return;
    if (m_nCurFrame >= static_cast<int>(m_frames.size())) {
        m_nCurFrame = 0;
        if (!m_bLoop) {
            m_bRunning = 0;
            HostRedraw();  // frame 0 shows as the resting picture
            return;
        }
        if (m_bPlaySound) PlaySoundFile(m_soundPath);
    }
    HostRedraw();
    ++m_nCurFrame;
}

void CZylAnimation::Draw(gfx::Canvas& dc) {
    if (!m_bVisible) return;
    if (m_nCurFrame < 0 || m_nCurFrame >= static_cast<int>(m_frames.size())) return;
    dc.DrawImage(m_frames[m_nCurFrame].get(), m_rect);
}

int CZylAnimation::OnLButtonDblClk(int x, int y) {
    if (!IsInside(x, y)) return 0;
    m_bRunning = 1;
    Start();
    return 1;
}

}  // namespace mivo
