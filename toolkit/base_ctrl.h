// Control base class and the interface through which a control reports to its host.
#pragma once
#include <string>

#include "gfx/canvas.h"
#include "gfx/geometry.h"

namespace mivo {

class CBaseCtrl;

// Kind codes (CBaseCtrl::m_nType).
enum CtrlKind : int {
    kCtrlBase = 0,
    kCtrlButton = 1,
    kCtrlPage = 4,
    kCtrlSlider = 5,
    kCtrlSelector = 6,
    kCtrlCombox = 7,
    kCtrlImage = 8,
};

// Visual states (CBaseCtrl::m_nState).
enum CtrlState : int {
    kStateNormal = 0,
    kStateHover = 1,
    kStatePressed = 2,
    kStateSelected = 3,
    kStateDisabled = 4,
};

// Reset kinds: what the control that asks for the reset has just done.
enum ResetKind : int {
    kResetEnter = 1,
    kResetPress = 2,
    kResetRelease = 3,
};

// What a host does for its controls, and the mouse input it routes to them.
class IBaseCtrlEvent {
public:
    // Recomposes and shows the whole window.
    virtual void Redraw() = 0;
    virtual void OnCtrlHover(int id) = 0;
    // Moves the control to the top of the host's list.
    virtual void BringToTop(CBaseCtrl* ctrl) = 0;
    virtual void OnComboHover(int id) = 0;
    // ResetState(kind, exceptId) on every control of the host.
    virtual void ResetCtrlStates(int kind, int exceptId) = 0;
    virtual void OnCtrlClick(int id) = 0;
    // A control asks for the window timer named by its ID.
    virtual void StartCtrlTimer(int id) = 0;
    virtual ~IBaseCtrlEvent() = default;
    // Paints the whole content of the window (background, then every control).
    virtual void DrawContent(gfx::Canvas& dc) = 0;
    virtual int OnLButtonDown(int x, int y) = 0;
    virtual int OnMouseMove(int x, int y) = 0;
    virtual int OnLButtonUp(int x, int y) = 0;
    virtual int OnLButtonDblClk(int x, int y) = 0;
    virtual int OnTimer(int timerId) = 0;
};

// A windowless control: a rectangle of the host window that paints itself into the host's
// composition and takes the mouse input the host offers it. A mouse operation returns 1 when
// the control takes the event, which stops the host from offering it further.
class CBaseCtrl {
public:
    CBaseCtrl() = default;
    CBaseCtrl(std::string text, int id, int left, int top, int right, int bottom)
        : m_strText(std::move(text)), m_rect{left, top, right, bottom}, m_nID(id) {}
    CBaseCtrl(const CBaseCtrl&) = delete;
    CBaseCtrl& operator=(const CBaseCtrl&) = delete;
    virtual ~CBaseCtrl() = default;

    // Outlines m_rect with a 1-pixel opaque black line.
    virtual void Draw(gfx::Canvas& dc);
    virtual int OnLButtonDown(int x, int y);
    virtual int OnMouseMove(int x, int y);
    virtual int OnLButtonUp(int x, int y);
    virtual int OnLButtonDblClk(int x, int y);
    virtual int OnTimer(int timerId) { return 0; }
    virtual void SetVisible(int flag) { m_bVisible = flag ? 1 : 0; }
    virtual void SetEnabled(int flag) { m_bEnabled = flag ? 1 : 0; }
    virtual void ResetState(int kind, int exceptId);
    virtual CBaseCtrl* FindById(int id) { return id == m_nID ? this : nullptr; }
    virtual void BringChildToTop(CBaseCtrl* child) {}

    // Visible with the point inside m_rect.
    bool IsInside(int x, int y) const { return m_bVisible && m_rect.Contains(x, y); }
    // Visible, enabled, and the point inside m_rect.
    bool IsUsable(int x, int y) const { return m_bEnabled && IsInside(x, y); }

    IBaseCtrlEvent* m_pEvent = nullptr;  // not owned
    CBaseCtrl* m_pParent = nullptr;      // container holding this control; not owned
    std::string m_strText;
    gfx::Rect m_rect;
    int m_bVisible = 1;
    int m_bEnabled = 1;
    int m_nID = 0;
    int m_nType = kCtrlBase;
    int m_bPressed = 0;
    int m_nState = kStateNormal;
    int m_bHover = 0;

protected:
    // Reports to the host; a control not yet given a host reports to nobody.
    void HostRedraw() {
        if (m_pEvent) m_pEvent->Redraw();
    }
    void HostReset(int kind) {
        if (m_pEvent) m_pEvent->ResetCtrlStates(kind, m_nID);
    }
    void HostHover() {
        if (m_pEvent) m_pEvent->OnCtrlHover(m_nID);
    }
    void HostClick() {
        if (m_pEvent) m_pEvent->OnCtrlClick(m_nID);
    }
};

// Process-wide hover flags: the hosts' (set after a host cleared every hover because the pointer
// was over no control) and the page controls' (the same for an empty part of a page).
extern int g_bHoverCleared;
extern int g_bPageHoverCleared;
// Puts both flags back to their start value (0); for tests and for a fresh set of windows.
void ResetHoverFlags();

}  // namespace mivo
