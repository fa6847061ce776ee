// Safe file writing and case-blind lookup in the program folder.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/files/AtomicFile.h"
#include "platform/files/FolderLookup.h"
#include "tests/support/Sanitizers.h"

namespace fs = std::filesystem;
namespace files = qv::files;

namespace {
class Folder : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "qv-files-XXXXXX").string();
    dir_ = ::mkdtemp(tmpl.data());
  }
  void TearDown() override {
    files::SetWriteFaultForTesting(nullptr);
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string At(const std::string& name) const { return (fs::path(dir_) / name).string(); }
  std::vector<std::string> Names() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir_)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }
  std::string Content(const std::string& path) const {
    std::string s;
    EXPECT_TRUE(files::ReadWholeFile(path, s)) << path;
    return s;
  }
  std::string dir_;
};
}  // namespace

TEST_F(Folder, AtomicWriteReplacesTheFileWhole) {
  std::string path = At("Quorvant.Cfg");
  std::string error;
  ASSERT_TRUE(files::WriteFileAtomic(path, "first\r\n", &error)) << error;
  EXPECT_EQ(Content(path), "first\r\n");
  ::chmod(path.c_str(), 0640);
  std::string big(100000, 'x');
  big += std::string("\0tail", 5);  // binary content survives as it is
  ASSERT_TRUE(files::WriteFileAtomic(path, big, &error)) << error;
  EXPECT_EQ(Content(path), big);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);  // the permissions of the replaced file are kept
  ASSERT_TRUE(files::WriteFileAtomic(path, "", &error)) << error;
  EXPECT_EQ(Content(path), "");
  EXPECT_EQ(Names(), std::vector<std::string>{"Quorvant.Cfg"});
}

TEST_F(Folder, FailedWritesLeaveThePreviousFileAndNoTemporaryFile) {
  std::string path = At("Taxset.txt");
  ASSERT_TRUE(files::WriteFileAtomic(path, "old content"));
  int faults = 0;
  files::SetWriteFaultForTesting([&](const std::string& p) {
    ++faults;
    return p == path;
  });
  std::string error;
  EXPECT_FALSE(files::WriteFileAtomic(path, "new content that never lands", &error));
  EXPECT_EQ(faults, 1);
  EXPECT_NE(error.find(path), std::string::npos) << error;
  EXPECT_EQ(Content(path), "old content");
  EXPECT_EQ(Names(), std::vector<std::string>{"Taxset.txt"});
  // The hook fails only the file it names.
  EXPECT_TRUE(files::WriteFileAtomic(At("other.txt"), "x", &error)) << error;
  files::SetWriteFaultForTesting(nullptr);

  // A folder that does not exist, and a folder standing where the file should be.
  std::string missing = At("nowhere/file.txt");
  EXPECT_FALSE(files::WriteFileAtomic(missing, "x", &error));
  EXPECT_NE(error.find(missing), std::string::npos) << error;
  fs::create_directory(At("adir"));
  EXPECT_FALSE(files::WriteFileAtomic(At("adir"), "x", &error));
  EXPECT_EQ(Names(), (std::vector<std::string>{"Taxset.txt", "adir", "other.txt"}));
}

TEST_F(Folder, AWriteOverTheFileSizeLimitFailsAndLeavesTheOldFile) {
  const std::string path = At("deal.QVX");
  ASSERT_TRUE(files::WriteFileAtomic(path, "old worksheet"));
  files::IgnoreFileSizeSignal();
  struct rlimit before {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
  struct rlimit small = before;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string error;
  const bool written = files::WriteFileAtomic(path, std::string(100000, 'x'), &error);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &before), 0);
  EXPECT_FALSE(written);
  EXPECT_NE(error.find(path), std::string::npos) << error;
  EXPECT_NE(error.find("too large"), std::string::npos) << error;  // EFBIG
  EXPECT_EQ(Content(path), "old worksheet");
  EXPECT_EQ(Names(), std::vector<std::string>{"deal.QVX"});  // no temporary left
}

