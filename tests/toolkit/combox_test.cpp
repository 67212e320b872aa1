// Drop-down button and its popup menu: layout, press and release rules, choice, and its page.
#include <gtest/gtest.h>

#include <algorithm>

#include "fake_fonts.h"
#include "gfx/text.h"
#include "platform/platform.h"
#include "platform/sim/event_log.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_window.h"
#include "recording_host.h"
#include "toolkit/zyl_combox.h"
#include "toolkit/zyl_page.h"

namespace mivo::test {
namespace {

class ComboxTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetHoverFlags();
        platform::Services s;
        s.fonts = &fonts;
        scope = std::make_unique<platform::ScopedServices>(s);
        combo = host.Add(std::make_unique<CZylComboxButton>("Left click", 50, 100, 50, 200, 70));
        for (int i = 0; i < 3; ++i) combo->AddMenuItem(kIds[i], kTexts[i]);
        const gfx::FontSpec tahoma{"Tahoma", 8.0f};
        h = gfx::MeasureText(kTexts[0], &tahoma, gfx::Rect{}).cy + 2;
    }
    void TearDown() override { ResetHoverFlags(); }

    // The middle of entry i once the menu is laid out.
    int EntryY(int i) const { return 68 + 1 + i * h + h / 2; }

    static constexpr int kIds[3] = {1, 2, 4};
    static constexpr const char* kTexts[3] = {"Click", "Menu", "Universal scroll"};
    BoxFonts fonts;
    std::unique_ptr<platform::ScopedServices> scope;
    RecordingHost host;
    CZylComboxButton* combo = nullptr;
    int h = 0;
};

TEST_F(ComboxTest, PressOpensTheMenuBelowTheButton) {
    ASSERT_GT(h, 2);  // the font service measured something
    EXPECT_EQ(host.OnLButtonDown(150, 60), 1);
    EXPECT_EQ(host.Take(), (Log{"Reset 2 50", "Redraw"}));
    EXPECT_EQ(combo->m_nState, 2);
    const CVirMenu& menu = *combo->m_pMenu;
    EXPECT_EQ(menu.m_bOpen, 1);
    EXPECT_EQ(menu.m_rect, (gfx::Rect{100, 68, 198, 68 + 3 * h + 4}));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(menu.m_items[i].rcItem, (gfx::Rect{100, 69 + i * h, 198, 69 + (i + 1) * h})) << i;
    }
}

TEST_F(ComboxTest, ChoosingAnEntryChangesLabelAndChoice) {
    host.OnLButtonDown(150, 60);
    host.OnLButtonUp(150, 60);  // the button's own release: menu stays open
    EXPECT_EQ(combo->m_pMenu->m_bOpen, 1);
    host.Take();
    EXPECT_EQ(host.OnMouseMove(150, EntryY(2)), 1);
    EXPECT_EQ(combo->m_pMenu->m_nHot, 2);
    EXPECT_EQ(host.Take(), Log{});  // the highlight shows only at the next composition
    EXPECT_EQ(host.OnLButtonDown(150, EntryY(2)), 1);
    EXPECT_EQ(host.OnLButtonUp(150, EntryY(2)), 1);
    EXPECT_EQ(host.Take(), (Log{"Redraw"}));
    EXPECT_EQ(combo->m_strText, "Universal scroll");
    EXPECT_EQ(combo->m_nSelId, 4);
    EXPECT_EQ(combo->m_pMenu->m_bOpen, 0);
    EXPECT_EQ(combo->m_nState, 2);  // until the next reset
}

