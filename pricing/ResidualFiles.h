#pragma once
// The residual guide of one model year: the manufacturer index "ALGyy.DR1" (two header
// lines, then a name in characters 1-17 and the first record number in characters 18-21
// per line) and the record file "ALGyy.RV1" (fixed records of 114 bytes, 15 text fields),
// the classes of its lines and their texts in the lookup list, and the listing of one
// manufacturer's run of records.
#include <array>
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace qv::pricing {

inline constexpr int kResidualRecordSize = 114;

// "ALG" + the last two characters of the model year + extension (".DR1" or ".RV1") in the
// program folder, found without regard to case.
std::string ResidualFilePath(const std::string& appFolder, const std::string& modelYear, const std::string& ext);

struct ResidualIndexItem {
  std::string name;         // characters 1 to 17, as listed
  int64_t firstRecord = 0;  // the number at the start of characters 18 to 21 (0 when none)
};

struct ResidualIndex {
  std::string header1, header2;  // held, not used
  std::vector<ResidualIndexItem> items;
  std::string error;
};
// Reads the ".DR1" file; a missing file gives no item and a message naming it.
ResidualIndex ReadResidualIndex(const std::string& path);
// The same from the file's content.
ResidualIndex ParseResidualIndex(const std::string& content);

// One record of the ".RV1" file: its 15 fields as stored (blank-padded; fields 1-based as
// field(1) .. field(15)). A record shorter than 114 bytes reads its missing bytes as
// blanks.
struct ResidualRecord {
  std::array<std::string, 15> fields;

  const std::string& field(int n) const { return fields[static_cast<size_t>(n - 1)]; }
  const std::string& Kind() const { return field(3); }
  const std::string& Code() const { return field(4); }
  const std::string& Description() const { return field(5); }
  // Fields 10 to 13 as numbers: term 0..3 for 24, 36, 48, 60 months.
  double TermValue(int term) const;
  // A line whose 24-month field is blank carries no residual data.
  bool HasResidualData() const;
  bool IsAdd() const { return Kind() == "ADD"; }
  bool IsDeductAdjust() const { return Kind() == "EAA" || Kind() == "EDA"; }
};
ResidualRecord ParseResidualRecord(std::string_view bytes);

enum class ResidualLineClass { Model, Option, Add, Deduct, DeductAdjust };
// "EAA"/"EDA" are deduct adjustments; any other kind by its number v (a kind that is no
// number, such as "ADD", counts 0): below 10 model, below 190 option, 190 to 197 add,
// above 197 deduct.
ResidualLineClass ClassOf(const ResidualRecord& r);
// The text of a record in the lookup list, by its class.
std::string ListText(const ResidualRecord& r);
// The text of a run's first record, whatever its kind: field 4 followed by field 5.
std::string FirstLineText(const ResidualRecord& r);

// The ".RV1" file read by record number.
class ResidualRecordFile {
 public:
  bool Open(const std::string& path);
  bool IsOpen() const { return in_.is_open(); }
  const std::string& Path() const { return path_; }
  // File length divided by 114, rounded down.
  int64_t RecordCount() const { return size_ / kResidualRecordSize; }
  // Record n (1-based); false when n is not between 1 and RecordCount().
  bool Read(int64_t n, ResidualRecord& rec);

 private:
  std::ifstream in_;
  std::string path_;
  int64_t size_ = 0;
  int64_t next_ = 0;  // the record the stream stands at, 0 when unknown
};

// One line of a manufacturer's run in the lookup list.
struct RunLine {
  int64_t recordNumber = 0;
  ResidualRecord record;
  std::string text;  // the list text, without any lock marker
};

struct ResidualRun {
  std::vector<RunLine> lines;  // lines[i] is record first + i
  std::string error;
};

// The run that starts at record `first`: that record, then the following ones while their
// field 1 equals its field 1, up to the last record. A first record of 0 or past the end
// of the file gives no line and a message naming the file.
ResidualRun ListRun(ResidualRecordFile& file, int64_t first);
// The same over a record file held in memory (for the fuzzer and tests).
ResidualRun ListRunFromBytes(const std::string& bytes, int64_t first);

}  // namespace qv::pricing
