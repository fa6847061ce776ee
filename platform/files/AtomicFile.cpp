#include "platform/files/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <filesystem>
#include <fstream>
#include <sstream>
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
}  // namespace

void SetWriteFaultForTesting(std::function<bool(const std::string& path)> fault) { Fault() = std::move(fault); }

bool WriteFileAtomic(const std::string& path, const std::string& content, std::string* error) {
  namespace fs = std::filesystem;
  fs::path target(path);
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
  // Keep the permissions of the file being replaced; a new file gets the usual 0644.
  struct stat st {};
  mode_t mode = 0644;
  if (::stat(path.c_str(), &st) == 0) mode = st.st_mode & 07777;
  ::fchmod(fd, mode);
  if (::close(fd) != 0) {
    ::unlink(tmpl.c_str());
    if (error) *error = Describe(path, std::strerror(errno));
    return false;
  }
  if (std::rename(tmpl.c_str(), path.c_str()) != 0) {
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

bool ReadWholeFile(const std::string& path, std::string& content) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return false;  // a folder opens, but is no file
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  content = ss.str();
  return !in.bad();
}

}  // namespace qv::files