TEST_F(ComboxTest, PressAndReleaseRulesWhileOpen) {
    struct Case {
        const char* name;
        int x, y;
        bool press;          // a press (else a release after pressing the first entry)
        int taken;
        int open_after;
    };
    // The menu's bottom is 69 + 3h + 3; the last entry ends at 69 + 3h.
    const Case cases[] = {
        {"press on the button reopens", 150, 55, true, 1, 1},
        {"press on the bottom row lands on the first entry", 150, 69, true, 1, 1},
        {"press outside closes", 400, 300, true, 0, 0},
        {"release below the last entry chooses nothing", 150, 69 + 3 * h + 1, false, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetHoverFlags();
        host.ResetCtrlStates(kResetRelease, -1);
        host.OnLButtonDown(150, 55);
        ASSERT_EQ(combo->m_pMenu->m_bOpen, 1);
        if (c.press) {
            EXPECT_EQ(host.OnLButtonDown(c.x, c.y), c.taken);
        } else {
            host.OnLButtonDown(150, EntryY(0));
            EXPECT_EQ(host.OnLButtonUp(c.x, c.y), c.taken);
            EXPECT_EQ(combo->m_nSelId, 0);
        }
        EXPECT_EQ(combo->m_pMenu->m_bOpen, c.open_after);
    }
}

TEST_F(ComboxTest, PressOnTheBottomRowIsAPressOnTheFirstEntry) {
    host.OnLButtonDown(150, 55);
    host.Take();
    EXPECT_EQ(host.OnLButtonDown(150, 69), 1);
    EXPECT_EQ(host.Take(), Log{});  // the menu took it: no reset, no reopening
    EXPECT_EQ(combo->m_pMenu->m_nChosen, 1);
}

TEST_F(ComboxTest, MovingAwayClosesTheMenuWithoutRepaint) {
    host.OnLButtonDown(150, 55);
    host.OnMouseMove(400, 300);
    EXPECT_EQ(combo->m_pMenu->m_bOpen, 0);
}

TEST_F(ComboxTest, HoverReportsBothHovers) {
    host.OnMouseMove(150, 55);
    EXPECT_EQ(host.Take(), (Log{"Reset 1 50", "Hover 50", "Combo 50", "Redraw"}));
}

TEST_F(ComboxTest, SelectByIdChangesOnlyForKnownEntries) {
    combo->SelectById(2);
    EXPECT_EQ(combo->m_strText, "Menu");
    EXPECT_EQ(combo->m_nSelId, 2);
    combo->SelectById(99);
    EXPECT_EQ(combo->m_strText, "Menu");
    EXPECT_EQ(combo->m_nSelId, 2);
    CZylComboxButton empty("Label", 51, 0, 0, 10, 10);
    empty.SelectById(2);
    EXPECT_EQ(empty.m_strText, "Label");
    EXPECT_EQ(empty.m_nSelId, 0);
    EXPECT_EQ(host.Take(), Log{});
}

TEST_F(ComboxTest, OpeningInsideAPageBringsTheButtonToTheTop) {
    auto* page = host.Add(std::make_unique<CZylPageCtrl>(12, 0, 0, 400, 400));
    auto* a = static_cast<CZylComboxButton*>(page->AddChild(std::make_unique<CZylComboxButton>("", 51, 0, 0, 50, 20)));
    page->AddChild(std::make_unique<CZylComboxButton>("", 52, 0, 30, 50, 50));
    a->AddMenuItem(1, "Click");
    EXPECT_EQ(host.OnLButtonDown(10, 10), 1);
    EXPECT_EQ(page->m_children.back().get(), a);
    EXPECT_EQ(a->m_pMenu->m_bOpen, 1);
}

TEST_F(ComboxTest, VectorLookFillsByStateAndNotWhilePressed) {
    constexpr uint32_t kBack = 0xFF404040u;
    platform::sim::SimClock clock;
    platform::sim::EventLog log{clock};
    platform::sim::SimWindow window{log, {0, 0, 10, 10}};
    host.m_pBkImage = Solid(kBack, 300, 200);
    host.AttachWindow(&window);
    // A corner of the button away from its label, its outline text and its border.
    auto sample = [&](int state) {
        combo->m_nState = state;
        host.Redraw();
        return gfx::Unpremultiply(window.Frame().At(196, 53));
    };
    EXPECT_EQ(sample(kStatePressed), kBack);
    std::vector<uint32_t> seen;
    for (int state : {kStateNormal, kStateHover, kStateSelected, kStateDisabled}) {
        const uint32_t c = sample(state);
        EXPECT_NE(c, kBack) << "state " << state;
        for (uint32_t other : seen) EXPECT_NE(c, other) << "state " << state;
        seen.push_back(c);
    }
    // Normal is a translucent cyan over the grey: green and blue rise above red.
    EXPECT_GT((seen[0] >> 8) & 0xFF, (seen[0] >> 16) & 0xFF);
}

TEST_F(ComboxTest, OpenMenuIsPaintedWithTheHighlightedEntryBrightest) {
    platform::sim::SimClock clock;
    platform::sim::EventLog log{clock};
    platform::sim::SimWindow window{log, {0, 0, 300, 200}};
    host.AttachWindow(&window);
    combo->SetImages(Solid(0xFF202020u, 100, 20), nullptr, nullptr);
    host.OnLButtonDown(150, 55);
    combo->m_pMenu->m_nHot = 1;
    host.Redraw();
    const gfx::Image& frame = window.Frame();
    const CVirMenu& menu = *combo->m_pMenu;
    // The brightest channel value anywhere in entry i.
    auto brightest = [&](int i) {
        uint32_t best = 0;
        const gfx::Rect r = menu.m_items[i].rcItem;
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left + 1; x < r.right - 2; ++x) {
                const uint32_t p = gfx::Unpremultiply(frame.At(x, y));
                best = std::max({best, (p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF});
            }
        }
        return best;
    };
    EXPECT_EQ(brightest(0), 127u);
    EXPECT_EQ(brightest(1), 255u);
    EXPECT_EQ(brightest(2), 127u);
    EXPECT_EQ(gfx::Unpremultiply(frame.At(100, menu.m_rect.top + 5)), 0xFF66C2F4u);  // frame
    EXPECT_EQ(gfx::Unpremultiply(frame.At(101, menu.m_rect.bottom - 2)), 0xFF000000u);  // fill below the entries
}

}  // namespace
}  // namespace mivo::test
