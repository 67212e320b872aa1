// Drop-down button and popup menu.
#include "toolkit/zyl_combox.h"

#include "gfx/path.h"
#include "gfx/text.h"
#include "toolkit/zyl_button.h"

namespace mivo {

namespace {

// 0xAARRGGBB to the text routines' 0x00BBGGRR, each channel divided by `divisor`.
uint32_t TextColour(uint32_t argb, uint32_t divisor) {
    const uint32_t r = ((argb >> 16) & 0xFF) / divisor;
    const uint32_t g = ((argb >> 8) & 0xFF) / divisor;
    const uint32_t b = (argb & 0xFF) / divisor;
    return r | (g << 8) | (b << 16);
}

constexpr uint32_t kLabelColour = 180 | (180 << 8) | (180 << 16);

}  // namespace

// ---- CVirMenu

void CVirMenu::AddItem(int id, std::string text, int stayOpen, int report) {
    MenuItem item;
    item.nID = id;
    item.strText = std::move(text);
    item.bStayOpen = stayOpen;
    item.bReport = report;
    m_items.push_back(std::move(item));
}

void CVirMenu::Layout() {
    if (m_items.empty()) return;
    const gfx::FontSpec font{"Tahoma", m_fFontSize};
    const int h = gfx::MeasureText(m_items.front().strText, &font, gfx::Rect{}).cy + 2;
    const int n = static_cast<int>(m_items.size());
    m_rect.bottom = m_rect.top + n * h + 4;
    for (int i = 0; i < n; ++i) {
        m_items[i].rcItem = {m_rect.left, m_rect.top + 1 + i * h, m_rect.right, m_rect.top + 1 + (i + 1) * h};
    }
}

int CVirMenu::HitTest(int x, int y) {
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i].rcItem.Contains(x, y)) {
            m_nHot = static_cast<int>(i);
            return m_items[i].nID;
        }
    }
    m_nHot = -1;
    return 0;
}

MenuItem* CVirMenu::FindItem(int id) {
    for (auto& item : m_items) {
        if (item.nID == id) return &item;
    }
    return nullptr;
}

void CVirMenu::Draw(gfx::Canvas& dc) {
    if (!m_bOpen || m_items.empty()) return;
    dc.FillRect(m_rect, m_crBack);
    dc.StrokeRect(m_rect, m_crFrame);
    for (size_t i = 0; i < m_items.size(); ++i) {
        gfx::Rect r = m_items[i].rcItem;
        r.left += 10;
        r.right += 10;
        const uint32_t colour = TextColour(m_crText, static_cast<int>(i) == m_nHot ? 1 : 2);
        gfx::DrawLabelText(dc, m_items[i].strText, 15, colour, false, true, r);
    }
}

int CVirMenu::OnLButtonDown(int x, int y) {
    if (!m_bOpen) return 0;
    m_nChosen = HitTest(x, y);
    if (m_nChosen == 0) {
        m_bOpen = 0;
        NotifyRedraw();
        return 0;
    }
    m_bPressed = 1;
    NotifyRedraw();
    return m_nChosen;
}

int CVirMenu::OnMouseMove(int x, int y) {
    if (!m_bOpen) return 0;
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (!m_items[i].rcItem.Contains(x, y)) continue;
        if (static_cast<int>(i) == m_nHot) return 1;
        m_nHot = static_cast<int>(i);
        NotifyRedraw();
        return 1;
    }
    return 0;
}

int CVirMenu::OnLButtonUp(int x, int y) {
    m_bPressed = 0;
    m_nHot = -1;
    if (!m_bOpen) return 0;
    m_nChosen = HitTest(x, y);
    if (m_nChosen == 0) return 0;
    const MenuItem* item = FindItem(m_nChosen);
    if (!item) return 0;
    if (!item->bStayOpen) m_bOpen = 0;
    NotifyRedraw();
    if (item->bReport && m_pEvent) {
        // Copies: the receiver may add entries, which would move the one reported.
        const int id = item->nID;
        const std::string text = item->strText;
        m_pEvent->OnMenuSelect(id, text);
    }
    return 1;
}

// ---- CZylComboxButton

CZylComboxButton::CZylComboxButton(std::string text, int id, int left, int top, int right, int bottom)
    : CBaseCtrl(std::move(text), id, left, top, right, bottom) {
    m_nType = kCtrlCombox;
}

CZylComboxButton::~CZylComboxButton() = default;

void CZylComboxButton::SetImages(gfx::ImagePtr normal, gfx::ImagePtr hover, gfx::ImagePtr pressed) {
    m_pNormal = std::move(normal);
    m_pHover = std::move(hover);
    m_pPressed = std::move(pressed);
    m_pDisabled.reset();
}

