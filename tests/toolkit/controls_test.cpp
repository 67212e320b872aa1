// Slider, selector, image, image menu, animation and page control.
#include <gtest/gtest.h>

#include "recording_host.h"
#include "sim_env.h"
#include "toolkit/zyl_button.h"
#include "toolkit/zyl_image.h"
#include "toolkit/zyl_page.h"
#include "toolkit/zyl_slider.h"

namespace mivo::test {
namespace {

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override { ResetHoverFlags(); }
    void TearDown() override { ResetHoverFlags(); }
    RecordingHost host;
};

// ---- Slider

TEST_F(ControlsTest, SliderValueFromPoint) {
    struct Case {
        int left, right, min, max, x, expected;
    };
    const Case cases[] = {
        {453, 687, 1, 10, 458, 1},   // the track's left end
        {453, 687, 1, 10, 682, 10},  // v = 224 * 9 / 229 + 1 = 9.80
        {453, 687, 1, 10, 453, 1},   // left of the track: below the minimum, clamped
        {453, 687, 1, 10, 686, 10},  // x = right - 1 clamps to the maximum
        {453, 687, 1, 10, 570, 5},   // v = 112 * 9 / 229 + 1 = 5.40
        {453, 687, 1, 10, 580, 6},   // v = 5.79
        {453, 687, 1, 10, -100000, 1},
        {453, 687, 1, 10, 2000000000, 10},
        {39, 248, 1, 11, 95, 4},     // v = 3.5 exactly: a half rounds up
        {39, 248, 1, 11, 197, 9},    // v = 8.5
    };
    for (const Case& c : cases) {
        CZylSlider s("", 20, c.min, c.max, c.left, 100, c.right, 120);
        s.UpdateFromPoint(c.x);
        EXPECT_EQ(s.m_nPos, c.expected) << "x = " << c.x;
    }
}

TEST_F(ControlsTest, SliderThumbPlacement) {
    CZylSlider s("", 20, 1, 10, 453, 100, 687, 120);
    s.SetImages(nullptr, Solid(0xFFFFFFFF, 10, 6));
    struct Case {
        int pos, centre_x;
    };
    for (const Case c : {Case{1, 458}, Case{5, 557}, Case{10, 682}}) {
        s.m_nPos = c.pos;
        const gfx::Point p = s.ThumbPosition();
        EXPECT_EQ(p.x + 5, c.centre_x) << "value " << c.pos;
        EXPECT_EQ(p.y, 110 - 3 + 4);
    }
}

TEST_F(ControlsTest, SliderDragFollowsThePointerAnywhereAndReportsAtRelease) {
    auto* s = host.Add(std::make_unique<CZylSlider>("", 20, 1, 10, 453, 100, 687, 120));
    EXPECT_EQ(host.OnLButtonDown(570, 110), 1);
    EXPECT_EQ(s->m_nPos, 5);
    EXPECT_EQ(host.Take(), (Log{"Redraw"}));  // no reset of others, no state change
    EXPECT_EQ(host.OnMouseMove(900, 500), 1);  // far outside: still dragging
    EXPECT_EQ(s->m_nPos, 10);
    EXPECT_EQ(host.OnMouseMove(0, 0), 1);
    EXPECT_EQ(s->m_nPos, 1);
    EXPECT_EQ(host.OnLButtonUp(580, 900), 1);
    EXPECT_EQ(s->m_nPos, 6);
    EXPECT_EQ(host.Take(), (Log{"Redraw", "Redraw", "Redraw", "Click 20"}));
    EXPECT_EQ(host.OnMouseMove(900, 500), 0);  // drag over
}

TEST_F(ControlsTest, IdleSliderReportsHoverAgainOnEveryOtherMove) {
    host.Add(std::make_unique<CZylSlider>("", 20, 1, 10, 453, 100, 687, 120));
    host.OnMouseMove(500, 110);
    EXPECT_EQ(host.Take(), (Log{"Reset 1 20", "Hover 20", "Redraw"}));
    EXPECT_EQ(host.OnMouseMove(501, 110), 0);  // hovered and idle: not taken, the host resets
    EXPECT_EQ(host.Take(), (Log{"Reset 1 -1", "Redraw"}));
    host.OnMouseMove(502, 110);
    EXPECT_EQ(host.Take(), (Log{"Reset 1 20", "Hover 20", "Redraw"}));
}

TEST_F(ControlsTest, DisabledSliderIgnoresPressesButFinishesADrag) {
    auto* s = host.Add(std::make_unique<CZylSlider>("", 20, 1, 10, 453, 100, 687, 120));
    host.OnLButtonDown(570, 110);
    s->SetEnabled(0);
    EXPECT_EQ(host.OnLButtonUp(682, 110), 1);
    EXPECT_EQ(s->m_nPos, 10);
    EXPECT_EQ(host.Take().back(), "Click 20");
    EXPECT_EQ(host.OnLButtonDown(570, 110), 0);
    host.OnMouseMove(570, 110);
    EXPECT_EQ(host.Take(), (Log{"Reset 1 20", "Hover 20", "Redraw"}));
}

TEST_F(ControlsTest, AnotherControlsReleaseEndsADragWithoutReport) {
    auto* s = host.Add(std::make_unique<CZylSlider>("", 20, 1, 10, 453, 100, 687, 120));
    host.OnLButtonDown(570, 110);
    host.ResetCtrlStates(kResetRelease, 8);
    host.Take();
    EXPECT_EQ(s->m_bPressed, 0);
    EXPECT_EQ(host.OnLButtonUp(600, 110), 0);
    EXPECT_EQ(host.Take(), Log{});
}

// ---- Selector

TEST_F(ControlsTest, SelectorFlipsOnEachClickInside) {
    auto* sel = host.Add(std::make_unique<CZylSelector>("", 30, 0, 0, 10, 10));
    for (int expected : {1, 0}) {
        host.OnLButtonDown(5, 5);
        EXPECT_EQ(sel->m_nState, 2);
        EXPECT_EQ(host.OnLButtonUp(5, 5), 1);
        EXPECT_EQ(sel->m_bOn, expected);
        EXPECT_EQ(host.Take(), (Log{"Reset 2 30", "Redraw", "Reset 3 30", "Redraw", "Click 30"}));
    }
    host.OnLButtonDown(5, 5);
    EXPECT_EQ(host.OnLButtonUp(50, 5), 0);  // released outside: unchanged, no report
    EXPECT_EQ(sel->m_bOn, 0);
    EXPECT_EQ(sel->m_bPressed, 0);
}

TEST_F(ControlsTest, SelectorHoverOnlyWhenIdle) {
    auto* sel = host.Add(std::make_unique<CZylSelector>("", 30, 0, 0, 10, 10));
    host.OnLButtonDown(5, 5);
    host.ResetCtrlStates(kResetEnter, -1);  // state back to 0, still pressed
    host.Take();
    EXPECT_EQ(host.OnMouseMove(5, 5), 1);
    EXPECT_EQ(host.Take(), Log{});
    EXPECT_EQ(sel->m_nState, 0);
}

// ---- Image

TEST_F(ControlsTest, ImageReportsPressesWithoutTakingThem) {
    struct Case {
        int visible, enabled;
        Log expected;
    };
    const Case cases[] = {
        {1, 1, {"Click 14"}},
        {0, 1, {"Click 14"}},  // a hidden image still reports
        {1, 0, {}},
    };
    for (const Case& c : cases) {
        RecordingHost h;
        auto* img = h.Add(std::make_unique<CZylImage>("", 14, 0, 0, 10, 10));
        img->m_bVisible = c.visible;
        img->m_bEnabled = c.enabled;
        EXPECT_EQ(h.OnLButtonDown(5, 5), 0);  // not taken: the window is dragged
        EXPECT_EQ(h.Take(), c.expected);
        EXPECT_EQ(h.OnLButtonDown(15, 5), 0);
        EXPECT_EQ(h.Take(), Log{});
    }
}

// ---- Image menu

class ImageMenuTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        other = host.Add(std::make_unique<CZylButton>("", 61, 200, 0, 220, 20));
        // 18 rows of 20 pixels, IDs 62 to 79, the menu added last.
        menu = host.Add(std::make_unique<CZylImageMenu>(99, 0, 0, 100, 360));
        for (int i = 0; i < 18; ++i) menu->AddItem(std::make_unique<CImageMenuItem>(0, i * 20, 100, i * 20 + 20, 62 + i));
    }
    static int RowY(int id) { return (id - 62) * 20 + 10; }
    CZylButton* other = nullptr;
    CZylImageMenu* menu = nullptr;
};

