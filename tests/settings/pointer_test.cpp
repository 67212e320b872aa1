// System pointer settings written from the record: order, values and flags of each write.
#include "settings/pointer.h"

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "platform/sim/event_log.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_services.h"

namespace mivo {
namespace {

class PointerTest : public ::testing::Test {
protected:
    // Event lines without their time stamps.
    std::vector<std::string> Events() const {
        std::vector<std::string> out;
        for (const std::string& line : log_.Lines()) out.push_back(line.substr(line.find(' ') + 1));
        return out;
    }

    platform::sim::SimClock clock_;
    platform::sim::EventLog log_{clock_};
    platform::sim::SimPointerSettings pointer_{log_};
    platform::ScopedServices services_{platform::Services{.pointer = &pointer_, .diagnostics = &log_}};
};

TEST_F(PointerTest, FactoryValuesInOrderWithTheirFlags) {
    ApplyPointerSettings(DefaultSettings);
    EXPECT_EQ(Events(), (std::vector<std::string>{"pointer.trails 0 1", "pointer.mouse 0 0 0 1",
                                                  "pointer.dclick 600 1", "pointer.speed 11 3",
                                                  "pointer.wheel 3 3"}));
}

TEST_F(PointerTest, ValuesOverTheControlRanges) {
    const uint32_t dclick[] = {1200, 1100, 1000, 900, 800, 700, 600, 500, 400, 300, 200};
    const int speed[] = {1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 20};
    for (int step = 1; step <= 11; ++step) {
        MouseSettings s;
        s.DClickSpeed = step;
        s.PointerSpeed = step;
        const PointerValues v = ComputePointerValues(s);
        EXPECT_EQ(v.double_click_ms, dclick[step - 1]) << step;
        EXPECT_EQ(v.speed, speed[step - 1]) << step;
    }
}

TEST_F(PointerTest, SwitchesAndWheelModes) {
    struct Case {
        const char* what;
        int trails, accel, wheel, one_page, scroll;
        uint32_t expect_trails;
        std::array<int, 3> expect_params;
        std::optional<uint32_t> expect_wheel;
    } cases[] = {
        {"trails on", 1, 0, 1, 0, 3, 3, {0, 0, 0}, 3u},
        {"acceleration on", 0, 1, 1, 0, 3, 0, {0, 1, 2}, 3u},
        {"lines win over page", 0, 0, 1, 1, 7, 0, {0, 0, 0}, 7u},
        {"one page per notch", 0, 0, 0, 1, 7, 0, {0, 0, 0}, platform::kWheelPageScroll},
        {"neither: wheel left alone", 0, 0, 0, 0, 7, 0, {0, 0, 0}, std::nullopt},
        {"negative lines are not page scrolling", 0, 0, 1, 0, -1, 0, {0, 0, 0}, 0u},
    };
    for (const Case& c : cases) {
        platform::sim::SimPointerSettings pointer(log_);
        platform::ScopedServices scoped(platform::Services{.pointer = &pointer, .diagnostics = &log_});
        MouseSettings s;
        s.DisplayPointerTrails = c.trails;
        s.MouseAcceleration = c.accel;
        s.MouseWheel = c.wheel;
        s.OnePage = c.one_page;
        s.ScrollSpeed = c.scroll;
        ApplyPointerSettings(s);
        EXPECT_EQ(pointer.trails, c.expect_trails) << c.what;
        EXPECT_EQ(pointer.mouse_params, c.expect_params) << c.what;
        EXPECT_EQ(pointer.wheel_lines, c.expect_wheel) << c.what;
        EXPECT_EQ(pointer.speed, 11) << c.what;
    }
}

TEST_F(PointerTest, HandEditedValuesOutsideTheRangesAreHeldToThem) {
    struct Case {
        int dclick, pointer;
        uint32_t expect_ms;
        int expect_speed;
    } cases[] = {{0, 0, 1200, 1}, {-5, -5, 1200, 1}, {14, 12, 200, 20}, {INT32_MAX, INT32_MAX, 200, 20}};
    for (const Case& c : cases) {
        MouseSettings s;
        s.DClickSpeed = c.dclick;
        s.PointerSpeed = c.pointer;
        const PointerValues v = ComputePointerValues(s);
        EXPECT_EQ(v.double_click_ms, c.expect_ms) << c.dclick;
        EXPECT_EQ(v.speed, c.expect_speed) << c.pointer;
    }
}

TEST_F(PointerTest, DragFullWindowsIsNotPersisted) {
    EnableDragFullWindows();
    EXPECT_EQ(Events(), (std::vector<std::string>{"pointer.dragfull 1 0"}));
}

TEST_F(PointerTest, WithoutTheServiceNothingIsWrittenAndItIsReported) {
    platform::ScopedServices none(platform::Services{.diagnostics = &log_});
    ApplyPointerSettings(DefaultSettings);
    EnableDragFullWindows();
    EXPECT_EQ(Events(), (std::vector<std::string>{"pointer.unavailable apply",
                                                  "pointer.unavailable drag-full-windows"}));
    EXPECT_FALSE(pointer_.trails.has_value());
}

}  // namespace
}  // namespace mivo
