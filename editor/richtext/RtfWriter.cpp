// The RTF writer: a header with the font and colour tables and the page, then each
// paragraph as "\pard\plain" with its properties and each run as a group of its own.
#include <algorithm>
#include <map>

#include "editor/richtext/CodePage.h"
#include "editor/richtext/Rtf.h"
#include "editor/richtext/TextCodec.h"

namespace qv::richtext {

namespace {

class Writer {
 public:
  explicit Writer(const Document& doc) : doc_(doc) {}

  std::string Write() {
    fonts_.push_back(doc_.defaultFont.empty() ? std::string("Times New Roman") : doc_.defaultFont);
    CollectStory();
    std::string body;
    body.reserve(EstimateSize());
    out_ = &body;
    WriteBlocks(doc_.blocks);
    // Headers and footers come after the page words, before the text.
    std::string stories;
    out_ = &stories;
    for (const HeaderFooter& h : doc_.headersFooters) {
      *out_ += "{\\" + h.kind + '\n';
      WriteBlocks(h.blocks);
      *out_ += "}\n";
    }
    std::string rtf;
    rtf.reserve(body.size() + 1024);
    rtf += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
    for (size_t k = 0; k < fonts_.size(); ++k) {
      rtf += "{\\f" + std::to_string(k) + "\\fnil\\fcharset0 ";
      AppendText(rtf, fonts_[k]);
      rtf += ";}";
    }
    rtf += "}\n{\\colortbl;";
    for (const Color& c : colors_) {
      rtf += "\\red" + std::to_string(c.red) + "\\green" + std::to_string(c.green) + "\\blue" +
             std::to_string(c.blue) + ";";
    }
    rtf += "}\n";
    const PageSetup& pg = doc_.page;
    rtf += "\\paperw" + std::to_string(pg.width) + "\\paperh" + std::to_string(pg.height) +
           "\\margl" + std::to_string(pg.marginLeft) + "\\margr" + std::to_string(pg.marginRight) +
           "\\margt" + std::to_string(pg.marginTop) + "\\margb" + std::to_string(pg.marginBottom) +
           (doc_.facingPages ? "\\facingp" : "") + "\n";
    const int extras[4] = {pg.sectionExtraLeft, pg.sectionExtraRight, pg.sectionExtraTop, pg.sectionExtraBottom};
    const bool section = pg.columns > 1 || doc_.titlePage ||
                         std::any_of(std::begin(extras), std::end(extras), [](int e) { return e != 0; });
    if (section) {
      rtf += "\\sectd";
      if (doc_.titlePage) rtf += "\\titlepg";
      if (pg.columns > 1) rtf += "\\cols" + std::to_string(pg.columns) + "\\colsx" + std::to_string(pg.columnSpace);
      const int margins[4] = {pg.marginLeft, pg.marginRight, pg.marginTop, pg.marginBottom};
      const char* words[4] = {"\\marglsxn", "\\margrsxn", "\\margtsxn", "\\margbsxn"};
      for (int k = 0; k < 4; ++k)
        if (extras[k] != 0) rtf += words[k] + std::to_string(std::max(0LL, (long long)margins[k] + extras[k]));
      rtf += "\n";
    }
    rtf += stories;
    rtf += body;
    rtf += "}\n";
    return rtf;
  }

 private:
  // ---- tables of fonts and colours -------------------------------------------------------