TEST_F(ImageMenuTest, ReleaseRules) {
    struct Case {
        const char* name;
        int press_id;
        int release_x, release_y;
        int taken;
        Log reports;
    };
    const Case cases[] = {
        {"press and release on 67", 67, 50, RowY(67), 1, {"Redraw", "Click 67"}},
        {"press 67, release on 68", 67, 50, RowY(68), 1, {"Redraw"}},
        {"release outside", 67, 150, RowY(67), 0, {"Redraw"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        menu->SetVisible(1);
        EXPECT_EQ(host.OnLButtonDown(50, RowY(c.press_id)), 1);
        EXPECT_EQ(menu->m_items[c.press_id - 62]->m_nState, 2);
        host.Take();
        EXPECT_EQ(host.OnLButtonUp(c.release_x, c.release_y), c.taken);
        EXPECT_EQ(host.Take(), c.reports);
        EXPECT_EQ(menu->m_bVisible, 0);
        for (const auto& item : menu->m_items) EXPECT_EQ(item->m_bPressed, 0);
    }
}

TEST_F(ImageMenuTest, AReleaseOutsideEndsThePressOfItsItem) {
    menu->SetVisible(1);
    host.OnLButtonDown(50, RowY(67));
    host.OnLButtonUp(150, RowY(67));
    menu->SetVisible(1);
    host.OnLButtonDown(50, RowY(68));
    host.Take();
    host.OnLButtonUp(50, RowY(67));  // pressed on 68: releasing on 67 chooses nothing
    EXPECT_EQ(host.Take(), (Log{"Redraw"}));
}

TEST_F(ImageMenuTest, TakesReleasesWhileClosedOrUnpressed) {
    menu->SetVisible(0);
    EXPECT_EQ(menu->OnLButtonUp(50, 10), 1);
    menu->SetVisible(1);
    EXPECT_EQ(menu->OnLButtonUp(50, 10), 1);  // no press began in it
    EXPECT_EQ(menu->m_bVisible, 1);
    EXPECT_EQ(host.Take(), Log{});
}

TEST_F(ImageMenuTest, ChosenItemKeepsStateThreeAndAnyResetClosesTheMenu) {
    menu->SetVisible(1);
    host.OnLButtonDown(50, RowY(70));
    host.OnLButtonUp(50, RowY(70));
    EXPECT_EQ(menu->m_items[8]->m_nState, 3);
    menu->SetVisible(1);
    host.OnMouseMove(50, RowY(70));
    EXPECT_EQ(menu->m_items[8]->m_nState, 3);
    host.OnLButtonDown(50, RowY(62));
    EXPECT_EQ(menu->m_items[8]->m_nState, 3);
    EXPECT_EQ(menu->m_items[0]->m_nState, 2);
    host.OnMouseMove(210, 10);  // entering the button broadcasts a reset
    EXPECT_EQ(menu->m_bVisible, 0);
}

TEST_F(ImageMenuTest, DisabledItemCannotBeChosen) {
    menu->m_items[5]->m_bEnabled = 0;
    menu->SetVisible(1);
    host.OnLButtonDown(50, RowY(67));
    host.Take();
    EXPECT_EQ(host.OnLButtonUp(50, RowY(67)), 1);
    EXPECT_EQ(host.Take(), (Log{"Redraw"}));
}

// ---- Animation

class AnimationTest : public ControlsTest {
protected:
    CZylAnimation* MakeAnimation(int frames, int loop, int sound) {
        auto* a = host.Add(std::make_unique<CZylAnimation>("", 39, 0, 0, 64, 35));
        for (int i = 0; i < frames; ++i) a->AddFrame(Solid(0xFF000000u + i));
        a->m_nInterval = 40;
        a->m_bLoop = loop;
        a->m_bPlaySound = sound;
        a->m_soundPath = wav;
        host.on_redraw = [this, a] { shown.push_back(a->m_nCurFrame); };
        return a;
    }
    // One tick of the host's timer 39: step while running, else the timer is killed.
    bool Tick(CZylAnimation* a) {
        if (!a->m_bRunning) return false;
        a->Step();
        return true;
    }
    void SetUp() override {
        ControlsTest::SetUp();
        WriteFile(wav, "RIFF");
    }

    SimEnv env;
    std::filesystem::path wav = env.dir.path() / "DoubleClick_Sound.wav";
    std::vector<int> shown;
};

TEST_F(AnimationTest, DoubleClickPlaysOnceWithSound) {
    CZylAnimation* a = MakeAnimation(52, 0, 1);
    EXPECT_EQ(host.OnLButtonDblClk(70, 10), 0);
    EXPECT_EQ(host.OnLButtonDblClk(10, 10), 1);
    EXPECT_EQ(host.Take(), (Log{"Timer 39"}));
    EXPECT_EQ(env.log.Lines("sound.play").size(), 1u);

    for (int i = 0; i < 52; ++i) ASSERT_TRUE(Tick(a));
    std::vector<int> expected;
    for (int i = 0; i < 52; ++i) expected.push_back(i);
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(a->m_nCurFrame, 52);

    shown.clear();
    ASSERT_TRUE(Tick(a));  // the 53rd tick shows frame 0 and stops
    EXPECT_EQ(shown, (std::vector<int>{0}));
    EXPECT_EQ(a->m_bRunning, 0);
    EXPECT_FALSE(Tick(a));  // the next tick finds it stopped
    EXPECT_EQ(env.log.Lines("sound.play").size(), 1u);
}

TEST_F(AnimationTest, LoopWrapsOnTheTickAfterTheLastFrame) {
    CZylAnimation* a = MakeAnimation(100, 1, 0);
    a->m_bRunning = 1;
    a->Start();
    EXPECT_EQ(host.Take(), (Log{"Timer 39"}));
    for (int i = 0; i < 101; ++i) Tick(a);
    EXPECT_EQ(shown.size(), 101u);
    EXPECT_EQ(shown[99], 99);
    EXPECT_EQ(shown[100], 0);
    EXPECT_EQ(a->m_bRunning, 1);
    a->m_bRunning = 0;  // the owner stops it
    EXPECT_FALSE(Tick(a));
    EXPECT_TRUE(env.log.Lines("sound.play").empty());
}

TEST_F(AnimationTest, LoopWithSoundRestartsItAtEveryWrap) {
    CZylAnimation* a = MakeAnimation(3, 1, 1);
    host.OnLButtonDblClk(10, 10);
    for (int i = 0; i < 7; ++i) Tick(a);  // wraps on ticks 4 and 7
    EXPECT_EQ(env.log.Lines("sound.play").size(), 3u);
    EXPECT_EQ(env.log.Lines("sound.stop").size(), 2u);
}

TEST_F(AnimationTest, DoubleClickDuringARunCarriesOnFromTheFrameReached) {
    CZylAnimation* a = MakeAnimation(10, 0, 0);
    host.OnLButtonDblClk(10, 10);
    for (int i = 0; i < 4; ++i) Tick(a);
    host.OnLButtonDblClk(10, 10);
    EXPECT_EQ(a->m_nCurFrame, 4);
    EXPECT_EQ(host.Take(), (Log{"Timer 39", "Redraw", "Redraw", "Redraw", "Redraw", "Timer 39"}));
}

TEST_F(AnimationTest, WithoutFramesStopsOnTheFirstTick) {
    CZylAnimation* a = MakeAnimation(0, 0, 0);
    a->m_bRunning = 1;
    Tick(a);
    EXPECT_EQ(a->m_bRunning, 0);
    EXPECT_EQ(a->m_nCurFrame, 0);
}

// ---- Page control

class PageTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        page = host.Add(std::make_unique<CZylPageCtrl>(12, 0, 0, 100, 100));
    }
    CZylButton* AddChild(int id, gfx::Rect r) {
        auto* b = static_cast<CZylButton*>(
            page->AddChild(std::make_unique<CZylButton>("", id, r.left, r.top, r.right, r.bottom)));
        return b;
    }
    CZylPageCtrl* page = nullptr;
};

