#pragma once
// A fresh, empty folder for a test, used as the program folder or for files a reader takes
// by path, and removed again at the end of the test.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace qv::testing_support {

class TempFolder {
 public:
  explicit TempFolder(const std::string& prefix = "qv-test") {
    std::string tmpl = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (char* p = mkdtemp(tmpl.data())) path_ = p;
  }
  ~TempFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder without and with a trailing "/" (as AppFolder holds it).
  const std::string& Path() const { return path_; }
  std::string Folder() const { return path_ + "/"; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

  void Write(const std::string& name, const std::string& content) const {
    std::ofstream out(File(name), std::ios::binary);
    out << content;
  }
  void Remove(const std::string& name) const { std::filesystem::remove(File(name)); }

 private:
  std::string path_;
};

}  // namespace qv::testing_support