  void CollectFormat(const CharFormat& f) {
    FontIndex(f.font);
    if (f.color) ColorIndex(*f.color);
    if (f.background) ColorIndex(*f.background);
  }
  void CollectBorder(const BorderLine& b) {
    if (b.present() && b.color) ColorIndex(*b.color);
  }
  void CollectParagraph(const Paragraph& p) {
    CollectFormat(p.markFormat);
    for (const auto& r : p.runs) CollectFormat(r.format);
    const ParagraphBorders& b = p.format.borders;
    CollectBorder(b.top);
    CollectBorder(b.left);
    CollectBorder(b.bottom);
    CollectBorder(b.right);
    if (p.format.background) ColorIndex(*p.format.background);
  }
  void CollectStory() {
    CollectBlocks(doc_.blocks);
    for (const HeaderFooter& h : doc_.headersFooters) CollectBlocks(h.blocks);
  }
  void CollectBlocks(const std::vector<Block>& blocks) {
    for (const Block& b : blocks) {
      if (auto* p = std::get_if<Paragraph>(&b)) {
        CollectParagraph(*p);
        continue;
      }
      CollectTable(std::get<Table>(b));
    }
  }
  void CollectTable(const Table& t) {
    for (const TableRow& row : t.rows)
      for (const TableCell& cell : row.cells) {
        CollectBorder(cell.top);
        CollectBorder(cell.left);
        CollectBorder(cell.bottom);
        CollectBorder(cell.right);
        if (cell.background) ColorIndex(*cell.background);
        for (const CellTable& inner : cell.tables) CollectTable(inner.table);
        for (const Paragraph& p : cell.paragraphs) CollectParagraph(p);
      }
  }

  size_t EstimateSize() const {
    size_t n = 0;
    auto para = [&](const Paragraph& p) {
      n += 40;
      for (const auto& r : p.runs) n += r.text.size() + r.picture.data.size() * 2 + 40;
    };
    for (const Block& b : doc_.blocks) {
      if (auto* p = std::get_if<Paragraph>(&b)) {
        para(*p);
        continue;
      }
      for (const TableRow& row : std::get<Table>(b).rows)
        for (const TableCell& cell : row.cells) {
          n += 60;
          for (const Paragraph& p : cell.paragraphs) para(p);
        }
    }
    return n;
  }

  // The font number of a name; the empty name and the default font are font 0.
  int FontIndex(const std::string& name) {
    if (name.empty()) return 0;
    auto it = fontIndex_.find(name);
    if (it != fontIndex_.end()) return it->second;
    if (name == fonts_[0]) return fontIndex_[name] = 0;
    int k = int(fonts_.size());
    fonts_.push_back(name);
    fontIndex_[name] = k;
    return k;
  }

  // The colour table index of a colour; index 0 is the automatic colour.
  int ColorIndex(const Color& c) {
    int key = (c.red << 16) | (c.green << 8) | c.blue;
    auto it = colorIndex_.find(key);
    if (it != colorIndex_.end()) return it->second;
    colors_.push_back(c);
    return colorIndex_[key] = int(colors_.size());
  }

  // ---- words ---------------------------------------------------------------------------

  void Word(const char* w) { *out_ += w; }
  void Word(const char* w, int n) {
    *out_ += w;
    *out_ += std::to_string(n);
  }

  // Writes the words of a character format; true when it wrote any (the caller then ends
  // the last word with a blank before text).
  bool CharProps(const CharFormat& f) {
    size_t before = out_->size();
    if (!f.font.empty()) Word("\\f", FontIndex(f.font));
    if (f.sizeHalfPoints != 24) Word("\\fs", f.sizeHalfPoints);
    if (f.bold) Word("\\b");
    if (f.italic) Word("\\i");
    if (f.strike) Word("\\strike");
    if (f.capitals != Capitals::None) Word(f.capitals == Capitals::All ? "\\caps" : "\\scaps");
    switch (f.underline) {
      case Underline::None: break;
      case Underline::Single: Word("\\ul"); break;
      case Underline::Double: Word("\\uldb"); break;
      case Underline::Dotted: Word("\\uld"); break;
      case Underline::Dashed: Word("\\uldash"); break;
      case Underline::Wave: Word("\\ulwave"); break;
      case Underline::Words: Word("\\ulw"); break;
    }
    if (f.color) Word("\\cf", ColorIndex(*f.color));
    if (f.background) Word("\\chcbpat", ColorIndex(*f.background));
    if (f.position == VerticalPosition::Superscript) Word("\\super");
    if (f.position == VerticalPosition::Subscript) Word("\\sub");
    if (f.raiseHalfPoints > 0) Word("\\up", f.raiseHalfPoints);
    if (f.raiseHalfPoints < 0) Word("\\dn", -f.raiseHalfPoints);
    if (f.hidden) Word("\\v");
    if (f.language) Word("\\lang", f.language);
    return out_->size() != before;
  }

