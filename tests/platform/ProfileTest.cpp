// Profile (INI) files: reading a value, setting the keys of a section while keeping every
// other line, and what a write refuses to do.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/files/AtomicFile.h"
#include "platform/profile/Profile.h"

namespace fs = std::filesystem;

namespace qv {
namespace {

class ProfileFile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "qv-profile-XXXXXX").string();
    dir_ = ::mkdtemp(tmpl.data());
    ini_ = dir_ + "/QVX.INI";
  }
  void TearDown() override {
    files::SetWriteFaultForTesting(nullptr);
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  void Write(const std::string& text) { std::ofstream(ini_, std::ios::binary) << text; }
  std::string Read() const {
    std::string s;
    files::ReadWholeFile(ini_, s, std::uint64_t(1) << 30);
    return s;
  }
  std::string dir_, ini_;
};

TEST(ProfileText, ValuesAreFoundWithoutRegardToCaseAndUnquoted) {
  const std::string text =
      "[Other]\r\n0=elsewhere\r\n[last FILE list]\n 0 = /deals/a.QVX \n1=\" spaced \"\r2='q'\r\n3=\"\r\n"
      "4=a=b\r\n[Next]\r\n0=after";
  struct Case {
    const char* section;
    const char* key;
    const char* value;
  } cases[] = {
      {"Last File List", "0", "/deals/a.QVX"}, {"LAST FILE LIST", "1", " spaced "}, {"Last File List", "2", "q"},
      {"Last File List", "3", "\""},           {"Last File List", "4", "a=b"},      {"Other", "0", "elsewhere"},
      {"Next", "0", "after"},                  {"Last File List", "5", "(none)"},   {"Missing", "0", "(none)"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ProfileValue(text, c.section, c.key, "(none)"), c.value) << c.section << " " << c.key;
}

TEST(ProfileText, SettingKeysKeepsEveryOtherLine) {
  struct Case {
    const char* name;
    std::string before;
    std::string after;
  } cases[] = {
      {"no file yet", "", "[Last File List]\r\n0=/a b/c.QVX\r\n1=\r\n"},
      {"other sections stay", "[Other]\r\n0=keep\r\n[last file list]\r\n0=old\r\n2=two\r\n\r\n[Tail]\r\nx=y\r\n",
       "[Other]\r\n0=keep\r\n[last file list]\r\n0=/a b/c.QVX\r\n2=two\r\n1=\r\n\r\n[Tail]\r\nx=y\r\n"},
      {"section added at the end", "[Other]\r\n0=keep", "[Other]\r\n0=keep\r\n\r\n[Last File List]\r\n0=/a b/c.QVX\r\n1=\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ProfileWithValues(c.before, "Last File List", {{"0", "/a b/c.QVX"}, {"1", ""}}), c.after);
  }
  // Values that the reader would trim or unquote come back whole.
  for (const std::string v : {" lead", "trail ", "\"quoted\"", "'", "\"", "\t", "x=y"}) {
    const std::string text = ProfileWithValues("", "S", {{"k", v}});
    EXPECT_EQ(ProfileValue(text, "S", "k", "(none)"), v) << text;
  }
}

TEST_F(ProfileFile, ALineBreakInANameOrValueIsRefusedAndTheFileKept) {
  const std::string before = "[Other]\r\n0=keep\r\n[Last File List]\r\n0=/deals/a.QVX\r\n";
  Write(before);
  struct Case {
    const char* name;
    std::string section, key, value;
    const char* why;
  } cases[] = {
      {"CR LF in a path", "Last File List", "1", "/deals/x.QVX\r\n[Injected]\r\nkey=1", "the value of 1 holds a line break"},
      {"LF in a path", "Last File List", "1", "/deals/x\n.QVX", "the value of 1 holds a line break"},
      {"CR in a path", "Last File List", "1", "/deals/x\r.QVX", "the value of 1 holds a line break"},
      {"NUL in a path", "Last File List", "1", std::string("/deals/x\0.QVX", 13), "the value of 1 holds a line break"},
      {"key with =", "Last File List", "a=b", "v", "the key \"a=b\" cannot stand in a line"},
      {"key read as a section", "Last File List", "[x", "]", "the key \"[x\" cannot stand in a line"},
      {"section with ]", "Last]", "0", "v", "the section name \"Last]\" cannot stand in a line"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string error;
    EXPECT_FALSE(WriteProfileStrings(c.section, {{"0", "/deals/b.QVX"}, {c.key, c.value}}, ini_, &error));
    EXPECT_EQ(error, "Unable to write file " + ini_ + ": " + c.why);
    EXPECT_EQ(Read(), before);
  }
}

TEST_F(ProfileFile, AFileThatCannotBeReadIsNotRewritten) {
  // A folder in the file's place is there but cannot be read as a file.
  fs::create_directory(ini_);
  std::string error;
  EXPECT_FALSE(WriteProfileStrings("Last File List", {{"0", "/deals/a.QVX"}}, ini_, &error));
  EXPECT_EQ(error, "Unable to write file " + ini_ + ": the file cannot be read, so it is left as it is");
  EXPECT_TRUE(fs::is_directory(ini_));
  EXPECT_EQ(ReadProfileString("Last File List", "0", "dflt", ini_), "dflt");
}

TEST_F(ProfileFile, AFailedWriteIsReportedAndTheFileKept) {
  Write("[Other]\r\n0=keep\r\n");
  files::SetWriteFaultForTesting([](const std::string&) { return true; });
  std::string error;
  EXPECT_FALSE(WriteProfileStrings("Last File List", {{"0", "/deals/a.QVX"}}, ini_, &error));
  EXPECT_NE(error.find(ini_), std::string::npos) << error;
  EXPECT_EQ(Read(), "[Other]\r\n0=keep\r\n");
  files::SetWriteFaultForTesting(nullptr);
  ASSERT_TRUE(WriteProfileStrings("Last File List", {{"0", "/deals/a.QVX"}}, ini_, &error)) << error;
  EXPECT_EQ(ReadProfileString("Other", "0", "", ini_), "keep");
  EXPECT_EQ(ReadProfileString("Last File List", "0", "", 100, ini_), "/deals/a.QVX");
  EXPECT_EQ(ReadProfileString("Last File List", "0", "", 4, ini_), "/de");
  EXPECT_EQ(ReadProfileString("Last File List", "0", "x", 0, ini_), "");
}

}  // namespace
}  // namespace qv
