#pragma once
// The lines of the price-guide text files and what the browser makes of them: the numeric
// field rule, the three line parsers (vehicle lines of "MANUF.TXT", models, types), tag
// stripping of heading names, the amount codes, the model-year filter, and the
// fixed-width entry of the vehicle list with its decoding.
//
// Fields are separated by "|". A line with fewer separators than its format needs reads
// its missing fields as empty texts and zeros.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv::pricing {

// Amount codes of the type file's invoice and MSRP fields.
inline constexpr double kHeadingCode = -555;      // in the invoice field: a heading line
inline constexpr double kHeadingCodeAlt = -999;   // the same
inline constexpr double kNotAvailableCode = -888; // shown as "N/A"

// A numeric field of the price guide: leading blanks skipped, then an optional minus sign
// and digits with at most one decimal point; reading stops at the first other character.
// An empty or non-numeric field reads 0.
double GuideNumber(std::string_view field);

// Each parser consumes `line`: after each field the line is cut to the text after that
// field's "|". The outputs are first set to empty texts and zeros.
// "MANUF.TXT": first name part | model year | second name part | destination | extra.
void ParseManuf(std::string& line, std::string& name1, std::string& year, std::string& name2, double& dest,
                double& extra);
// "Model.txt": model name | vehicle line number (block key) | type record number.
void ParseModel(std::string& line, std::string& name, double& key, double& typeRecord);
// "Type.txt": name | invoice | MSRP | type block number (block key) | fifth number.
void ParseType(std::string& line, std::string& name, double& invoice, double& msrp, double& key, double& fifth);

// The key fields alone, for the block reader.
double ModelLineKey(const std::string& line);
double TypeLineKey(const std::string& line);

// Removes the first three and the last three characters (the tags of a heading name).
// A text of six characters or fewer becomes empty.
void StripTags(std::string& text);
// True when the name, trailing blanks removed, holds "<B>" or "<D>".
bool HasTag(std::string_view name);

// True for an invoice field that marks a heading line (-555 or -999).
bool IsHeadingCode(double invoice);
// The shown text of an invoice or MSRP field: 11 blanks for -555 and -999, "N/A" for -888,
// else the number in general format.
std::string AmountText(double value);

// The three model-year boxes of the browser and the test each vehicle line passes.
struct YearFilter {
  bool y2000 = true;
  bool y1999 = true;
  bool y1998 = false;
  // Substring tests on the year text: "00" for 2000, "999" for 1999, "8" for 1998.
  bool Passes(std::string_view year) const;
};

// The text of one vehicle-list entry: year, first and second name part cut or filled to 36
// characters, 50 blanks, the destination charge and the vehicle line number each
// right-aligned in 4 characters (longer numbers are written whole).
std::string MakeListEntry(const std::string& name1, const std::string& year, const std::string& name2, double dest,
                          int64_t lineNumber);

// What an entry's text decodes to: the number in its last 4 characters, the number in the
// 4 characters before them (after trailing blanks), and the rest without trailing blanks.
// Numbers longer than four digits decode wrongly; the list carries them beside the text.
struct DecodedEntry {
  double lineNumber = 0;
  double dest = 0;
  std::string description;
};
DecodedEntry DecodeListEntry(std::string_view entry);

// The type-ahead of the vehicle list: the index of the first entry whose sixth character
// (the first letter of the maker's name) equals the key in upper case; `current` when none.
int TypeAheadIndex(const std::vector<std::string>& entries, char key, int current);

// The longest text one grid row of a guide window takes.
constexpr size_t kCellLimit = 255;
// Where a text too long for one row is split: after the last blank at or before character
// 255, at 255 when there is none; the whole text when it fits.
size_t RowCut(std::string_view text);

}  // namespace qv::pricing