TEST_F(PageTest, ChildrenGetTheHostAndTheLaterChildIsOnTopForEveryPointerEvent) {
    CZylButton* a = AddChild(43, {0, 0, 10, 10});
    CZylButton* b = AddChild(44, {0, 0, 10, 10});
    EXPECT_EQ(a->m_pEvent, &host);
    EXPECT_EQ(a->m_pParent, page);
    host.OnMouseMove(5, 5);
    host.OnLButtonDown(5, 5);
    host.OnLButtonUp(5, 5);
    EXPECT_EQ(host.Take(), (Log{"Reset 1 44", "Hover 44", "Redraw", "Reset 2 44", "Redraw", "Reset 3 44", "Redraw",
                                "Click 44"}));
    EXPECT_EQ(a->m_bPressed, 0);
    EXPECT_EQ(b->m_nState, 0);
}

TEST_F(PageTest, BringChildToTopMovesTheChildToTheEnd) {
    CZylButton* a = AddChild(43, {0, 0, 10, 10});
    CZylButton* b = AddChild(44, {0, 0, 10, 10});
    CZylButton* c = AddChild(45, {0, 0, 10, 10});
    page->BringChildToTop(a);
    ASSERT_EQ(page->m_children.size(), 3u);
    EXPECT_EQ(page->m_children[0].get(), b);
    EXPECT_EQ(page->m_children[1].get(), c);
    EXPECT_EQ(page->m_children[2].get(), a);
    CZylButton stranger("", 9, 0, 0, 1, 1);
    page->BringChildToTop(&stranger);
    EXPECT_EQ(page->m_children[2].get(), a);
}

