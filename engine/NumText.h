#pragma once
// Readers of typed amounts and small text shapers: money, rate and percent text typed into
// boxes and grid cells, right-aligned fields, one-line grid headings and word wrap for
// report text.
#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

// The reader of typed amounts, rates and percentages. No text (null) gives 0. Otherwise,
// on a copy: the first "$", every "," (thousands separator), the first "(" and the first
// ")" become blanks; when a "%" is present the first one becomes a blank too and the result
// is TextValue of the copy divided by 100, else TextValue of the copy; when both a "(" and
// a ")" were found the result is negated. "$1,234,567.50" reads 1234567.5, "(1,500)" reads
// -1500, "7.25%" reads 0.0725, "(12" reads 12. Never -0.
double ParseAmountText(const std::string* text);
double ParseAmountText(std::string_view text);

// The strict readers of what a user types: the rule of ParseAmountText (ReadAmountText) or of
// ParseMoneyText (ReadMoneyText), but the text left after the rule's "$", ",", "(", ")" and
// "%" must be one number as a whole (blanks anywhere, as TextValue skips them). An empty or
// blank text means 0; marks alone ("$", "%") are no number. Text the rule would read only in
// part or not at all ("abc", "12abc", "Down payment: $1,234.50 (cash)") gives false and
// leaves `v` unchanged. A number too large for a double ("1e999") reads as an infinity of
// its sign, so that the limits of a deal refuse it rather than take it for 0.
bool ReadAmountText(std::string_view text, double& v);
bool ReadMoneyText(std::string_view text, double& v);

// The largest amount a deal can hold: no car deal reaches $100,000,000. What the user types
// and what the worksheet, settings and tax-settings files hold are held to it.
inline constexpr double kMaxDealAmount = 1e8;

// True for a value a deal can hold: a finite number smaller than kMaxDealAmount in size.
bool IsDealValue(double v);

// True for a tax rate a setting can hold: a number from 0 to 100 percent.
inline bool IsTaxRateValue(double v) { return v >= 0 && v <= 100; }

// The reader of a typed tax rate in percent ("6.5", "6.5%", " 7 "): blanks around it and
// one "%" at its end are allowed, the rest must be a plain decimal number (digits, one
// point, an exponent) from 0 to 100. A text with no number ("abc"), a decimal comma ("6,5",
// which the amount reader would take for 65), anything after the number, and a rate
// outside 0 to 100 (1e39 among them) are refused: false, `rate` unchanged.
bool ParseTaxRateText(std::string_view text, double& rate);

// The reader of grid-cell amounts: no text gives 0; otherwise the first "$" and every ","
// of a copy become blanks and the result is TextValue of the copy. Parentheses and "%"
// mean nothing here ("(1,500)" reads 0, "7.25%" reads 7.25).
double ParseMoneyText(const std::string* text);
double ParseMoneyText(std::string_view text);

// Right-aligns a text in a field of `width` characters by putting blanks in front; an
// empty text stays empty and a text as long as the width or longer is returned whole.
// Characters are counted as UTF-8 characters, not bytes.
std::string PadRight(std::string_view text, int16_t width);

// Makes a grid heading one line: every carriage return becomes a blank and every line feed
// is removed. Changes `text` and returns it.
std::string& CleanGridText(std::string& text);

// Removes every carriage return and every line feed from `text`.
void StripLineBreaks(std::string& text);

// Word wrap for report text: breaks `text` into lines of at most `width` characters by
// putting `prefix` (the report markup that starts a new, indented line) at each break.
//
// A text not longer than the width is returned unchanged. Otherwise each line's window is
// the `width` characters after the previous break, the inserted prefix counting towards the
// line (all of it but its first character, which stands where the break was). The break
// is the rightmost blank of the window (or the blank just after a window filled to the
// end), which the prefix replaces. When the line up to the
// break holds a carriage return, the break moves to just after the first one: a line feed
// or blank there is replaced by the prefix, any other character stays and the prefix goes
// in front of it. When the window holds no blank (a run longer than the width), the prefix
// is put after the window's last character, so nothing is lost (never inside a UTF-8
// character). Blanks and carriage returns inside an inserted prefix are never taken as
// breaks, every line takes at least one character of the text, and wrapping stops when the
// rest of the text fits in the window. A width below 1 returns the text unchanged.
std::string WrapText(int16_t width, std::string_view text, std::string_view prefix);

}  // namespace qv
