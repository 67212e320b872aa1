// Support actions: pages opened from their own threads, the support mail and its failure message.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "auxiliary/support.h"
#include "platform/platform.h"
#include "platform/sim/event_log.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_shell.h"

using namespace mivo;
using namespace std::chrono_literals;

namespace {

struct Env {
    Env() {
        platform::Services s;
        s.clock = &clock;
        s.diagnostics = &log;
        s.desktop = &desktop;
        s.shell = &shell;
        scope = std::make_unique<platform::ScopedServices>(s);
    }
    platform::sim::SimClock clock;
    platform::sim::EventLog log{clock};
    platform::sim::SimDesktop desktop{clock, log};
    platform::sim::SimShell shell{log, &desktop};
    std::unique_ptr<platform::ScopedServices> scope;
};

// Holds every page request at a gate until the test opens it, then records the text and thread.
class GatedShell final : public platform::Shell {
public:
    bool OpenUrl(const std::string& url) override {
        std::unique_lock<std::mutex> lock(mutex_);
        ++waiting_;
        arrived_.notify_all();
        // Bounded, so that a broken OpenUrl fails the test instead of hanging it.
        const bool opened = gate_.wait_for(lock, 10s, [this] { return open_; });
        calls_.push_back({opened ? url : "(gate timed out)", std::this_thread::get_id()});
        return true;
    }
    uint32_t ComposeMail(const std::string&, const std::string&, const std::string&) override { return 0; }

    bool WaitForCallers(int count) {
        std::unique_lock<std::mutex> lock(mutex_);
        return arrived_.wait_for(lock, 10s, [&] { return waiting_ >= count; });
    }
    void Open() {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = true;
        gate_.notify_all();
    }
    struct Call {
        std::string url;
        std::thread::id thread;
    };
    std::vector<Call> Calls() {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }

private:
    std::mutex mutex_;
    std::condition_variable gate_, arrived_;
    int waiting_ = 0;
    bool open_ = false;
    std::vector<Call> calls_;
};

TEST(OpenUrl, ReturnsAtOnceAndOpensFromItsOwnThreadWithItsOwnCopy) {
    GatedShell shell;
    platform::Services s;
    s.shell = &shell;
    platform::ScopedServices scope(s);

    std::string first = kSupportPageUrl;
    std::string second = kSupportPageUrl;
    // Both calls return while neither page has been opened yet.
    std::future<void> a = OpenUrl(first);
    std::future<void> b = OpenUrl(second);
    ASSERT_TRUE(shell.WaitForCallers(2));
    EXPECT_EQ(a.wait_for(0s), std::future_status::timeout);
    // The callers' texts change and go away; the threads keep their copies.
    first.assign(200, 'x');
    second.clear();
    second.shrink_to_fit();
    shell.Open();
    ASSERT_EQ(a.wait_for(10s), std::future_status::ready);
    ASSERT_EQ(b.wait_for(10s), std::future_status::ready);

    const auto calls = shell.Calls();
    ASSERT_EQ(calls.size(), 2u);
    for (const auto& call : calls) {
        EXPECT_EQ(call.url, kSupportPageUrl);
        EXPECT_NE(call.thread, std::this_thread::get_id());
    }
    EXPECT_NE(calls[0].thread, calls[1].thread);
}

TEST(OpenUrl, TwoQuickClicksOpenThePageTwice) {
    Env env;
    std::future<void> a = OpenUrl(kProductPageUrl);
    std::future<void> b = OpenUrl(kProductPageUrl);
    ASSERT_EQ(a.wait_for(10s), std::future_status::ready);
    ASSERT_EQ(b.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(env.shell.Urls(), (std::vector<std::string>{kProductPageUrl, kProductPageUrl}));
    // The simulated shell logs on the UI thread, at its next pump.
    env.desktop.Pump();
    EXPECT_EQ(env.log.Lines("url.open").size(), 2u);
}

TEST(OpenUrl, WithoutAShellReportsAndStartsNothing) {
    platform::sim::SimClock clock;
    platform::sim::EventLog log{clock};
    platform::Services s;
    s.diagnostics = &log;
    platform::ScopedServices scope(s);

    std::future<void> done = OpenUrl(kSupportFormUrl);
    EXPECT_EQ(done.wait_for(0s), std::future_status::ready);
    ASSERT_EQ(log.Lines("shell.unavailable").size(), 1u);
}

TEST(SupportMail, PreparedWithTheAddressAndEmptySubjectAndBody) {
    Env env;
    env.shell.SetMailClient(true);
    EXPECT_EQ(SendSupportMail(kSupportMailAddress), 0u);
    ASSERT_EQ(env.shell.Mails().size(), 1u);
    EXPECT_EQ(env.shell.Mails()[0].to, kSupportMailAddress);
    EXPECT_EQ(env.shell.Mails()[0].subject, "");
    EXPECT_EQ(env.shell.Mails()[0].body, "");
    EXPECT_TRUE(env.desktop.MessageBoxes().empty());
}

TEST(SupportMail, WithoutAMailClientShowsTheDispatchMessage) {
    Env env;
    EXPECT_EQ(SendSupportMail(kSupportMailAddress), 0x800401F3u);
    EXPECT_EQ(env.desktop.MessageBoxes(), (std::vector<std::string>{"CreateDispatch() failed w/error 0x800401f3"}));
    EXPECT_TRUE(env.shell.Mails().empty());
}

TEST(SupportMail, WithoutAShellServiceStillTellsTheUser) {
    Env env;
    platform::Services s = platform::Current();
    s.shell = nullptr;
    platform::ScopedServices scope(s);
    EXPECT_EQ(SendSupportMail(kSupportMailAddress), kNoShellStatus);
    EXPECT_EQ(env.desktop.MessageBoxes(), (std::vector<std::string>{"CreateDispatch() failed w/error 0x80004005"}));
}

TEST(SupportMail, StatusIsEightLowerCaseHexDigits) {
    const std::pair<uint32_t, const char*> cases[] = {
        {0x5, "CreateDispatch() failed w/error 0x00000005"},
        {0x800401F3, "CreateDispatch() failed w/error 0x800401f3"},
        {0xFFFFFFFF, "CreateDispatch() failed w/error 0xffffffff"},
    };
    for (const auto& [status, text] : cases) EXPECT_EQ(DispatchErrorText(status), text);
}

}  // namespace
