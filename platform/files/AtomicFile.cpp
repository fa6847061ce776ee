#include "platform/files/AtomicFile.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <new>
#include <stdexcept>
#include <fcntl.h>
#include <sys/stat.h>
#include <filesystem>
#include <unistd.h>

namespace qv::files {
namespace {
std::function<bool(const std::string&)>& Fault() {
  static std::function<bool(const std::string&)> fault;
  return fault;
}

std::string Describe(const std::string& path, const std::string& what) {
  return "Unable to write file " + path + ": " + what;
}

// The file a path leads to after following symbolic links (the path itself when it is no
// link, or when nothing is there yet). False when the links go round or too deep.
bool FollowLinks(const std::string& path, std::string& target) {
  namespace fs = std::filesystem;
  fs::path p(path);
  for (int depth = 0; depth < 40; ++depth) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(p, ec))) {
      target = p.string();
      return true;
    }
    fs::path next = fs::read_symlink(p, ec);
    if (ec) return false;
    p = next.is_absolute() ? next : p.parent_path() / next;
  }
  return false;
}
// The process's umask (read by setting it and putting it back at once).
mode_t CurrentUmask() {
  const mode_t mask = ::umask(077);
  ::umask(mask);
  return mask;
}
}  // namespace

void IgnoreFileSizeSignal() { ::signal(SIGXFSZ, SIG_IGN); }

void SetWriteFaultForTesting(std::function<bool(const std::string& path)> fault) { Fault() = std::move(fault); }

bool WriteFileAtomic(const std::string& path, const std::string& content, std::string* error) {
  namespace fs = std::filesystem;
  std::string real;
  if (!FollowLinks(path, real)) {
    if (error) *error = Describe(path, "its symbolic links lead nowhere (too many levels)");
    return false;
  }
  // The file being replaced: refused when read-only; its permissions and owner are kept.
  struct stat old {};
  const bool replacing = ::stat(real.c_str(), &old) == 0;
  if (replacing && S_ISREG(old.st_mode) && ((old.st_mode & 0222) == 0 || ::access(real.c_str(), W_OK) != 0)) {
    if (error) *error = Describe(path, "the file is read-only");
    return false;
  }
  fs::path target(real);
  fs::path dir = target.parent_path();
  if (dir.empty()) dir = ".";
  std::string tmpl = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
  int fd = ::mkstemp(tmpl.data());
  if (fd < 0) {
    if (error) *error = Describe(path, std::strerror(errno));
    return false;
  }
  auto fail = [&](const std::string& why) {
    ::close(fd);
    ::unlink(tmpl.c_str());
    if (error) *error = Describe(path, why);
    return false;
  };
  // Write the first half, give the test hook its chance to interrupt, then the rest.
  size_t half = content.size() / 2;
  size_t done = 0;
  auto writeSome = [&](size_t upTo) {
    while (done < upTo) {
      ssize_t n = ::write(fd, content.data() + done, upTo - done);
      if (n < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      done += static_cast<size_t>(n);
    }
    return true;
  };
  if (!writeSome(half)) return fail(std::strerror(errno));
  if (Fault() && Fault()(path)) return fail("the write was interrupted");
  if (!writeSome(content.size())) return fail(std::strerror(errno));
  if (::fsync(fd) != 0) return fail(std::strerror(errno));
  // Keep the permissions of the file being replaced; a new file gets what open() would
  // have given it (0666 less the umask: a user's umask 077 keeps the file private).
  ::fchmod(fd, replacing ? old.st_mode & 07777 : 0666 & ~CurrentUmask());
  if (replacing && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
    // Best effort: only a privileged user can give the file back to another owner.
    [[maybe_unused]] int ignored = ::fchown(fd, old.st_uid, old.st_gid);
  }
  if (::close(fd) != 0) {
    ::unlink(tmpl.c_str());
    if (error) *error = Describe(path, std::strerror(errno));
    return false;
  }
  if (std::rename(tmpl.c_str(), real.c_str()) != 0) {
    int e = errno;
    ::unlink(tmpl.c_str());
    if (error) *error = Describe(path, std::strerror(e));
    return false;
  }
  // Make the rename itself durable (best effort: some file systems refuse a folder fsync).
  int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return true;
}

bool ReadWholeFile(const std::string& path, std::string& content, std::uint64_t limit, std::string* error) {
  std::string why;
  const ReadResult r = ReadFileIfAny(path, content, limit, &why);
  if (r == ReadResult::Read) return true;
  if (error) *error = ReadFailureText(path, r, why);
  return false;
}

std::string ReadFailureText(const std::string& path, ReadResult result, const std::string& why) {
  if (result != ReadResult::Missing && !why.empty()) return "Unable to open file " + path + ": " + why + ".";
  return "Unable to open file " + path + ".";
}

std::string SizeText(std::uint64_t bytes) {
  if (bytes >= (1u << 20) && bytes % (1u << 20) == 0) return std::to_string(bytes >> 20) + " MB";
  if (bytes >= 1024 && bytes % 1024 == 0) return std::to_string(bytes >> 10) + " KB";
  return std::to_string(bytes) + " bytes";
}

namespace {

std::string TooLargeText(std::uint64_t limit) {
  return "it is larger than " + SizeText(limit) + ", the most that is read from such a file";
}

// Opens a file for reading after looking at it: Read with the open descriptor and its size
// when it is a regular file within the limit, else why not.
ReadResult OpenChecked(const std::string& path, std::uint64_t limit, int& fd, std::uint64_t& size,
                       std::string* why) {
  auto refuse = [&](const std::string& reason) {
    if (why) *why = reason;
    return ReadResult::Unreadable;
  };
  // Opened without waiting (a pipe with no writer would block the open), then looked at
  // through the open descriptor, so that what is checked is what is read.
  fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int e = errno;
    if (e == ENOENT || e == ENOTDIR) return ReadResult::Missing;
    return refuse(std::strerror(e));
  }
  struct stat st {};
  ReadResult result = ReadResult::Read;
  if (::fstat(fd, &st) != 0) result = refuse(std::strerror(errno));
  else if (S_ISDIR(st.st_mode)) result = refuse("it is a folder, not a file");
  else if (!S_ISREG(st.st_mode)) result = refuse("it is not a regular file (a device or a pipe)");
  else if (static_cast<std::uint64_t>(st.st_size) > limit) {
    if (why) *why = TooLargeText(limit);
    result = ReadResult::TooLarge;
  }
  if (result != ReadResult::Read) {
    ::close(fd);
    fd = -1;
    return result;
  }
  size = static_cast<std::uint64_t>(st.st_size);
  return ReadResult::Read;
}

}  // namespace