  void BorderProps(const char* side, const BorderLine& b) {
    if (!b.present()) return;
    Word(side);
    switch (b.style) {
      case BorderStyle::None: break;
      case BorderStyle::Single: Word("\\brdrs"); break;
      case BorderStyle::Thick: Word("\\brdrth"); break;
      case BorderStyle::Double: Word("\\brdrdb"); break;
      case BorderStyle::Dotted: Word("\\brdrdot"); break;
      case BorderStyle::Dashed: Word("\\brdrdash"); break;
      case BorderStyle::Hairline: Word("\\brdrhair"); break;
    }
    Word("\\brdrw", b.width);
    if (b.distance) Word("\\brsp", b.distance);
    if (b.color) Word("\\brdrcf", ColorIndex(*b.color));
  }

  void ParagraphProps(const ParagraphFormat& f) {
    switch (f.alignment) {
      case Alignment::Left: break;
      case Alignment::Center: Word("\\qc"); break;
      case Alignment::Right: Word("\\qr"); break;
      case Alignment::Justify: Word("\\qj"); break;
    }
    if (f.leftIndent) Word("\\li", f.leftIndent);
    if (f.rightIndent) Word("\\ri", f.rightIndent);
    if (f.firstLineIndent) Word("\\fi", f.firstLineIndent);
    if (f.spaceBefore) Word("\\sb", f.spaceBefore);
    if (f.spaceAfter) Word("\\sa", f.spaceAfter);
    if (f.lineSpacing) {
      Word("\\sl", f.lineSpacing);
      Word("\\slmult", f.lineSpacingMultiple ? 1 : 0);
    } else if (f.lineSpacingMultiple) {
      Word("\\slmult1");
    }
    if (f.pageBreakBefore) Word("\\pagebb");
    for (const TabStop& t : f.tabs) {
      switch (t.kind) {
        case TabKind::Left: break;
        case TabKind::Center: Word("\\tqc"); break;
        case TabKind::Right: Word("\\tqr"); break;
        case TabKind::Decimal: Word("\\tqdec"); break;
      }
      switch (t.leader) {
        case TabLeader::None: break;
        case TabLeader::Dots: Word("\\tldot"); break;
        case TabLeader::Hyphens: Word("\\tlhyph"); break;
        case TabLeader::Underline: Word("\\tlul"); break;
        case TabLeader::ThickLine: Word("\\tlth"); break;
        case TabLeader::Equals: Word("\\tleq"); break;
      }
      Word("\\tx", t.position);
    }
    const ParagraphBorders& b = f.borders;
    BorderProps("\\brdrt", b.top);
    BorderProps("\\brdrl", b.left);
    BorderProps("\\brdrb", b.bottom);
    BorderProps("\\brdrr", b.right);
    if (b.connected) Word("\\qvframeconnected");
    if (b.tabLines) Word("\\qvframetablines");
    if (f.background) Word("\\cbpat", ColorIndex(*f.background));
  }

  void WritePicture(const Picture& p) {
    PixelSize px = ImagePixelSize(p.data);
    Word(p.format == PictureFormat::Png ? "{\\pict\\pngblip" : "{\\pict\\jpegblip");
    if (px.width > 0) {
      Word("\\picw", px.width);
      Word("\\pich", px.height);
    }
    Word("\\picwgoal", p.width);
    Word("\\pichgoal", p.height);
    *out_ += '\n';
    static const char kHex[] = "0123456789abcdef";
    size_t col = 0;
    for (unsigned char c : p.data) {
      *out_ += kHex[c >> 4];
      *out_ += kHex[c & 15];
      if (++col == 64) {
        *out_ += '\n';
        col = 0;
      }
    }
    *out_ += '}';
  }

