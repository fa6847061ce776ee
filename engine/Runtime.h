#pragma once
// The number and text behaviours that the whole program relies on, written once:
// leading-number reading, the Str and general forms of numbers, format patterns, the
// integer conversions and division, comma-delimited quoted text records and date texts.
//
// Everything here is a pure function of its arguments (except Today and NowSerial) and
// allocates at most the text it returns, so it can run inside every recalculation.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// ---- numbers from text ---------------------------------------------------------------

// The leading number of a text. Blanks, TABs and line feeds anywhere are skipped ("1 2"
// reads 12); an optional sign, digits, an optional point and digits, an optional exponent
// (E or D, either case, an optional sign, digits); "&H" and "&O" at the start read
// hexadecimal and octal integers. Reading stops at the first character that cannot continue
// the number; no digit gives 0 ("$5" reads 0, "12abc" reads 12, "1,5" reads 1). A value too
// large for a double ("9E999") reads as 0; the result is never NaN, infinite or -0.
double TextValue(std::string_view text);

// True when the whole text is one number by the rule of TextValue (blanks, TABs and line
// feeds ignored) or holds no character but those (an empty value reads as 0).
bool IsNumberText(std::string_view text);

// ---- numbers as text -----------------------------------------------------------------

// The Str form: shortest decimal text of up to 15 significant digits, "." as the point, no
// zero before the point for values between -1 and 1, a leading blank when not negative,
// a leading "-" when negative; exponent form ("1E+15", "1.5E-05") for magnitudes from 1E15
// up and below 1E-4. NaN and infinities give " 0".
std::string StrNum(double v);

// The general (plain) form: like StrNum but with no leading blank and a zero before the
// point (0.5, -0.25); a whole number has no point. The float overload works at single
// precision (7 significant digits, exponent form from 1E7 up), so 6.1f gives 6.1.
std::string GeneralNumber(double v);
std::string GeneralNumber(float v);

// Formats a number by a pattern of up to three sections, positive;negative;zero.
//
// Placeholders: "#" an optional digit, "0" a required digit, "." the decimal point (written
// whenever the pattern holds it, so "#.###" shows 5 as "5." and 0 as "."), "," anywhere
// after the first digit placeholder and before the point turns on grouping by thousands,
// "%" multiplies the value by 100 and is shown. Digits that do not fit the integer
// placeholders are all shown; a value below 1 shows no digit before the point unless the
// integer part holds a "0" ("#.00" shows 0.5 as ".50", "0.00" as "0.50"). Decimals beyond
// the last "0" after the point are shown only when not zero ("0.0##": 6.1 is "6.1", 6.125
// is "6.125"). Every other character is copied as it stands ("$", "(", ")", blanks, "N/A",
// "+", "-"); text in double quotes and a character after "\" are copied too.
//
// The value is rounded half away from zero at the shown decimals, working on its 15
// significant decimal digits (so 1.005 with "0.00" shows 1.01, as the amount reads).
//
// Sections: a positive value uses the first section. A negative value uses the second
// section with its magnitude when that section is present and not empty; otherwise it uses
// the first section with a leading "-" (in front of everything, "-$1,234.50"), and that
// minus is left out when every digit shown is zero (-0.001 with "#.00" shows ".00", not
// "-.00"). Zero uses the third section when it is present and not empty, and is shown as
// that section is written: "$#,###.00;; " shows zero as one blank, "##.00;;N/A" as N/A,
// "$#,###.00;;$0" as $0 (a placeholder in the zero section is filled with zero). An empty
// or absent zero section uses the first section: "0.0##;;" shows zero as 0.0, "#,###"
// shows it as an empty text. The sections are chosen by the value before rounding, so
// 0.001 with "$#,###.00;; " shows ".00". A section without any placeholder shows its
// characters only. NaN and infinities are formatted as zero.
std::string Format(double v, std::string_view pattern);

// ---- integer conversions ---------------------------------------------------------------

// Conversions to 16- and 32-bit integers: halves go to the even neighbour (2.5 gives 2,
// 3.5 gives 4, -2.5 gives -2); values outside the range are clamped to it; NaN gives 0.
int16_t ToInt16(double v);
int32_t ToInt32(double v);
// Rounds half to even to a whole number (as a double), for values of any size; NaN and
// infinities give 0.
double RoundHalfEven(double v);