TEST_F(Folder, ANewFileTakesTheUmaskAndAReplacedOneKeepsItsMode) {
  struct Case {
    mode_t umask, expected;
  };
  for (const Case c : {Case{077, 0600}, Case{022, 0644}, Case{002, 0664}, Case{0, 0666}}) {
    SCOPED_TRACE(c.umask);
    const std::string path = At("Customer.vts");
    fs::remove(path);
    const mode_t saved = ::umask(c.umask);
    ASSERT_TRUE(files::WriteFileAtomic(path, "new"));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, c.expected);
    // Replaced, whatever the umask, the file keeps the mode it had.
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(files::WriteFileAtomic(path, "replaced"));
    ::umask(saved);
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
  }
}

TEST_F(Folder, AReadOnlyFileIsRefusedWithItsNameAndKept) {
  for (mode_t mode : {0444, 0400, 0000}) {
    SCOPED_TRACE(mode);
    std::string path = At("deal.QVX");
    ASSERT_TRUE(files::WriteFileAtomic(path, "saved before"));
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    std::string error;
    EXPECT_FALSE(files::WriteFileAtomic(path, "replacement", &error));
    EXPECT_EQ(error, "Unable to write file " + path + ": the file is read-only");
    ::chmod(path.c_str(), 0644);
    EXPECT_EQ(Content(path), "saved before");
    EXPECT_EQ(Names(), std::vector<std::string>{"deal.QVX"});
    fs::remove(path);
  }
}

TEST_F(Folder, ALinkIsFollowedAndTheFileItLeadsToIsReplaced) {
  fs::create_directory(At("deals"));
  const std::string real = At("deals/real.QVX");
  ASSERT_TRUE(files::WriteFileAtomic(real, "old"));
  ::chmod(real.c_str(), 0600);
  fs::create_symlink("deals/real.QVX", At("link.QVX"));  // relative to the link's folder
  fs::create_symlink(At("link.QVX"), At("link2.QVX"));    // a link to the link
  std::string error;
  ASSERT_TRUE(files::WriteFileAtomic(At("link2.QVX"), "new", &error)) << error;
  EXPECT_TRUE(fs::is_symlink(At("link.QVX")));
  EXPECT_TRUE(fs::is_symlink(At("link2.QVX")));
  EXPECT_EQ(Content(real), "new");
  struct stat st {};
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(Names(), (std::vector<std::string>{"deals", "link.QVX", "link2.QVX"}));
  // A link to a file not there yet makes the file.
  fs::create_symlink("deals/later.QVX", At("later.QVX"));
  ASSERT_TRUE(files::WriteFileAtomic(At("later.QVX"), "made", &error)) << error;
  EXPECT_TRUE(fs::is_symlink(At("later.QVX")));
  EXPECT_EQ(Content(At("deals/later.QVX")), "made");
  // A link that leads to a read-only file is refused like the file.
  ::chmod(real.c_str(), 0444);
  EXPECT_FALSE(files::WriteFileAtomic(At("link.QVX"), "again", &error));
  EXPECT_NE(error.find(At("link.QVX")), std::string::npos) << error;
  ::chmod(real.c_str(), 0600);
  EXPECT_EQ(Content(real), "new");
  // Links that go round are refused with the name.
  fs::create_symlink("round2", At("round1"));
  fs::create_symlink("round1", At("round2"));
  EXPECT_FALSE(files::WriteFileAtomic(At("round1"), "x", &error));
  EXPECT_NE(error.find(At("round1")), std::string::npos) << error;
}

TEST_F(Folder, ReadingAMissingFileOrAFolderFails) {
  std::string s = "kept";
  EXPECT_FALSE(files::ReadWholeFile(At("none.txt"), s));
  EXPECT_FALSE(files::ReadWholeFile(dir_, s));
  EXPECT_EQ(s, "kept");
  // A missing file is told from one that is there but cannot be read.
  EXPECT_EQ(files::ReadFileIfAny(At("none.txt"), s), files::ReadResult::Missing);
  EXPECT_EQ(files::ReadFileIfAny(At("none/inner.txt"), s), files::ReadResult::Missing);
  EXPECT_EQ(files::ReadFileIfAny(dir_, s), files::ReadResult::Unreadable);
  std::ofstream(At("plain.txt")) << "text";
  EXPECT_EQ(files::ReadFileIfAny(At("plain.txt") + "/inner", s), files::ReadResult::Missing);
  EXPECT_EQ(s, "kept");
  EXPECT_EQ(files::ReadFileIfAny(At("plain.txt"), s), files::ReadResult::Read);
  EXPECT_EQ(s, "text");
}

