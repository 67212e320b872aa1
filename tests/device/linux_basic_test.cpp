// The Linux clock, paths and locale services against the real process environment.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/linux/linux_basic.h"

namespace mivo::platform::linux_backend {
namespace {

// Sets an environment variable for one scope and restores it afterwards.
class EnvScope {
public:
    EnvScope(const char* name, const char* value) : name_(name) {
        if (const char* old = ::getenv(name)) old_ = old;
        if (value) ::setenv(name, value, 1);
        else ::unsetenv(name);
    }
    ~EnvScope() {
        if (old_) ::setenv(name_, old_->c_str(), 1);
        else ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(LinuxBasicTest, LocaleFollowsTheEnvironment) {
    LinuxLocale locale;
    EnvScope all("LC_ALL", nullptr), messages("LC_MESSAGES", "ja_JP.UTF-8"), lang("LANG", "de_DE.UTF-8");
    EXPECT_EQ(locale.UserDefaultLangId(), 0x0411);
    EnvScope all2("LC_ALL", "sv_SE.UTF-8");
    EXPECT_EQ(locale.UserDefaultLangId(), 0x041D);
}

TEST(LinuxBasicTest, PathsNameThisProgramAndTheTempFolder) {
    LinuxPaths paths;
    const std::filesystem::path exe = paths.ExecutablePath();
    EXPECT_EQ(exe.filename(), "device_tests");
    EXPECT_TRUE(std::filesystem::is_regular_file(exe));
    {
        EnvScope tmp("TMPDIR", "/var/tmp/mivo");
        EXPECT_EQ(paths.TempDir(), "/var/tmp/mivo");
    }
    EnvScope tmp("TMPDIR", nullptr);
    EXPECT_EQ(paths.TempDir(), "/tmp");
}

TEST(LinuxBasicTest, TempFolderIsSharedWhenGroupOrOthersMayWrite) {
    namespace fs = std::filesystem;
    char pattern[] = "/tmp/mivo-shared-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const fs::path dir = pattern;
    LinuxPaths paths;
    EnvScope tmp("TMPDIR", dir.c_str());
    const struct {
        fs::perms perms;
        bool shared;
    } cases[] = {
        {fs::perms::owner_all, false},
        {fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read |
             fs::perms::others_exec,
         false},
        {fs::perms::owner_all | fs::perms::group_all, true},
        {fs::perms::all | fs::perms::sticky_bit, true},
    };
    for (const auto& c : cases) {
        fs::permissions(dir, c.perms, fs::perm_options::replace);
        EXPECT_EQ(paths.TempDirIsShared(), c.shared) << std::oct << static_cast<unsigned>(c.perms);
    }
    fs::remove(dir);
    EXPECT_FALSE(paths.TempDirIsShared()) << "a folder that is not there";
}

}  // namespace
}  // namespace mivo::platform::linux_backend
