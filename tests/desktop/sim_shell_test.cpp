// Simulated shell: pages opened from several threads at once, and mail with and without a client.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "desktop_fixture.h"
#include "platform/sim/sim_shell.h"

namespace mivo::platform::sim::testing {
namespace {

class SimShellTest : public ::testing::Test, public DesktopFixture {};

TEST_F(SimShellTest, PagesOpenedFromWorkerThreadsAreLoggedOnTheUiThread) {
    SimShell shell(log, &desktop);
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back([&shell, i] { shell.OpenUrl("http://example.invalid/page" + std::to_string(i % 2)); });
    }
    for (auto& t : threads) t.join();

    EXPECT_EQ(shell.Urls().size(), 8u);
    EXPECT_TRUE(Lines("url.open").empty());  // handed over, not written from the workers
    desktop.Pump();
    auto lines = Lines("url.open");
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "http://example.invalid/page1"), 4);
}

TEST_F(SimShellTest, WithoutADesktopPagesAreLoggedAtOnce) {
    SimShell shell(log);
    EXPECT_TRUE(shell.OpenUrl("http://example.invalid/Support/"));
    EXPECT_EQ(Lines("url.open"), (std::vector<std::string>{"http://example.invalid/Support/"}));
}

TEST_F(SimShellTest, MailNeedsAClientAndFailsWithInvalidClassStringWithoutOne) {
    SimShell shell(log);
    EXPECT_EQ(shell.ComposeMail("support@example.invalid", "", ""), 0x800401F3u);
    EXPECT_TRUE(shell.Mails().empty());

    shell.SetMailClient(true);
    EXPECT_EQ(shell.ComposeMail("support@example.invalid", "", ""), 0u);
    ASSERT_EQ(shell.Mails().size(), 1u);
    EXPECT_EQ(shell.Mails()[0].to, "support@example.invalid");
    EXPECT_EQ(shell.Mails()[0].subject, "");
    EXPECT_EQ(Lines("mail.failed"), (std::vector<std::string>{"support@example.invalid 0x800401f3"}));
    EXPECT_EQ(Lines("mail.compose"), (std::vector<std::string>{"support@example.invalid"}));
}

}  // namespace
}  // namespace mivo::platform::sim::testing
