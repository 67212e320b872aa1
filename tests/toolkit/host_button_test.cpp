// Control base behaviour, host routing and hover clearing, and the push button's state machine.
#include <gtest/gtest.h>

#include "recording_host.h"
#include "toolkit/zyl_button.h"
#include "toolkit/zyl_static.h"

namespace mivo::test {
namespace {

// Takes every event on its rectangle (or none) and writes what it saw into the host's log.
class Probe : public CBaseCtrl {
public:
    Probe(std::string name, int id, gfx::Rect r, RecordingHost& host, bool takes)
        : CBaseCtrl(std::move(name), id, r.left, r.top, r.right, r.bottom), host_(host), takes_(takes) {}
    int OnLButtonDown(int x, int y) override { return Note("down", x, y); }
    int OnMouseMove(int x, int y) override { return Note("move", x, y); }
    int OnLButtonUp(int x, int y) override { return Note("up", x, y); }
    int OnLButtonDblClk(int x, int y) override { return Note("dbl", x, y); }
    int OnTimer(int id) override {
        host_.log.push_back(m_strText + " timer");
        return takes_ ? 1 : 0;
    }

private:
    int Note(const char* what, int x, int y) {
        if (!m_rect.Contains(x, y)) return 0;
        host_.log.push_back(m_strText + " " + what);
        return takes_ ? 1 : 0;
    }
    RecordingHost& host_;
    bool takes_;
};

class HostTest : public ::testing::Test {
protected:
    void SetUp() override { ResetHoverFlags(); }
    void TearDown() override { ResetHoverFlags(); }

    CZylButton* AddButton(int id, gfx::Rect r) {
        return host.Add(std::make_unique<CZylButton>("b", id, r.left, r.top, r.right, r.bottom));
    }

