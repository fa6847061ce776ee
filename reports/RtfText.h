#pragma once
// Small pieces of RTF text handling for the report merge: escaping values, joining pieces
// without running a control word into the text after it, and the structural braces of a
// piece of markup. The merge treats a template as a string; these helpers know just enough
// of RTF's lexical rules to keep the result well formed:
//   - "\" followed by a letter starts a control word: letters, then an optional parameter
//     (an optional "-" and digits), ended by one blank (which belongs to the word) or by any
//     other character (which does not);
//   - "\'" is followed by two hexadecimal digits;
//   - "\" followed by any other character is a control symbol of those two characters, so
//     "\{", "\}" and "\\" are text, not group marks;
//   - "{" and "}" anywhere else open and close a group.
#include <cstddef>
#include <string>
#include <string_view>

namespace qv::reports {

// The text as RTF: "\" "{" "}" are escaped, a TAB becomes "\tab ", a line break (CR LF, CR
// or LF) becomes "\line ", other control characters are dropped, characters beyond ASCII
// (UTF-8) become "\'xx" up to U+00FF and "\uN?" above (two of them, a surrogate pair,
// beyond U+FFFF). A byte that is not valid UTF-8 is taken as a Windows-1252 character
// ("\'xx"). The result never ends inside a control word or escape.
std::string EscapeRtf(std::string_view text);

// The most letters of a control word (and digits of its parameter).
inline constexpr size_t kMaxControlWord = 32;

// True when `rtf` ends so that the next character would continue it: an undelimited control
// word ("\b", "\fs24", "\li-"), a lone escaping "\", or "\'" with fewer than two digits.
// At most kMaxControlWord letters and digits are looked at.
bool EndsOpen(std::string_view rtf);

// Appends `piece` to `out`. When `out` ends open (see EndsOpen) and the piece is not empty,
// a blank goes first: it ends the control word (and is swallowed by it), so "\b" followed by
// "Total" stays bold "Total" instead of becoming the unknown word "\bTotal".
void AppendRtf(std::string& out, std::string_view piece);

// The group marks ("{" and "}", escaped ones not counted) of a piece of markup, in order:
// what is kept of markup that the merge drops, so that the document's groups still balance.
std::string GroupMarks(std::string_view markup);

// The text of a piece of markup without its markup: group marks, control words (with their
// parameter and delimiting blank) and control symbols are dropped, "\{" "\}" "\\" give the
// character, "\'xx" gives nothing. "{\b Pay}ment" gives "Payment".
std::string PlainText(std::string_view markup);

// True when `text` ends with an odd run of backslashes: its last backslash escapes whatever
// character comes next.
bool EndsWithLoneBackslash(std::string_view text);

// True when the group marks of `rtf` balance: never more "}" than "{" so far, and as many
// of each in the end. Escaped braces do not count.
bool BracesBalanced(std::string_view rtf);

// Removes the line breaks (CR and LF) of a template, as RTF readers ignore them, without
// changing what the RTF means: a line break that ends a control word becomes the blank that
// ends it ("\b" CR LF "Total" gives "\b Total"), and a backslash followed by a line break
// (RTF's other way of writing "\par") becomes "\par ".
std::string StripTemplateLineBreaks(std::string_view text);

}  // namespace qv::reports