TEST_F(Folder, OnlyARegularFileWithinTheLimitIsRead) {
  ::mkfifo(At("pipe").c_str(), 0600);
  std::ofstream(At("small.txt")) << "0123456789";
  // A sparse file: its size is checked before anything is read.
  std::ofstream(At("sparse.bin")).put(0);
  fs::resize_file(At("sparse.bin"), (64u << 20) + 1);
  struct Case {
    std::string path;
    std::uint64_t limit;
    const char* why;  // empty: read
  } cases[] = {
      {"/dev/zero", 1 << 20, "it is not a regular file (a device or a pipe)"},
      {At("pipe"), 1 << 20, "it is not a regular file (a device or a pipe)"},
      {dir_, 1 << 20, "it is a folder, not a file"},
      {At("small.txt"), 9, "it is larger than 9 bytes, the most that is read from such a file"},
      {At("small.txt"), 10, ""},
      {At("sparse.bin"), 64 << 20, "it is larger than 64 MB, the most that is read from such a file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::string s = "kept", error;
    const bool ok = files::ReadWholeFile(c.path, s, c.limit, &error);
    if (*c.why == 0) {
      EXPECT_TRUE(ok);
      EXPECT_EQ(s, "0123456789");
    } else {
      EXPECT_FALSE(ok);
      EXPECT_EQ(error, "Unable to open file " + c.path + ": " + c.why + ".");
      EXPECT_EQ(s, "kept");
    }
  }
}

// An allocation that fails while a file is read is a refusal with the reason, not the end
// of the program (the child process runs with little address space).
TEST_F(Folder, RunningOutOfMemoryWhileReadingIsARefusal) {
  if (qv::test::kAddressSanitizer) GTEST_SKIP() << "AddressSanitizer ends a process that runs out of memory";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string big = At("big.bin");
  std::ofstream(big).put(0);
  fs::resize_file(big, std::uint64_t(1) << 30);  // sparse: takes no room on the disk
  auto readWithLittleMemory = [&] {
    struct rlimit small {};
    ::getrlimit(RLIMIT_AS, &small);
    small.rlim_cur = 512u << 20;
    ::setrlimit(RLIMIT_AS, &small);
    std::string s = "kept";
    std::string error;
    const bool read = files::ReadWholeFile(big, s, std::uint64_t(2) << 30, &error);
    const bool said = error == "Unable to open file " + big + ": there is not enough memory to read it.";
    std::_Exit(!read && said && s == "kept" ? 0 : 1);
  };
  EXPECT_EXIT(readWithLittleMemory(), ::testing::ExitedWithCode(0), "");
}

TEST_F(Folder, CaseBlindLookup) {
  std::ofstream(At("Compare.RTF")) << "x";
  std::ofstream(At("MANUF.TXT")) << "x";
  fs::create_directory(At("Sub"));
  std::ofstream(At("Sub/qvwhlp.hlp")) << "x";
  struct Case {
    std::string asked, found;
  } cases[] = {
      {At("compare.rtf"), At("Compare.RTF")},
      {At("Compare.RTF"), At("Compare.RTF")},
      {At("Manuf.txt"), At("MANUF.TXT")},
      {dir_ + "\\Sub\\QVWHLP.HLP", At("Sub/qvwhlp.hlp")},  // backslashes accepted
      {At("Missing.txt"), At("Missing.txt")},                // no match: the path as given
  };
  for (const auto& c : cases) EXPECT_EQ(files::ResolveNoCase(c.asked), c.found) << c.asked;
  EXPECT_TRUE(files::FileExistsNoCase(At("COMPARE.rtf")));
  EXPECT_FALSE(files::FileExistsNoCase(At("Compare.rtf.bak")));
  EXPECT_EQ(files::NormalizeSeparators("a\\b/c\\d"), "a/b/c/d");
}
