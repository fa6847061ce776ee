#pragma once
// The readable source of the sample price guide and residual guide, and the writer that
// turns it into the files the program reads (text files with their offset indexes, the
// residual index and its fixed 114-byte records). Used by the build-time generator and by
// the benchmarks and tests, which also build large synthetic guides with it.
//
// Price-guide source (one file per vehicle class), one statement per line, "#" starts a
// comment line, fields separated by "|" and trimmed (a field in double quotes keeps its
// blanks):
//   vehicle: year | maker | line | destination [| extra]   a line of MANUF.TXT
//   blank:                                                   an empty line of MANUF.TXT
//   model: name                                              a model (the name may be empty)
//   type: name | invoice | MSRP [| fifth]                    a type of the model above
//   option: group | description | invoice or code | MSRP [| n]
//   equipment: item                                          one standard-equipment item
//   set: name ... end:                                       named options and equipment
//   use: name                                                puts a set into the vehicle line
//
// Residual source (one file for every model year):
//   year: 2000                          the files ALG00.DR1 and ALG00.RV1
//   header: text                        the index's two header lines
//   maker: NAME                         a manufacturer; the lines below are its records
//   gap:                                an empty line in the index
//   model: code | name                  a model line without residual data
//   trim: name | 24 | 36 | 48 | 60      a model line with residuals (indented under its model)
//   option: code | name | value | value an option line
//   add: name | 24 | 36 | 48 | 60       an "ADD" adjustment (points)
//   eaa: name | note | 24 | 36 | 48 | 60, eda: ...  the "EAA" / "EDA" deduct adjustments
//   addline: name | points..., deductline: name | points...   numbered add and deduct lines
#include <array>
#include <string>
#include <vector>

namespace qv::pricing::gen {

struct SourceType {
  std::string name;
  double invoice = 0, msrp = 0, fifth = 0;
};
struct SourceModel {
  std::string name;
  std::vector<SourceType> types;
};
struct SourceOption {
  std::string group, description;
  double code = 0, msrp = 0, extra = 0;
};
struct SourceVehicleLine {
  bool blank = false;
  std::string year, maker, line;
  double dest = 0, extra = 0;
  std::vector<SourceModel> models;
  std::vector<SourceOption> options;
  std::vector<std::string> equipment;
};
struct GuideSource {
  std::vector<SourceVehicleLine> lines;
};

// Reads a price-guide source; false with "name:line: what" in `error`.
bool ParseGuideSource(const std::string& text, const std::string& name, GuideSource& out, std::string& error);

// The files of one class, by file name without the class letter ("MANUF.TXT", "Model.ndx").
struct GuideFile {
  std::string name;
  std::string content;
};
std::vector<GuideFile> BuildGuideFiles(const GuideSource& src);

struct SourceResidualLine {
  std::string kind;  // "  1", "  2", " 20", "190", "200", "ADD", "EAA", "EDA"
  std::string code, description, value6, value7;
  std::array<std::string, 4> terms;  // fields 10 to 13; empty: blank
};
struct SourceResidualMaker {
  std::string name;
  bool gapBefore = false;
  std::vector<SourceResidualLine> lines;
};
struct ResidualYear {
  std::string year;
  std::array<std::string, 2> headers;
  std::vector<SourceResidualMaker> makers;
};

bool ParseResidualSource(const std::string& text, const std::string& name, std::vector<ResidualYear>& out,
                         std::string& error);
// "ALGyy.DR1" and "ALGyy.RV1" of one year.
std::vector<GuideFile> BuildResidualFiles(const ResidualYear& year);

// Large guides for timing: `vehicleLines` lines (year 2000), each with `models` models of
// `typesPerModel` types (a heading every tenth type) and `options` options.
GuideSource SyntheticGuide(int vehicleLines, int models, int typesPerModel, int options);
// One year with `makers` manufacturers of `recordsPerMaker` records each.
ResidualYear SyntheticResidualYear(int makers, int recordsPerMaker);

// Writes files into `folder` with the class letter (or "") in front of each name.
bool WriteFiles(const std::vector<GuideFile>& files, const std::string& folder, const std::string& prefix,
                std::string& error);

}  // namespace qv::pricing::gen
