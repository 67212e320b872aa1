// INI files: lookup rules on hand-edited files, in-place updates, encodings and atomic replacement.
#include "base/ini_file.h"

#include <gtest/gtest.h>

#include "support/scratch_dir.h"

#include <fstream>
#include <iterator>
#include <random>

#include "base/file_io.h"
#include "base/text.h"
#include "platform/platform.h"
#include "platform/sim/event_log.h"
#include "platform/sim/sim_clock.h"

namespace mivo {
namespace {

namespace fs = std::filesystem;

class IniTest : public ::testing::Test {
protected:
    void SetUp() override { path_ = dir_ / "test.ini"; }

    void WriteRaw(const std::string& bytes) const { test::WriteBytes(path_, bytes); }
    std::string ReadRaw() const { return test::ReadBytes(path_); }

    test::ScratchDir scratch_{"mivo-ini"};
    fs::path dir_ = scratch_.path();
    fs::path path_;
    platform::sim::SimClock clock_;
    platform::sim::EventLog log_{clock_};
    platform::ScopedServices services_{platform::Services{.diagnostics = &log_}};
};

TEST_F(IniTest, ReadsHandEditedFilesAsTheSystemFunctionsDo) {
    struct Case {
        const char* what;
        std::string file;
        std::string section, key, fallback;
        size_t max_chars;
        std::string expected;
    } cases[] = {
        {"plain", "[Sec]\r\nKey=Value\r\n", "Sec", "Key", "d", 260, "Value"},
        {"names ignore case", "[sec]\nkey=v\n", "SEC", "KEY", "d", 260, "v"},
        {"non-ASCII names ignore case", "[\xC3\x84]\n\xC3\xA4=v\n", "\xC3\xA4", "\xC3\x84", "d", 260, "v"},
        {"blanks trimmed", "  [ Sec ]  \n\t Key \t=   two words  \r\n", "Sec", "Key", "d", 260, "two words"},
        {"double quotes removed", "[S]\nk=\" padded \"\n", "S", "k", "d", 260, " padded "},
        {"single quotes removed", "[S]\nk='x'\n", "S", "k", "d", 260, "x"},
        {"mismatched quotes kept", "[S]\nk=\"x'\n", "S", "k", "d", 260, "\"x'"},
        {"lone quote kept", "[S]\nk=\"\n", "S", "k", "d", 260, "\""},
        {"equals sign inside value", "[S]\nk=a=b\n", "S", "k", "d", 260, "a=b"},
        {"comment line skipped", "[S]\n;k=1\nk=2\n", "S", "k", "d", 260, "2"},
        {"commented-out key is absent", "[S]\n ;k=1\n", "S", "k", "d", 260, "d"},
        {"first key wins", "[S]\nk=1\nk=2\n", "S", "k", "d", 260, "1"},
        {"first of repeated sections wins", "[S]\nk=1\n[S]\nk=2\n", "S", "k", "d", 260, "1"},
        {"repeated section searched too", "[S]\nx=1\n[T]\nk=t\n[s]\nk=2\n", "S", "k", "d", 260, "2"},
        {"key of another section", "[T]\nk=1\n[S]\n", "S", "k", "d", 260, "d"},
        {"key before any section", "k=top\n[S]\n", "S", "k", "d", 260, "d"},
        {"line without equals is an empty key", "[S]\nflag\n", "S", "flag", "d", 260, ""},
        {"empty value", "[S]\nk=\n", "S", "k", "d", 260, ""},
        {"absent key", "[S]\nk=1\n", "S", "other", "d", 260, "d"},
        {"default loses trailing blanks", "", "S", "k", " def  ", 260, " def"},
        {"value cut to max-1", "[S]\nk=abcdef\n", "S", "k", "d", 4, "abc"},
        {"default cut to max-1", "", "S", "k", "abcdef", 3, "ab"},
        {"no room at all", "[S]\nk=abc\n", "S", "k", "d", 0, ""},
        {"last line without break", "[S]\nk=end", "S", "k", "d", 260, "end"},
        {"Windows-1252 byte", "[S]\nk=caf\xE9\n", "S", "k", "d", 260, "caf\xC3\xA9"},
        {"UTF-8 text", "[S]\nk=\xE5\x8D\x95\xE5\x87\xBB\n", "S", "k", "d", 260, "\xE5\x8D\x95\xE5\x87\xBB"},
        {"UTF-8 byte-order mark skipped", "\xEF\xBB\xBF[S]\nk=1\n", "S", "k", "d", 260, "1"},
        {"UTF-16 file", "\xFF\xFE" + text::Utf8ToUtf16LeBytes("[S]\r\nk=\xE5\x8D\x95\xE5\x87\xBB\r\n"), "S", "k", "d", 260,
         "\xE5\x8D\x95\xE5\x87\xBB"},
        {"UTF-16 file cut in code units", "\xFF\xFE" + text::Utf8ToUtf16LeBytes("[S]\nk=\xE5\x8D\x95\xE5\x87\xBB\n"), "S", "k", "d", 2,
         "\xE5\x8D\x95"},
    };
    for (const Case& c : cases) {
        WriteRaw(c.file);
        EXPECT_EQ(GetPrivateProfileString(c.section, c.key, c.fallback, path_, c.max_chars), c.expected)
            << c.what;
    }
    fs::remove(path_);
    EXPECT_EQ(GetPrivateProfileString("S", "k", "missing file", path_, 260), "missing file");
}

TEST_F(IniTest, ReadsIntegersLikeTheCLibrary) {
    struct Case {
        std::string value;
        int expected;
    } cases[] = {{"42", 42}, {" -5x", -5}, {"abc", 0}, {"0x10", 0}, {"", 99}, {"\"7\"", 7}};
    for (const Case& c : cases) {
        WriteRaw("[Main]\nLanguage=" + c.value + "\n");
        EXPECT_EQ(GetPrivateProfileInt("Main", "Language", 99, path_), c.expected) << c.value;
    }
    EXPECT_EQ(GetPrivateProfileInt("Main", "Other", 99, path_), 99);
    fs::remove(path_);
    EXPECT_EQ(GetPrivateProfileInt("Main", "Language", -3, path_), -3);
}

TEST_F(IniTest, WritesChangeOnlyTheLineConcerned) {
    const std::string base = "; caf\xE9 comment\n[A]\nk=1\nother = x \n\n[B]\nk=9\n";
    struct Case {
        const char* what;
        std::string before;
        std::string section, key, value;
        std::string after;
    } cases[] = {
        {"replace in place, LF and 1252 bytes kept", base, "A", "K", "2",
         "; caf\xE9 comment\n[A]\nK=2\nother = x \n\n[B]\nk=9\n"},
        {"new key after the section's last line", base, "a", "new", "3",
         "; caf\xE9 comment\n[A]\nk=1\nother = x \nnew=3\n\n[B]\nk=9\n"},
        {"new section at the end", base, "C", "x", "y", base + "[C]\nx=y\n"},
        {"line break added before appending", "[A]\nk=1", "B", "x", "y", "[A]\nk=1\n[B]\nx=y\n"},
        {"file without line breaks gets CRLF", "[A]", "A", "x", "y", "[A]\r\nx=y\r\n"},
        {"CRLF file gets CRLF lines", "[A]\r\nk=1\r\n", "A", "n", "2", "[A]\r\nk=1\r\nn=2\r\n"},
        {"first of repeated sections updated", "[A]\nk=1\n[A]\nk=2\n", "A", "k", "5", "[A]\nk=5\n[A]\nk=2\n"},
        {"key found in a repeated section", "[A]\nx=1\n[A]\nk=2\n", "A", "k", "5", "[A]\nx=1\n[A]\nk=5\n"},
        {"commented key not replaced", "[A]\n;k=1\n", "A", "k", "5", "[A]\n;k=1\nk=5\n"},
        {"UTF-8 byte-order mark kept", "\xEF\xBB\xBF[A]\nk=1\n", "A", "k", "2", "\xEF\xBB\xBF[A]\nk=2\n"},
        {"new value written as UTF-8", "[A]\nk=\xE9\n", "A", "k", "\xC3\xA9", "[A]\nk=\xC3\xA9\n"},
    };
    for (const Case& c : cases) {
        WriteRaw(c.before);
        ASSERT_TRUE(WritePrivateProfileString(c.section, c.key, c.value, path_)) << c.what;
        EXPECT_EQ(ReadRaw(), c.after) << c.what;
    }
}

TEST_F(IniTest, CreatesAMissingFileWithItsSection) {
    ASSERT_TRUE(WritePrivateProfileString("Main", "Language", "1031", path_));
    EXPECT_EQ(ReadRaw(), "[Main]\r\nLanguage=1031\r\n");
    EXPECT_EQ(GetPrivateProfileInt("main", "language", 0, path_), 1031);
    EXPECT_FALSE(fs::exists(fileio::TempPathFor(path_)));
}

TEST_F(IniTest, Utf16FilesStayUtf16) {
    const std::string before = "[S]\r\nk=1\r\n";
    WriteRaw("\xFF\xFE" + text::Utf8ToUtf16LeBytes(before));
    ASSERT_TRUE(WritePrivateProfileString("S", "k", "\xE5\x8D\x95", path_));
    ASSERT_TRUE(WritePrivateProfileString("T", "n", "2", path_));
    EXPECT_EQ(ReadRaw(), "\xFF\xFE" + text::Utf8ToUtf16LeBytes("[S]\r\nk=\xE5\x8D\x95\r\n[T]\r\nn=2\r\n"));
    EXPECT_EQ(GetPrivateProfileString("S", "k", "", path_, 260), "\xE5\x8D\x95");
}

TEST_F(IniTest, RefusesNamesAndValuesThatWouldNotReadBack) {
    const std::string before = "[A]\nk=1\n";
    struct Case {
        std::string section, key, value;
    } cases[] = {{"A", "k", "1\nk=2"}, {"A", "a=b", "1"}, {"A", ";k", "1"}, {"A", "[k", "1"},
                 {"A]", "k", "1"},     {"", "k", "1"},     {"A", " ", "1"}};
    for (const Case& c : cases) {
        WriteRaw(before);
        EXPECT_FALSE(WritePrivateProfileString(c.section, c.key, c.value, path_)) << c.key;
        EXPECT_EQ(ReadRaw(), before);
    }
}

TEST_F(IniTest, FailedWriteLeavesTheOldFileIntactAndIsReported) {
    const std::string before = "[A]\nk=1\n";
    WriteRaw(before);
    // The temporary file cannot be created when a folder holds its name; this fails as root too.
    fs::create_directory(fileio::TempPathFor(path_));
    EXPECT_FALSE(WritePrivateProfileString("A", "k", "2", path_));
    EXPECT_EQ(ReadRaw(), before);
    ASSERT_EQ(log_.Lines("ini.write-failed").size(), 1u);
    EXPECT_NE(log_.Lines("ini.write-failed")[0].find(path_.string()), std::string::npos);
}

TEST_F(IniTest, FailedRenameRemovesTheTemporaryFile) {
    // A folder in place of the file: the rename over it fails and nothing is left behind.
    const fs::path target = dir_ / "folder.ini";
    fs::create_directory(target);
    fs::create_directory(target / "inside");
    EXPECT_FALSE(WritePrivateProfileString("A", "k", "2", target));
    EXPECT_TRUE(fs::is_directory(target / "inside"));
    EXPECT_FALSE(fs::exists(fileio::TempPathFor(target)));

    EXPECT_FALSE(WritePrivateProfileString("A", "k", "2", dir_ / "missing" / "x.ini"));
    EXPECT_FALSE(fs::exists(dir_ / "missing"));
    EXPECT_EQ(log_.Lines("ini.write-failed").size(), 2u);
}

TEST_F(IniTest, BatchWriteEqualsOneWritePerKey) {
    const std::string before = "[A]\nk=1\n[Other]\nz=0\n";
    const std::vector<std::pair<std::string, std::string>> values = {{"k", "2"}, {"n", "3"}, {"K", "4"}};
    WriteRaw(before);
    for (const auto& [key, value] : values) ASSERT_TRUE(WritePrivateProfileString("A", key, value, path_));
    const std::string one_by_one = ReadRaw();
    WriteRaw(before);
    ASSERT_TRUE(WritePrivateProfileStrings("A", values, path_));
    EXPECT_EQ(ReadRaw(), one_by_one);
    EXPECT_EQ(one_by_one, "[A]\nK=4\nn=3\n[Other]\nz=0\n");
}

}  // namespace
}  // namespace mivo
