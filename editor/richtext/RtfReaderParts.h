#pragma once
// The parts of the RTF reader (RtfReader.cpp) that read one kind of destination, each in a
// file of its own: fields (RtfReaderFields.cpp) and headers and footers
// (RtfReaderHeaders.cpp). RtfReader.cpp scans the text, dispatches every control word and
// calls these; they keep their own state and change the text only through what they are
// handed. Internal to qv_richtext.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "editor/richtext/Document.h"

namespace qv::richtext::rtfread {

// Shading as RTF writes it: a background colour, and a foreground colour laid over it at a
// percentage (in hundredths). The model keeps the one colour that shows.
struct Shade {
  std::optional<Color> back, fore;
  int percent = 0;  // 0 to 10000
  bool set = false;
  std::optional<Color> Shown() const {
    if (!set) return std::nullopt;
    if (percent <= 0) return back;
    const Color f = fore.value_or(Color{0, 0, 0}), b = back.value_or(Color{255, 255, 255});
    auto mix = [&](uint8_t fc, uint8_t bc) { return uint8_t((fc * percent + bc * (10000 - percent) + 5000) / 10000); };
    return Color{mix(f.red, b.red), mix(f.green, b.green), mix(f.blue, b.blue)};
  }
};

struct RowDefinition {
  TableRow row;       // row properties, without cells
  std::vector<TableCell> cells;  // edges, borders and shading of the cells defined so far
  TableCell pending;  // properties of the cell whose \cellx comes next
  Shade pendingShade;  // its shading
};

// A table being read at one level of nesting.
struct TableLevel {
  RowDefinition def;
  TableCell cell;                // the cell being read: its paragraphs and tables so far
  std::vector<TableCell> cells;  // the cells of the row being read
  std::optional<Table> table;
};

// ---- fields (RtfReaderFields.cpp) ---------------------------------------------------------

// A field being read: where its group began and where its result's text began.
struct FieldState {
  size_t depth = 0;  // of the field's group
  std::string instruction;
  bool result = false;  // its result was met
  long long paragraph = 0;  // the paragraph and run its result began in
  size_t run = 0;
  size_t offset = std::string::npos;  // in the text run before, where the result began
};

// Notes where the field's result begins in the paragraph being read.
void StartFieldResult(FieldState& field, long long paragraphsEnded, const Paragraph& para);

// Moves the text the field's result left in the paragraph into the field's run (whose
// instruction and format are set). False when the result stays as it is: it went on over a
// paragraph's end, or holds more than text.
bool TakeFieldResult(const FieldState& field, long long paragraphsEnded, Paragraph& para, TextRun& run);

// ---- headers and footers (RtfReaderHeaders.cpp) -------------------------------------------

// What the reader is filling: the blocks of the text, the paragraph and tables being read.
struct Story {
  std::vector<Block>& blocks;
  Paragraph& para;
  std::vector<TableLevel>& levels;
  bool& pendingPageBreak;
};

// The document's text, put aside while a header or footer is read.
struct SavedStory {
  std::string kind;
  std::vector<Block> blocks;
  Paragraph para;
  std::vector<TableLevel> levels;
  bool pendingPageBreak = false;
};

// Sets the text read so far aside and leaves `now` empty for a header or footer of the kind
// given (the destination's word).
SavedStory SetStoryAside(std::string kind, Story now);
// Puts the text back and gives the header or footer that was read in its place.
HeaderFooter RestoreStory(SavedStory saved, Story now);

}  // namespace qv::richtext::rtfread
