#include "editor/richtext/TxmFile.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "editor/richtext/Rtf.h"

namespace qv::richtext {

namespace {

std::string Upper(std::string_view s) {
  std::string u(s);
  for (char& c : u) c = char(std::toupper(static_cast<unsigned char>(c)));
  return u;
}

bool EndsWith(const std::string& s, std::string_view end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

int32_t ReadInt32(std::string_view b, size_t at) {
  uint32_t v = uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 |
               uint32_t(uint8_t(b[at + 2])) << 16 | uint32_t(uint8_t(b[at + 3])) << 24;
  return int32_t(v);
}

int16_t ReadInt16(std::string_view b, size_t at) {
  return int16_t(uint16_t(uint8_t(b[at]) | uint16_t(uint8_t(b[at + 1])) << 8));
}

void WriteInt32(std::string& out, int32_t v) {
  uint32_t u = uint32_t(v);
  for (int k = 0; k < 4; ++k) out += char((u >> (8 * k)) & 0xFF);
}

void WriteInt16(std::string& out, int16_t v) {
  uint16_t u = uint16_t(v);
  out += char(u & 0xFF);
  out += char(u >> 8);
}

// Paper up to the largest page (kMaxPageTwips) and margins inside it; a header beyond is
// damaged. What passes is then brought within the page limits (LimitPage), as every page
// the writer writes is.
bool PlausiblePage(const PageSettings& p) {
  auto size = [](int32_t v) { return v > 0 && v <= kMaxPageTwips; };
  auto margin = [](int32_t v, int32_t within) { return v >= 0 && v <= within; };
  return size(p.PageWidth) && size(p.PageHeight) && margin(p.PageMarginL, p.PageWidth) &&
         margin(p.PageMarginR, p.PageWidth) && margin(p.PageMarginT, p.PageHeight) &&
         margin(p.PageMarginB, p.PageHeight);
}

}  // namespace

PageSettings PageSettingsOf(const PageSetup& given) {
  PageSetup page = given;
  LimitPage(page);
  PageSettings s;
  s.PageMarginL = page.marginLeft;
  s.PageMarginT = page.marginTop;
  s.PageMarginR = page.marginRight;
  s.PageMarginB = page.marginBottom;
  s.PageHeight = page.height;
  s.PageWidth = page.width;
  s.PaperSizeIndex = 0;
  return s;
}

PageSetup PageSetupOf(const PageSettings& s) {
  PageSetup page;
  page.marginLeft = s.PageMarginL;
  page.marginTop = s.PageMarginT;
  page.marginRight = s.PageMarginR;
  page.marginBottom = s.PageMarginB;
  page.height = s.PageHeight;
  page.width = s.PageWidth;
  LimitPage(page);
  return page;
}

FileFormat FormatForOpening(std::string_view path) {
  std::string u = Upper(path);
  if (EndsWith(u, "TXM")) return FileFormat::Txm;
  if (EndsWith(u, "RTF")) return FileFormat::Rtf;
  if (EndsWith(u, "HTM") || EndsWith(u, "HTML")) return FileFormat::Html;
  return FileFormat::Text;
}

FileFormat FormatForSaving(std::string_view path) {
  std::string u = Upper(path);
  if (EndsWith(u, "TXM")) return FileFormat::Txm;
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

std::string FileMessageTitle(FileMessage message) {
  return message == FileMessage::InvalidImagePath ? "Viewer" : "";
}

bool FileMessageHasExclamation(FileMessage message) {
  return message == FileMessage::InvalidImagePath;
}

DocumentReadResult ReadTxm(std::string_view bytes) {
  DocumentReadResult r;
  if (bytes.size() < 4) {
    r.failure = FileMessage::WrongFileType;
    r.detail = "The file is shorter than its version number.";
    return r;
  }
  r.version = ReadInt32(bytes, 0);
  size_t offset = 0;
  if (r.version == kTxmVersion) {
    if (bytes.size() < kTxmHeaderSize) {
      r.failure = FileMessage::CantLoad;
      r.detail = "The page record is cut short.";
      return r;
    }
    r.page.PageMarginL = ReadInt32(bytes, 4);
    r.page.PageMarginT = ReadInt32(bytes, 8);
    r.page.PageMarginR = ReadInt32(bytes, 12);
    r.page.PageMarginB = ReadInt32(bytes, 16);
    r.page.PageHeight = ReadInt32(bytes, 20);
    r.page.PageWidth = ReadInt32(bytes, 24);
    r.page.PaperSizeIndex = ReadInt16(bytes, 28);
    if (!PlausiblePage(r.page)) {
      r.failure = FileMessage::CantLoad;
      r.detail = "The page record holds sizes no page can have.";
      return r;
    }
    const int16_t paper = r.page.PaperSizeIndex;
    r.page = PageSettingsOf(PageSetupOf(r.page));
    r.page.PaperSizeIndex = paper;
    offset = kTxmHeaderSize;
  } else if (r.version == kTxmOldVersion) {
    r.page = PageSettings{};  // A4, one-inch margins
    offset = kTxmOldHeaderSize;
  } else {
    r.failure = FileMessage::WrongFileType;
    r.detail = "The version is neither 20 nor 23.";
    return r;
  }
  RtfReadResult body = ReadRtf(bytes.substr(offset));
  if (!body.ok) {
    r.failure = FileMessage::CantLoad;
    r.detail = body.error;
    return r;
  }
  r.ok = true;
  r.warning = std::move(body.warning);
  r.document = std::move(body.document);
  const PageSetup read = r.document.page;
  r.document.page = PageSetupOf(r.page);
  r.document.page.columns = read.columns;  // the page record has no columns
  r.document.page.columnSpace = read.columnSpace;
  r.document.page.sectionExtraLeft = read.sectionExtraLeft;  // nor the section's margins
  r.document.page.sectionExtraRight = read.sectionExtraRight;
  r.document.page.sectionExtraTop = read.sectionExtraTop;
  r.document.page.sectionExtraBottom = read.sectionExtraBottom;
  return r;
}

std::string WriteTxm(const Document& doc) {
  std::string out;
  PageSettings s = PageSettingsOf(doc.page);
  WriteInt32(out, kTxmVersion);
  WriteInt32(out, s.PageMarginL);
  WriteInt32(out, s.PageMarginT);
  WriteInt32(out, s.PageMarginR);
  WriteInt32(out, s.PageMarginB);
  WriteInt32(out, s.PageHeight);
  WriteInt32(out, s.PageWidth);
  WriteInt16(out, 0);
  out += WriteRtf(doc);
  return out;
}

DocumentReadResult ReadRtfFile(std::string_view bytes) {
  DocumentReadResult r;
  RtfReadResult rtf = ReadRtf(bytes);
  if (!rtf.ok) {
    r.failure = FileMessage::CantLoad;
    r.detail = rtf.error;
    return r;
  }
  r.ok = true;
  r.warning = std::move(rtf.warning);
  r.document = std::move(rtf.document);
  r.page = PageSettingsOf(r.document.page);
  return r;
}

FileMessage SaveFailureMessage(const std::string& path) {
  namespace fs = std::filesystem;
  fs::path dir = fs::path(path).parent_path();
  if (dir.empty()) dir = ".";
  std::error_code ec;
  if (!fs::is_directory(dir, ec) || ::access(dir.c_str(), W_OK) != 0) return FileMessage::CantOpen;
  if (fs::is_directory(path, ec)) return FileMessage::CantOpen;
  return FileMessage::CantSave;
}

std::string ImageFolderOf(const std::string& path) {
  std::string folder = path;
  while (!folder.empty() && folder.back() != ':' && folder.back() != '\\' && folder.back() != '/')
    folder.pop_back();
  return folder;
}

std::string StripPathQuotes(const std::string& path) {
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') return path.substr(1, path.size() - 2);
  return path;
}

}  // namespace qv::richtext
