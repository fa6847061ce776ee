#pragma once
// File names in the program folder are looked up without regard to case ("Compare.RTF",
// "MANUF.TXT"), and paths written with "\" are accepted as well as "/".
#include <string>

namespace qv::files {

// Turns backslashes into slashes.
std::string NormalizeSeparators(const std::string& path);

// Returns the path of an existing file whose name matches `path` in its last component
// without regard to case (the folder part is taken as it is, after separator
// normalisation). When no such file exists, returns the normalised path unchanged.
std::string ResolveNoCase(const std::string& path);

// True when the file exists (after case-blind resolution).
bool FileExistsNoCase(const std::string& path);

}  // namespace qv::files
