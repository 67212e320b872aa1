// Composition: the frame a host hands to its window shows the right picture for each state.
#include <gtest/gtest.h>

#include "platform/sim/event_log.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_window.h"
#include "recording_host.h"
#include "toolkit/zyl_button.h"
#include "toolkit/zyl_image.h"
#include "toolkit/zyl_page.h"
#include "toolkit/zyl_slider.h"

namespace mivo::test {
namespace {

constexpr uint32_t kBack = 0xFF404040u;
constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kGreen = 0xFF00FF00u;
constexpr uint32_t kBlue = 0xFF0000FFu;
constexpr uint32_t kYellow = 0xFFFFFF00u;

class ComposeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetHoverFlags();
        host.m_pBkImage = Solid(kBack, 60, 40);
        host.AttachWindow(&window);
    }
    void TearDown() override { ResetHoverFlags(); }

    uint32_t At(int x, int y) const { return gfx::Unpremultiply(window.Frame().At(x, y)); }

    platform::sim::SimClock clock;
    platform::sim::EventLog log{clock};
    platform::sim::SimWindow window{log, {100, 200, 110, 210}};
    RecordingHost host;
};

TEST_F(ComposeTest, AttachSizesTheWindowToTheBackgroundAndRedrawPresentsIt) {
    EXPECT_EQ(window.GetRect(), (gfx::Rect{100, 200, 160, 240}));
    EXPECT_EQ(host.m_rect, window.GetRect());
    host.Redraw();
    ASSERT_EQ(window.Frame().Width(), 60);
    ASSERT_EQ(window.Frame().Height(), 40);
    EXPECT_EQ(At(30, 20), kBack);
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{"0 window.move 100 200 60x40", "0 window.present 60x40"}));
}

TEST_F(ComposeTest, ButtonShowsThePictureOfItsState) {
    CZylButton* b = host.AddButton(&host, "", 8, 10, 10, 20, 20, Solid(kRed, 10, 10), Solid(kGreen, 10, 10),
                                   Solid(kBlue, 10, 10));
    struct Step {
        const char* what;
        std::function<void()> act;
        uint32_t expected;
    };
    const Step steps[] = {
        {"normal", [] {}, kRed},
        {"hover", [&] { host.OnMouseMove(15, 15); }, kGreen},
        {"pressed", [&] { host.OnLButtonDown(15, 15); }, kBlue},
        {"released outside keeps the pressed look", [&] { host.OnLButtonUp(50, 30); }, kBlue},
        {"empty space resets", [&] { host.OnMouseMove(50, 30); }, kRed},
        {"selected shows the pressed picture", [&] { b->m_nState = kStateSelected; }, kBlue},
        {"disabled without a picture shows nothing", [&] { b->SetEnabled(0); }, kBack},
    };
    for (const Step& s : steps) {
        s.act();
        host.Redraw();
        EXPECT_EQ(At(15, 15), s.expected) << s.what;
        EXPECT_EQ(At(5, 5), kBack) << s.what;
    }
}

TEST_F(ComposeTest, LaterControlsPaintOverEarlierOnesAndHiddenOnesPaintNothing) {
    auto* image = host.Add(std::make_unique<CZylImage>("", 14, 0, 0, 30, 30));
    for (uint32_t c : {kRed, kGreen, kBlue}) image->AddPicture(Solid(c, 30, 30));
    auto* page = host.Add(std::make_unique<CZylPageCtrl>(12, 20, 0, 60, 40));
    page->SetBackground(Solid(kYellow, 40, 40));
    struct Case {
        int index, page_visible;
        uint32_t left, overlap;
    };
    const Case cases[] = {
        {0, 1, kRed, kYellow},
        {2, 1, kBlue, kYellow},
        {3, 1, kBack, kYellow},  // out of range: nothing
        {-1, 0, kBack, kBack},
        {1, 0, kGreen, kGreen},  // a hidden page draws nothing
    };
    for (const Case& c : cases) {
        image->SetPictureIndex(c.index);
        page->SetVisible(c.page_visible);
        host.Redraw();
        EXPECT_EQ(At(10, 10), c.left) << "index " << c.index;
        EXPECT_EQ(At(25, 10), c.overlap) << "index " << c.index;
    }
}

TEST_F(ComposeTest, SliderThumbIsCentredOnItsValue) {
    auto* s = host.Add(std::make_unique<CZylSlider>("", 20, 1, 10, 0, 10, 60, 30));
    s->SetImages(Solid(kBlue, 60, 20), Solid(kRed, 4, 4));
    s->m_nPos = 10;  // centre at right - 5 = 55, 4 pixels below the middle (20)
    host.Redraw();
    EXPECT_EQ(At(53, 22), kRed);
    EXPECT_EQ(At(56, 25), kRed);
    EXPECT_EQ(At(52, 22), kBlue);
    EXPECT_EQ(At(57, 22), kBlue);
    EXPECT_EQ(At(54, 21), kBlue);
}

TEST(ComposeBufferTest, EachFrameStartsTransparent) {
    ResetHoverFlags();
    platform::sim::SimClock clock;
    platform::sim::EventLog log{clock};
    platform::sim::SimWindow window{log, {0, 0, 20, 20}};
    RecordingHost host;
    host.AttachWindow(&window);  // no background: the size stays
    EXPECT_EQ(window.GetRect(), (gfx::Rect{0, 0, 20, 20}));
    CZylButton* b = host.AddButton(&host, "", 1, 0, 0, 10, 10, Solid(kRed, 10, 10), nullptr, nullptr);
    host.Redraw();
    EXPECT_EQ(window.Frame().At(5, 5), gfx::Premultiply(kRed));
    EXPECT_EQ(window.Frame().At(15, 15), 0u);
    b->SetVisible(0);
    host.Redraw();
    EXPECT_EQ(window.Frame().At(5, 5), 0u);
    EXPECT_EQ(window.PresentCount(), 2);
}

}  // namespace
}  // namespace mivo::test
