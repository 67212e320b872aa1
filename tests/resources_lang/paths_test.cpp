// Module folder, temporary folder and folder creation.
#include "resources/paths.h"

#include <gtest/gtest.h>

#include "support/scratch_dir.h"

#include <fstream>
#include <random>

#include "platform/platform.h"
#include "platform/sim/event_log.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_services.h"

namespace mivo {
namespace {

namespace fs = std::filesystem;

class PathsTest : public ::testing::Test {
protected:
    void TearDown() override { ClearModuleDirOverride(); }

    test::ScratchDir scratch_{"mivo-paths"};
    fs::path dir_ = scratch_.path();
    platform::sim::SimClock clock_;
    platform::sim::EventLog log_{clock_};
    platform::sim::SimPaths paths_;
    platform::ScopedServices services_{platform::Services{.paths = &paths_, .diagnostics = &log_}};
};

TEST_F(PathsTest, ModuleDirIsTheExecutablesFolderOrTheOverride) {
    paths_.executable = "/opt/Tools/App.exe";
    EXPECT_EQ(GetModuleDir(), fs::path("/opt/Tools"));
    EXPECT_EQ(GetModuleDir() / "UIPIC" / "MainWindow_normal.png", fs::path("/opt/Tools/UIPIC/MainWindow_normal.png"));

    SetModuleDirOverride("/srv/data/");
    EXPECT_EQ(GetModuleDir(), fs::path("/srv/data"));  // no trailing separator
    ClearModuleDirOverride();
    EXPECT_EQ(GetModuleDir(), fs::path("/opt/Tools"));

    paths_.executable = "App.exe";
    EXPECT_EQ(GetModuleDir(), fs::path());
}

TEST_F(PathsTest, TempDirIsReportedUnchanged) {
    paths_.temp = "/var/tmp/";
    EXPECT_EQ(GetTempDir().string(), "/var/tmp/");
    paths_.temp.clear();
    EXPECT_TRUE(GetTempDir().empty());
}

TEST_F(PathsTest, WithoutThePathsServiceBothAreEmptyAndReported) {
    platform::ScopedServices none(platform::Services{.diagnostics = &log_});
    EXPECT_TRUE(GetModuleDir().empty());
    EXPECT_TRUE(GetTempDir().empty());
    EXPECT_EQ(log_.Lines("paths.unavailable").size(), 2u);
}

TEST_F(PathsTest, MakeDirsCreatesMissingFoldersAndSkipsAFileName) {
    fs::create_directory(dir_ / "a");
    MakeDirs(dir_ / "a" / "b" / "c" / "Language.ini");
    EXPECT_TRUE(fs::is_directory(dir_ / "a" / "b" / "c"));
    EXPECT_FALSE(fs::exists(dir_ / "a" / "b" / "c" / "Language.ini"));

    // A dot before the last separator does not make the last component a file name.
    MakeDirs(dir_ / "a" / "b.d" / "file");
    EXPECT_TRUE(fs::is_directory(dir_ / "a" / "b.d" / "file"));

    // Something already there: nothing happens, even for a dotless file.
    std::ofstream(dir_ / "plain").put('x');
    MakeDirs(dir_ / "plain");
    EXPECT_TRUE(fs::is_regular_file(dir_ / "plain"));

    // A folder that cannot be created (a file is in the way) is simply missing.
    MakeDirs(dir_ / "plain" / "sub" / "x.ini");
    EXPECT_FALSE(fs::exists(dir_ / "plain" / "sub"));
}

}  // namespace
}  // namespace mivo
