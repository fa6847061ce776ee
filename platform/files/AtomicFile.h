#pragma once
// Every file the program writes goes through here: the new content is written to a
// temporary file in the same folder, flushed, and renamed over the old file. A failed or
// interrupted write therefore never destroys the previous file.
#include <cstdint>
#include <functional>
#include <memory>
#include <streambuf>
#include <string>

namespace qv::files {

// Writes `content` to `path`. Returns false and fills `error` (a message naming the file)
// when the file could not be written; the old file, if any, is then untouched.
//
// A file that is read-only (no write permission for anyone, or none for this user) is
// refused, as editors refuse it, rather than replaced behind the user's back. A symbolic
// link is followed: the file it leads to is replaced (atomically, in that file's folder),
// and the link stays a link. The replaced file keeps its permissions and, where the system
// allows, its owner; a new file gets 0666 less the umask. A write that fails part-way (a
// full disk, the file-size limit) leaves no temporary file behind.
bool WriteFileAtomic(const std::string& path, const std::string& content, std::string* error = nullptr);

// Makes a write over the file-size limit (ulimit -f) fail with EFBIG like any other failed
// write, instead of ending the program by SIGXFSZ. The program calls it once at start.
void IgnoreFileSizeSignal();

// What a reader takes from one file when it names no limit of its own. Every reader that
// reads a file whole looks at it first: only a regular file is read (a folder, a device
// such as /dev/zero or a pipe is refused), and only when it is no larger than the reader's
// limit, so that no file can make the program read without end.
inline constexpr std::uint64_t kDefaultReadLimit = 1u << 20;

// How reading a file went: read whole, no file of that name, a file (or folder) that is
// there but cannot be read (no permission, not a regular file), or one larger than the
// limit. A caller that rewrites a file it read tells a missing file from the others: a file
// that is missing may be created, one that is there and was not read must be left alone.
// `why`, when given, gets the reason a file that is there was not read, in words ("it is
// not a regular file ...", "it is larger than 1 MB, ...").
enum class ReadResult { Read, Missing, Unreadable, TooLarge };
ReadResult ReadFileIfAny(const std::string& path, std::string& content, std::uint64_t limit = kDefaultReadLimit,
                         std::string* why = nullptr);

// Reads a whole file of at most `limit` bytes. Returns false when it is missing or cannot be
// read (see above); `error`, when given, then gets a sentence naming the file and the reason.
bool ReadWholeFile(const std::string& path, std::string& content, std::uint64_t limit = kDefaultReadLimit,
                   std::string* error = nullptr);

// A file read a piece at a time, for a reader that parses as it reads and so never holds
// the whole text: opened after the same looks as ReadFileIfAny (a regular file within the
// limit). It gives at most `limit` bytes; TooLarge() then tells that the file held more
// (one that grew after it was looked at).
class FileStream : public std::streambuf {
 public:
  explicit FileStream(int fd, std::uint64_t limit) : fd_(fd), limit_(limit) {}
  ~FileStream() override;
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;
  bool TooLarge() const { return tooLarge_; }
  bool Failed() const { return failed_; }

 protected:
  int_type underflow() override;

 private:
  int fd_;
  std::uint64_t limit_;
  std::uint64_t given_ = 0;
  bool tooLarge_ = false, failed_ = false;
  char buffer_[65536];
};
ReadResult OpenFileIfAny(const std::string& path, std::uint64_t limit, std::unique_ptr<FileStream>& stream,
                         std::string* why = nullptr);

// The sentence ReadWholeFile gives for a file it did not read: "Unable to open file PATH."
// or, when the file is there, "Unable to open file PATH: " and the reason.
std::string ReadFailureText(const std::string& path, ReadResult result, const std::string& why);

// A size in words for messages: "64 MB", "64 KB", "900 bytes".
std::string SizeText(std::uint64_t bytes);

// Tests can make the next writes fail part-way (after the temporary file was started),
// to check that the previous file survives. The hook returns true to fail a write.
void SetWriteFaultForTesting(std::function<bool(const std::string& path)> fault);

}  // namespace qv::files