FileStream::~FileStream() { ::close(fd_); }

FileStream::int_type FileStream::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  if (tooLarge_ || failed_) return traits_type::eof();
  ssize_t n;
  do {
    n = ::read(fd_, buffer_, sizeof buffer_);
  } while (n < 0 && errno == EINTR);
  if (n < 0) failed_ = true;
  if (n <= 0) return traits_type::eof();
  given_ += static_cast<std::uint64_t>(n);
  if (given_ > limit_) {
    tooLarge_ = true;
    return traits_type::eof();
  }
  setg(buffer_, buffer_, buffer_ + n);
  return traits_type::to_int_type(*gptr());
}

ReadResult OpenFileIfAny(const std::string& path, std::uint64_t limit, std::unique_ptr<FileStream>& stream,
                         std::string* why) {
  int fd = -1;
  std::uint64_t size = 0;
  const ReadResult r = OpenChecked(path, limit, fd, size, why);
  if (r == ReadResult::Read) stream = std::make_unique<FileStream>(fd, limit);
  return r;
}

ReadResult ReadFileIfAny(const std::string& path, std::string& content, std::uint64_t limit, std::string* why) {
  auto refuse = [&](const std::string& reason) {
    if (why) *why = reason;
    return ReadResult::Unreadable;
  };
  auto tooLarge = [&] {
    if (why) *why = TooLargeText(limit);
    return ReadResult::TooLarge;
  };
  int fd = -1;
  std::uint64_t size = 0;
  const ReadResult opened = OpenChecked(path, limit, fd, size, why);
  if (opened != ReadResult::Read) return opened;
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  std::string data;
  try {
    data.resize(static_cast<size_t>(size));
    size_t done = 0;
    while (done < data.size()) {
      const ssize_t n = ::read(fd, data.data() + done, data.size() - done);
      if (n < 0) {
        if (errno == EINTR) continue;
        return refuse(std::strerror(errno));
      }
      if (n == 0) break;  // the file got shorter while it was read
      done += static_cast<size_t>(n);
    }
    data.resize(done);
    // What follows the size the file had (one that grows while it is read, or a file of
    // the system that tells no size) is read in pieces, up to the limit.
    char piece[65536];
    for (;;) {
      const ssize_t n = ::read(fd, piece, sizeof piece);
      if (n < 0) {
        if (errno == EINTR) continue;
        return refuse(std::strerror(errno));
      }
      if (n == 0) break;
      if (data.size() + static_cast<size_t>(n) > limit) return tooLarge();
      data.append(piece, static_cast<size_t>(n));
    }
  } catch (const std::bad_alloc&) {
    return refuse("there is not enough memory to read it");
  } catch (const std::length_error&) {
    return refuse("there is not enough memory to read it");
  }
  content = std::move(data);
  return ReadResult::Read;
}

}  // namespace qv::files
