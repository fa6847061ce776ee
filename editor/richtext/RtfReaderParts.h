#pragma once
// The parts of the RTF reader (RtfReader.cpp) that read one kind of destination, each in a
// file of its own: fields (RtfReaderFields.cpp) and headers and footers
// (RtfReaderHeaders.cpp). RtfReader.cpp scans the text, dispatches every control word and
// calls these; they keep their own state and change the text only through what they are
// handed. Internal to qv_richtext.
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
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

// ---- lists (RtfReaderLists.cpp) -------------------------------------------------------------

// The number or bullet of a list paragraph the file does not spell out (with a \listtext or
// \pntext group), made from the list's definition: Word's list table (\listtable,
// \listoverridetable, a paragraph's \ls and \ilvl) or the older paragraph numbering (\pn).
// Numbers count per list and level as Word counts them: each numbered paragraph adds one to
// its level and starts the deeper levels again.
class ListLabels {
 public:
  // The text of a level (\leveltext) or of a \pn's text before or after the number
  // (\pntxtb, \pntxta): characters as read, and bytes kept as bytes (kByte plus the byte)
  // until the font they are in is known.
  static constexpr char32_t kByte = 0x110000;
  using Decode = std::function<char32_t(int font, char32_t c)>;

  // ---- the list table
  void BeginList();
  void EndList();
  void BeginLevel();
  void SetListId(int id);        // of the list being defined
  void SetLevelFormat(int nfc);  // \levelnfc
  void SetLevelStart(int start);
  void SetLevelFollow(int follow);  // 0 a tab after the label, 1 a space, 2 nothing
  void SetLevelFont(int font);
  void BeginOverride();
  void SetOverrideListId(int id);
  void SetOverrideNumber(int ls);
  // ---- the paragraph numbering of a \pn group
  void BeginPn();
  void SetPnLevel(int level);  // 1 to 9 an outline level, 10 the body (\pnlvlbody), 11 a bullet
  void SetPnFormat(int nfc);   // as \levelnfc
  void SetPnStart(int start);
  void SetPnFont(int font);
  // Where the text read in a \leveltext, \pntxtb or \pntxta group goes.
  std::u32string* LevelText();
  std::u32string* PnText(bool before);

  // The label of a paragraph of list `ls` at level `ilvl` (0 to 8), or of the paragraph
  // numbering read last (a paragraph's \pn); empty when it has none. Either counts the paragraph. A paragraph of
  // neither starts the body numbering of \pn again. `decode` gives the character of a font
  // number (-1: the paragraph's) and a character of its text (kByte plus a byte, or one of the
  // symbol fonts' private characters).
  std::string ListLabel(int ls, int ilvl, const Decode& decode);
  std::string PnLabel(const Decode& decode);
  void Unnumbered();

 private:
  struct Level {
    int nfc = 0;
    int start = 1;
    int follow = 0;
    int font = -1;
    std::u32string text;
  };
  struct List {
    std::vector<Level> levels;
  };
  struct Pn {
    int level = 10;
    int nfc = 0;
    int start = 1;
    int font = -1;
    std::u32string before, after;
  };
  static std::string Number(int nfc, int n);
  Level* CurrentLevel();

  std::map<int, List> lists_;  // by \listid
  List pending_;               // the list being defined
  int listId_ = -1;            // its \listid
  bool inList_ = false;
  std::map<int, int> overrides_;  // \ls number to \listid
  int overrideListId_ = -1;
  std::map<int, std::vector<int>> counts_;  // by \listid, one a level
  Pn pn_;
  bool pnSet_ = false;
  int pnCounts_[12] = {};
};

// ---- shapes and drawing objects (RtfReaderShapes.cpp) ------------------------------------

// Whether the text of a group that a shape or drawing-object word (\shp, \shpinst, \sp,
// \shptxt, \do, \dptxbxtext) opens is the document's text, `shown` telling whether the
// text of the group around it is.
bool ShapeTextShown(std::string_view word, bool shown);
// True for the words that open the text of a text box (\shptxt, \dptxbxtext).
bool IsTextBoxText(std::string_view word);

}  // namespace qv::richtext::rtfread
