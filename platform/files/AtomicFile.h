#pragma once
// Every file the program writes goes through here: the new content is written to a
// temporary file in the same folder, flushed, and renamed over the old file. A failed or
// interrupted write therefore never destroys the previous file.
#include <functional>
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

// Reads a whole file. Returns false when it cannot be opened.
bool ReadWholeFile(const std::string& path, std::string& content);

// How reading a file went: read whole, no file of that name, or a file (or folder) that is
// there but cannot be read. A caller that rewrites a file it read tells the last two
// apart: a file that is missing may be created, one that cannot be read must be left alone.
enum class ReadResult { Read, Missing, Unreadable };
ReadResult ReadFileIfAny(const std::string& path, std::string& content);

// Tests can make the next writes fail part-way (after the temporary file was started),
// to check that the previous file survives. The hook returns true to fail a write.
void SetWriteFaultForTesting(std::function<bool(const std::string& path)> fault);

}  // namespace qv::files