// Integer division of amounts: both operands rounded half to even to whole numbers, then
// the quotient truncated toward zero (7.5 \ 2 is 8 \ 2 = 4; -7 \ 2 is -3). A divisor that
// rounds to zero gives 0; a quotient beyond the 64-bit range is clamped to it.
int64_t IntDiv(double a, double b);

// ---- comma-delimited text records --------------------------------------------------

// One value of a record being written: a text (written in double quotes) or a number
// (written in the general form: plain decimal notation, integers without decimals).
struct RecordValue {
  bool isText = false;
  std::string text;
  double number = 0;
  static RecordValue Text(std::string t) { return {true, std::move(t), 0}; }
  static RecordValue Number(double n) { return {false, {}, n}; }
};

// One line of a record: the values joined by commas, no line end (the caller ends the line
// with CR LF). A double quote inside a text is written doubled, so that RecordReader gives
// back the same text and no later value shifts; commas and line breaks inside a quoted text
// are kept as they are.
std::string WriteRecord(const std::vector<RecordValue>& values);

// Reads values one by one, by count and not by line: a comma or a line end (CR LF, LF or
// CR) ends a value. A value that starts with a double quote (after blanks) runs to the
// closing quote, commas and line ends included; a doubled quote inside stands for one
// quote; anything between the closing quote and the next comma or line end is dropped.
// Other values run to the next comma or line end, without the blanks and TABs around them.
// Empty lines between values are passed over; a comma always introduces one more value,
// which may be empty ("a,,b" gives a, an empty text, b).
class RecordReader {
 public:
  explicit RecordReader(std::string content);
  // The next value as text; false at the end of the content (nothing is read then).
  bool NextText(std::string& out);
  // The next value as a number (TextValue of its text; the texts #TRUE# and #FALSE# read
  // -1 and 0); false at the end. `isNumber` tells whether the text was a number at all
  // (an empty value is: it reads as 0).
  bool NextNumber(double& out, bool* isNumber = nullptr);
  // True when no value is left (only blanks and line ends remain).
  bool AtEnd() const;
  // The line (from 1; CR LF, LF or CR ends one) on which the value read last starts.
  int LineOfLastValue() const;

 private:
  std::string s_;
  size_t pos_ = 0;
  size_t lastStart_ = 0;
  bool afterComma_ = false;
};

// Splits a whole text file into lines (CR LF, LF or CR ends a line); a final line end does
// not make an extra empty line, and an empty content gives no line.
std::vector<std::string> SplitLines(const std::string& content);

// The text without its leading and trailing spaces (Trim), or without its trailing spaces
// (TrimRight). Only spaces go: tabs and line ends stay.
std::string Trim(std::string_view s);
std::string TrimRight(std::string_view s);

// ---- dates ---------------------------------------------------------------------------

struct Date {
  int year = 0, month = 0, day = 0;
  // Days since 30 December 1899, the serial the old runtime used (1 January 1900 is 2).
  double Serial() const;
  // The date of a serial; the fraction (time of day) is dropped toward zero, as the old
  // runtime did for dates before the base day. Serials before 1 January 100 or after
  // 31 December 9999 give those dates; NaN gives the base day.
  static Date FromSerial(double serial);
  bool operator==(const Date&) const = default;
};

// Reads a date text, blanks around it ignored: "m/d/yyyy", "m/d/yy", "m-d-yyyy",
// "m.d.yyyy", "yyyy-mm-dd" (or with "/"), "Month d, yyyy", "Month d yyyy", "d Month yyyy"
// (month names in full or cut to at least three letters, any case). A two-digit year means
// 2000 to 2029 for 00 to 29 and 1930 to 1999 for 30 to 99. When the first number of a
// month-first text cannot be a month but the second can ("15/10/2026"), the two are read
// the other way round, as the old runtime did. Gives nullopt when the text is no valid date
// (no year, a day beyond the month's end, other text around it).
std::optional<Date> ParseDateText(std::string_view text);
// "mm/dd/yyyy" (10/05/2026).
std::string FormatDateMDY(const Date& d);
// "mmmm d, yyyy": month name in full, day without leading zero (October 5, 2026).
std::string FormatDateLong(const Date& d);
// Today's local date, and the current local date and time as a serial with the time of
// day as its fraction.
Date Today();
double NowSerial();

}  // namespace qv
