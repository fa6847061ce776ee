#pragma once
// Small pictures and random documents for the rich-text tests.
#include <QBuffer>
#include <QImage>

#include <functional>
#include <random>
#include <string>

#include "editor/richtext/Document.h"

namespace samples {

using namespace qv::richtext;

inline std::string ImageBytes(int w, int h, const char* format, QRgb colour) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(colour);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  img.save(&buffer, format);
  return bytes.toStdString();
}

inline std::string TinyPng() { return ImageBytes(2, 1, "PNG", qRgb(200, 30, 30)); }
inline std::string TinyJpeg() { return ImageBytes(3, 2, "JPEG", qRgb(30, 30, 200)); }

inline std::string Hex(const std::string& bytes) {
  static const char kHex[] = "0123456789abcdef";
  std::string s;
  for (unsigned char c : bytes) {
    s += kHex[c >> 4];
    s += kHex[c & 15];
  }
  return s;
}

// Random documents covering the whole model, for the round-trip properties.
class DocumentMaker {
 public:
  explicit DocumentMaker(unsigned seed) : rng_(seed) {}

  Document Make() {
    Document d;
    d.page = {Pick(5000, 20000), Pick(5000, 30000), Pick(0, 2000), Pick(0, 2000), Pick(0, 2000),
              Pick(0, 2000)};
    d.defaultFont = Pick(0, 1) ? "Times New Roman" : "Liberation Serif";
    int blocks = Pick(1, 8);
    for (int k = 0; k < blocks; ++k) {
      if (Pick(0, 4) == 0) d.blocks.emplace_back(std::in_place_type<Table>, MakeTable());
      else d.blocks.emplace_back(std::in_place_type<Paragraph>, MakeParagraph(true));
    }
    if (Chance(20)) {
      static const char* kinds[] = {"header", "footer", "headerf", "footerl"};
      for (int k = Pick(1, 2); k > 0; --k) {
        HeaderFooter h;
        h.kind = kinds[Pick(0, 3)];
        h.blocks.emplace_back(std::in_place_type<Paragraph>, MakeParagraph(false));
        if (Chance(30)) h.blocks.emplace_back(std::in_place_type<Table>, MakeTable());
        d.headersFooters.push_back(std::move(h));
      }
      d.page.sectionExtraTop = Pick(0, 600);
      d.page.sectionExtraBottom = Pick(0, 600);
      d.titlePage = Chance(50);
      d.facingPages = Chance(50);
    }
    Normalize(d);
    return d;
  }

  int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  bool Chance(int percent) { return Pick(0, 99) < percent; }

  std::optional<Color> MaybeColor(int percent) {
    if (!Chance(percent)) return std::nullopt;
    return Color{uint8_t(Pick(0, 255)), uint8_t(Pick(0, 255)), uint8_t(Pick(0, 255))};
  }

  CharFormat MakeFormat() {
    CharFormat f;
    static const char* fonts[] = {"", "", "Arial", "Courier New", "Liberation Sans"};
    f.font = fonts[Pick(0, 4)];
    static const int sizes[] = {24, 24, 20, 32, 17, 48};
    f.sizeHalfPoints = sizes[Pick(0, 5)];
    f.bold = Chance(30);
    f.italic = Chance(30);
    f.strike = Chance(10);
    f.underline = Chance(70) ? Underline::None : Underline(Pick(1, 6));
    f.color = MaybeColor(30);
    f.background = MaybeColor(15);
    f.position = Chance(80) ? VerticalPosition::Normal : VerticalPosition(Pick(1, 2));
    f.raiseHalfPoints = Chance(90) ? 0 : Pick(-12, 12);
    return f;
  }

  std::string MakeText() {
    static const char* pieces[] = {"Lease", " payment ", "$1,234.56", "\t", "caf\xC3\xA9",
                                   " \xE2\x82\xAC" "5", " \xF0\x9F\x98\x80", " back\\slash",
                                   " {braces}", " \xC5\x82\xC3\xB3" "d\xC5\xBA", " \xE6\x97\xA5\xE6\x9C\xAC",
                                   " semi;colon", " non\xC2\xA0" "break", "-", "  two  blanks "};
    std::string s;
    int n = Pick(1, 4);
    for (int k = 0; k < n; ++k) s += pieces[Pick(0, int(std::size(pieces)) - 1)];
    return s;
  }

  BorderLine MakeBorder(int percent) {
    BorderLine b;
    if (!Chance(percent)) return b;
    b.style = BorderStyle(Pick(1, 6));
    b.width = Pick(0, 240);
    b.distance = Pick(0, 240);
    b.color = MaybeColor(30);
    return b;
  }