  // A footnote as Word writes it: the mark, then the note with its own mark and its text.
  void WriteFootnote(const TextRun& r) {
    Word("\\chftn{\\footnote\\pard\\plain{");
    CharProps(r.format);
    Word("\\chftn} ");
    std::string_view text = r.text;
    for (size_t start = 0;;) {
      size_t end = text.find('\n', start);
      AppendText(*out_, text.substr(start, end == std::string_view::npos ? end : end - start),
                 FontCodePage(""));
      if (end == std::string_view::npos) break;
      Word("\\par\\pard\\plain ");
      start = end + 1;
    }
    *out_ += '}';
  }

  // A paragraph of the text (level 0) or of a cell of a table at the level given (1 the
  // table of the text, 2 one inside its cell, ...).
  void WriteParagraph(const Paragraph& p, int level, const char* end, bool writeLevel = false) {
    Word("\\pard\\plain");
    if (level > 0) Word("\\intbl");
    if (level > 1 || (level == 1 && writeLevel)) Word("\\itap", level);
    ParagraphProps(p.format);
    // Runs are groups of their own, each setting its format from the plain one; the format
    // of the paragraph mark follows them, so that no run inherits it.
    for (const auto& r : p.runs) {
      *out_ += '{';
      bool words = CharProps(r.format);
      switch (r.kind) {
        case TextRun::Kind::Text:
          if (words) *out_ += ' ';
          AppendText(*out_, r.text, FontCodePage(r.format.font));
          break;
        case TextRun::Kind::LineBreak:
          Word("\\line");
          break;
        case TextRun::Kind::Picture:
          WritePicture(r.picture);
          break;
        case TextRun::Kind::Footnote:
          WriteFootnote(r);
          break;
        case TextRun::Kind::Field:
          Word("{\\field{\\*\\fldinst ");
          AppendText(*out_, r.instruction, FontCodePage(r.format.font));
          Word("}{\\fldrslt ");
          AppendText(*out_, r.text, FontCodePage(r.format.font));
          Word("}}");
          break;
      }
      *out_ += '}';
    }
    // The mark's format goes in a group of its own with "\par": after a "\super" outside
    // a group LibreOffice joins the paragraph to the next one.
    const size_t start = out_->size();
    if (CharProps(p.markFormat) && std::string_view(end) == "\\par") {
      out_->insert(start, 1, '{');
      *out_ += "\\par}";
    } else {
      *out_ += end;
    }
    *out_ += '\n';
  }

  void WriteBlocks(const std::vector<Block>& blocks) {
    for (const Block& b : blocks) {
      if (auto* p = std::get_if<Paragraph>(&b)) {
        WriteParagraph(*p, 0, "\\par");
      } else {
        WriteTable(std::get<Table>(b));
      }
    }
  }

  void WriteRowDefinition(const TableRow& row) {
    Word("\\trowd");
    Word("\\trgaph", row.gap);
    Word("\\trleft", row.leftEdge);
    if (row.height) Word("\\trrh", row.height);
    if (row.alignment == Alignment::Center) Word("\\trqc");
    if (row.alignment == Alignment::Right) Word("\\trqr");
    if (row.header) Word("\\trhdr");
    for (const TableCell& cell : row.cells) {
      if (cell.mergeAcross != CellMerge::None) Word(cell.mergeAcross == CellMerge::First ? "\\clmgf" : "\\clmrg");
      if (cell.mergeDown != CellMerge::None) Word(cell.mergeDown == CellMerge::First ? "\\clvmgf" : "\\clvmrg");
      if (cell.verticalAlignment == VerticalAlignment::Center) Word("\\clvertalc");
      if (cell.verticalAlignment == VerticalAlignment::Bottom) Word("\\clvertalb");
      BorderProps("\\clbrdrt", cell.top);
      BorderProps("\\clbrdrl", cell.left);
      BorderProps("\\clbrdrb", cell.bottom);
      BorderProps("\\clbrdrr", cell.right);
      if (cell.background) Word("\\clcbpat", ColorIndex(*cell.background));
      Word("\\cellx", cell.rightEdge);
    }
  }

