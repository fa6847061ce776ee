// The editor's formats, through the rich-text library (editor/richtext and its Qt bridge).
#include "editor/Formats.h"

#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextFragment>
#include <QTextFrame>
#include <QUrl>

#include <memory>

#include "editor/richtext/Rtf.h"
#include "editor/richtext/TxmFile.h"
#include "editor/richtext/Units.h"
#include "editor/richtextqt/RichTextQt.h"

namespace qv::editor {

namespace rt = qv::richtext;

namespace {

rt::MeasureUnit Unit(int measureUnit) { return measureUnit == 2 ? rt::MeasureUnit::Centimetre : rt::MeasureUnit::Inch; }

// Builds the document from what was read; the model is handed over, not copied.
ReadResult Loaded(rt::DocumentReadResult& r, QTextDocument& doc, const rt::PageSettings& page) {
  ReadResult out;
  if (!r.ok) {
    out.failure = r.failure;
    // A document refused as too large says so; other refusals say only that it did not load.
    if (r.detail == rt::kDocumentTooLarge) out.reason = r.detail;
    return out;
  }
  rt::qt::ToQTextDocument(std::move(r.document), doc);
  out.ok = true;
  out.warning = r.warning;
  out.hasPage = true;
  out.page = page;
  return out;
}

rt::Document ModelOf(const QTextDocument& doc, const PageSettings& page) {
  rt::Document d = rt::qt::FromQTextDocument(doc);
  const rt::PageSetup shown = d.page;
  d.page = rt::PageSetupOf(page);
  d.page.columns = shown.columns;  // the page record has no columns
  d.page.columnSpace = shown.columnSpace;
  d.page.sectionExtraLeft = shown.sectionExtraLeft;  // nor the section's margins
  d.page.sectionExtraRight = shown.sectionExtraRight;
  d.page.sectionExtraTop = shown.sectionExtraTop;
  d.page.sectionExtraBottom = shown.sectionExtraBottom;
  return d;
}

// The picture resources a fragment's image formats name, copied from one document to another
// (a fragment carries the names, not the pictures).
void CopyPictures(const QTextDocument& from, QTextDocument& to) {
  for (QTextBlock b = from.begin(); b.isValid(); b = b.next()) {
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat f = it.fragment().charFormat();
      if (!f.isImageFormat()) continue;
      const QUrl name(f.toImageFormat().name());
      const QVariant picture = from.resource(QTextDocument::ImageResource, name);
      if (picture.isValid()) to.addResource(QTextDocument::ImageResource, name, picture);
    }
  }
}

}  // namespace

ReadResult ReadTxmInto(std::string_view bytes, QTextDocument& doc) {
  rt::DocumentReadResult r = rt::ReadTxm(bytes);
  return Loaded(r, doc, r.page);
}

ReadResult ReadRtfInto(std::string_view bytes, QTextDocument& doc) {
  rt::DocumentReadResult r = rt::ReadRtfFile(bytes);
  const PageSettings page = rt::PageSettingsOf(r.document.page);
  return Loaded(r, doc, page);
}

std::string WriteTxmOf(const QTextDocument& doc, const PageSettings& page) { return rt::WriteTxm(ModelOf(doc, page)); }
std::string WriteRtfOf(const QTextDocument& doc, const PageSettings& page) { return rt::WriteRtf(ModelOf(doc, page)); }

QString PlainTextOf(const QTextDocument& doc) { return rt::qt::PlainTextOf(doc); }

QString HtmlOf(const QTextDocument& doc) {
  if (!rt::qt::HasLayoutAids(doc)) return doc.toHtml();
  std::unique_ptr<QTextDocument> copy(doc.clone());
  rt::qt::RemoveLayoutAids(*copy);
  return copy->toHtml();
}

QTextDocumentFragment WithoutLayoutAids(const QTextDocumentFragment& fragment) {
  QTextDocument copy;
  QTextCursor(&copy).insertFragment(fragment);
  if (!rt::qt::HasLayoutAids(copy)) return fragment;
  rt::qt::RemoveLayoutAids(copy);
  return QTextDocumentFragment(&copy);
}

void AddLayoutAids(QTextDocument& doc) { rt::qt::AddLayoutAids(doc); }