TEST_F(PageTest, HiddenPageTakesNoPointerInputButPassesTimers) {
    class TimerCtrl : public CBaseCtrl {
    public:
        using CBaseCtrl::CBaseCtrl;
        int OnTimer(int id) override { return id == 48 ? 1 : 0; }
    };
    AddChild(43, {0, 0, 10, 10});
    page->AddChild(std::make_unique<TimerCtrl>("", 48, 20, 20, 30, 30));
    page->SetVisible(0);
    EXPECT_EQ(page->OnLButtonDown(5, 5), 0);
    EXPECT_EQ(page->OnMouseMove(5, 5), 0);
    EXPECT_EQ(page->OnLButtonUp(5, 5), 0);
    EXPECT_EQ(page->OnLButtonDblClk(5, 5), 0);
    EXPECT_EQ(host.Take(), Log{});
    EXPECT_EQ(host.OnTimer(48), 1);
    EXPECT_EQ(host.OnTimer(47), 0);
}

TEST_F(PageTest, FindByIdDescendsIntoNestedPages) {
    CZylButton* a = AddChild(43, {0, 0, 10, 10});
    auto* inner = static_cast<CZylPageCtrl*>(page->AddChild(std::make_unique<CZylPageCtrl>(13, 0, 0, 50, 50)));
    auto* deep = inner->AddChild(std::make_unique<CZylButton>("", 56, 0, 0, 5, 5));
    EXPECT_EQ(deep->m_pEvent, &host);
    EXPECT_EQ(host.FindCtrl(12), page);
    EXPECT_EQ(host.FindCtrl(43), a);
    EXPECT_EQ(host.FindCtrl(56), deep);
    EXPECT_EQ(host.FindCtrl(57), nullptr);
}

