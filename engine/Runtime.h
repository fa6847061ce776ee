#pragma once
// The number and text behaviours that the whole program relies on, written once:
// leading-number reading, the Str and general forms of numbers, format patterns, the
// integer conversions and division, comma-delimited quoted text records and date texts.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// The leading number of a text. Blanks, TABs and line feeds anywhere are skipped; an
// optional sign, digits, an optional point and digits, an optional exponent (E or D, either
// case); "&H" and "&O" read hexadecimal and octal integers. Reading stops at the first
// character that cannot continue the number; no digit gives 0. A value too large for a
// double ("9E999") reads as 0; the result is never NaN or infinite.
double TextValue(std::string_view text);

// The Str form: shortest decimal text of up to 15 significant digits, "." as the point, no
// zero before the point for values between -1 and 1, a leading blank when not negative,
// exponent form ("1E+16", "1E-05") for magnitudes from 1E15 up and below 1E-4.
std::string StrNum(double v);

// The general (plain) form: like StrNum but with no leading blank and a zero before the
// point (0.5, -0.25). The float overload works at single precision (7 significant digits),
// so 6.1f gives 6.1.
std::string GeneralNumber(double v);
std::string GeneralNumber(float v);

// Formats a number by a pattern of up to three sections, positive;negative;zero.
// "#" optional digit, "0" required digit, "," grouping, "." the decimal point, "%" times 100
// shown as "%"; any other character is literal (quoted text and "\x" too). An empty
// negative section uses the positive section with a leading minus; an empty zero section
// uses the positive section; a zero section that holds no digit placeholder is shown as
// written. Values are rounded half away from zero at the shown decimals.
std::string Format(double v, std::string_view pattern);

// Conversions to 16- and 32-bit integers: halves go to the even neighbour; values outside
// the range are clamped to it (NaN gives 0).
int16_t ToInt16(double v);
int32_t ToInt32(double v);
// Rounds half to even to a whole number (as a double), for values of any size.
double RoundHalfEven(double v);

// Integer division of amounts: both operands rounded half to even to whole numbers, then
// the quotient truncated toward zero. A zero divisor gives 0.
int64_t IntDiv(double a, double b);

// ---- comma-delimited text records --------------------------------------------------

// One value of a record being written: a text (written in double quotes) or a number
// (written in plain decimal notation, integers without decimals).
struct RecordValue {
  bool isText = false;
  std::string text;
  double number = 0;
  static RecordValue Text(std::string t) { return {true, std::move(t), 0}; }
  static RecordValue Number(double n) { return {false, {}, n}; }
};

// One line of a record: the values joined by commas, no line end. A double quote inside a
// text is doubled so that the reader gives back the same text.
std::string WriteRecord(const std::vector<RecordValue>& values);

// Reads values one by one, by count and not by line: a comma or a line end ends a value,
// the quotes around a text are removed (a doubled quote inside stands for one quote),
// blanks around an unquoted value are dropped.
class RecordReader {
 public:
  explicit RecordReader(std::string content);
  // The next value as text; false at the end of the content.
  bool NextText(std::string& out);
  // The next value as a number (TextValue of its text); false at the end. `isNumber` tells
  // whether the text was a number at all.
  bool NextNumber(double& out, bool* isNumber = nullptr);
  bool AtEnd() const;

 private:
  std::string s_;
  size_t pos_ = 0;
};

// Splits a whole text file into lines (CR LF, LF or CR ends a line); a final line end does
// not make an extra empty line.
std::vector<std::string> SplitLines(const std::string& content);

// ---- dates ---------------------------------------------------------------------------

struct Date {
  int year = 0, month = 0, day = 0;
  // Days since 30 December 1899, the serial the old runtime used.
  double Serial() const;
  static Date FromSerial(double serial);
  bool operator==(const Date&) const = default;
};

// Reads a date text: "m/d/yyyy", "m/d/yy", "m-d-yyyy", "yyyy-mm-dd", "Month d, yyyy",
// "d Month yyyy"; nullopt when the text is no date.
std::optional<Date> ParseDateText(std::string_view text);
// "mm/dd/yyyy".
std::string FormatDateMDY(const Date& d);
// Today's date and the current date and time as a serial with the time as its fraction.
Date Today();
double NowSerial();

}  // namespace qv
