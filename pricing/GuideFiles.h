#pragma once
// Reading the shipped guide files from the program folder: where a price-guide or residual
// file lies (case-blind, class letter in front), the messages that name a missing or
// damaged file, a text file read line by line from any byte position, and the offset
// index (".ndx") that every price-guide file pair uses to find a vehicle's block.
//
// Nothing here reads outside a file: positions and record numbers are checked against the
// file's length first, and every failure is reported, not thrown.
#include <cstdint>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv::pricing {

// The path of a price-guide file in the program folder: folder & class letter & name
// ("C" + "MANUF.TXT"), found without regard to case. A missing file gives the path as it
// would be, so the message can name it.
std::string GuideFilePath(const std::string& appFolder, const std::string& classLetter, const std::string& name);

// The one message a window shows for a data file it cannot open.
// The largest guide text or index file read: a line is read whole, so a file far larger than
// any guide (a real one is some MB) is refused before anything of it is read.
inline constexpr int64_t kMaxGuideFileBytes = int64_t(256) << 20;

// "The data file "PATH" is missing or cannot be read." (for a file larger than
// kMaxGuideFileBytes: that it is larger, and the limit).
std::string MissingFileMessage(const std::string& path);
// The one message for a data file whose content cannot be right (an index entry that
// points outside its text file, a record number past the end); `why` says what is wrong.
std::string DamagedFileMessage(const std::string& path, const std::string& why);
// The message for a list file (the vehicle list, a residual maker list) that holds nothing.
std::string EmptyFileMessage(const std::string& path);

// Guide and residual files are Windows-1252 text. What a window shows of them is this UTF-8
// text of their bytes; what goes back to a file or onto a page keeps the bytes.
std::string GuideText(std::string_view bytes);

// A text file read one line at a time from a 1-based byte position. Lines end in CR LF (a
// bare LF is taken too); the line end is not part of the line.
class GuideTextFile {
 public:
  bool Open(const std::string& path);
  bool IsOpen() const { return in_.is_open(); }
  const std::string& Path() const { return path_; }
  int64_t Size() const { return size_; }
  // Moves to byte `pos` (1 is the first byte). False, and nothing moves, when the position
  // lies outside 1..Size().
  bool SeekTo(int64_t pos);
  // The next line; false at the end of the file.
  bool ReadLine(std::string& line);

 private:
  std::ifstream in_;
  std::string path_;
  int64_t size_ = 0;
};

// An offset index: headerless signed 32-bit little-endian records; record k holds the
// 1-based byte position of block k in the companion text file, 0 when there is no block k.
class OffsetIndex {
 public:
  bool Open(const std::string& path);
  bool IsOpen() const { return in_.is_open(); }
  const std::string& Path() const { return path_; }
  // Whole records in the file (a partial record at the end does not count).
  int64_t RecordCount() const { return size_ / 4; }
  // Record k; nullopt when k is not between 1 and RecordCount().
  std::optional<int32_t> Record(int64_t k);

 private:
  std::ifstream in_;
  std::string path_;
  int64_t size_ = 0;
};

// Record k decoded from the bytes of an index held in memory (what the fuzzer drives).
std::optional<int32_t> IndexRecord(const std::string& bytes, int64_t k);

// Where block k of a text file starts, by its index.
struct BlockStart {
  enum class Status {
    Found,    // pos is a byte position inside the text file
    None,     // the index says there is no block k (record 0)
    Damaged,  // record k is missing or points outside the text file; message says so
  };
  Status status = Status::None;
  int64_t pos = 0;
  std::string message;
};
BlockStart LocateBlock(OffsetIndex& index, GuideTextFile& text, int64_t k);

// Reads block k: the line at the block's start, taken without testing its key, then the
// following lines, up to the end of the file, while `keyOf` of the line equals `key`.
// The first line with another key ends the block and is not returned; `endedByOtherKey`
// tells whether there was such a line (false when the file ended the block).
std::vector<std::string> ReadBlockAt(GuideTextFile& text, int64_t pos, double key,
                                     const std::function<double(const std::string&)>& keyOf,
                                     bool* endedByOtherKey = nullptr);

// The same over a text held in memory (the fuzzer's entry): the block that starts at the
// 1-based byte position `pos` of `content`; no line when pos lies outside the content.
std::vector<std::string> ReadBlockFrom(const std::string& content, int64_t pos, double key,
                                       const std::function<double(const std::string&)>& keyOf);

}  // namespace qv::pricing