  Paragraph MakeParagraph(bool allowBreak) {
    Paragraph p;
    ParagraphFormat& f = p.format;
    f.alignment = Alignment(Pick(0, 3));
    if (Chance(40)) f.leftIndent = Pick(0, 3000);
    if (Chance(20)) f.rightIndent = Pick(0, 3000);
    if (Chance(30)) f.firstLineIndent = Pick(-f.leftIndent, 1000);
    if (Chance(30)) f.spaceBefore = Pick(0, 600);
    if (Chance(30)) f.spaceAfter = Pick(0, 600);
    if (Chance(20)) {
      f.lineSpacingMultiple = Chance(50);
      f.lineSpacing = f.lineSpacingMultiple ? Pick(1, 3) * 120 : (Chance(50) ? -1 : 1) * Pick(200, 600);
    }
    int tabs = Chance(70) ? 0 : Pick(1, 4);
    for (int k = 0; k < tabs; ++k)
      f.tabs.push_back({Pick(1, 90) * 100, TabKind(Pick(0, 3)), TabLeader(Pick(0, 5))});
    if (Chance(25)) {
      f.borders.top = MakeBorder(70);
      f.borders.bottom = MakeBorder(70);
      f.borders.left = MakeBorder(50);
      f.borders.right = MakeBorder(50);
      f.borders.connected = Chance(30);
      f.borders.tabLines = Chance(30);
    }
    f.pageBreakBefore = allowBreak && Chance(10);
    f.background = MaybeColor(10);
    int runs = Pick(0, 5);
    for (int k = 0; k < runs; ++k) {
      TextRun r;
      r.format = MakeFormat();
      int kind = Pick(0, 9);
      if (kind == 0) {
        r.kind = TextRun::Kind::LineBreak;
      } else if (kind == 1) {
        r.kind = TextRun::Kind::Picture;
        bool png = Chance(50);
        r.picture.format = png ? PictureFormat::Png : PictureFormat::Jpeg;
        r.picture.data = png ? TinyPng() : TinyJpeg();
        r.picture.width = Pick(1, 200) * 15;
        r.picture.height = Pick(1, 200) * 15;
      } else {
        r.text = MakeText();
      }
      p.runs.push_back(std::move(r));
    }
    p.markFormat = MakeFormat();
    if (Chance(10)) {
      TextRun field;
      field.kind = TextRun::Kind::Field;
      field.format = MakeFormat();
      static const char* instructions[] = {"PAGE", "NUMPAGES", "MERGEFIELD Customer \\* MERGEFORMAT", "DATE \\@ \"d.M.yyyy\""};
      field.instruction = instructions[Pick(0, 3)];
      field.text = Chance(20) ? std::string() : MakeText();
      p.runs.insert(p.runs.begin() + Pick(0, int(p.runs.size())), std::move(field));
    }
    if (Chance(10) && !p.runs.empty()) p.runs[size_t(Pick(0, int(p.runs.size()) - 1))].format.hidden = true;
    return p;
  }

  // A table; at `depth` below 3 a cell may hold a table of its own before one of its
  // paragraphs, as Word's nested tables.
  Table MakeTable(int depth = 1) {
    Table t;
    int rows = Pick(1, 3);
    int cols = Pick(1, 4);
    for (int r = 0; r < rows; ++r) {
      TableRow row;
      row.leftEdge = Chance(50) ? 0 : -108;
      row.gap = Chance(50) ? 108 : Pick(0, 200);
      row.height = Chance(70) ? 0 : Pick(-1000, 1000);
      row.alignment = Alignment(Pick(0, 2));
      row.header = Chance(20);
      int edge = row.leftEdge;
      for (int c = 0; c < cols; ++c) {
        TableCell cell;
        edge += Pick(5, 30) * 100;
        cell.rightEdge = edge;
        cell.top = MakeBorder(50);
        cell.bottom = MakeBorder(50);
        cell.left = MakeBorder(50);
        cell.right = MakeBorder(50);
        cell.background = MaybeColor(20);
        cell.verticalAlignment = VerticalAlignment(Pick(0, 2));
        int paras = Pick(1, 2);
        for (int k = 0; k < paras; ++k) cell.paragraphs.push_back(MakeParagraph(false));
        if (depth < 3 && Chance(15)) cell.tables.push_back({size_t(Pick(0, paras - 1)), MakeTable(depth + 1)});
        row.cells.push_back(std::move(cell));
      }
      t.rows.push_back(std::move(row));
    }
    return t;
  }

 private:
  std::mt19937 rng_;
};

}  // namespace samples

