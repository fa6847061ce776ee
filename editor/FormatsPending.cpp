// Stand-in for the rich-text library until it is part of the build: names and messages
// work, the RTF and ".txm" formats and the units are refused.
#include <QImage>
#include <QTextImageFormat>
#include <QUrl>

#include <algorithm>
#include <cctype>

#include "editor/Formats.h"

namespace qv::editor {

namespace {
std::string Upper(std::string_view s) {
  std::string u(s);
  for (char& c : u) c = char(std::toupper(static_cast<unsigned char>(c)));
  return u;
}
bool EndsWith(const std::string& s, std::string_view end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}
}  // namespace

FileFormat FormatForOpening(std::string_view path) {
  const std::string u = Upper(path);
  if (EndsWith(u, "TXM")) return FileFormat::Txm;
  if (EndsWith(u, "RTF")) return FileFormat::Rtf;
  if (EndsWith(u, "HTM") || EndsWith(u, "HTML")) return FileFormat::Html;
  return FileFormat::Text;
}

FileFormat FormatForSaving(std::string_view path) {
  const std::string u = Upper(path);
  if (EndsWith(u, "RTF")) return FileFormat::Rtf;
  if (EndsWith(u, "HTM") || EndsWith(u, "HTML")) return FileFormat::Html;
  if (EndsWith(u, "TXT")) return FileFormat::Text;
  return FileFormat::Txm;
}

std::string FileMessageText(FileMessage message, const std::string& path) {
  switch (message) {
    case FileMessage::CantOpen: return "Can't open file: " + path;
    case FileMessage::WrongFileType: return "Wrong file type: " + path;
    case FileMessage::CantLoad: return "Can't load file: " + path;
    case FileMessage::CantSave: return "Can't save file: " + path;
    case FileMessage::CantImport: return "Can't import file: " + path;
    case FileMessage::InvalidImagePath: return "Invalid image path: " + path;
  }
  return path;
}

ReadResult ReadTxmInto(std::string_view, QTextDocument&) { return {}; }
ReadResult ReadRtfInto(std::string_view, QTextDocument&) { return {}; }
std::string WriteTxmOf(const QTextDocument&, const PageSettings&) { return {}; }
std::string WriteRtfOf(const QTextDocument&, const PageSettings&) { return {}; }
bool InsertRtfAt(std::string_view, QTextCursor&) { return false; }

bool InsertPictureAt(const std::string& bytes, QTextCursor& cursor) {
  QImage image;
  if (!image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), int(bytes.size()))) return false;
  const QString name = QStringLiteral("picture%1").arg(qHash(QByteArray::fromStdString(bytes)));
  cursor.document()->addResource(QTextDocument::ImageResource, QUrl(name), image);
  QTextImageFormat f;
  f.setName(name);
  f.setWidth(image.width());
  f.setHeight(image.height());
  cursor.insertImage(f);
  return true;
}

constexpr int kFrameProperty = QTextFormat::UserProperty + 0x5F00;

ParagraphFrame ParagraphFrameOf(const QTextBlockFormat& format) {
  ParagraphFrame f;
  const QVariantList v = format.property(kFrameProperty).toList();
  if (v.size() != 9) return f;
  f.left = v[0].toBool();
  f.right = v[1].toBool();
  f.top = v[2].toBool();
  f.bottom = v[3].toBool();
  f.tabLines = v[4].toBool();
  f.doubleLines = v[5].toBool();
  f.connected = v[6].toBool();
  f.lineWidth = v[7].toInt();
  f.distance = v[8].toInt();
  return f;
}

void SetParagraphFrame(QTextBlockFormat& format, const ParagraphFrame& f) {
  format.setProperty(kFrameProperty, QVariantList{f.left, f.right, f.top, f.bottom, f.tabLines, f.doubleLines,
                                                  f.connected, f.lineWidth, f.distance});
}

double ParseDialogNumber(std::string_view) { return 0; }
int32_t DlgString2Twips(std::string_view, int) { return 0; }
std::string Twips2DlgString(float, int) { return "0.00"; }
std::string UnitLabel(int measureUnit) { return measureUnit == 2 ? "cm" : "inch"; }

std::string ImageFolderOf(const std::string& path) {
  std::string folder = path;
  while (!folder.empty() && folder.back() != ':' && folder.back() != '\\' && folder.back() != '/') folder.pop_back();
  return folder;
}

}  // namespace qv::editor