    RecordingHost host;
};

TEST_F(HostTest, BaseControlTakesInputByVisibilityEnabledAndHit) {
    struct Case {
        int visible, enabled, x, y;
        int down, move, up, dbl;
    };
    const Case cases[] = {
        {1, 1, 10, 10, 1, 1, 1, 1},  // inside
        {1, 1, 20, 10, 0, 0, 0, 0},  // right edge is exclusive
        {1, 0, 10, 10, 0, 1, 0, 0},  // disabled still takes moves
        {0, 1, 10, 10, 0, 0, 0, 0},  // hidden takes nothing
        {1, 1, 0, 0, 1, 1, 1, 1},    // top-left corner is inside
    };
    for (const Case& c : cases) {
        CBaseCtrl ctrl("", 1, 0, 0, 20, 20);
        ctrl.m_bVisible = c.visible;
        ctrl.m_bEnabled = c.enabled;
        SCOPED_TRACE(testing::Message() << "visible " << c.visible << " enabled " << c.enabled << " at " << c.x);
        EXPECT_EQ(ctrl.OnLButtonDown(c.x, c.y), c.down);
        EXPECT_EQ(ctrl.OnMouseMove(c.x, c.y), c.move);
        EXPECT_EQ(ctrl.OnLButtonUp(c.x, c.y), c.up);
        EXPECT_EQ(ctrl.OnLButtonDblClk(c.x, c.y), c.dbl);
        EXPECT_EQ(ctrl.m_nState, 0);
    }
}

TEST_F(HostTest, ResetSparesTheExceptedControlAndOnlyReleaseClearsPressed) {
    CBaseCtrl* a = host.Add(std::make_unique<CBaseCtrl>("", 0, 0, 0, 5, 5));
    CBaseCtrl* b = host.Add(std::make_unique<CBaseCtrl>("", 7, 5, 0, 10, 5));
    for (CBaseCtrl* c : {a, b}) {
        c->m_nState = 2;
        c->m_bHover = 1;
        c->m_bPressed = 1;
    }
    host.ResetCtrlStates(kResetPress, 7);
    EXPECT_EQ(a->m_nState, 0);
    EXPECT_EQ(a->m_bHover, 0);
    EXPECT_EQ(a->m_bPressed, 1);  // only a release reset drops the press
    EXPECT_EQ(b->m_nState, 2);
    EXPECT_EQ(b->m_bHover, 1);

    host.ResetCtrlStates(kResetRelease, -1);
    EXPECT_EQ(a->m_bPressed, 0);
    EXPECT_EQ(b->m_bPressed, 0);
    EXPECT_EQ(b->m_nState, 0);
    // ID 0 is an ordinary ID.
    EXPECT_EQ(host.FindCtrl(0), a);
    EXPECT_EQ(host.FindCtrl(7), b);
    EXPECT_EQ(host.FindCtrl(8), nullptr);
}

TEST_F(HostTest, OverlappingControlsPressAndMoveTopFirstReleaseAndTimerBottomFirst) {
    const gfx::Rect r{0, 0, 10, 10};
    host.Add(std::make_unique<Probe>("A", 1, r, host, true));
    host.Add(std::make_unique<Probe>("B", 2, r, host, true));
    EXPECT_EQ(host.OnLButtonDown(5, 5), 1);
    EXPECT_EQ(host.OnMouseMove(5, 5), 1);
    EXPECT_EQ(host.OnLButtonUp(5, 5), 1);
    EXPECT_EQ(host.OnLButtonDblClk(5, 5), 1);
    EXPECT_EQ(host.OnTimer(39), 1);
    EXPECT_EQ(host.Take(), (Log{"B down", "B move", "A up", "A dbl", "A timer"}));
}

TEST_F(HostTest, EventsFallThroughControlsThatDoNotTakeThem) {
    const gfx::Rect r{0, 0, 10, 10};
    host.Add(std::make_unique<Probe>("A", 1, r, host, false));
    host.Add(std::make_unique<Probe>("B", 2, r, host, false));
    EXPECT_EQ(host.OnLButtonDown(5, 5), 0);  // nobody took it: the window would be dragged
    EXPECT_EQ(host.m_bLButtonDown, 1);
    EXPECT_EQ(host.OnLButtonUp(5, 5), 0);
    EXPECT_EQ(host.m_bLButtonDown, 0);
    EXPECT_EQ(host.Take(), (Log{"B down", "A down", "A up", "B up"}));
}

TEST_F(HostTest, BringToTopReordersPaintAndInput) {
    const gfx::Rect r{0, 0, 10, 10};
    CBaseCtrl* a = host.Add(std::make_unique<Probe>("A", 1, r, host, true));
    CBaseCtrl* b = host.Add(std::make_unique<Probe>("B", 2, r, host, true));
    host.BringToTop(a);
    EXPECT_EQ(host.m_ctrls.back().get(), a);
    EXPECT_EQ(host.m_pTopCtrl, a);
    CBaseCtrl stranger("", 9, 0, 0, 1, 1);
    host.BringToTop(&stranger);  // not in the list: nothing changes
    EXPECT_EQ(host.m_ctrls.front().get(), b);
    EXPECT_EQ(host.m_pTopCtrl, a);
    host.OnLButtonDown(5, 5);
    EXPECT_EQ(host.Take(), (Log{"A down"}));
}

TEST_F(HostTest, LeavingTheControlsResetsOnceThenStaysQuiet) {
    CZylButton* a = AddButton(1, {0, 0, 10, 10});
    AddButton(2, {10, 0, 20, 10});

    host.OnMouseMove(5, 5);
    EXPECT_EQ(host.Take(), (Log{"Reset 1 1", "Hover 1", "Redraw"}));
    host.OnMouseMove(6, 5);
    EXPECT_EQ(host.Take(), Log{});
    // Directly onto the neighbour: it resets the others itself, the host does nothing.
    host.OnMouseMove(15, 5);
    EXPECT_EQ(host.Take(), (Log{"Reset 1 2", "Hover 2", "Redraw"}));
    EXPECT_EQ(a->m_nState, 0);

    EXPECT_EQ(host.OnMouseMove(50, 50), 0);
    EXPECT_EQ(host.Take(), (Log{"Reset 1 -1", "Redraw"}));
    for (int x = 51; x < 55; ++x) host.OnMouseMove(x, 50);
    EXPECT_EQ(host.Take(), Log{});
    EXPECT_EQ(g_bHoverCleared, 1);

    host.OnMouseMove(15, 5);
    EXPECT_EQ(g_bHoverCleared, 0);
    host.Take();
    host.OnMouseMove(50, 50);
    EXPECT_EQ(host.Take(), (Log{"Reset 1 -1", "Redraw"}));
}

TEST_F(HostTest, HoverClearedFlagIsSharedByAllHosts) {
    RecordingHost other;
    CZylButton* a = AddButton(1, {0, 0, 10, 10});
    host.OnMouseMove(5, 5);
    other.OnMouseMove(5, 5);  // the other host has no controls: it clears and sets the flag
    EXPECT_EQ(other.Take(), (Log{"Reset 1 -1", "Redraw"}));
    host.Take();
    host.OnMouseMove(50, 50);
    EXPECT_EQ(host.Take(), Log{});
    EXPECT_EQ(a->m_nState, 1);
}

TEST_F(HostTest, StaticTextTakesPressesAndKeepsTheButtonHovered) {
    CZylButton* button = AddButton(1, {0, 0, 10, 10});
    host.Add(std::make_unique<CZylStatic>("v1.14", 3, 10, 0, 40, 10));
    host.OnMouseMove(5, 5);
    host.Take();
    EXPECT_EQ(host.OnMouseMove(20, 5), 1);
    EXPECT_EQ(host.OnLButtonDown(20, 5), 1);  // no window drag from a static text
    EXPECT_EQ(host.Take(), Log{});
    EXPECT_EQ(button->m_nState, 1);
}

TEST_F(HostTest, ButtonClickReportsAfterResetAndRepaint) {
    CZylButton* b = AddButton(4, {0, 0, 10, 10});
    host.OnMouseMove(5, 5);
    host.Take();
    EXPECT_EQ(host.OnLButtonDown(5, 5), 1);
    EXPECT_EQ(b->m_nState, 2);
    EXPECT_EQ(b->m_bPressed, 1);
    EXPECT_EQ(host.OnLButtonUp(5, 5), 1);
    EXPECT_EQ(b->m_nState, 0);
    EXPECT_EQ(host.Take(), (Log{"Reset 2 4", "Redraw", "Reset 3 4", "Redraw", "Click 4"}));
}

TEST_F(HostTest, PressInsideReleaseOutsideReportsNothing) {
    CZylButton* a = AddButton(1, {0, 0, 10, 10});
    CZylButton* b = AddButton(2, {10, 0, 20, 10});
    struct Case {
        const char* name;
        int release_x;
    };
    for (const Case c : {Case{"empty space", 50}, Case{"another button", 15}}) {
        SCOPED_TRACE(c.name);
        host.OnLButtonDown(5, 5);
        host.Take();
        EXPECT_EQ(host.OnLButtonUp(c.release_x, 5), 0);
        EXPECT_EQ(host.Take(), Log{});
        EXPECT_EQ(a->m_bPressed, 0);
        EXPECT_EQ(b->m_bPressed, 0);
        EXPECT_EQ(a->m_nState, 2);  // the pressed picture stays until the next reset
    }
    host.OnMouseMove(50, 50);
    EXPECT_EQ(a->m_nState, 0);
}

TEST_F(HostTest, DisabledButtonTakesMovesButNoPresses) {
    CZylButton* b = AddButton(1, {0, 0, 10, 10});
    AddButton(2, {10, 0, 20, 10});
    b->SetEnabled(0);
    EXPECT_EQ(b->m_nState, 4);
    EXPECT_EQ(host.OnMouseMove(5, 5), 1);  // taken, but a disabled button never reports hovering
    EXPECT_EQ(host.OnLButtonDown(5, 5), 0);
    EXPECT_EQ(host.Take(), Log{});
    host.OnMouseMove(15, 5);  // the neighbour's reset brings back the normal look
    EXPECT_EQ(b->m_nState, 0);
    EXPECT_EQ(b->m_bEnabled, 0);
    EXPECT_EQ(host.OnLButtonDown(5, 5), 0);
    b->SetEnabled(1);
    EXPECT_EQ(b->m_nState, 0);
    EXPECT_EQ(host.OnLButtonDown(5, 5), 1);
}

TEST_F(HostTest, SelectedButtonKeepsStateThreeAndStillClicks) {
    CZylButton* b = AddButton(11, {0, 0, 10, 10});
    b->m_nState = kStateSelected;
    EXPECT_EQ(host.OnMouseMove(5, 5), 1);
    EXPECT_EQ(host.OnLButtonDown(5, 5), 1);
    EXPECT_EQ(b->m_nState, 3);
    EXPECT_EQ(host.OnLButtonUp(5, 5), 1);
    EXPECT_EQ(b->m_nState, 3);
    EXPECT_EQ(host.Take(), (Log{"Reset 2 11", "Redraw", "Reset 3 11", "Redraw", "Click 11"}));
    host.ResetCtrlStates(kResetRelease, -1);
    EXPECT_EQ(b->m_nState, 3);
    b->SetEnabled(0);  // disabling drops the selection
    EXPECT_EQ(b->m_nState, 4);
}

TEST_F(HostTest, RemoveAllCtrlsEmptiesTheList) {
    AddButton(1, {0, 0, 10, 10});
    host.BringToTop(AddButton(2, {0, 0, 10, 10}));
    host.RemoveAllCtrls();
    EXPECT_TRUE(host.m_ctrls.empty());
    EXPECT_EQ(host.m_pTopCtrl, nullptr);
    EXPECT_EQ(host.FindCtrl(1), nullptr);
    EXPECT_EQ(host.OnLButtonDown(5, 5), 0);
}

}  // namespace
}  // namespace mivo::test
