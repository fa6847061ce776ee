#pragma once
// The editor's one way to the rich-text library (editor/richtext, editor/richtextqt): the
// ".txm" and RTF formats, the choice of format by file name, the texts of the file messages,
// paragraph frames and the length units of the dialogs.
#include <QPainter>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <cstdint>
#include <string>
#include <string_view>

#include "editor/richtext/TxmFile.h"

namespace qv::editor {

// The page record, the format codes and the file messages are the rich-text library's own.
using richtext::FileFormat;
using richtext::FileMessage;
using richtext::FileMessageText;
using richtext::FormatForOpening;
using richtext::FormatForSaving;
using richtext::PageSettings;

// A new document's page: Letter with one-inch margins (the window's load sets the size by
// the locale).
inline constexpr PageSettings kLetterPage{1440, 1440, 1440, 1440, 15840, 12240, 0};

// Reading a document file into a QTextDocument. On success the document holds the file's
// content and `page` its page (when the file has one, `hasPage`); on failure the document
// is left as it was and `failure` names the message.
struct ReadResult {
  bool ok = false;
  FileMessage failure = FileMessage::CantLoad;
  bool hasPage = false;
  PageSettings page;
  std::string warning;  // what was read with losses, for the user
  std::string reason;   // why it was refused, for the user, when that is worth saying
};
ReadResult ReadTxmInto(std::string_view bytes, QTextDocument& doc);
ReadResult ReadRtfInto(std::string_view bytes, QTextDocument& doc);

// The whole file of a document in the ".txm" layout or as RTF, with the page given.
std::string WriteTxmOf(const QTextDocument& doc, const PageSettings& page);
std::string WriteRtfOf(const QTextDocument& doc, const PageSettings& page);

// The plain text and the HTML of a document, and a fragment for the clipboard, without what
// the bridge adds for Qt's layout alone (zero-width spaces in words too long for a line,
// block ends within a very long paragraph): they are not the document's.
QString PlainTextOf(const QTextDocument& doc);
QString HtmlOf(const QTextDocument& doc);
QTextDocumentFragment WithoutLayoutAids(const QTextDocumentFragment& fragment);
// Adds those aids to a document or fragment made otherwise (plain text, HTML, a paste).
void AddLayoutAids(QTextDocument& doc);
QTextDocumentFragment WithLayoutAids(const QTextDocumentFragment& fragment);

// Inserts an RTF text at the cursor (its content only, not its page). False when it is
// not RTF the reader takes.
bool InsertRtfAt(std::string_view bytes, QTextCursor& cursor);

// Inserts a picture (PNG or JPEG bytes) at the cursor at its natural size; false when the
// bytes are neither.
bool InsertPictureAt(const std::string& bytes, QTextCursor& cursor);

// The frame lines of a paragraph as the editor's frame dialog sets them: which sides carry
// a line, lines at the tab positions, single or double lines, connected frames, the line
// width and the distance to the text (twips, -1 when not set).
struct ParagraphFrame {
  bool left = false, right = false, top = false, bottom = false;
  bool tabLines = false;
  bool doubleLines = false;
  bool connected = false;
  int lineWidth = -1;
  int distance = -1;
  bool any() const { return left || right || top || bottom; }
  friend bool operator==(const ParagraphFrame&, const ParagraphFrame&) = default;
};
ParagraphFrame ParagraphFrameOf(const QTextBlockFormat& format);
void SetParagraphFrame(QTextBlockFormat& format, const ParagraphFrame& frame);

// Draws the leaders of the tab stops that have one, in the paragraphs that meet `rect`
// (document coordinates): on screen, in the preview and in print alike.
void DrawTabLeaders(QPainter& painter, const QTextDocument& doc, const QRectF& rect);

// Shows the page numbers of the fields without a result in a document laid out in pages.
void ShowPageNumbers(QTextDocument& doc);

// The number in a dialog entry: the first comma counts as the decimal point.
double ParseDialogNumber(std::string_view text);
// Lengths of the dialogs: unit 1 inch, 2 centimetre.
int32_t DlgString2Twips(std::string_view text, int measureUnit);
std::string Twips2DlgString(float twips, int measureUnit);
std::string UnitLabel(int measureUnit);

// The folder part of a path with its trailing separator; empty for a bare file name.
std::string ImageFolderOf(const std::string& path);

}  // namespace qv::editor
