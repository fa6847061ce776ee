#pragma once
// The rich-text model in and out of Qt: a Document (editor/richtext/Document.h) becomes a
// QTextDocument that a QTextEdit shows and edits, and the edited QTextDocument becomes a
// Document again for the RTF and ".txm" writers.
//
// Tab stops: the model measures them from the left margin as RTF does, Qt from the
// paragraph's left indent; the bridge takes the indent off and puts it back.
//
// Lengths: the model keeps twips, Qt keeps pixels at 96 to the inch, so one pixel is 15
// twips. What Qt has a property for is kept in that property (so that edits made through
// Qt count); what Qt has none for is kept in user properties of the formats (QTextFormat::
// UserProperty and up) so that it round-trips: paragraph frames, tab leaders, double and
// word underline, raised text, table row and cell settings. The page size and margins are
// dynamic properties of the QTextDocument. Pictures are image resources of the document
// holding the original PNG or JPEG bytes.
#include <QPainter>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <string>

#include "editor/richtext/Document.h"
#include "editor/richtext/Rtf.h"

namespace qv::richtext::qt {

constexpr double kTwipsPerPixel = 15.0;

// User properties of the formats this bridge writes.
enum Property {
  kParagraphBorders = QTextFormat::UserProperty + 0x5100,  // QVariantList, see SetParagraphBorders
  kTabLeaders,          // QVariantList of int (TabLeader), one per tab position
  kUnderlineKind,       // int (Underline) where Qt has no such underline
  kRaiseHalfPoints,     // int, text raised (> 0) or lowered (< 0)
  kCellRightEdge,       // int, twips
  kCellBorders,         // QVariantList: top, bottom, left, right borders as in kParagraphBorders
  kRowLeftEdge,         // int, twips (first cell of a row)
  kRowGap,              // int, twips
  kRowHeight,           // int, twips
  kRowAlignment,        // int (Alignment)
  kRowHeader,           // bool
  kFillerBlock,         // bool: an empty block Qt needs around a table, not a paragraph
  kCellMarkFormat,      // QTextCharFormat: the mark format of a cell's first paragraph
  kFootnote,            // QVariantList: a footnote mark's number and note (QString, paragraphs
                        // apart by line feeds); the number keeps two marks side by side apart
  kFootnoteBlock,       // bool: a note shown at the end of the document, not a paragraph
  kMergedEdges,         // QVariantList of int: right edges of the cells merged across into this one
  kMergeDown,           // bool: a cell merged down from its own row (rows below are merged in)
  kTabsPastMargin,      // QVariantList of {index, shown position (pixels), twips}: right tab
                        // stops past the right margin, shown at the margin, kept in the file
  kKeptFontName,        // QString: the font of text shown in the paragraph's font (Symbol)
  kHidden,              // bool: hidden text (shown, kept as hidden)
  kLanguage,            // int: the text's language (RTF's \lang)
  kField,               // QVariantList: a field's instruction (QString), its number (keeps two
                        // fields side by side apart), and whether its result was empty (the
                        // text shown is then its value, see FieldValue)
  kTableContinuation,   // bool, of a QTextTableFormat: more rows of the table before it (a
                        // table with rows of many different cell edges is built as several
                        // QTextTables, see the bridge's InsertTable)
  kMergedFromAbove,     // bool: a cell merged down into a cell of the QTextTable before
  kAddedBreaks,         // bool: text of a word too long for any line, holding zero-width
                        // spaces the bridge put in (see ToQTextDocument); they are not saved
  kParagraphContinuation,  // int, of a block format: the block goes on with the paragraph of
                           // the block before (a number of its own, see ToQTextDocument)
  kKeptSpaceAfter,      // int, twips: the space after the paragraph, of a block followed by
                        // its paragraph's continuation (which shows it)
};

// Names of the dynamic properties of the QTextDocument.
inline constexpr const char* kPageWidthProperty = "qvPageWidth";
inline constexpr const char* kPageHeightProperty = "qvPageHeight";
inline constexpr const char* kMarginLeftProperty = "qvMarginLeft";
inline constexpr const char* kMarginRightProperty = "qvMarginRight";
inline constexpr const char* kMarginTopProperty = "qvMarginTop";
inline constexpr const char* kMarginBottomProperty = "qvMarginBottom";
inline constexpr const char* kDefaultFontProperty = "qvDefaultFont";
inline constexpr const char* kColumnsProperty = "qvColumns";
inline constexpr const char* kColumnSpaceProperty = "qvColumnSpace";
inline constexpr const char* kSectionExtrasProperty = "qvSectionExtras";  // QVariantList of 4 int
// The headers and footers (std::vector<HeaderFooter>): not shown, kept for saving.
inline constexpr const char* kHeadersFootersProperty = "qvHeadersFooters";
// Which of them a page shows (Document::titlePage, facingPages): bool each.
inline constexpr const char* kTitlePageProperty = "qvTitlePage";
inline constexpr const char* kFacingPagesProperty = "qvFacingPages";

// Replaces the content of `target` with the document; sets its page properties and its
// default font (family, 12 points).
//
// A word longer than kLongWord characters (no line-break opportunity in it, whatever its
// runs) gets a zero-width space after every kBreakEvery characters, in text marked with
// kAddedBreaks: Qt breaks a word too long for a line where the line ends, but finds each
// line's end by measuring the rest of the word first, so a word of n characters took time
// in n squared over the line's length (over a minute for a word of 1 MB). With the spaces
// a line ends at most kBreakEvery - 1 characters short of the margin. FromQTextDocument and
// PlainTextOf take the spaces out again: the text saved is the text read.
//
// A paragraph longer than kMaxBlockChars characters is built as several blocks, the later
// ones marked with kParagraphContinuation, which FromQTextDocument reads back as one
// paragraph: Qt lays a block out whole each time it changes, holding some 40 bytes a
// character meanwhile (a 16 MB paragraph took 0.75 GB). Each such block shows its last
// line as the end of a paragraph does.
inline constexpr qsizetype kLongWord = 1000;
inline constexpr qsizetype kBreakEvery = 8;
inline constexpr qsizetype kMaxBlockChars = 65536;
void ToQTextDocument(const Document& doc, QTextDocument& target);
// The same, taking the model: it is brought into shape in place rather than copied, so a
// large document is not held twice while it is built.
void ToQTextDocument(Document&& doc, QTextDocument& target);

// A footnote shows as its number at its mark, and its note as a paragraph at the end of the
// document, after the text, in the order of the marks.
//
// The model of a QTextDocument (normalized). Blocks marked as fillers and still empty are
// left out, and so are the notes shown at the end (a note is its mark's); a table inside a
// cell is a table of the cell (TableCell::tables), down to kMaxTableDepth levels, deeper
// ones give their paragraphs to their cell.
Document FromQTextDocument(const QTextDocument& source);

// The document's text as plain text (QTextDocument::toPlainText) without what the bridge
// added for Qt's layout (see ToQTextDocument): the zero-width spaces in long words, the
// block ends within a long paragraph.
QString PlainTextOf(const QTextDocument& source);
// Whether a document holds any of those, and taking them out of the document itself (a
// copy made for the clipboard or an HTML file).
bool HasLayoutAids(const QTextDocument& doc);
// Puts them into a document made otherwise (plain text, HTML, a pasted fragment): blocks
// that the bridge did not make and that hold a long word or are too long.
void AddLayoutAids(QTextDocument& doc);
void RemoveLayoutAids(QTextDocument& doc);

// The page of a QTextDocument (the model's defaults where a property is missing) and
// setting it.
PageSetup PageSetupOf(const QTextDocument& doc);
void SetPageSetup(QTextDocument& doc, const PageSetup& page);

// Paragraph frames kept on a block format, for the frame dialog and for painting.
ParagraphBorders ParagraphBordersOf(const QTextBlockFormat& format);
void SetParagraphBorders(QTextBlockFormat& format, const ParagraphBorders& borders);

// Draws the leaders of the tab stops that have one (dots, hyphens, a line, a thick line or
// equals signs) across the gap each tab character leaves, in the blocks of `doc` that meet
// `rect` (document coordinates). The screen, the preview and printing all draw them so.
void DrawTabLeaders(QPainter& painter, const QTextDocument& doc, const QRectF& rect);

// Gives the fields without a stored result that show a page number (PAGE, and NUMPAGES and
// SECTIONPAGES, which show the number of pages) the number of the page their text stands
// on, in a document laid out in pages (its page size set). They are saved without a result
// still.
void ShowPageNumbers(QTextDocument& doc);

// Adds picture bytes to the document as an image resource (named by their hash, so the
// same picture is held once) and gives the resource's name for a QTextImageFormat.
QString AddPicture(QTextDocument& doc, const std::string& bytes);

// Inserts a picture (PNG or JPEG bytes) at the cursor with its shown size in twips (0 for
// its size at 96 pixels to the inch). False when the bytes are neither PNG nor JPEG.
bool InsertPicture(QTextCursor& cursor, const std::string& bytes, int widthTwips = 0, int heightTwips = 0);

// RTF straight into and out of a QTextDocument. Import gives false and the reader's reason
// when the text is refused; the QTextDocument is then left as it was.
bool ImportRtf(std::string_view rtf, QTextDocument& target, std::string* error = nullptr);
std::string ExportRtf(const QTextDocument& source);

// UTF-8 text of the model and Qt's strings.
QString ToQString(const std::string& utf8);
std::string FromQString(const QString& text);

}  // namespace qv::richtext::qt