QTextDocumentFragment WithLayoutAids(const QTextDocumentFragment& fragment) {
  if (fragment.toPlainText().size() <= rt::qt::kLongWord) return fragment;
  QTextDocument copy;
  QTextCursor(&copy).insertFragment(fragment);
  rt::qt::AddLayoutAids(copy);
  return QTextDocumentFragment(&copy);
}

bool InsertRtfAt(std::string_view bytes, QTextCursor& cursor) {
  rt::RtfReadResult r = rt::ReadRtf(bytes);
  if (!r.ok) return false;
  QTextDocument part;
  rt::qt::ToQTextDocument(std::move(r.document), part);
  QTextDocument* target = cursor.document();
  CopyPictures(part, *target);
  cursor.insertFragment(QTextDocumentFragment(&part));
  return true;
}

bool InsertPictureAt(const std::string& bytes, QTextCursor& cursor) {
  // Just after a table the caret's format is the table's object format, which would make the
  // picture a reference to the table: the picture takes the caret's character format only.
  QTextCharFormat plain = cursor.charFormat();
  plain.clearProperty(QTextFormat::ObjectIndex);
  plain.clearProperty(QTextFormat::ObjectType);
  if (!cursor.hasSelection()) cursor.setCharFormat(plain);
  return rt::qt::InsertPicture(cursor, bytes);
}

// The frame dialog's width, distance and kind of line are kept beside the borders too, so
// that they stay while no side carries a line.
constexpr int kFrameSettings = QTextFormat::UserProperty + 0x5F00;

ParagraphFrame ParagraphFrameOf(const QTextBlockFormat& format) {
  const rt::ParagraphBorders b = rt::qt::ParagraphBordersOf(format);
  ParagraphFrame f;
  f.left = b.left.present();
  f.right = b.right.present();
  f.top = b.top.present();
  f.bottom = b.bottom.present();
  f.tabLines = b.tabLines;
  f.connected = b.connected;
  // Width, distance and the kind of line are those of the sides that carry one.
  for (const rt::BorderLine* line : {&b.left, &b.top, &b.right, &b.bottom}) {
    if (!line->present()) continue;
    f.doubleLines = line->style == rt::BorderStyle::Double;
    f.lineWidth = line->width;
    f.distance = line->distance;
    break;
  }
  const QVariantList kept = format.property(kFrameSettings).toList();
  if (kept.size() == 3) {
    f.lineWidth = kept[0].toInt();
    f.distance = kept[1].toInt();
    f.doubleLines = kept[2].toBool();
  }
  return f;
}

void SetParagraphFrame(QTextBlockFormat& format, const ParagraphFrame& f) {
  rt::ParagraphBorders b;
  auto side = [&](bool on) {
    rt::BorderLine line;
    if (!on) return line;
    line.style = f.doubleLines ? rt::BorderStyle::Double : rt::BorderStyle::Single;
    line.width = f.lineWidth > 0 ? f.lineWidth : 20;
    line.distance = f.distance > 0 ? f.distance : 0;
    return line;
  };
  b.left = side(f.left);
  b.right = side(f.right);
  b.top = side(f.top);
  b.bottom = side(f.bottom);
  b.tabLines = f.tabLines;
  b.connected = f.connected;
  rt::qt::SetParagraphBorders(format, b);
  format.setProperty(kFrameSettings, QVariantList{f.lineWidth, f.distance, f.doubleLines});
}

void ShowPageNumbers(QTextDocument& doc) { rt::qt::ShowPageNumbers(doc); }

void DrawTabLeaders(QPainter& painter, const QTextDocument& doc, const QRectF& rect) {
  rt::qt::DrawTabLeaders(painter, doc, rect);
}

double ParseDialogNumber(std::string_view text) { return rt::ParseDialogNumber(text); }
int32_t DlgString2Twips(std::string_view text, int measureUnit) { return rt::DlgString2Twips(text, Unit(measureUnit)); }
std::string Twips2DlgString(float twips, int measureUnit) { return rt::Twips2DlgString(twips, Unit(measureUnit)); }
std::string UnitLabel(int measureUnit) { return rt::UnitLabel(Unit(measureUnit)); }
std::string ImageFolderOf(const std::string& path) { return rt::ImageFolderOf(path); }

}  // namespace qv::editor
