// Drop-down button and the windowless popup menu it opens below itself.
#pragma once
#include <string>
#include <vector>

#include "gfx/image.h"
#include "toolkit/base_ctrl.h"

namespace mivo {

// One entry of a popup menu.
struct MenuItem {
    int nID = 0;           // never 0: 0 means "no entry" in the menu's results
    gfx::Rect rcItem;      // host client coordinates, set by the layout
    std::string strText;
    int bStayOpen = 0;     // a click on the entry leaves the menu open
    int bReport = 1;       // a click on the entry is reported with OnMenuSelect
};

// What a popup menu tells its owner.
class IMenuEvent {
public:
    virtual void OnMenuRedraw() = 0;
    virtual void OnMenuSelect(int id, const std::string& text) = 0;
    virtual void OnMenuHover(int tag, int id) = 0;
    virtual ~IMenuEvent() = default;
};

// A popup list painted and fed by its owner control.
class CVirMenu {
public:
    explicit CVirMenu(IMenuEvent* event) : m_pEvent(event) {}
    CVirMenu(const CVirMenu&) = delete;
    CVirMenu& operator=(const CVirMenu&) = delete;
    virtual ~CVirMenu() = default;

    virtual void Draw(gfx::Canvas& dc);
    // The ID of the entry pressed, or 0 (a press outside the entries closes the menu).
    virtual int OnLButtonDown(int x, int y);
    virtual int OnMouseMove(int x, int y);
    virtual int OnLButtonUp(int x, int y);

    void AddItem(int id, std::string text, int stayOpen, int report);
    // Entry height from the first entry's text, then one row per entry below the menu's top.
    void Layout();
    // The first entry containing the point: highlights it and returns its ID; else -1 and 0.
    int HitTest(int x, int y);
    MenuItem* FindItem(int id);

    int m_nHot = -1;
    float m_fFontSize = 8.0f;
    gfx::Rect m_rect;
    uint32_t m_crText = 0xFFFFFFFFu;
    uint32_t m_crBack = 0xFF000000u;
    uint32_t m_crFrame = 0xFF66C2F4u;
    int m_nChosen = 0;
    int m_bOpen = 0;
    int m_bPressed = 0;
    IMenuEvent* m_pEvent = nullptr;  // not owned
    std::vector<MenuItem> m_items;

private:
    void NotifyRedraw() {
        if (m_pEvent) m_pEvent->OnMenuRedraw();
    }
};

// A button showing the current choice; a press opens its menu, a click on an entry chooses it.
class CZylComboxButton : public CBaseCtrl, public IMenuEvent {
public:
    CZylComboxButton(std::string text, int id, int left, int top, int right, int bottom);
    ~CZylComboxButton() override;

    void SetImages(gfx::ImagePtr normal, gfx::ImagePtr hover, gfx::ImagePtr pressed);
    void AddMenuItem(int id, std::string text);
    // Shows the entry with this ID as the choice, without repainting; unknown IDs change nothing.
    void SelectById(int id);
    void OpenMenu();

    void Draw(gfx::Canvas& dc) override;
    int OnLButtonDown(int x, int y) override;
    int OnMouseMove(int x, int y) override;
    int OnLButtonUp(int x, int y) override;
    void SetEnabled(int flag) override;
    void ResetState(int kind, int exceptId) override;

    void OnMenuRedraw() override {}
    void OnMenuSelect(int id, const std::string& text) override;
    void OnMenuHover(int tag, int id) override {}

    gfx::ImagePtr m_pNormal;  // null: the vector look
    gfx::ImagePtr m_pPressed;
    gfx::ImagePtr m_pHover;
    gfx::ImagePtr m_pDisabled;
    std::unique_ptr<CVirMenu> m_pMenu;
    int m_nSelId = 0;
};

}  // namespace mivo
