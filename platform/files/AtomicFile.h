#pragma once
// Every file the program writes goes through here: the new content is written to a
// temporary file in the same folder, flushed, and renamed over the old file. A failed or
// interrupted write therefore never destroys the previous file.
#include <functional>
#include <string>

namespace qv::files {

// Writes `content` to `path`. Returns false and fills `error` (a message naming the file)
// when the file could not be written; the old file, if any, is then untouched.
bool WriteFileAtomic(const std::string& path, const std::string& content, std::string* error = nullptr);

// Reads a whole file. Returns false when it cannot be opened.
bool ReadWholeFile(const std::string& path, std::string& content);

// Tests can make the next writes fail part-way (after the temporary file was started),
// to check that the previous file survives. The hook returns true to fail a write.
void SetWriteFaultForTesting(std::function<bool(const std::string& path)> fault);

}  // namespace qv::files
