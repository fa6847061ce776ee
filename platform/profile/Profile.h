#pragma once
// Profile (INI) files: "[Section]" lines followed by "key=value" lines. Section and key
// names compare without regard to case, as the system's profile functions did. The
// recent-files list lives in such a file ("QVX.INI", section "Last File List").
// Standard C++ only; writes go through a temporary file and a rename.
#include <string>
#include <utility>
#include <vector>

namespace qv {

using ProfileValues = std::vector<std::pair<std::string, std::string>>;

// ---- the file text --------------------------------------------------------------------

// The value of `key` in `section` of a profile text, or `defaultText` when the section or
// the key is missing. Blanks around the value and one pair of enclosing quotes are removed.
std::string ProfileValue(const std::string& text, const std::string& section, const std::string& key,
                         const std::string& defaultText);

// True when a section name, key or value can stand in a profile line: it holds no line
// break (CR or LF) and no NUL, which would end the line early or start another key or
// section.
bool FitsProfileLine(const std::string& value);

// The profile text with the keys of `section` set to the values given (an empty value is
// written as "key="), keeping every other line; the section is added when missing. A value
// with blanks at either end or a quote at its start or end is written in double quotes, so
// that it reads back whole. Lines end with CR LF. The names and values must fit a line
// (FitsProfileLine).
std::string ProfileWithValues(const std::string& text, const std::string& section, const ProfileValues& values);

// ---- the file ---------------------------------------------------------------------------

// The value of `key` in `section` of `file`, or `defaultText` when the file, the section or
// the key is missing. At most size - 1 characters are returned (size 0 or less gives an
// empty text).
std::string ReadProfileString(const std::string& section, const std::string& key, const std::string& defaultText,
                              int size, const std::string& file);
// The same without a size limit: the whole value (recent-file paths of any length).
std::string ReadProfileString(const std::string& section, const std::string& key, const std::string& defaultText,
                              const std::string& file);

// Sets the keys of `section` of `file` (ProfileWithValues), creating the file when it is
// missing. Returns false with a message naming the file, and leaves the file as it was,
// when it cannot be written, when it is there but cannot be read (rewriting it would lose
// its other sections), or when a name or value holds a line break.
bool WriteProfileStrings(const std::string& section, const ProfileValues& values, const std::string& file,
                         std::string* error = nullptr);

}  // namespace qv