namespace samples {

// Every field of a document as text, one element a line, so that two documents that differ
// show where in a test's failure message.
inline std::string Dump(const qv::richtext::Document& d) {
  using namespace qv::richtext;
  std::string s;
  auto n = [](auto v) { return std::to_string(int(v)); };
  auto color = [&](const std::optional<Color>& c) {
    return c ? "#" + n(c->red) + "," + n(c->green) + "," + n(c->blue) : std::string("auto");
  };
  auto chr = [&](const CharFormat& f) {
    return "font=" + f.font + " size=" + n(f.sizeHalfPoints) + " b=" + n(f.bold) + " i=" + n(f.italic) +
           " s=" + n(f.strike) + " ul=" + n(f.underline) + " color=" + color(f.color) +
           " bg=" + color(f.background) + " pos=" + n(f.position) + " raise=" + n(f.raiseHalfPoints) + " hidden=" + n(f.hidden) + " lang=" + n(f.language);
  };
  auto border = [&](const char* side, const BorderLine& b) {
    return std::string(side) + "=" + n(b.style) + "/" + n(b.width) + "/" + n(b.distance) + "/" + color(b.color);
  };
  auto para = [&](const Paragraph& p, const std::string& indent) {
    const ParagraphFormat& f = p.format;
    s += indent + "para align=" + n(f.alignment) + " li=" + n(f.leftIndent) + " ri=" + n(f.rightIndent) +
         " fi=" + n(f.firstLineIndent) + " sb=" + n(f.spaceBefore) + " sa=" + n(f.spaceAfter) +
         " sl=" + n(f.lineSpacing) + "/" + n(f.lineSpacingMultiple) + " pbb=" + n(f.pageBreakBefore) + " " +
         border("top", f.borders.top) + " " + border("bottom", f.borders.bottom) + " " +
         border("left", f.borders.left) + " " + border("right", f.borders.right) +
         " conn=" + n(f.borders.connected) + " tablines=" + n(f.borders.tabLines) + "\n";
    for (const TabStop& t : f.tabs) s += indent + "  tab " + n(t.position) + " " + n(t.kind) + " " + n(t.leader) + "\n";
    s += indent + "  mark " + chr(p.markFormat) + "\n";
    for (const TextRun& r : p.runs) {
      s += indent + "  run " + n(r.kind) + " [" + r.text + "] " + chr(r.format);
      if (r.kind == TextRun::Kind::Field) s += " field [" + r.instruction + "]";
      if (r.kind == TextRun::Kind::Picture)
        s += " pic " + n(r.picture.format) + " " + n(r.picture.width) + "x" + n(r.picture.height) +
             " bytes=" + n(r.picture.data.size());
      s += "\n";
    }
  };
  std::function<void(const Table&, const std::string&)> table = [&](const Table& t, const std::string& in) {
    s += in + "table\n";
    for (const TableRow& row : t.rows) {
      s += in + "  row left=" + n(row.leftEdge) + " gap=" + n(row.gap) + " h=" + n(row.height) +
           " align=" + n(row.alignment) + " hdr=" + n(row.header) + "\n";
      for (const TableCell& c : row.cells) {
        s += in + "    cell right=" + n(c.rightEdge) + " " + border("top", c.top) + " " + border("bottom", c.bottom) +
             " " + border("left", c.left) + " " + border("right", c.right) + " bg=" + color(c.background) +
             " valign=" + n(c.verticalAlignment) + " merge=" + n(c.mergeAcross) + "/" + n(c.mergeDown) + "\n";
        size_t inner = 0;
        for (size_t k = 0; k < c.paragraphs.size(); ++k) {
          for (; inner < c.tables.size() && c.tables[inner].before <= k; ++inner)
            table(c.tables[inner].table, in + "      ");
          para(c.paragraphs[k], in + "      ");
        }
      }
    }
  };
  s += "page " + n(d.page.width) + "x" + n(d.page.height) + " " + n(d.page.marginLeft) + " " +
       n(d.page.marginRight) + " " + n(d.page.marginTop) + " " + n(d.page.marginBottom) + " font=" + d.defaultFont +
       (d.titlePage ? " titlepg" : "") + (d.facingPages ? " facingp" : "") + "\n";
  for (const Block& b : d.blocks) {
    if (auto* p = std::get_if<Paragraph>(&b)) {
      para(*p, "");
      continue;
    }
    table(std::get<Table>(b), "");
  }
  return s;
}

}  // namespace samples

namespace samples {
// The first line where the dumps of two documents differ, with its neighbours.
inline std::string DumpDifference(const qv::richtext::Document& a, const qv::richtext::Document& b) {
  auto lines = [](const std::string& s) {
    std::vector<std::string> v;
    size_t start = 0;
    for (size_t i = 0; i <= s.size(); ++i)
      if (i == s.size() || s[i] == '\n') {
        v.push_back(s.substr(start, i - start));
        start = i + 1;
      }
    return v;
  };
  auto la = lines(Dump(a)), lb = lines(Dump(b));
  for (size_t k = 0; k < std::max(la.size(), lb.size()); ++k) {
    std::string x = k < la.size() ? la[k] : "(none)", y = k < lb.size() ? lb[k] : "(none)";
    if (x != y) return "line " + std::to_string(k) + "\n  " + x + "\n  " + y + "\n";
  }
  return "the dumps agree";
}
}  // namespace samples
