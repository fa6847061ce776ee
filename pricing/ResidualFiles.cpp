// The residual guide's index and record files, line classes, list texts and runs.
#include "pricing/ResidualFiles.h"

#include <filesystem>

#include "engine/Runtime.h"
#include "platform/files/AtomicFile.h"
#include "platform/files/FolderLookup.h"
#include "pricing/GuideFiles.h"

namespace qv::pricing {

namespace {

// Widths of the 15 fields of a record.
constexpr int kWidths[15] = {3, 3, 3, 6, 25, 7, 7, 2, 6, 6, 6, 6, 6, 1, 27};

// Cut or fill to exactly n characters.
std::string Fit(std::string s, size_t n) {
  s.resize(n, ' ');
  return s;
}

}  // namespace

std::string ResidualFilePath(const std::string& appFolder, const std::string& modelYear, const std::string& ext) {
  const std::string yy = modelYear.size() >= 2 ? modelYear.substr(modelYear.size() - 2) : modelYear;
  return files::ResolveNoCase(appFolder + "ALG" + yy + ext);
}

ResidualIndex ParseResidualIndex(const std::string& content) {
  ResidualIndex idx;
  const std::vector<std::string> lines = SplitLines(content);
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& l = lines[i];
    if (i == 0) {
      idx.header1 = l;
      continue;
    }
    if (i == 1) {
      idx.header2 = l;
      continue;
    }
    if (l.empty()) continue;
    ResidualIndexItem item;
    item.name = l.substr(0, 17);
    const std::string_view number = l.size() > 17 ? std::string_view(l).substr(17, 4) : std::string_view();
    // The leading number of the four characters (blanks before it skipped).
    double v = TextValue(number);
    item.firstRecord = v >= 1 && v <= 2147483647.0 ? static_cast<int64_t>(v) : 0;
    idx.items.push_back(std::move(item));
  }
  return idx;
}

ResidualIndex ReadResidualIndex(const std::string& path) {
  std::string content;
  // An index has a line per model (some tens of KB); a file far larger is no index.
  constexpr std::uint64_t kMaxResidualIndexBytes = 16u << 20;
  std::string why;
  const files::ReadResult read = files::ReadFileIfAny(path, content, kMaxResidualIndexBytes, &why);
  if (read != files::ReadResult::Read) {
    ResidualIndex idx;
    idx.error = read == files::ReadResult::TooLarge ? DamagedFileMessage(path, why) : MissingFileMessage(path);
    return idx;
  }
  if (content.empty()) {
    ResidualIndex idx;
    idx.error = EmptyFileMessage(path);
    return idx;
  }
  return ParseResidualIndex(content);
}

double ResidualRecord::TermValue(int term) const {
  if (term < 0 || term > 3) return 0;
  return TextValue(field(10 + term));
}

bool ResidualRecord::HasResidualData() const { return !Trim(field(10)).empty(); }

ResidualRecord ParseResidualRecord(std::string_view bytes) {
  ResidualRecord r;
  size_t at = 0;
  for (int i = 0; i < 15; ++i) {
    const size_t w = static_cast<size_t>(kWidths[i]);
    std::string f = at < bytes.size() ? std::string(bytes.substr(at, w)) : std::string();
    f.resize(w, ' ');
    r.fields[static_cast<size_t>(i)] = std::move(f);
    at += w;
  }
  return r;
}

ResidualLineClass ClassOf(const ResidualRecord& r) {
  if (r.IsDeductAdjust()) return ResidualLineClass::DeductAdjust;
  const double v = TextValue(r.Kind());
  if (v < 10) return ResidualLineClass::Model;
  if (v < 190) return ResidualLineClass::Option;
  if (v <= 197) return ResidualLineClass::Add;
  return ResidualLineClass::Deduct;
}

