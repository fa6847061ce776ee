#pragma once
// A hidden file list: the names of the files of one folder that match a pattern such as
// "*.rtf", sorted by name without regard to case. Patterns match without regard to case
// ("*.rtf" lists "Compare.RTF"), as file names of the program folder always do.
// Standard C++ only.
#include <string>
#include <vector>

namespace qv {

class FileList {
 public:
  std::string Path;     // the folder
  std::string Pattern;  // "*" and "?" wildcards; several patterns joined by ";"

  // Reads the folder again.
  void Refresh();
  int ListCount() const { return static_cast<int>(entries_.size()); }
  // File name (no folder) of entry i, 0-based.
  const std::string& List(int i) const { return entries_.at(static_cast<size_t>(i)); }

  static bool Matches(const std::string& name, const std::string& pattern);

 private:
  std::vector<std::string> entries_;
};

}  // namespace qv
