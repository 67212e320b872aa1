// Linux shell: the mailto encoding, and the opener run with its arguments as given and its status kept.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

#include "platform/linux/shell_linux.h"
#include "support/scratch_dir.h"

namespace mivo::test {
namespace {

using platform::linux_backend::LinuxShell;
using platform::linux_backend::MailtoUrl;
using platform::linux_backend::PercentEncode;
using platform::linux_backend::RunProgram;

TEST(MailtoTest, EncodesAddressSubjectAndBody) {
    struct Case {
        const char* to;
        const char* subject;
        const char* body;
        const char* url;
    } cases[] = {
        {"support@korvex.example", "", "", "mailto:support@korvex.example"},
        {"a@b.example", "Mivo 1.14", "", "mailto:a@b.example?subject=Mivo%201.14"},
        {"a@b.example", "", "line 1\nline 2", "mailto:a@b.example?body=line%201%0D%0Aline%202"},
        {"a@b.example", "x", "crlf\r\nstays one", "mailto:a@b.example?subject=x&body=crlf%0D%0Astays%20one"},
        // Header syntax in a value is data, never structure.
        {"a@b.example", "a&b=c?d#e", "100%", "mailto:a@b.example?subject=a%26b%3Dc%3Fd%23e&body=100%25"},
        {"a+b@c.example?cc=x@y", "", "", "mailto:a%2Bb@c.example%3Fcc%3Dx@y"},
        // UTF-8 bytes one by one, upper-case hex.
        {"a@b.example", "米沃", "", "mailto:a@b.example?subject=%E7%B1%B3%E6%B2%83"},
        {"a@b.example", "-._~", "", "mailto:a@b.example?subject=-._~"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MailtoUrl(c.to, c.subject, c.body), c.url) << c.to << " / " << c.subject << " / " << c.body;
    }
}

TEST(MailtoTest, PercentEncodeKeepsOnlyWhatItIsTold) {
    EXPECT_EQ(PercentEncode("a b/c", "/"), "a%20b/c");
    EXPECT_EQ(PercentEncode(std::string("\0\xff", 2), ""), "%00%FF");
    EXPECT_EQ(PercentEncode(std::string("\0", 1), std::string("\0", 1)), "%00");
}

// An opener of our own on PATH that writes its arguments, one a line, and exits with $MIVO_EXIT.
class OpenerTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::filesystem::path opener = dir_ / "fake-open";
        WriteBytes(opener,
                   "#!/bin/sh\n"
                   "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$MIVO_ARGS\"\n"
                   "exit ${MIVO_EXIT:-0}\n");
        ::chmod(opener.c_str(), 0700);
        old_path_ = std::getenv("PATH") ? std::getenv("PATH") : "";
        ::setenv("PATH", (dir_.path().string() + ":" + old_path_).c_str(), 1);
        ::setenv("MIVO_ARGS", (dir_ / "args").c_str(), 1);
        ::unsetenv("MIVO_EXIT");
    }
    void TearDown() override {
        ::setenv("PATH", old_path_.c_str(), 1);
        ::unsetenv("MIVO_ARGS");
        ::unsetenv("MIVO_EXIT");
    }
    std::string Args() { return ReadBytes(dir_ / "args"); }

    ScratchDir dir_;
    std::string old_path_;
};

TEST_F(OpenerTest, OpenUrlPassesTheAddressAsOneArgumentWithoutAShell) {
    LinuxShell shell("fake-open");
    EXPECT_TRUE(shell.OpenUrl("http://example.com/a b;$(touch x)'\""));
    EXPECT_EQ(Args(), "http://example.com/a b;$(touch x)'\"\n");
    EXPECT_FALSE(std::filesystem::exists(dir_ / "x"));
}

TEST_F(OpenerTest, ResultsAreHonest) {
    LinuxShell shell("fake-open");
    ::setenv("MIVO_EXIT", "3", 1);
    EXPECT_FALSE(shell.OpenUrl("http://example.com/"));
    EXPECT_EQ(shell.ComposeMail("a@b.example", "s", ""), 3u);
    EXPECT_EQ(Args(), "mailto:a@b.example?subject=s\n");
    ::unsetenv("MIVO_EXIT");
    EXPECT_EQ(shell.ComposeMail("a@b.example", "", ""), 0u);

    LinuxShell missing("mivo-no-such-opener");
    EXPECT_FALSE(missing.OpenUrl("http://example.com/"));
    EXPECT_EQ(missing.ComposeMail("a@b.example", "", ""), static_cast<uint32_t>(ENOENT));
    EXPECT_EQ(RunProgram({"sh", "-c", "kill -9 $$"}), 128 + 9);
}

TEST_F(OpenerTest, AnAddressIsNeverTakenForAnOption) {
    LinuxShell shell("fake-open");
    EXPECT_FALSE(shell.OpenUrl("--help"));
    EXPECT_FALSE(std::filesystem::exists(dir_ / "args"));
}

}  // namespace
}  // namespace mivo::test