void CZylComboxButton::AddMenuItem(int id, std::string text) {
    if (!m_pMenu) {
        m_pMenu = std::make_unique<CVirMenu>(static_cast<IMenuEvent*>(this));
        m_pMenu->m_crBack = 0xFF000000u;
        m_pMenu->m_crText = 0xFFFFFFFFu;
    }
    m_pMenu->AddItem(id, std::move(text), 0, 1);
}

void CZylComboxButton::SelectById(int id) {
    if (!m_pMenu) return;
    if (const MenuItem* item = m_pMenu->FindItem(id)) {
        m_strText = item->strText;
        m_nSelId = item->nID;
    }
}

void CZylComboxButton::OnMenuSelect(int id, const std::string& text) {
    SelectById(id);
    HostRedraw();
}

void CZylComboxButton::OpenMenu() {
    if (!m_pMenu) return;
    CVirMenu& menu = *m_pMenu;
    menu.m_bOpen = 1;
    // Overlaps the button's two bottom rows, two pixels narrower, aligned on its left edge.
    menu.m_rect.left = m_rect.left;
    menu.m_rect.top = m_rect.bottom - 2;
    menu.m_rect.right = m_rect.right - 2;
    menu.Layout();
    if (menu.m_pEvent) menu.m_pEvent->OnMenuRedraw();
}

void CZylComboxButton::Draw(gfx::Canvas& dc) {
    if (!m_bVisible) return;
    if (m_pNormal) {
        dc.DrawImage(PictureForState(m_nState, m_pNormal, m_pHover, m_pPressed, m_pDisabled), m_rect);
    } else {
        gfx::Path path(gfx::FillRule::EvenOdd);
        path.AddRect(m_rect);
        gfx::AddTextPath(path, m_strText, 12.0f, true, m_rect);
        uint32_t fill = 0;
        bool paint = true;
        switch (m_nState) {
            case kStateNormal: fill = 0x780AE1E1u; break;
            case kStateHover: fill = 0x967D7D7Du; break;
            case kStateSelected: fill = 0xC87D7D7Du; break;
            case kStateDisabled: fill = 0x7D000000u; break;
            default: paint = false; break;
        }
        if (paint) {
            dc.FillRect(m_rect, fill);
            dc.StrokePath(path, 0xFF0000FFu, 1.0f);
        }
    }
    gfx::DrawLabelText(dc, m_strText, 15, kLabelColour, false, true, m_rect);
    if (m_pMenu) m_pMenu->Draw(dc);
}

int CZylComboxButton::OnLButtonDown(int x, int y) {
    if (!m_bVisible || !m_bEnabled) return 0;
    if (m_pMenu && m_pMenu->OnLButtonDown(x, y)) return 1;
    if (!m_rect.Contains(x, y)) return 0;
    HostReset(kResetPress);
    if (m_pParent) m_pParent->BringChildToTop(this);
    SetStateKeepingSelected(m_nState, kStatePressed);
    m_bPressed = 1;
    OpenMenu();
    HostRedraw();
    return 1;
}

int CZylComboxButton::OnMouseMove(int x, int y) {
    if (!m_bVisible) return 0;
    if (m_pMenu && m_pMenu->OnMouseMove(x, y)) return 1;
    if (!m_rect.Contains(x, y)) {
        if (m_pMenu) m_pMenu->m_bOpen = 0;
        return 0;
    }
    if (m_bHover || m_nState != kStateNormal) return 1;
    HostReset(kResetEnter);
    if (m_pEvent) {
        m_pEvent->OnCtrlHover(m_nID);
        m_pEvent->OnComboHover(m_nID);
    }
    m_bHover = 1;
    SetStateKeepingSelected(m_nState, kStateHover);
    HostRedraw();
    return 1;
}

int CZylComboxButton::OnLButtonUp(int x, int y) {
    if (m_pMenu && m_pMenu->OnLButtonUp(x, y)) return 1;
    if (!m_bPressed) return 0;
    m_bPressed = 0;
    if (!IsUsable(x, y)) return 0;
    HostReset(kResetRelease);
    HostRedraw();
    return 1;
}

void CZylComboxButton::SetEnabled(int flag) {
    m_bEnabled = flag ? 1 : 0;
    m_nState = flag ? kStateNormal : kStateDisabled;
}

void CZylComboxButton::ResetState(int kind, int exceptId) {
    if (exceptId == m_nID) return;
    m_bHover = 0;
    SetStateKeepingSelected(m_nState, kStateNormal);
    if (kind == kResetRelease) m_bPressed = 0;
}

}  // namespace mivo