  // A table of the text (level 1) as rows of "\cell"s each defined before it, or a table
  // inside a cell (level 2 and deeper) as Word writes it: its paragraphs at "\itap" of its
  // level, cells ended by "\nestcell", each row's definition after its cells in a
  // "\*\nesttableprops" group ended by "\nestrow", then a "\nonesttables" paragraph for
  // readers without nested tables.
  void WriteTable(const Table& t, int level = 1) {
    for (const TableRow& row : t.rows) {
      if (row.cells.empty()) continue;
      if (level == 1) {
        WriteRowDefinition(row);
        *out_ += '\n';
      }
      for (const TableCell& cell : row.cells) WriteCell(cell, level);
      if (level == 1) {
        Word("\\row\n");
        continue;
      }
      Word("\\pard\\plain\\intbl\\itap", level);
      Word("{\\*\\nesttableprops");
      WriteRowDefinition(row);
      Word("\\nestrow}{\\nonesttables\\par}\n");
    }
  }

  // A cell's paragraphs with the tables inside it at their places; the paragraphs of a cell
  // holding tables name their level, as those of the tables before them do.
  void WriteCell(const TableCell& cell, int level) {
    const char* end = level == 1 ? "\\cell" : "\\nestcell";
    if (cell.paragraphs.empty()) {
      Word("\\pard\\plain\\intbl");
      if (level > 1) Word("\\itap", level);
      Word(end);
      *out_ += '\n';
      return;
    }
    size_t table = 0;
    for (size_t k = 0; k < cell.paragraphs.size(); ++k) {
      for (; table < cell.tables.size() && cell.tables[table].before <= k; ++table)
        WriteTable(cell.tables[table].table, level + 1);
      WriteParagraph(cell.paragraphs[k], level, k + 1 < cell.paragraphs.size() ? "\\par" : end,
                     !cell.tables.empty());
    }
  }

  // The byte map a reader applies to the text of a font (the default font for the empty name).
  int FontCodePage(const std::string& font) const {
    return codec::CodePageOfFont(font.empty() ? fonts_[0] : font, 0);
  }

 public:
  // Appends text: ASCII as it is (backslash and braces escaped), TAB as "\tab", a line
  // feed as "\line", other characters as "\u" with "?" as the fallback for readers without
  // Unicode (a code page byte would be read in whatever code page the reader assumes).
  // In a font whose bytes a reader maps to other characters (Symbol, Wingdings), an ASCII
  // character the map changes is written as "\u" too.
  static void AppendText(std::string& out, std::string_view s, int fontCodePage = 1252) {
    codec::CodePageDecoder symbols;
    for (size_t i = 0; i < s.size();) {
      char32_t c = codec::NextUtf8(s, i);
      if (c == '\\' || c == '{' || c == '}') {
        out += '\\';
        out += char(c);
      } else if (c == '\t') {
        out += "\\tab ";
      } else if (c == '\n') {
        out += "\\line ";
      } else if (c < 0x20) {
        continue;
      } else if (c < 0x80 && (fontCodePage > 0 || symbols.Byte(fontCodePage, uint8_t(c)) == c)) {
        out += char(c);
      } else if (c > 0xFFFF) {
        char32_t v = c - 0x10000;
        int hi = int(0xD800 + (v >> 10)), lo = int(0xDC00 + (v & 0x3FF));
        out += "\\u" + std::to_string(hi - 65536) + "?\\u" + std::to_string(lo - 65536) + "?";
      } else if (c < 0x80) {
        out += "\\u" + std::to_string(int(c)) + "?";
      } else {
        int n = int(c);
        out += "\\u" + std::to_string(n > 32767 ? n - 65536 : n) + "?";
      }
    }
  }

 private:
  const Document& doc_;
  std::string* out_ = nullptr;
  std::vector<std::string> fonts_;
  std::map<std::string, int> fontIndex_;
  std::vector<Color> colors_;
  std::map<int, int> colorIndex_;
};

}  // namespace

std::string WriteRtf(const Document& doc) { return Writer(doc).Write(); }

std::string EscapeRtfText(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() + 16);
  Writer::AppendText(out, utf8);
  return out;
}

}  // namespace qv::richtext
