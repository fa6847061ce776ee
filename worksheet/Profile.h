#pragma once
// Profile (INI) files: "[Section]" lines followed by "key=value" lines. Section and key
// names compare without regard to case, as the system's profile functions did. The
// recent-files list lives in such a file ("QVX.INI", section "Last File List").
// Standard C++ only; writes go through a temporary file and a rename.
#include <string>
#include <utility>
#include <vector>

namespace qv {

// The value of `key` in `section` of `file`, or `defaultText` when the file, the section or
// the key is missing. Blanks around the value and one pair of enclosing quotes are removed.
// At most size - 1 characters are returned (size 0 or less gives an empty text).
std::string ReadProfileString(const std::string& section, const std::string& key, const std::string& defaultText,
                              int size, const std::string& file);
// The same without a size limit: the whole value (recent-file paths of any length).
std::string ReadProfileString(const std::string& section, const std::string& key, const std::string& defaultText,
                              const std::string& file);

// Sets the keys of `section` to the values given (an empty value is written as "key="),
// keeping every other line of the file; creates the file and the section when missing. A
// value with blanks at either end or a quote at its start or end is written in double
// quotes, so that it reads back whole.
// Returns false with a message naming the file when it cannot be written.
bool WriteProfileStrings(const std::string& section, const std::vector<std::pair<std::string, std::string>>& values,
                         const std::string& file, std::string* error = nullptr);

}  // namespace qv
