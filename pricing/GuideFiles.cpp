// Guide files: case-blind paths, failure messages, positioned line reading and the offset
// index. Every read is bounded by the file's length, taken when the file is opened.
#include "pricing/GuideFiles.h"

#include <cstring>
#include <filesystem>

#include "platform/files/FolderLookup.h"

namespace qv::pricing {

std::string GuideFilePath(const std::string& appFolder, const std::string& classLetter, const std::string& name) {
  return files::ResolveNoCase(appFolder + classLetter + name);
}

std::string GuideText(std::string_view bytes) {
  // The characters of 0x80-0x9F; the five bytes Windows-1252 leaves unassigned stand for
  // the control characters of the same value, as Windows reads them.
  static constexpr char16_t kHigh[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  std::string out;
  out.reserve(bytes.size());
  for (const char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    if (b < 0x80) {
      out += ch;
      continue;
    }
    const char32_t c = b < 0xA0 ? kHigh[b - 0x80] : b;
    if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    }
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

std::string MissingFileMessage(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_regular_file(path, ec) && !ec) {
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (!ec && size > static_cast<std::uintmax_t>(kMaxGuideFileBytes))
      return "The data file \"" + path + "\" is larger than " + std::to_string(kMaxGuideFileBytes >> 20) +
             " MB, the most that is read from such a file.";
  }
  return "The data file \"" + path + "\" is missing or cannot be read.";
}

std::string DamagedFileMessage(const std::string& path, const std::string& why) {
  return "The data file \"" + path + "\" is damaged: " + why + ".";
}

std::string EmptyFileMessage(const std::string& path) { return DamagedFileMessage(path, "it is empty"); }

namespace {

// Opens a file for binary reading and takes its length; false when it cannot be opened or
// is not a regular readable file.
bool OpenSized(std::ifstream& in, const std::string& path, int64_t& size) {
  in.close();
  in.clear();
  size = 0;
  // A folder opens as a stream too, with a length that means nothing.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  in.open(path, std::ios::binary);
  if (!in.is_open()) return false;
  in.seekg(0, std::ios::end);
  const std::streamoff end = in.tellg();
  if (!in || end < 0) {
    in.close();
    return false;
  }
  if (end > kMaxGuideFileBytes) {
    in.close();
    return false;
  }
  size = static_cast<int64_t>(end);
  in.seekg(0, std::ios::beg);
  return true;
}

void DropLineEnd(std::string& line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
}

}  // namespace

bool GuideTextFile::Open(const std::string& path) {
  path_ = path;
  return OpenSized(in_, path, size_);
}

bool GuideTextFile::SeekTo(int64_t pos) {
  if (!in_.is_open() || pos < 1 || pos > size_) return false;
  in_.clear();
  in_.seekg(static_cast<std::streamoff>(pos - 1), std::ios::beg);
  return static_cast<bool>(in_);
}

bool GuideTextFile::ReadLine(std::string& line) {
  line.clear();
  if (!in_.is_open()) return false;
  if (!std::getline(in_, line)) {
    // A last line without a line end still counts; nothing read means the end.
    if (line.empty()) return false;
    in_.clear();
    in_.seekg(0, std::ios::end);
  }
  DropLineEnd(line);
  return true;
}

bool OffsetIndex::Open(const std::string& path) {
  path_ = path;
  return OpenSized(in_, path, size_);
}

std::optional<int32_t> OffsetIndex::Record(int64_t k) {
  if (!in_.is_open() || k < 1 || k > RecordCount()) return std::nullopt;
  unsigned char b[4] = {0, 0, 0, 0};
  in_.clear();
  in_.seekg(static_cast<std::streamoff>((k - 1) * 4), std::ios::beg);
  in_.read(reinterpret_cast<char*>(b), 4);
  if (in_.gcount() != 4) return std::nullopt;
  const uint32_t u = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                     (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
  int32_t v;
  std::memcpy(&v, &u, 4);
  return v;
}

std::optional<int32_t> IndexRecord(const std::string& bytes, int64_t k) {
  const int64_t count = static_cast<int64_t>(bytes.size()) / 4;
  if (k < 1 || k > count) return std::nullopt;
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data()) + (k - 1) * 4;
  const uint32_t u = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                     (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
  int32_t v;
  std::memcpy(&v, &u, 4);
  return v;
}

BlockStart LocateBlock(OffsetIndex& index, GuideTextFile& text, int64_t k) {
  BlockStart b;
  const std::optional<int32_t> rec = index.Record(k);
  if (!rec) {
    b.status = BlockStart::Status::Damaged;
    b.message = DamagedFileMessage(index.Path(), "it has no entry " + std::to_string(k) + " (it holds " +
                                                     std::to_string(index.RecordCount()) + ")");
    return b;
  }
  if (*rec == 0) {
    b.status = BlockStart::Status::None;
    return b;
  }
  if (*rec < 0 || *rec > text.Size()) {
    b.status = BlockStart::Status::Damaged;
    b.message = DamagedFileMessage(index.Path(), "entry " + std::to_string(k) + " points to byte " +
                                                     std::to_string(*rec) + ", outside \"" + text.Path() + "\"");
    return b;
  }
  b.status = BlockStart::Status::Found;
  b.pos = *rec;
  return b;
}

std::vector<std::string> ReadBlockAt(GuideTextFile& text, int64_t pos, double key,
                                     const std::function<double(const std::string&)>& keyOf,
                                     bool* endedByOtherKey) {
  std::vector<std::string> lines;
  if (endedByOtherKey) *endedByOtherKey = false;
  if (!text.SeekTo(pos)) return lines;
  std::string line;
  if (!text.ReadLine(line)) return lines;
  lines.push_back(line);
  while (text.ReadLine(line)) {
    if (keyOf(line) != key) {
      if (endedByOtherKey) *endedByOtherKey = true;
      break;
    }
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> ReadBlockFrom(const std::string& content, int64_t pos, double key,
                                       const std::function<double(const std::string&)>& keyOf) {
  std::vector<std::string> lines;
  if (pos < 1 || pos > static_cast<int64_t>(content.size())) return lines;
  size_t at = static_cast<size_t>(pos - 1);
  bool first = true;
  while (at < content.size()) {
    size_t end = content.find('\n', at);
    std::string line = content.substr(at, end == std::string::npos ? std::string::npos : end - at);
    at = end == std::string::npos ? content.size() : end + 1;
    DropLineEnd(line);
    if (!first && keyOf(line) != key) break;
    first = false;
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace qv::pricing
