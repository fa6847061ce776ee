#pragma once
// The rich-text document model of the report editor: what a report or a word processor's
// RTF holds that the editor shows, edits and writes back. Plain data, no Qt; the RTF reader
// and writer (Rtf.h) work on it, and the Qt bridge (editor/richtextqt) turns it into a
// QTextDocument and back.
//
// Every length is in twips (1440 to the inch, 20 to the point); font sizes are in half
// points as RTF writes them. Text is UTF-8.
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace qv::richtext {

struct Color {
  uint8_t red = 0, green = 0, blue = 0;
  friend bool operator==(const Color&, const Color&) = default;
};

enum class Underline { None, Single, Double, Dotted, Dashed, Wave, Words };
enum class VerticalPosition { Normal, Superscript, Subscript };
enum class Capitals { None, All, Small };  // letters shown as capitals or small capitals

// The look of a run of characters. An empty font name is the document's default font.
struct CharFormat {
  std::string font;
  int sizeHalfPoints = 24;
  bool bold = false;
  bool italic = false;
  bool strike = false;
  Capitals capitals = Capitals::None;
  Underline underline = Underline::None;
  std::optional<Color> color;       // none: automatic (black)
  std::optional<Color> background;  // none: no background (highlight or shading)
  VerticalPosition position = VerticalPosition::Normal;
  int raiseHalfPoints = 0;  // text raised (> 0) or lowered (< 0) from the baseline
  bool hidden = false;      // hidden text (RTF's \v): kept and written back
  int language = 0;         // the text's language (RTF's \lang, a Windows language number), 0 none
  friend bool operator==(const CharFormat&, const CharFormat&) = default;
};

enum class Alignment { Left, Center, Right, Justify };

enum class TabKind { Left, Center, Right, Decimal };
enum class TabLeader { None, Dots, Hyphens, Underline, ThickLine, Equals };

struct TabStop {
  int position = 0;
  TabKind kind = TabKind::Left;
  TabLeader leader = TabLeader::None;
  friend bool operator==(const TabStop&, const TabStop&) = default;
};

enum class BorderStyle { None, Single, Thick, Double, Dotted, Dashed, Hairline };

// One side of a paragraph frame or of a table cell.
struct BorderLine {
  BorderStyle style = BorderStyle::None;
  int width = 0;     // line width, twips
  int distance = 0;  // distance between the text and the line, twips
  std::optional<Color> color;
  bool present() const { return style != BorderStyle::None; }
  friend bool operator==(const BorderLine&, const BorderLine&) = default;
};

// The frame lines of a paragraph. Consecutive paragraphs with the same frame that are
// `connected` form one frame (RTF's border between paragraphs); `tabLines` draws lines at
// the paragraph's tab positions inside the frame.
struct ParagraphBorders {
  BorderLine left, right, top, bottom;
  bool connected = false;
  bool tabLines = false;
  bool any() const { return left.present() || right.present() || top.present() || bottom.present(); }
  friend bool operator==(const ParagraphBorders&, const ParagraphBorders&) = default;
};

struct ParagraphFormat {
  Alignment alignment = Alignment::Left;
  int leftIndent = 0;
  int rightIndent = 0;
  int firstLineIndent = 0;  // relative to the left indent; negative hangs
  int spaceBefore = 0;
  int spaceAfter = 0;
  // Line spacing as RTF's \sl: 0 single; > 0 at least this many twips; < 0 exactly that
  // many twips. With `lineSpacingMultiple`, a positive value is a multiple of single
  // spacing in 240ths (360 is one and a half lines).
  int lineSpacing = 0;
  bool lineSpacingMultiple = false;
  std::vector<TabStop> tabs;  // in the order written; positions from the left margin
  ParagraphBorders borders;
  bool pageBreakBefore = false;
  // The paragraph's shading as one colour (RTF's \cbpat, or its \shading of \cfpat over it).
  std::optional<Color> background;
  friend bool operator==(const ParagraphFormat&, const ParagraphFormat&) = default;
};

enum class PictureFormat { Png, Jpeg };

// A picture placed as a character. The shown size is in twips.
struct Picture {
  PictureFormat format = PictureFormat::Png;
  std::string data;  // the PNG or JPEG file's bytes
  int width = 0;
  int height = 0;
  friend bool operator==(const Picture&, const Picture&) = default;
};

// A piece of a paragraph: text in one format, a line break, a picture, or a footnote. Text
// holds TAB characters for tabs; it never holds line breaks (those are runs of their own). A
// footnote is its mark (numbered in the order of the document, in the run's format) and its
// note's text in `text`, the note's paragraphs separated by line feeds. A field (RTF's
// \field) is its instruction in `instruction` ("PAGE", "MERGEFIELD Name") and the result
// last shown in `text`, one line in the run's format; the editor shows the result.
struct TextRun {
  enum class Kind { Text, LineBreak, Picture, Footnote, Field };
  Kind kind = Kind::Text;
  CharFormat format;
  std::string text;
  Picture picture;
  std::string instruction;  // of a field
  friend bool operator==(const TextRun&, const TextRun&) = default;
};

// What a field without a stored result shows, from its instruction: PAGE, NUMPAGES and
// SECTIONPAGES a number (1: the text is not numbered by page), SYMBOL its character as the
// font it names maps it (\f "Symbol", \f "Wingdings"; \u a Unicode number), any other
// field nothing.
std::string FieldValue(const std::string& instruction);

struct Paragraph {
  ParagraphFormat format;
  std::vector<TextRun> runs;
  // The format of the paragraph mark: it sets the height of an empty paragraph.
  CharFormat markFormat;
  std::string PlainText() const;  // the text, a line break as "\n", a picture as nothing
  friend bool operator==(const Paragraph&, const Paragraph&) = default;
};

enum class VerticalAlignment { Top, Center, Bottom };

// A cell merged with its neighbours: the first of the merged cells, or one merged into the
// cell before it (across) or above it (down). A merged-in cell's text is not shown.
enum class CellMerge { None, First, Next };

struct CellTable;

struct TableCell {
  int rightEdge = 0;  // right boundary of the cell, twips from the margin
  BorderLine left, right, top, bottom;
  CellMerge mergeAcross = CellMerge::None;  // RTF's \clmgf, \clmrg
  CellMerge mergeDown = CellMerge::None;    // RTF's \clvmgf, \clvmrg
  std::optional<Color> background;
  VerticalAlignment verticalAlignment = VerticalAlignment::Top;
  std::vector<Paragraph> paragraphs;  // at least one
  // Tables inside the cell (RTF's \itap 2 and deeper), in the order of the cell, each
  // before the paragraph its `before` names; a paragraph always follows the last of them.
  std::vector<CellTable> tables;
  friend bool operator==(const TableCell&, const TableCell&) = default;
};

struct TableRow {
  int leftEdge = 0;  // left boundary of the first cell, twips from the margin
  int gap = 0;       // half the space between the text of two cells (\trgaph)
  int height = 0;    // 0 automatic; > 0 at least; < 0 exactly
  Alignment alignment = Alignment::Left;  // of the row on the page (not Justify)
  bool header = false;                    // repeated at the top of each page
  std::vector<TableCell> cells;
  friend bool operator==(const TableRow&, const TableRow&) = default;
};

struct Table {
  std::vector<TableRow> rows;
  friend bool operator==(const Table&, const Table&) = default;
};

// A table inside a table cell, before the cell's paragraph number `before`.
struct CellTable {
  size_t before = 0;
  Table table;
  friend bool operator==(const CellTable&, const CellTable&) = default;
};

// Tables are at most this many levels deep (a table in a cell is level 2); deeper ones
// are read as the paragraphs of their cell at the deepest level.
constexpr int kMaxTableDepth = 16;

using Block = std::variant<Paragraph, Table>;

// A header or footer (RTF's \header, \headerl, \footerf...): the editor does not show it,
// it keeps it to write it back.
struct HeaderFooter {
  std::string kind;  // the destination's word: "header", "headerl", "footerf", ...
  std::vector<Block> blocks;
  friend bool operator==(const HeaderFooter&, const HeaderFooter&) = default;
};

// The paper and margins of the document, twips. The defaults are RTF's own (Letter,
// 1.25-inch side margins, 1-inch top and bottom).
struct PageSetup {
  int width = 12240;
  int height = 15840;
  int marginLeft = 1800;
  int marginRight = 1800;
  int marginTop = 1440;
  int marginBottom = 1440;
  // The columns of the text (RTF's \cols, \colsx): kept, the editor shows one column.
  int columns = 1;
  int columnSpace = 720;
  // The first section's own margins (\marglsxn...) as what they add to the document's
  // margins: LibreOffice writes a margin plus the height of the header there. The page
  // shows the document's margins; these are written back beside them.
  int sectionExtraLeft = 0;
  int sectionExtraRight = 0;
  int sectionExtraTop = 0;
  int sectionExtraBottom = 0;
  friend bool operator==(const PageSetup&, const PageSetup&) = default;
};

// The page every reader and writer keeps to: paper from kMinPageTwips (an inch) to
// kMaxPageTwips (about 18 metres) each way, margins not negative and leaving at least
// kMinTextTwips of text across and down. Every other length the editor lays out is kept
// within kMaxPageTwips too.
constexpr int kMaxPageTwips = 1 << 20;
constexpr int kMinPageTwips = 1440;
constexpr int kMinTextTwips = 360;
// Brings a page within those limits: the paper's sides are clamped, and a pair of margins
// that leaves too little room is made two equal margins that leave kMinTextTwips; a
// section's margin (a margin plus its section extra) is kept between 0 and the paper's side.
void LimitPage(PageSetup& page);

struct Document {
  PageSetup page;
  std::string defaultFont = "Times New Roman";
  std::vector<Block> blocks;
  std::string PlainText() const;  // paragraphs joined by "\n", table cells by "\t"
  std::vector<HeaderFooter> headersFooters;  // in the order of the file
  // Which of them a page shows: the first page its own ("headerf", "footerf"; RTF's \titlepg
  // of the first section), left and right pages theirs ("headerl", "headerr"...; RTF's
  // \facingp). Kept and written back.
  bool titlePage = false;
  bool facingPages = false;
  friend bool operator==(const Document&, const Document&) = default;
};

// Brings a document to the one form the RTF reader produces, so that documents built in
// code compare equal to what reading their RTF gives: adjacent text runs of one format are
// joined and empty ones dropped, a font named like the default font becomes the default
// (empty name), text characters are cleaned (line breaks become line-break runs, control
// characters other than TAB dropped), every table cell holds at least one paragraph and a
// table row at least one cell; a table inside a cell is followed by a paragraph of the cell,
// and two with no paragraph between them are one table; the page is within the page limits
// (LimitPage).
void Normalize(Document& doc);
void Normalize(Paragraph& p, const std::string& defaultFont);

// Pictures are at most this wide or high (about 69 inches).
constexpr int kMaxPictureTwips = 100000;
// Gives a picture without a shown size its size at 96 pixels to the inch (one inch square
// when the data tell no size) and limits its size to kMaxPictureTwips.
void FixPictureSize(Picture& picture);

// The pixel size of PNG or JPEG data from its header; {0, 0} when it cannot be told.
struct PixelSize {
  int width = 0, height = 0;
};
PixelSize ImagePixelSize(const std::string& data);
// The format of picture data by its first bytes, if it is PNG or JPEG.
std::optional<PictureFormat> DetectPictureFormat(const std::string& data);

}  // namespace qv::richtext
