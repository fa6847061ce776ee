#pragma once
// RTF reading and writing over the document model (Document.h).
//
// The reader takes what word processors write: groups and destinations (unknown "\*"
// destinations are skipped), font and colour tables (fonts are matched by name), character
// and paragraph formats, tab stops with their kinds and leaders, paragraph frames, tables
// row by row (tables inside cells as Word writes them, up to kMaxTableDepth levels), PNG
// and JPEG pictures, "\u" characters with their fallbacks, "\'xx" and 8-bit
// bytes in the code page of the font or the document (CodePage.h), the page size and
// margins (a section's own margins kept as what they add), hidden text, fields (instruction
// and shown result; \chpgn is a PAGE field) and headers and footers (kept beside the text),
// the labels of list paragraphs (those the file spells out, or made from the list's
// definition) as text, and the text of text boxes as paragraphs where they are anchored.
// Everything else is skipped; what of it a user would miss (pictures in forms other than PNG
// and JPEG, the structure of lists, the frames of text boxes) is named in the result's warning. It never hangs and
// never keeps more than a bounded multiple of its input: nesting, the size of the input and
// every count it keeps are limited, and the runs, paragraphs and table cells of the model
// (those a repeated \row or \nestrow makes too) are at most 20,000 plus two a byte of
// input; a text that
// would make more is refused as too large.
//
// The writer writes the same subset; what it writes the reader reads back as the same
// document (after Normalize).
#include <string>
#include <string_view>

#include "editor/richtext/Document.h"

namespace qv::richtext {

struct RtfReadResult {
  bool ok = false;
  std::string error;  // why the text was refused, in words (when !ok)
  std::string warning;  // what was read with losses, in words (bytes no code page maps,
                        // content not kept), one message for the user
  Document document;
};

// The refusal of a text larger than the limits, or one that would make more elements than
// the model keeps (RtfReadResult::error).
inline constexpr const char* kDocumentTooLarge = "The document is too large.";

struct RtfLimits {
  size_t maxInputBytes = size_t(256) << 20;  // larger inputs are refused
  int maxDepth = 512;                          // deeper nesting is refused
};

// Reads an RTF text. It is refused (ok false) when it does not begin with "{\rtf", when
// it is larger or nested deeper than the limits; a text that ends early (a missing closing
// brace) gives what was read up to its end.
RtfReadResult ReadRtf(std::string_view rtf, const RtfLimits& limits = {});

// True when the text begins like an RTF document ("{\rtf" after blanks).
bool LooksLikeRtf(std::string_view text);

// Writes the document as RTF: characters beyond ASCII as "\u" with "?" as the fallback.
std::string WriteRtf(const Document& doc);

// Escapes a plain text for inclusion in RTF as text: backslash and braces are escaped,
// TAB becomes "\tab", a line feed "\line", characters beyond ASCII "\u". Values merged into
// a report go through this.
std::string EscapeRtfText(std::string_view utf8);

}  // namespace qv::richtext