TEST_F(PageTest, EmptyAreaOfAPageResetsOnceAndAChildMoveRearmsIt) {
    AddChild(43, {0, 0, 10, 10});
    host.OnMouseMove(5, 5);
    host.Take();
    // The page does not take the move: its own reset, then the host's.
    EXPECT_EQ(host.OnMouseMove(50, 50), 0);
    EXPECT_EQ(host.Take(), (Log{"Reset 1 -1", "Redraw", "Reset 1 -1", "Redraw"}));
    host.OnMouseMove(51, 50);
    EXPECT_EQ(host.Take(), Log{});
    EXPECT_EQ(g_bPageHoverCleared, 1);
    host.OnMouseMove(5, 5);
    EXPECT_EQ(g_bPageHoverCleared, 0);
    host.Take();
    host.OnMouseMove(50, 50);
    EXPECT_EQ(host.Take(), (Log{"Reset 1 -1", "Redraw", "Reset 1 -1", "Redraw"}));
}

TEST_F(PageTest, ResetReachesTheChildrenNotThePage) {
    CZylButton* a = AddChild(43, {0, 0, 10, 10});
    a->m_nState = 2;
    page->m_nState = 1;
    host.ResetCtrlStates(kResetEnter, -1);
    EXPECT_EQ(a->m_nState, 0);
    EXPECT_EQ(page->m_nState, 1);
}

}  // namespace
}  // namespace mivo::test
