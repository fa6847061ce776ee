#include "editor/richtext/Document.h"

#include <algorithm>

#include "editor/richtext/TextCodec.h"

namespace qv::richtext {

namespace {

constexpr size_t kMaxTabs = 64;

// A font name as a font table can hold it: no semicolon, brace, backslash or control
// character, no blanks at either end.
std::string CleanFontName(const std::string& name) {
  std::string s;
  for (char c : name)
    if (c != ';' && c != '{' && c != '}' && c != '\\' && uint8_t(c) >= 0x20 && c != 0x7F) s += c;
  size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return {};
  return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

void NormalizeFont(CharFormat& f, const std::string& defaultFont) {
  f.font = CleanFontName(f.font);
  if (f.font == defaultFont) f.font.clear();
  if (f.sizeHalfPoints <= 0) f.sizeHalfPoints = 24;
  f.sizeHalfPoints = std::min(f.sizeHalfPoints, 3276);
  f.raiseHalfPoints = std::clamp(f.raiseHalfPoints, -3276, 3276);
}

void NormalizeBorder(BorderLine& b) {
  if (!b.present()) b = BorderLine{};
  b.width = std::clamp(b.width, 0, 32767);
  b.distance = std::clamp(b.distance, 0, 32767);
}

// A footnote's text: paragraphs apart by one line feed each, no control characters other
// than TAB, no line feed at either end.
std::string CleanNote(std::string_view s) {
  std::string text;
  for (size_t i = 0; i < s.size();) {
    char32_t c = codec::NextUtf8(s, i);
    if (c == '\r' || c == 0x2028 || c == 0x2029 || c == 0x0B) c = '\n';
    if ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7F || c == 0xFFFC) continue;
    if (c == '\n' && (text.empty() || text.back() == '\n')) continue;
    codec::AppendUtf8(text, c);
  }
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

// The text of a field's instruction or result: one line, line breaks as blanks, no control
// characters other than TAB.
std::string CleanFieldText(std::string_view s) {
  std::string text;
  for (size_t i = 0; i < s.size();) {
    char32_t c = codec::NextUtf8(s, i);
    if (c == '\r' || c == '\n' || c == 0x2028 || c == 0x2029 || c == 0x0B) c = ' ';
    if ((c < 0x20 && c != '\t') || c == 0x7F || c == 0xFFFC) continue;
    codec::AppendUtf8(text, c);
  }
  return text;
}

// Splits text runs at line breaks and drops control characters; the other kinds lose
// any text they carried.
std::vector<TextRun> CleanRuns(std::vector<TextRun>& runs) {
  std::vector<TextRun> out;
  out.reserve(runs.size());
  for (TextRun& r : runs) {
    if (r.kind != TextRun::Kind::Field) r.instruction.clear();
    if (r.kind == TextRun::Kind::LineBreak) {
      r.text.clear();
      r.picture = Picture{};
      out.push_back(std::move(r));
      continue;
    }
    if (r.kind == TextRun::Kind::Footnote) {
      r.picture = Picture{};
      r.text = CleanNote(r.text);
      out.push_back(std::move(r));
      continue;
    }
    if (r.kind == TextRun::Kind::Field) {
      r.picture = Picture{};
      r.text = CleanFieldText(r.text);
      r.instruction = CleanFieldText(r.instruction);
      if (r.instruction.empty()) r.kind = TextRun::Kind::Text;  // no field: its result is text
      else {
        out.push_back(std::move(r));
        continue;
      }
    }
    if (r.kind == TextRun::Kind::Picture) {
      r.text.clear();
      if (r.picture.data.empty()) continue;
      FixPictureSize(r.picture);
      out.push_back(std::move(r));
      continue;
    }
    r.picture = Picture{};
    std::string text;
    auto flush = [&] {
      if (text.empty()) return;
      TextRun t;
      t.format = r.format;
      t.text = std::move(text);
      text.clear();
      out.push_back(std::move(t));
    };
    std::string_view s = r.text;
    for (size_t i = 0; i < s.size();) {
      char32_t c = codec::NextUtf8(s, i);
      if (c == '\r' && i < s.size() && s[i] == '\n') continue;  // CR LF is one break
      if (c == '\n' || c == '\r' || c == 0x2028 || c == 0x2029 || c == 0x0B) {
        flush();
        TextRun br;
        br.kind = TextRun::Kind::LineBreak;
        br.format = r.format;
        out.push_back(std::move(br));
        continue;
      }
      if ((c < 0x20 && c != '\t') || c == 0x7F || c == 0xFFFC) continue;
      codec::AppendUtf8(text, c);
    }
    flush();
  }
  return out;
}

}  // namespace

void FixPictureSize(Picture& p) {
  if (p.width <= 0 || p.height <= 0) {
    PixelSize px = ImagePixelSize(p.data);
    if (px.width > 0 && px.height > 0) {
      p.width = std::min(px.width, kMaxPictureTwips / 15) * 15;
      p.height = std::min(px.height, kMaxPictureTwips / 15) * 15;
    } else {
      p.width = p.height = 1440;
    }
  }
  p.width = std::min(p.width, kMaxPictureTwips);
  p.height = std::min(p.height, kMaxPictureTwips);
}

void Normalize(Paragraph& p, const std::string& defaultFont) {
  std::vector<TextRun> runs = CleanRuns(p.runs);
  p.runs.clear();
  for (TextRun& r : runs) {
    NormalizeFont(r.format, defaultFont);
    if (r.kind == TextRun::Kind::Text && !p.runs.empty() && p.runs.back().kind == TextRun::Kind::Text &&
        p.runs.back().format == r.format) {
      p.runs.back().text += r.text;
      continue;
    }
    p.runs.push_back(std::move(r));
  }
  NormalizeFont(p.markFormat, defaultFont);
  ParagraphFormat& f = p.format;
  if (f.lineSpacing <= 0) f.lineSpacingMultiple = false;  // a multiple of nothing is single
  if (f.tabs.size() > kMaxTabs) f.tabs.resize(kMaxTabs);
  NormalizeBorder(f.borders.left);
  NormalizeBorder(f.borders.right);
  NormalizeBorder(f.borders.top);
  NormalizeBorder(f.borders.bottom);
}

void LimitPage(PageSetup& page) {
  page.width = std::clamp(page.width, kMinPageTwips, kMaxPageTwips);
  page.height = std::clamp(page.height, kMinPageTwips, kMaxPageTwips);
  auto pair = [](int& a, int& b, int within) {
    a = std::clamp(a, 0, within);
    b = std::clamp(b, 0, within);
    if (a > within - kMinTextTwips - b) a = b = (within - kMinTextTwips) / 2;
  };
  pair(page.marginLeft, page.marginRight, page.width);
  pair(page.marginTop, page.marginBottom, page.height);
  // A section's margin (the page's plus what it adds) is on the page too.
  auto extra = [](int& add, int margin, int within) { add = std::clamp(add, -margin, within - margin); };
  extra(page.sectionExtraLeft, page.marginLeft, page.width);
  extra(page.sectionExtraRight, page.marginRight, page.width);
  extra(page.sectionExtraTop, page.marginTop, page.height);
  extra(page.sectionExtraBottom, page.marginBottom, page.height);
  page.columns = std::max(page.columns, 1);
  page.columnSpace = std::clamp(page.columnSpace, 0, page.width);
}

static std::vector<TableRow> NormalizeRows(std::vector<TableRow>& in, const std::string& defaultFont);

// The tables inside a cell: in the order of the cell, each followed by a paragraph, and
// those with no paragraph between them joined into one.
static void NormalizeCellTables(TableCell& cell, const std::string& defaultFont) {
  std::stable_sort(cell.tables.begin(), cell.tables.end(),
                   [](const CellTable& a, const CellTable& b) { return a.before < b.before; });
  std::vector<CellTable> tables;
  for (CellTable& t : cell.tables) {
    std::vector<TableRow> rows = NormalizeRows(t.table.rows, defaultFont);
    if (rows.empty()) continue;
    t.before = std::min(t.before, cell.paragraphs.size());
    if (!tables.empty() && tables.back().before == t.before) {
      for (TableRow& row : rows) tables.back().table.rows.push_back(std::move(row));
      continue;
    }
    tables.push_back(CellTable{t.before, Table{std::move(rows)}});
  }
  cell.tables = std::move(tables);
  if (!cell.tables.empty() && cell.tables.back().before == cell.paragraphs.size())
    cell.paragraphs.emplace_back();
}

static std::vector<TableRow> NormalizeRows(std::vector<TableRow>& in, const std::string& defaultFont) {
  std::vector<TableRow> rows;
  for (TableRow& row : in) {
    if (row.cells.empty()) continue;
    if (row.alignment == Alignment::Justify) row.alignment = Alignment::Left;
    for (TableCell& cell : row.cells) {
      NormalizeBorder(cell.left);
      NormalizeBorder(cell.right);
      NormalizeBorder(cell.top);
      NormalizeBorder(cell.bottom);
      if (!cell.tables.empty()) NormalizeCellTables(cell, defaultFont);
      if (cell.paragraphs.empty()) cell.paragraphs.emplace_back();
      for (Paragraph& p : cell.paragraphs) Normalize(p, defaultFont);
    }
    rows.push_back(std::move(row));
  }
  return rows;
}
namespace {

void NormalizeBlocks(std::vector<Block>& story, const std::string& defaultFont);

}  // namespace

void Normalize(Document& doc) {
  LimitPage(doc.page);
  doc.defaultFont = CleanFontName(doc.defaultFont);
  if (doc.defaultFont.empty()) doc.defaultFont = "Times New Roman";
  NormalizeBlocks(doc.blocks, doc.defaultFont);
  for (HeaderFooter& h : doc.headersFooters) NormalizeBlocks(h.blocks, doc.defaultFont);
}

namespace {

void NormalizeBlocks(std::vector<Block>& story, const std::string& defaultFont) {
  std::vector<Block> blocks;
  blocks.reserve(story.size());
  for (Block& b : story) {
    if (auto* p = std::get_if<Paragraph>(&b)) {
      Normalize(*p, defaultFont);
      blocks.emplace_back(std::in_place_type<Paragraph>, std::move(*p));
      continue;
    }
    std::vector<TableRow> rows = NormalizeRows(std::get<Table>(b).rows, defaultFont);
    if (rows.empty()) continue;
    // Two tables with nothing between them are one table in RTF.
    if (!blocks.empty()) {
      if (auto* prev = std::get_if<Table>(&blocks.back())) {
        for (TableRow& row : rows) prev->rows.push_back(std::move(row));
        continue;
      }
    }
    blocks.emplace_back(std::in_place_type<Table>, Table{std::move(rows)});
  }
  story = std::move(blocks);
}

}  // namespace

static void AppendTableText(std::string& s, const Table& t, char rowSep, char cellSep);

// A cell's text: its paragraphs apart by blanks. A table inside the cell is the cell's text
// at its place, its rows and cells apart by blanks; the empty paragraphs around such tables
// are left out.
static std::string CellText(const TableCell& cell) {
  std::string s;
  bool first = true;
  auto add = [&](const std::string& piece) {
    if (piece.empty() && !cell.tables.empty()) return;
    if (!first) s += ' ';
    first = false;
    s += piece;
  };
  size_t table = 0;
  for (size_t k = 0; k < cell.paragraphs.size(); ++k) {
    for (; table < cell.tables.size() && cell.tables[table].before <= k; ++table) {
      std::string inner;
      AppendTableText(inner, cell.tables[table].table, ' ', ' ');
      add(inner);
    }
    add(cell.paragraphs[k].PlainText());
  }
  return s;
}

// A table's text: rows apart by `rowSep`, cells by `cellSep`.
static void AppendTableText(std::string& s, const Table& t, char rowSep, char cellSep) {
  bool firstRow = true;
  for (const TableRow& row : t.rows) {
    if (!firstRow) s += rowSep;
    firstRow = false;
    for (size_t c = 0; c < row.cells.size(); ++c) {
      if (c) s += cellSep;
      s += CellText(row.cells[c]);
    }
  }
}

std::string Paragraph::PlainText() const {
  std::string s;
  for (const TextRun& r : runs) {
    if (r.kind == TextRun::Kind::Text || r.kind == TextRun::Kind::Field) s += r.text;
    if (r.kind == TextRun::Kind::LineBreak) s += '\n';
  }
  return s;
}

std::string Document::PlainText() const {
  std::string s;
  bool first = true;
  for (const Block& b : blocks) {
    if (!first) s += '\n';
    first = false;
    if (auto* p = std::get_if<Paragraph>(&b)) {
      s += p->PlainText();
      continue;
    }
    AppendTableText(s, std::get<Table>(b), '\n', '\t');
  }
  return s;
}

std::optional<PictureFormat> DetectPictureFormat(const std::string& d) {
  if (d.size() >= 8 && d.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0) return PictureFormat::Png;
  if (d.size() >= 3 && uint8_t(d[0]) == 0xFF && uint8_t(d[1]) == 0xD8 && uint8_t(d[2]) == 0xFF)
    return PictureFormat::Jpeg;
  return std::nullopt;
}

PixelSize ImagePixelSize(const std::string& d) {
  auto u8 = [&](size_t i) -> uint32_t { return uint8_t(d[i]); };
  auto be16 = [&](size_t i) { return (u8(i) << 8) | u8(i + 1); };
  auto be32 = [&](size_t i) { return (u8(i) << 24) | (u8(i + 1) << 16) | (u8(i + 2) << 8) | u8(i + 3); };
  auto format = DetectPictureFormat(d);
  if (!format) return {};
  if (*format == PictureFormat::Png) {
    if (d.size() < 24 || d.compare(12, 4, "IHDR") != 0) return {};
    uint32_t w = be32(16), h = be32(20);
    if (w == 0 || h == 0 || w > 1000000 || h > 1000000) return {};
    return {int(w), int(h)};
  }
  // JPEG: walk the markers to the first start-of-frame.
  size_t i = 2;
  while (i + 4 <= d.size()) {
    if (u8(i) != 0xFF) return {};
    uint32_t marker = u8(i + 1);
    if (marker == 0xFF) {
      ++i;
      continue;
    }
    if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
      i += 2;
      continue;
    }
    uint32_t len = be16(i + 2);
    if (len < 2) return {};
    bool sof = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (sof) {
      if (i + 9 > d.size()) return {};
      uint32_t h = be16(i + 5), w = be16(i + 7);
      if (w == 0 || h == 0) return {};
      return {int(w), int(h)};
    }
    i += 2 + len;
  }
  return {};
}

}  // namespace qv::richtext