std::string ListText(const ResidualRecord& r) {
  const std::string tenBlanks(10, ' ');
  switch (ClassOf(r)) {
    case ResidualLineClass::Model:
      return r.field(4) + Fit(r.field(5), 27);
    case ResidualLineClass::Option:
      return tenBlanks + r.field(4) + " " + Fit(r.field(5), 27) + std::string(27, ' ') + r.field(6) + " " +
             r.field(7);
    case ResidualLineClass::Add:
      return tenBlanks + Fit("   " + TrimRight(r.field(5)) + " Add", 32);
    case ResidualLineClass::Deduct:
      return tenBlanks + Fit("   " + TrimRight(r.field(5)) + " Deduct", 32);
    case ResidualLineClass::DeductAdjust: {
      const std::string& d = r.field(5);
      const std::string name = Trim(std::string_view(d).substr(0, d.find('|')));
      return tenBlanks + Fit(" w/o " + name + " Deduct", 32);
    }
  }
  return {};
}

std::string FirstLineText(const ResidualRecord& r) { return r.field(4) + r.field(5); }

bool ResidualRecordFile::Open(const std::string& path) {
  path_ = path;
  in_.close();
  in_.clear();
  size_ = 0;
  // Records are read one at a time, so any size will do; but only from a regular file (a
  // pipe would hold the open until something writes to it).
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  in_.open(path, std::ios::binary);
  if (!in_.is_open()) return false;
  in_.seekg(0, std::ios::end);
  const std::streamoff end = in_.tellg();
  if (!in_ || end < 0) {
    in_.close();
    return false;
  }
  size_ = static_cast<int64_t>(end);
  next_ = 0;
  return true;
}

bool ResidualRecordFile::Read(int64_t n, ResidualRecord& rec) {
  if (!in_.is_open() || n < 1 || n > RecordCount()) return false;
  char buf[kResidualRecordSize];
  // A run reads records one after the other: the stream is moved only for a jump.
  if (n != next_) {
    in_.clear();
    in_.seekg(static_cast<std::streamoff>((n - 1) * kResidualRecordSize), std::ios::beg);
  }
  in_.read(buf, kResidualRecordSize);
  if (in_.gcount() != kResidualRecordSize) {
    next_ = 0;
    return false;
  }
  next_ = n + 1;
  rec = ParseResidualRecord(std::string_view(buf, kResidualRecordSize));
  return true;
}

namespace {

template <typename ReadFn>
ResidualRun ListRunWith(int64_t count, int64_t first, const std::string& path, ReadFn read) {
  ResidualRun run;
  RunLine head;
  if (first < 1 || first > count || !read(first, head.record)) {
    run.error = DamagedFileMessage(path, "its index names record " + std::to_string(first) + ", but it holds " +
                                             std::to_string(count) + " records");
    return run;
  }
  head.recordNumber = first;
  head.text = FirstLineText(head.record);
  const std::string maker = head.record.field(1);
  run.lines.push_back(std::move(head));
  for (int64_t n = first + 1; n <= count; ++n) {
    RunLine line;
    if (!read(n, line.record) || line.record.field(1) != maker) break;
    line.recordNumber = n;
    line.text = ListText(line.record);
    run.lines.push_back(std::move(line));
  }
  return run;
}

}  // namespace

ResidualRun ListRun(ResidualRecordFile& file, int64_t first) {
  return ListRunWith(file.RecordCount(), first, file.Path(),
                     [&](int64_t n, ResidualRecord& r) { return file.Read(n, r); });
}

ResidualRun ListRunFromBytes(const std::string& bytes, int64_t first) {
  const int64_t count = static_cast<int64_t>(bytes.size()) / kResidualRecordSize;
  return ListRunWith(count, first, "(records)", [&](int64_t n, ResidualRecord& r) {
    r = ParseResidualRecord(std::string_view(bytes).substr(static_cast<size_t>((n - 1) * kResidualRecordSize),
                                                           kResidualRecordSize));
    return true;
  });
}

}  // namespace qv::pricing
