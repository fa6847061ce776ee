// The RTF reader: one pass over the text with a stack of group states.
#include <algorithm>
#include <climits>
#include <cstring>
#include <set>
#include <unordered_map>

#include "editor/richtext/CodePage.h"
#include "editor/richtext/Rtf.h"
#include "editor/richtext/RtfReaderParts.h"
#include "editor/richtext/TextCodec.h"

namespace qv::richtext {

namespace {

using namespace rtfread;

// Every control word the reader acts on. Words not listed are ignored (and, after "\*",
// their group is skipped).
enum class Kw {
  // destinations
  FontTable, ColorTable, SkipDest, Picture, Transparent, Upr, Ud, Footnote,
  // document
  Rtf, Deff, PaperW, PaperH, MargL, MargR, MargT, MargB, PgWsxn, PgHsxn, MargLsxn, MargRsxn,
  MargTsxn, MargBsxn, Cols, ColsX, Bin, Uc, U, AnsiCpg, Mac, Pc, Pca,
  TitlePg, FacingP,
  // font and colour table entries
  F, FCharset, Cpg, Red, Green, Blue,
  // characters
  Plain, B, I, Strike, StrikeD, Caps, Scaps, Ul, UlNone, UlDb, UlDotted, UlDash, UlWave, UlWords, Fs, Cf, Cb,
  ChCbPat, Highlight, Up, Dn, Super, Sub, NoSuperSub, Hidden, ChCfPat, ChShdng, Lang,
  // special characters
  Par, Line, Tab, Page, Sect, EmDash, EnDash, Bullet, LQuote, RQuote, LDblQuote, RDblQuote,
  EmSpace, EnSpace, QmSpace, Zwj, Zwnj, Ltrmark, Rtlmark,
  // paragraphs
  Pard, Ql, Qc, Qr, Qj, Li, Ri, Fi, Sb, Sa, Sl, SlMult, PageBB, Tx, Tb, Tqr, Tqc, Tqdec, TlDot,
  TlHyph, TlUl, TlTh, TlEq, Intbl, FrameTabLines, FrameConnected,
  // borders
  BrdrT, BrdrB, BrdrL, BrdrR, Box, BrdrBtw, BrdrBar, BrdrS, BrdrTh, BrdrDb, BrdrDot, BrdrDash,
  BrdrHair, BrdrOther, BrdrNone, BrdrW, BrSp, BrdrCf,
  // tables
  Trowd, CellX, Cell, Row, NestCell, NestRow, TrLeft, TrGaph, TrRh, TrQl, TrQc, TrQr, TrHdr,
  ClBrdrT, ClBrdrB, ClBrdrL, ClBrdrR, ClCbPat, ClVertAlT, ClVertAlC, ClVertAlB, TrBrdr,
  ClMgf, ClMrg, ClVmgf, ClVmrg, ClCfPat, ClShdng, Itap, NestTableProps,
  // paragraph shading
  CbPat, CfPat, Shading,
  // pictures
  PngBlip, JpegBlip, OtherBlip, PicW, PicH, PicWGoal, PicHGoal, PicScaleX, PicScaleY,
  // kept beside the text: fields, headers and footers
  Field, FieldInst, FieldResult, HeaderFooter, ChPgn,
  // lists: the list table, a paragraph's list, the older paragraph numbering, a label
  ListTable, List, ListLevel, ListId, LevelNfc, LevelStartAt, LevelFollow, LevelText,
  ListOverrideTable, ListOverride, ListMark, Ilvl, Pn, PnLevel, PnFormat, PnStart, PnFont, PnText,
  ListLabel,
  // shapes and drawing objects
  Shape,
};

const std::unordered_map<std::string_view, Kw>& Keywords() {
  static const std::unordered_map<std::string_view, Kw> map = [] {
    std::unordered_map<std::string_view, Kw> m;
    for (const char* w : {"stylesheet", "info", "listname", "levelnumbers", "revtbl",
                          "rsidtbl", "generator", "xmlnstbl", "themedata", "colorschememapping",
                          "datastore", "latentstyles", "mmathPr", "pgdsctbl",
                          "annotation", "atnid", "atnauthor", "nonshppict",
                          "nonesttables", "xe", "tc", "txe", "rxe", "objdata", "objclass",
                          "objname", "template", "bkmkstart", "bkmkend", "comment", "author",
                          "operator", "title", "subject",
                          "keywords", "doccomm", "company", "category", "manager", "hlinkbase",
                          "userprops", "docvar", "ftnsep", "ftnsepc", "aftnsep", "aftnsepc",
                          "ftncn", "aftncn", "listpicture", "shprslt", "blipuid", "picprop",
                          "falt", "panose", "fontemb", "fontfile", "filetbl", "protusertbl",
                          "atrfstart", "atrfend", "pgptbl", "wgrffmtfilter",
                          "sn"})
      m.emplace(w, Kw::SkipDest);
    for (const char* w : {"shppict", "result", "object"})
      m.emplace(w, Kw::Transparent);
    for (const char* w : {"shp", "shpinst", "sp", "shptxt", "do", "dptxbxtext"}) m.emplace(w, Kw::Shape);
    for (const char* w : {"header", "headerl", "headerr", "headerf", "footer", "footerl", "footerr",
                          "footerf"})
      m.emplace(w, Kw::HeaderFooter);
    m.emplace("field", Kw::Field);
    m.emplace("fldinst", Kw::FieldInst);
    m.emplace("fldrslt", Kw::FieldResult);
    m.emplace("chpgn", Kw::ChPgn);
    const std::pair<const char*, Kw> lists[] = {
        {"listtable", Kw::ListTable}, {"list", Kw::List}, {"listlevel", Kw::ListLevel},
        {"listid", Kw::ListId}, {"levelnfc", Kw::LevelNfc}, {"levelstartat", Kw::LevelStartAt},
        {"levelfollow", Kw::LevelFollow}, {"leveltext", Kw::LevelText},
        {"listoverridetable", Kw::ListOverrideTable}, {"listoverride", Kw::ListOverride},
        {"ls", Kw::ListMark}, {"ilvl", Kw::Ilvl}, {"pn", Kw::Pn}, {"pnlvl", Kw::PnLevel},
        {"pnlvlbody", Kw::PnLevel}, {"pnlvlblt", Kw::PnLevel}, {"pndec", Kw::PnFormat},
        {"pnucrm", Kw::PnFormat}, {"pnlcrm", Kw::PnFormat}, {"pnucltr", Kw::PnFormat},
        {"pnlcltr", Kw::PnFormat}, {"pnord", Kw::PnFormat}, {"pncard", Kw::PnFormat},
        {"pnstart", Kw::PnStart}, {"pnf", Kw::PnFont}, {"pntxta", Kw::PnText},
        {"pntxtb", Kw::PnText}, {"listtext", Kw::ListLabel}, {"pntext", Kw::ListLabel},
    };
    for (const auto& [w, k] : lists) m.emplace(w, k);
    const std::pair<const char*, Kw> words[] = {
        {"footnote", Kw::Footnote}, {"fonttbl", Kw::FontTable}, {"colortbl", Kw::ColorTable}, {"pict", Kw::Picture},
        {"upr", Kw::Upr}, {"ud", Kw::Ud},
        {"rtf", Kw::Rtf}, {"deff", Kw::Deff}, {"paperw", Kw::PaperW}, {"paperh", Kw::PaperH},
        {"margl", Kw::MargL}, {"margr", Kw::MargR}, {"margt", Kw::MargT}, {"margb", Kw::MargB},
        {"pgwsxn", Kw::PgWsxn}, {"pghsxn", Kw::PgHsxn}, {"marglsxn", Kw::MargLsxn},
        {"margrsxn", Kw::MargRsxn}, {"cols", Kw::Cols}, {"colsx", Kw::ColsX}, {"margtsxn", Kw::MargTsxn}, {"margbsxn", Kw::MargBsxn},
        {"bin", Kw::Bin}, {"uc", Kw::Uc}, {"u", Kw::U}, {"ansicpg", Kw::AnsiCpg},
        {"mac", Kw::Mac}, {"pc", Kw::Pc}, {"pca", Kw::Pca}, {"f", Kw::F},
        {"titlepg", Kw::TitlePg}, {"facingp", Kw::FacingP},
        {"fcharset", Kw::FCharset}, {"cpg", Kw::Cpg}, {"red", Kw::Red}, {"green", Kw::Green}, {"blue", Kw::Blue},
        {"plain", Kw::Plain}, {"b", Kw::B}, {"i", Kw::I}, {"strike", Kw::Strike},
        {"striked", Kw::StrikeD}, {"caps", Kw::Caps}, {"scaps", Kw::Scaps}, {"ul", Kw::Ul}, {"ulnone", Kw::UlNone}, {"uldb", Kw::UlDb},
        {"uld", Kw::UlDotted}, {"ulth", Kw::Ul}, {"ulthd", Kw::UlDotted},
        {"uldash", Kw::UlDash}, {"uldashd", Kw::UlDash}, {"uldashdd", Kw::UlDash},
        {"ulldash", Kw::UlDash}, {"ulthdash", Kw::UlDash}, {"ulthdashd", Kw::UlDash},
        {"ulthdashdd", Kw::UlDash}, {"ulthldash", Kw::UlDash}, {"ulwave", Kw::UlWave},
        {"ulhwave", Kw::UlWave}, {"ululdbwave", Kw::UlWave}, {"ulw", Kw::UlWords},
        {"fs", Kw::Fs}, {"cf", Kw::Cf}, {"cb", Kw::Cb}, {"chcbpat", Kw::ChCbPat},
        {"highlight", Kw::Highlight}, {"up", Kw::Up}, {"dn", Kw::Dn}, {"super", Kw::Super},
        {"sub", Kw::Sub}, {"nosupersub", Kw::NoSuperSub}, {"v", Kw::Hidden},
        {"lang", Kw::Lang},
        {"par", Kw::Par}, {"line", Kw::Line}, {"tab", Kw::Tab}, {"page", Kw::Page},
        {"sect", Kw::Sect}, {"emdash", Kw::EmDash}, {"endash", Kw::EnDash},
        {"bullet", Kw::Bullet}, {"lquote", Kw::LQuote}, {"rquote", Kw::RQuote},
        {"ldblquote", Kw::LDblQuote}, {"rdblquote", Kw::RDblQuote}, {"emspace", Kw::EmSpace},
        {"enspace", Kw::EnSpace}, {"qmspace", Kw::QmSpace}, {"zwj", Kw::Zwj},
        {"zwnj", Kw::Zwnj}, {"ltrmark", Kw::Ltrmark}, {"rtlmark", Kw::Rtlmark},
        {"pard", Kw::Pard}, {"ql", Kw::Ql}, {"qc", Kw::Qc}, {"qr", Kw::Qr}, {"qj", Kw::Qj},
        {"qd", Kw::Qj}, {"li", Kw::Li}, {"lin", Kw::Li}, {"ri", Kw::Ri}, {"rin", Kw::Ri},
        {"fi", Kw::Fi}, {"sb", Kw::Sb}, {"sa", Kw::Sa}, {"sl", Kw::Sl}, {"slmult", Kw::SlMult},
        {"pagebb", Kw::PageBB}, {"tx", Kw::Tx}, {"tb", Kw::Tb}, {"tqr", Kw::Tqr},
        {"tqc", Kw::Tqc}, {"tqdec", Kw::Tqdec}, {"tldot", Kw::TlDot}, {"tlmdot", Kw::TlDot},
        {"tlhyph", Kw::TlHyph}, {"tlul", Kw::TlUl}, {"tlth", Kw::TlTh}, {"tleq", Kw::TlEq},
        {"intbl", Kw::Intbl}, {"qvframetablines", Kw::FrameTabLines},
        {"qvframeconnected", Kw::FrameConnected},
        {"brdrt", Kw::BrdrT}, {"brdrb", Kw::BrdrB}, {"brdrl", Kw::BrdrL}, {"brdrr", Kw::BrdrR},
        {"box", Kw::Box}, {"brdrbtw", Kw::BrdrBtw}, {"brdrbar", Kw::BrdrBar},
        {"brdrs", Kw::BrdrS}, {"brdrth", Kw::BrdrTh}, {"brdrdb", Kw::BrdrDb},
        {"brdrdot", Kw::BrdrDot}, {"brdrdash", Kw::BrdrDash}, {"brdrdashsm", Kw::BrdrDash},
        {"brdrdashd", Kw::BrdrDash}, {"brdrdashdd", Kw::BrdrDash}, {"brdrhair", Kw::BrdrHair},
        {"brdrtriple", Kw::BrdrDb}, {"brdrnone", Kw::BrdrNone}, {"brdrnil", Kw::BrdrNone},
        {"brdrw", Kw::BrdrW}, {"brsp", Kw::BrSp}, {"brdrcf", Kw::BrdrCf},
        {"trowd", Kw::Trowd}, {"cellx", Kw::CellX}, {"cell", Kw::Cell}, {"row", Kw::Row},
        {"nestcell", Kw::NestCell}, {"nestrow", Kw::NestRow}, {"trleft", Kw::TrLeft},
        {"trgaph", Kw::TrGaph}, {"trrh", Kw::TrRh}, {"trql", Kw::TrQl}, {"trqc", Kw::TrQc},
        {"trqr", Kw::TrQr}, {"trhdr", Kw::TrHdr}, {"clbrdrt", Kw::ClBrdrT},
        {"clbrdrb", Kw::ClBrdrB}, {"clbrdrl", Kw::ClBrdrL}, {"clbrdrr", Kw::ClBrdrR},
        {"clcbpat", Kw::ClCbPat}, {"clvertalt", Kw::ClVertAlT}, {"clvertalc", Kw::ClVertAlC},
        {"clvertalb", Kw::ClVertAlB}, {"trbrdrt", Kw::TrBrdr}, {"trbrdrb", Kw::TrBrdr},
        {"trbrdrl", Kw::TrBrdr}, {"trbrdrr", Kw::TrBrdr}, {"trbrdrh", Kw::TrBrdr},
        {"trbrdrv", Kw::TrBrdr}, {"clmgf", Kw::ClMgf}, {"clmrg", Kw::ClMrg},
        {"clvmgf", Kw::ClVmgf}, {"clvmrg", Kw::ClVmrg}, {"clcfpat", Kw::ClCfPat},
        {"clshdng", Kw::ClShdng}, {"cbpat", Kw::CbPat}, {"cfpat", Kw::CfPat},
        {"shading", Kw::Shading}, {"chcfpat", Kw::ChCfPat}, {"chshdng", Kw::ChShdng},
        {"itap", Kw::Itap}, {"nesttableprops", Kw::NestTableProps},
        {"pngblip", Kw::PngBlip}, {"jpegblip", Kw::JpegBlip}, {"emfblip", Kw::OtherBlip},
        {"wmetafile", Kw::OtherBlip}, {"macpict", Kw::OtherBlip}, {"dibitmap", Kw::OtherBlip},
        {"wbitmap", Kw::OtherBlip}, {"pmmetafile", Kw::OtherBlip}, {"picw", Kw::PicW},
        {"pich", Kw::PicH}, {"picwgoal", Kw::PicWGoal}, {"pichgoal", Kw::PicHGoal},
        {"picscalex", Kw::PicScaleX}, {"picscaley", Kw::PicScaleY},
    };
    for (const auto& [w, k] : words) m.emplace(w, k);
    return m;
  }();
  return map;
}

// NestProps: the definition of a row of a table inside a cell (Word's \*\nesttableprops).
enum class Dest {
  Normal, FontTable, ColorTable, Picture, Footnote, NestProps, FieldInst,
  // lists: the list table, a list, a level and its text, the overrides and one of them, a
  // paragraph's \pn and its texts before and after the number
  ListTable, List, ListLevel, LevelText, ListOverrides, ListOverride, Pn, PnBefore, PnAfter,
};

enum class BorderTarget {
  None, ParaTop, ParaBottom, ParaLeft, ParaRight, ParaBox, CellTop, CellBottom, CellLeft,
  CellRight,
};

struct State {
  Dest dest = Dest::Normal;
  bool discardText = false;  // text of this group is not content (an ANSI copy, a shape)
  int uc = 1;
  CharFormat chr;
  int font = -1;  // font number; -1 the default font
  ParagraphFormat para;
  bool inTable = false;
  BorderTarget border = BorderTarget::None;
  Shade paraShade, charShade;
  int itap = 0;  // the paragraph's table level (\itap): 0 the text, 1 a cell, 2 a cell inside one
  int ls = -1;    // the paragraph's list (\ls), -1 none, and its level (\ilvl)
  int ilvl = 0;
  bool pn = false;       // the paragraph has the older numbering (a \pn group, read last)
  bool textBox = false;  // the text of a text box: its paragraphs stay at the table level of its anchor
};

struct PictureState {
  int blip = -1;  // 0 PNG, 1 JPEG, 2 another kind (dropped)
  long long goalW = 0, goalH = 0, scaleX = 100, scaleY = 100;
  std::string data;
  int nibble = -1;
};

constexpr size_t kMaxCellsPerRow = 256;
constexpr size_t kMaxTabs = 64;
constexpr int kMaxUcSkip = 16;

class Reader {
 public:
  Reader(std::string_view in, const RtfLimits& limits)
      : in_(in), limits_(limits), maxElements_(std::min(kMaxElements, kBaseElements + 2 * (long long)in.size())) {
    levels_.reserve(size_t(kMaxTableDepth));
  }

  RtfReadResult Read() {
    RtfReadResult result;
    if (in_.size() > limits_.maxInputBytes) {
      result.error = kDocumentTooLarge;
      return result;
    }
    if (!LooksLikeRtf(in_)) {
      result.error = "The file is not a Rich Text Format document.";
      return result;
    }
    pos_ = in_.find('{');
    if (!Parse()) {
      result.error = error_;
      return result;
    }
    Finish();
    ResolveSectionMargins();
    Normalize(doc_);
    result.ok = true;
    for (int cp : unmapped_) {
      result.warning += result.warning.empty() ? "Some characters of code page " : ", ";
      result.warning += std::to_string(cp);
    }
    if (!result.warning.empty()) result.warning += " could not be read; they show as U+FFFD.";
    if (std::string lost = NotKept(); !lost.empty())
      result.warning += (result.warning.empty() ? "" : "\n") + lost;
    result.document = std::move(doc_);
    return result;
  }

 private:
  // ---- the scanner ---------------------------------------------------------------------

  bool Parse() {
    while (pos_ < in_.size()) {
      char c = in_[pos_];
      if (lead_ >= 0 && leadRaw_ && uint8_t(c) >= 0x40 && ucSkip_ == 0) {
        // After a lead byte written as it is, the next byte is its trail byte, whatever it
        // is: Shift-JIS pairs such as 95 5C or 83 7B end in "\", "{" or "}".
        ++pos_;
        Byte(uint8_t(c));
        continue;
      }
      if (c == '{') {
        ++pos_;
        ucSkip_ = 0;
        pendingStar_ = false;
        if (!started_) {
          started_ = true;
          continue;
        }
        if (stack_.size() + 1 >= size_t(limits_.maxDepth)) {
          error_ = "The document is nested too deeply.";
          return false;
        }
        stack_.push_back(st_);
        st_.border = BorderTarget::None;
        continue;
      }
      if (c == '}') {
        ++pos_;
        ucSkip_ = 0;
        pendingStar_ = false;
        if (stack_.empty()) return true;  // the end of the document
        EndGroup();
        continue;
      }
      if (c == '\\') {
        ++pos_;
        if (!ControlWord()) return false;
        continue;
      }
      ++pos_;
      if (c == '\r' || c == '\n') continue;
      if (ucSkip_ > 0) {
        --ucSkip_;
        continue;
      }
      Byte(uint8_t(c));
      if (overBudget_) {
        error_ = kDocumentTooLarge;
        return false;
      }
    }
    return true;  // the text ended before its last closing brace: keep what was read
  }

  // Reads a control word or symbol after its backslash and acts on it.
  bool ControlWord() {
    if (pos_ >= in_.size()) return true;
    char c = in_[pos_];
    if (!IsLetter(c)) {
      ++pos_;
      Symbol(c);
      return true;
    }
    size_t start = pos_;
    while (pos_ < in_.size() && IsLetter(in_[pos_])) ++pos_;
    std::string_view word = in_.substr(start, std::min<size_t>(pos_ - start, 32));
    bool hasParam = false;
    bool negative = false;
    long long value = 0;
    if (pos_ + 1 < in_.size() && in_[pos_] == '-' && IsDigit(in_[pos_ + 1])) {
      negative = true;
      ++pos_;
    }
    while (pos_ < in_.size() && IsDigit(in_[pos_])) {
      hasParam = true;
      if (value < 100000000000LL) value = value * 10 + (in_[pos_] - '0');
      ++pos_;
    }
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
    value = std::clamp(negative ? -value : value, -2147483647LL, 2147483647LL);
    int param = int(value);

    bool star = pendingStar_;
    pendingStar_ = false;
    auto it = Keywords().find(word);
    if (it == Keywords().end()) {
      if (star) SkipGroup();
      else if (ucSkip_ > 0) --ucSkip_;
      return true;
    }
    Kw kw = it->second;
    word_ = word;
    if (kw == Kw::Bin) {
      size_t n = hasParam && param > 0 ? size_t(param) : 0;
      n = std::min(n, in_.size() - pos_);
      if (st_.dest == Dest::Picture && picture_) picture_->data.append(in_.substr(pos_, n));
      pos_ += n;
      return true;
    }
    if (ucSkip_ > 0 && kw != Kw::SkipDest) {
      --ucSkip_;
      return true;
    }
    Act(kw, hasParam, param);
    return !overBudget_ || (error_ = kDocumentTooLarge, false);
  }

  void Symbol(char c) {
    pendingStar_ = c == '*';  // "\*" marks the control word right after it
    switch (c) {
      case '*':
        return;
      case '\'': {
        int hi = pos_ < in_.size() ? HexValue(in_[pos_]) : -1;
        int lo = pos_ + 1 < in_.size() ? HexValue(in_[pos_ + 1]) : -1;
        if (hi < 0 || lo < 0) return;
        pos_ += 2;
        if (ucSkip_ > 0) {
          --ucSkip_;
          return;
        }
        Byte(uint8_t(hi * 16 + lo), true);
        return;
      }
      default:
        break;
    }
    if (ucSkip_ > 0) {
      --ucSkip_;
      return;
    }
    switch (c) {
      case '\\':
      case '{':
      case '}':
        if (lead_ >= 0) Byte(uint8_t(c), true);  // the trail byte of a double-byte character
        else Char(char32_t(c));
        return;
      case '~':
        Char(0xA0);
        return;
      case '-':
        Char(0xAD);
        return;
      case '_':
        Char(0x2011);
        return;
      case '\r':
      case '\n':
        Act(Kw::Par, false, 0);
        return;
      case '\t':
        Char('\t');
        return;
      default:
        return;
    }
  }

  // Skips the rest of the current group (its opening brace was read) up to and including
  // its closing brace, without reading its content.
  void SkipGroup() {
    int depth = 1;
    while (pos_ < in_.size()) {
      char c = in_[pos_++];
      if (c == '\\') {
        if (in_.compare(pos_, 3, "bin") == 0) {
          size_t p = pos_ + 3;
          long long n = 0;
          bool digits = false;
          while (p < in_.size() && IsDigit(in_[p])) {
            digits = true;
            if (n < 100000000000LL) n = n * 10 + (in_[p] - '0');
            ++p;
          }
          if (digits) {
            if (p < in_.size() && in_[p] == ' ') ++p;
            pos_ = p + size_t(std::min<long long>(n, (long long)(in_.size() - p)));
            continue;
          }
        }
        if (pos_ < in_.size()) ++pos_;
        continue;
      }
      if (c == '{') ++depth;
      if (c == '}' && --depth == 0) break;
    }
    if (!stack_.empty()) {
      st_ = std::move(stack_.back());
      stack_.pop_back();
      ++formatVersion_;
    }
  }

  void EndGroup() {
    Dest closing = st_.dest;
    bool closingPicture = closing == Dest::Picture && picture_ && pictureDepth_ == stack_.size();
    if (closing == Dest::FontTable && !fontName_.empty()) CommitFont();
    bool closingNote = closing == Dest::Footnote && note_ && noteDepth_ == stack_.size();
    if (story_ && storyDepth_ == stack_.size()) CommitHeaderFooter();
    bool closingField = field_ && field_->depth == stack_.size();
    const bool closingPn = closing == Dest::Pn && stack_.back().dest != Dest::Pn;
    if (closing != stack_.back().dest) {
      if (closing == Dest::ListLevel && st_.font != stack_.back().font) lists_.SetLevelFont(st_.font);
      if (closing == Dest::List) lists_.EndList();
    }
    st_ = std::move(stack_.back());
    if (closingPn) st_.pn = true;
    stack_.pop_back();
    ++formatVersion_;
    if (closingField) CommitField();
    if (closingNote) CommitFootnote();
    if (closingPicture) CommitPicture();
  }

  // ---- text ------------------------------------------------------------------------------

  // The code page of the text being read: the current font's, else the document's. Font
  // names are read in their entry's code page, never a symbol font's map.
  int CodePage() const {
    int cp = 0;
    if (st_.dest == Dest::FontTable) {
      cp = fontCpg_ > 0 ? fontCpg_ : codec::CodePageOfCharset(fontCharset_);
      if (cp < 0) cp = 1252;
    } else {
      auto it = fontCodePages_.find(st_.font >= 0 ? st_.font : deff_);
      if (it != fontCodePages_.end()) cp = it->second;
    }
    return cp != 0 ? cp : docCodePage_;
  }

  // A character decoded from a byte; a byte the code page does not map is remembered for
  // the message.
  void Decoded(char32_t c, int cp) {
    if (c == 0xFFFD && unmapped_.size() < 8) unmapped_.insert(cp);
    Char(c);
  }

  // A lead byte whose trail byte never came.
  void FlushLead() {
    if (lead_ < 0) return;
    int cp = leadCodePage_;
    lead_ = -1;
    Decoded(0xFFFD, cp);
  }

  // A byte of text, in the code page in force (a lead byte of a double-byte code page waits
  // for the byte after it, written as "\'xx" or as it is).
  void Byte(uint8_t b, bool escaped = false) {
    if (st_.dest == Dest::Picture) {
      if (!picture_) return;
      int v = HexValue(char(b));
      if (escaped || v < 0) return;
      if (picture_->nibble < 0) {
        picture_->nibble = v;
      } else {
        picture_->data += char(picture_->nibble * 16 + v);
        picture_->nibble = -1;
      }
      return;
    }
    if (std::u32string* text = ListText()) {
      if ((escaped || b >= 0x20) && text->size() < 64) text->push_back(ListLabels::kByte + b);
      return;
    }
    if (lead_ >= 0 && (escaped || b >= 0x40)) {
      uint8_t lead = uint8_t(lead_);
      lead_ = -1;
      Decoded(decoder_.Pair(leadCodePage_, lead, b), leadCodePage_);
      return;
    }
    FlushLead();
    if (!escaped) {
      if (b == '\t') {
        Char('\t');
        return;
      }
      if (b < 0x20) return;
      if (b == ';' && st_.dest == Dest::FontTable) {
        CommitFont();
        return;
      }
      if (b == ';' && st_.dest == Dest::ColorTable) {
        colors_.push_back(colorSet_ ? std::optional<Color>(color_) : std::nullopt);
        color_ = Color{};
        colorSet_ = false;
        return;
      }
    }
    int cp = CodePage();
    if (!escaped && b < 0x80 && (cp > 0 || st_.dest == Dest::FontTable)) {
      Char(b);
      return;
    }
    if (codec::IsLeadByte(cp, b)) {
      lead_ = b;
      leadRaw_ = !escaped;
      leadCodePage_ = cp;
      return;
    }
    Decoded(decoder_.Byte(cp, b), cp);
  }

  void Char(char32_t c) {
    FlushLead();
    if (highSurrogate_) {
      highSurrogate_ = 0;
      Char(0xFFFD);
    }
    if (st_.dest == Dest::FontTable) {
      if (fontName_.size() < 256) codec::AppendUtf8(fontName_, c);
      return;
    }
    if (st_.dest == Dest::FieldInst) {
      if (field_ && field_->instruction.size() < 4096) codec::AppendUtf8(field_->instruction, c);
      return;
    }
    if (std::u32string* text = ListText()) {
      if (text->size() < 64) text->push_back(c);
      return;
    }
    if (st_.dest == Dest::Footnote && note_ && !st_.discardText && !st_.chr.hidden) {
      if (c == ' ' && note_->text.empty() && !noteBlank_) {
        noteBlank_ = true;  // the blank between the note's own mark and its text
        return;
      }
      codec::AppendUtf8(note_->text, c);
      return;
    }
    if (st_.dest != Dest::Normal || st_.discardText) return;
    TextRun* run = CurrentTextRun();
    if (run) codec::AppendUtf8(run->text, c);
  }

  void Unicode(int n) {
    ucSkip_ = st_.uc;
    if (n < 0) n += 65536;
    char32_t c = n < 0 || n > 0x10FFFF ? 0xFFFD : char32_t(n);
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (highSurrogate_) {
        highSurrogate_ = 0;
        Char(0xFFFD);
      }
      highSurrogate_ = c;
      return;
    }
    if (c >= 0xDC00 && c <= 0xDFFF) {
      if (!highSurrogate_) {
        Char(0xFFFD);
        return;
      }
      char32_t full = 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (c - 0xDC00);
      highSurrogate_ = 0;
      Char(full);
      return;
    }
    Char(c);
  }

  CharFormat ResolvedFormat() const {
    CharFormat f = st_.chr;
    f.font.clear();
    if (st_.font >= 0 && st_.font != deff_) {
      auto it = fonts_.find(st_.font);
      if (it != fonts_.end()) f.font = it->second;
    }
    return f;
  }

  // The text run that takes the next character, opened when the format changed.
  TextRun* CurrentTextRun() {
    if (!para_.runs.empty() && para_.runs.back().kind == TextRun::Kind::Text &&
        runVersion_ == formatVersion_)
      return &para_.runs.back();
    CharFormat f = ResolvedFormat();
    runVersion_ = formatVersion_;
    if (!para_.runs.empty() && para_.runs.back().kind == TextRun::Kind::Text &&
        para_.runs.back().format == f)
      return &para_.runs.back();
    if (!Spend()) return nullptr;
    TextRun r;
    r.format = std::move(f);
    para_.runs.push_back(std::move(r));
    return &para_.runs.back();
  }

  void AddRun(TextRun r) {
    if (!Spend()) return;
    para_.runs.push_back(std::move(r));
    runVersion_ = -1;
  }

  // Counts one more element of the model; false once the budget is spent.
  bool Spend() {
    if (++elements_ > maxElements_) overBudget_ = true;
    return !overBudget_;
  }

  // ---- tables, paragraphs, pictures --------------------------------------------------------

  void CommitFont() {
    std::string name = Trim(fontName_);
    fontName_.clear();
    if (currentFont_ >= 0 && fonts_.size() < 4096) {
      fonts_[currentFont_] = name;
      // A font's \cpg sets its code page, with a charset or without; a symbol font keeps its map.
      int cp = codec::CodePageOfFont(name, fontCharset_);
      if (fontCpg_ > 0 && cp >= 0) cp = fontCpg_;
      fontCodePages_[currentFont_] = cp;
    }
    if (currentFont_ >= 0 && currentFont_ == deff_ && !name.empty()) doc_.defaultFont = name;
  }

  void CommitFootnote() {
    TextRun r = std::move(*note_);
    note_.reset();
    noteBlank_ = false;
    if (InText()) AddRun(std::move(r));
  }

  void CommitPicture() {
    PictureState p = std::move(*picture_);
    picture_.reset();
    if (p.blip != 0 && p.blip != 1) {
      if (InText()) ++droppedPictures_;
      return;
    }
    if (p.data.empty() || st_.dest != Dest::Normal) return;
    TextRun r;
    r.kind = TextRun::Kind::Picture;
    r.format = ResolvedFormat();
    r.picture.format = p.blip == 0 ? PictureFormat::Png : PictureFormat::Jpeg;
    if (auto detected = DetectPictureFormat(p.data)) r.picture.format = *detected;
    r.picture.data = std::move(p.data);
    long long w = p.goalW * p.scaleX / 100, h = p.goalH * p.scaleY / 100;
    r.picture.width = int(std::clamp<long long>(w, 0, kMaxPictureTwips));
    r.picture.height = int(std::clamp<long long>(h, 0, kMaxPictureTwips));
    FixPictureSize(r.picture);
    AddRun(std::move(r));
  }

  // The table level of the paragraph being read (not limited), and the level of the table
  // whose row definition is being read: a row inside a cell is defined in a
  // \*\nesttableprops group at the end of the row.
  int ParagraphLevel() const { return st_.inTable ? std::max(st_.itap, 1) : st_.itap; }
  int DefinitionLevel() const {
    return st_.dest == Dest::NestProps ? std::max(ParagraphLevel(), 2) : 1;
  }

  TableLevel& Level(int level) {
    if (levels_.size() < size_t(level)) levels_.resize(size_t(level));
    return levels_[size_t(level) - 1];
  }

  RowDefinition& Def() {
    int level = DefinitionLevel();
    return level > kMaxTableDepth ? ignoredDef_ : Level(level).def;
  }

  // Ends the paragraph being read, with the paragraph format in force now, into the cell
  // of the table level given (-1: the paragraph's own level). The paragraphs of a level
  // deeper than kMaxTableDepth are paragraphs of the cell at the deepest level.
  void EndParagraph(int level = -1) {
    FlushLead();
    AddListLabel();
    ++paragraphsEnded_;
    Paragraph p = std::move(para_);
    para_ = Paragraph{};
    runVersion_ = -1;
    p.format = st_.para;
    p.markFormat = ResolvedFormat();
    if (pendingPageBreak_) {
      p.format.pageBreakBefore = true;
      pendingPageBreak_ = false;
    }
    level = std::min(level < 0 ? ParagraphLevel() : level, kMaxTableDepth);
    if (level > 0) {
      CloseTablesDeeperThan(level);
      if (Spend()) Level(level).cell.paragraphs.push_back(std::move(p));
      return;
    }
    CloseTable();
    if (Spend()) doc_.blocks.emplace_back(std::move(p));
  }

  void EndCell(int level) {
    EndParagraph(level);
    if (!Spend()) return;
    TableLevel& l = Level(level);
    TableCell cell = std::move(l.cell);
    l.cell = TableCell{};
    if (l.cells.size() < kMaxCellsPerRow) l.cells.push_back(std::move(cell));
  }

  void EndRow(int level) {
    CloseTablesDeeperThan(level);
    TableLevel& l = Level(level);
    if (!para_.runs.empty() || !l.cell.paragraphs.empty() || !l.cell.tables.empty()) EndCell(level);
    TableRow row = l.def.row;
    size_t n = std::max(l.cells.size(), l.def.cells.size());
    if (n == 0) return;
    int edge = row.leftEdge;
    for (size_t k = 0; k < n; ++k) {
      // Every \row makes all the cells of its definition: each counts, or a row repeated
      // thousands of times would make millions of cells of a few bytes.
      if (!Spend()) {
        l.cells.clear();
        return;
      }
      TableCell cell;
      if (k < l.def.cells.size()) {
        cell = l.def.cells[k];
      } else {
        // One inch on from the last edge, which a damaged file may have put at the end of the range.
        cell.rightEdge = edge > INT_MAX - 1440 ? INT_MAX : edge + 1440;
      }
      edge = cell.rightEdge;
      if (k < l.cells.size()) {
        cell.paragraphs = std::move(l.cells[k].paragraphs);
        cell.tables = std::move(l.cells[k].tables);
      }
      if (cell.paragraphs.empty()) {
        Paragraph empty;
        empty.markFormat = ResolvedFormat();
        cell.paragraphs.push_back(std::move(empty));
      }
      row.cells.push_back(std::move(cell));
    }
    l.cells.clear();
    if (!l.table) l.table.emplace();
    l.table->rows.push_back(std::move(row));
  }

  // Ends the table of a level (those deeper are ended already): a table of the text
  // becomes a block, one inside a cell goes into the cell being read one level up.
  void CloseLevel(int level) {
    TableLevel& l = Level(level);
    if (!l.cells.empty() || !l.cell.paragraphs.empty() || !l.cell.tables.empty()) EndRow(level);
    if (!l.table) return;
    Table t = std::move(*l.table);
    l.table.reset();
    if (level == 1) {
      doc_.blocks.emplace_back(std::move(t));
      return;
    }
    if (!Spend()) return;
    TableCell& outer = Level(level - 1).cell;
    outer.tables.push_back(CellTable{outer.paragraphs.size(), std::move(t)});
  }

  void CloseTablesDeeperThan(int level) {
    for (int k = int(levels_.size()); k > level; --k) CloseLevel(k);
  }

  void CloseTable() { CloseTablesDeeperThan(0); }

  void Finish() {
    FlushLead();
    if (highSurrogate_) {
      highSurrogate_ = 0;
      Char(0xFFFD);
    }
    // A text cut short inside a field or a header keeps what was read of them.
    if (field_) CommitField();
    if (story_) CommitHeaderFooter();
    if (!para_.runs.empty()) EndParagraph();
    CloseTable();
  }

  BorderLine* Border() {
    switch (st_.border) {
      case BorderTarget::ParaTop: return &st_.para.borders.top;
      case BorderTarget::ParaBottom: return &st_.para.borders.bottom;
      case BorderTarget::ParaLeft: return &st_.para.borders.left;
      case BorderTarget::ParaRight: return &st_.para.borders.right;
      case BorderTarget::CellTop: return &Def().pending.top;
      case BorderTarget::CellBottom: return &Def().pending.bottom;
      case BorderTarget::CellLeft: return &Def().pending.left;
      case BorderTarget::CellRight: return &Def().pending.right;
      default: return nullptr;
    }
  }

  template <typename F>
  void ForBorders(F f) {
    if (st_.border == BorderTarget::ParaBox) {
      f(st_.para.borders.top);
      f(st_.para.borders.bottom);
      f(st_.para.borders.left);
      f(st_.para.borders.right);
      return;
    }
    if (BorderLine* b = Border()) f(*b);
  }

  std::optional<Color> ColorAt(int n) const {
    if (n < 0 || size_t(n) >= colors_.size()) return std::nullopt;
    return colors_[size_t(n)];
  }

  void AddTab(int position) {
    if (st_.para.tabs.size() < kMaxTabs) st_.para.tabs.push_back({position, tabKind_, tabLeader_});
    tabKind_ = TabKind::Left;
    tabLeader_ = TabLeader::None;
  }

  void SetMargin(int side, int& field, bool hasParam, int value) {
    if (hasParam && value >= 0) marginSeen_[side] = true;
    SetPage(field, hasParam, value);
  }

  // The document's margins are its margin words'; a section's own margin counts where the
  // document has none, and is kept as what it adds where it has.
  void ResolveSectionMargins() {
    PageSetup& pg = doc_.page;
    int* margins[4] = {&pg.marginLeft, &pg.marginRight, &pg.marginTop, &pg.marginBottom};
    int* extras[4] = {&pg.sectionExtraLeft, &pg.sectionExtraRight, &pg.sectionExtraTop, &pg.sectionExtraBottom};
    for (int k = 0; k < 4; ++k) {
      if (sectionMargin_[k] < 0) continue;
      if (marginSeen_[k]) *extras[k] = sectionMargin_[k] - *margins[k];
      else *margins[k] = sectionMargin_[k];
    }
  }

  // What the document holds that the model does not keep, in words; empty when nothing.
  std::string NotKept() const {
    std::string what;
    if (droppedPictures_ > 0) {
      what = droppedPictures_ == 1 ? std::string("1 picture") : std::to_string(droppedPictures_) + " pictures";
      what += " in a form other than PNG or JPEG (such as WMF or EMF), which ";
      what += droppedPictures_ == 1 ? "is" : "are";
      what += " left out";
    }
    if (listsSeen_) {
      if (!what.empty()) what += "; and ";
      what += "lists, which are saved as paragraphs with their numbers as text";
    }
    if (textBoxes_ > 0) {
      if (!what.empty()) what += "; and ";
      what += textBoxes_ == 1 ? "1 text box, which is" : std::to_string(textBoxes_) + " text boxes, which are";
      what += " saved as paragraphs where ";
      what += textBoxes_ == 1 ? "it is" : "they are";
      what += " anchored";
    }
    if (what.empty()) return what;
    return "This document holds what the editor cannot keep: " + what + ".";
  }

  // Sizes must be positive, margins may be 0.
  void SetPage(int& field, bool hasParam, int value, int least = 0) {
    if (hasParam && value >= least) field = value;
  }

  // ---- control words -------------------------------------------------------------------

  void Act(Kw kw, bool hasParam, int param) {
    bool on = !hasParam || param != 0;
    int n = hasParam ? param : 0;
    CharFormat& chr = st_.chr;
    ParagraphFormat& para = st_.para;
    auto charChanged = [&] { ++formatVersion_; };
    switch (kw) {
      case Kw::SkipDest:
        SkipGroup();
        return;
      case Kw::FontTable:
        st_.dest = Dest::FontTable;
        return;
      case Kw::ColorTable:
        st_.dest = Dest::ColorTable;
        return;
      case Kw::Picture:
        st_.dest = Dest::Picture;
        picture_.emplace();
        pictureDepth_ = stack_.size();
        return;
      case Kw::Transparent:
        return;
      case Kw::Footnote:
        // A footnote of a note, or one outside the text, is not kept.
        if (!InText() || note_) {
          SkipGroup();
          return;
        }
        note_.emplace();
        note_->format = ResolvedFormat();
        note_->kind = TextRun::Kind::Footnote;
        noteDepth_ = stack_.size();
        st_.dest = Dest::Footnote;
        return;
      case Kw::Upr:
        st_.discardText = true;
        return;
      case Kw::Ud:
        st_.discardText = false;
        return;
      case Kw::Rtf:
        return;
      case Kw::Deff:
        deff_ = n;
        return;
      case Kw::PaperW: SetPage(doc_.page.width, hasParam, n, 1); return;
      case Kw::PaperH: SetPage(doc_.page.height, hasParam, n, 1); return;
      case Kw::MargL: SetMargin(0, doc_.page.marginLeft, hasParam, n); return;
      case Kw::MargR: SetMargin(1, doc_.page.marginRight, hasParam, n); return;
      case Kw::MargT: SetMargin(2, doc_.page.marginTop, hasParam, n); return;
      case Kw::MargB: SetMargin(3, doc_.page.marginBottom, hasParam, n); return;
      case Kw::PgWsxn: if (!sectionSeen_) SetPage(doc_.page.width, hasParam, n, 1); return;
      case Kw::PgHsxn: if (!sectionSeen_) SetPage(doc_.page.height, hasParam, n, 1); return;
      case Kw::MargLsxn: if (!sectionSeen_) SetPage(sectionMargin_[0], hasParam, n); return;
      case Kw::MargRsxn: if (!sectionSeen_) SetPage(sectionMargin_[1], hasParam, n); return;
      case Kw::MargTsxn: if (!sectionSeen_) SetPage(sectionMargin_[2], hasParam, n); return;
      case Kw::MargBsxn: if (!sectionSeen_) SetPage(sectionMargin_[3], hasParam, n); return;
      case Kw::Cols:
        if (!sectionSeen_ && hasParam) doc_.page.columns = std::clamp(n, 1, 64);
        return;
      case Kw::ColsX:
        if (!sectionSeen_ && hasParam) doc_.page.columnSpace = std::clamp(n, 0, 31680);
        return;
      case Kw::Bin:
        return;
      case Kw::Uc:
        st_.uc = std::clamp(n, 0, kMaxUcSkip);
        return;
      case Kw::U:
        Unicode(n);
        return;
      case Kw::AnsiCpg:
        if (n > 0) docCodePage_ = n;
        return;
      case Kw::Mac: docCodePage_ = 10000; return;
      case Kw::TitlePg: if (!sectionSeen_) doc_.titlePage = on; return;
      case Kw::FacingP: doc_.facingPages = on; return;
      case Kw::Pc: docCodePage_ = 437; return;
      case Kw::Pca: docCodePage_ = 850; return;
      case Kw::FCharset:
        if (st_.dest == Dest::FontTable) fontCharset_ = n;
        return;
      case Kw::Cpg:
        if (st_.dest == Dest::FontTable) fontCpg_ = n;
        return;
      case Kw::F:
        if (st_.dest == Dest::FontTable) {
          if (!fontName_.empty()) CommitFont();
          currentFont_ = n;
          fontCharset_ = 1;
          fontCpg_ = 0;
          return;
        }
        st_.font = n;
        charChanged();
        return;
      case Kw::Red: color_.red = uint8_t(std::clamp(n, 0, 255)); colorSet_ = true; return;
      case Kw::Green: color_.green = uint8_t(std::clamp(n, 0, 255)); colorSet_ = true; return;
      case Kw::Blue: color_.blue = uint8_t(std::clamp(n, 0, 255)); colorSet_ = true; return;
      case Kw::Plain:
        chr = CharFormat{};
        st_.charShade = Shade{};
        st_.font = -1;
        charChanged();
        return;
      case Kw::B: chr.bold = on; charChanged(); return;
      case Kw::I: chr.italic = on; charChanged(); return;
      case Kw::Strike:
      case Kw::StrikeD: chr.strike = on; charChanged(); return;
      case Kw::Caps: chr.capitals = on ? Capitals::All : Capitals::None; charChanged(); return;
      case Kw::Scaps: chr.capitals = on ? Capitals::Small : Capitals::None; charChanged(); return;
      case Kw::Ul: chr.underline = on ? Underline::Single : Underline::None; charChanged(); return;
      case Kw::UlNone: chr.underline = Underline::None; charChanged(); return;
      case Kw::UlDb: chr.underline = on ? Underline::Double : Underline::None; charChanged(); return;
      case Kw::UlDotted: chr.underline = on ? Underline::Dotted : Underline::None; charChanged(); return;
      case Kw::UlDash: chr.underline = on ? Underline::Dashed : Underline::None; charChanged(); return;
      case Kw::UlWave: chr.underline = on ? Underline::Wave : Underline::None; charChanged(); return;
      case Kw::UlWords: chr.underline = on ? Underline::Words : Underline::None; charChanged(); return;
      case Kw::Fs:
        if (hasParam && n > 0) chr.sizeHalfPoints = std::min(n, 3276);
        charChanged();
        return;
      case Kw::Cf: chr.color = ColorAt(n); charChanged(); return;
      case Kw::Cb: chr.background = ColorAt(n); charChanged(); return;
      case Kw::ChCbPat: Shaded(st_.charShade, &Shade::back, n, chr.background); charChanged(); return;
      case Kw::ChCfPat: Shaded(st_.charShade, &Shade::fore, n, chr.background); charChanged(); return;
      case Kw::ChShdng: ShadedPercent(st_.charShade, n, chr.background); charChanged(); return;
      case Kw::Highlight: chr.background = n == 0 ? std::nullopt : ColorAt(n); charChanged(); return;
      case Kw::Up: chr.raiseHalfPoints = hasParam ? std::clamp(n, 0, 3276) : 6; charChanged(); return;
      case Kw::Dn: chr.raiseHalfPoints = -(hasParam ? std::clamp(n, 0, 3276) : 6); charChanged(); return;
      case Kw::Super: chr.position = on ? VerticalPosition::Superscript : VerticalPosition::Normal; charChanged(); return;
      case Kw::Sub: chr.position = on ? VerticalPosition::Subscript : VerticalPosition::Normal; charChanged(); return;
      case Kw::NoSuperSub: chr.position = VerticalPosition::Normal; charChanged(); return;
      case Kw::Hidden: chr.hidden = on; charChanged(); return;
      case Kw::Lang: chr.language = std::clamp(n, 0, 0xFFFF); charChanged(); return;
      case Kw::Par:
        if (InText()) EndParagraph();
        else if (st_.dest == Dest::Footnote) Char('\n');
        return;
      case Kw::Line:
        if (InText()) {
          TextRun r;
          r.kind = TextRun::Kind::LineBreak;
          r.format = ResolvedFormat();
          AddRun(std::move(r));
        }
        return;
      case Kw::Tab: Char('\t'); return;
      case Kw::Page:
        if (!InText()) return;
        if (!para_.runs.empty()) EndParagraph();
        pendingPageBreak_ = true;
        return;
      case Kw::Sect:
        if (!InText()) return;
        if (!para_.runs.empty()) EndParagraph();
        sectionSeen_ = true;
        return;
      case Kw::EmDash: Char(0x2014); return;
      case Kw::EnDash: Char(0x2013); return;
      case Kw::Bullet: Char(0x2022); return;
      case Kw::LQuote: Char(0x2018); return;
      case Kw::RQuote: Char(0x2019); return;
      case Kw::LDblQuote: Char(0x201C); return;
      case Kw::RDblQuote: Char(0x201D); return;
      case Kw::EmSpace: Char(0x2003); return;
      case Kw::EnSpace: Char(0x2002); return;
      case Kw::QmSpace: Char(0x2005); return;
      case Kw::Zwj: Char(0x200D); return;
      case Kw::Zwnj: Char(0x200C); return;
      case Kw::Ltrmark: Char(0x200E); return;
      case Kw::Rtlmark: Char(0x200F); return;
      case Kw::Pard:
        para = ParagraphFormat{};
        st_.paraShade = Shade{};
        if (!st_.textBox) {
          st_.inTable = false;
          st_.itap = 0;
        }
        st_.ls = -1;
        st_.ilvl = 0;
        st_.pn = false;
        tabKind_ = TabKind::Left;
        tabLeader_ = TabLeader::None;
        st_.border = BorderTarget::None;
        return;
      case Kw::Ql: para.alignment = Alignment::Left; return;
      case Kw::Qc: para.alignment = Alignment::Center; return;
      case Kw::Qr: para.alignment = Alignment::Right; return;
      case Kw::Qj: para.alignment = Alignment::Justify; return;
      case Kw::Li: para.leftIndent = n; return;
      case Kw::Ri: para.rightIndent = n; return;
      case Kw::Fi: para.firstLineIndent = n; return;
      case Kw::Sb: para.spaceBefore = n; return;
      case Kw::Sa: para.spaceAfter = n; return;
      case Kw::Sl: para.lineSpacing = hasParam ? n : 0; return;
      case Kw::SlMult: para.lineSpacingMultiple = on; return;
      case Kw::PageBB: para.pageBreakBefore = on; return;
      case Kw::Tx: AddTab(n); return;
      case Kw::Tb:
        tabKind_ = TabKind::Left;
        tabLeader_ = TabLeader::None;
        return;
      case Kw::Tqr: tabKind_ = TabKind::Right; return;
      case Kw::Tqc: tabKind_ = TabKind::Center; return;
      case Kw::Tqdec: tabKind_ = TabKind::Decimal; return;
      case Kw::TlDot: tabLeader_ = TabLeader::Dots; return;
      case Kw::TlHyph: tabLeader_ = TabLeader::Hyphens; return;
      case Kw::TlUl: tabLeader_ = TabLeader::Underline; return;
      case Kw::TlTh: tabLeader_ = TabLeader::ThickLine; return;
      case Kw::TlEq: tabLeader_ = TabLeader::Equals; return;
      case Kw::Intbl: st_.inTable = on; return;
      case Kw::FrameTabLines: para.borders.tabLines = on; return;
      case Kw::FrameConnected: para.borders.connected = on; return;
      case Kw::BrdrT: st_.border = BorderTarget::ParaTop; return;
      case Kw::BrdrB: st_.border = BorderTarget::ParaBottom; return;
      case Kw::BrdrL: st_.border = BorderTarget::ParaLeft; return;
      case Kw::BrdrR: st_.border = BorderTarget::ParaRight; return;
      case Kw::Box: st_.border = BorderTarget::ParaBox; return;
      case Kw::BrdrBtw:
      case Kw::BrdrBar:
      case Kw::TrBrdr: st_.border = BorderTarget::None; return;
      case Kw::BrdrS: ForBorders([](BorderLine& b) { b.style = BorderStyle::Single; }); return;
      case Kw::BrdrTh: ForBorders([](BorderLine& b) { b.style = BorderStyle::Thick; }); return;
      case Kw::BrdrDb: ForBorders([](BorderLine& b) { b.style = BorderStyle::Double; }); return;
      case Kw::BrdrDot: ForBorders([](BorderLine& b) { b.style = BorderStyle::Dotted; }); return;
      case Kw::BrdrDash: ForBorders([](BorderLine& b) { b.style = BorderStyle::Dashed; }); return;
      case Kw::BrdrHair: ForBorders([](BorderLine& b) { b.style = BorderStyle::Hairline; }); return;
      case Kw::BrdrOther: ForBorders([](BorderLine& b) { b.style = BorderStyle::Single; }); return;
      case Kw::BrdrNone: ForBorders([](BorderLine& b) { b = BorderLine{}; }); return;
      case Kw::BrdrW: ForBorders([&](BorderLine& b) { b.width = std::clamp(n, 0, 32767); }); return;
      case Kw::BrSp: ForBorders([&](BorderLine& b) { b.distance = std::clamp(n, 0, 32767); }); return;
      case Kw::BrdrCf: ForBorders([&](BorderLine& b) { b.color = ColorAt(n); }); return;
      case Kw::Trowd:
        Def() = RowDefinition{};
        st_.border = BorderTarget::None;
        return;
      case Kw::CellX: {
        RowDefinition& def = Def();
        def.pending.rightEdge = n;
        if (def.cells.size() < kMaxCellsPerRow) def.cells.push_back(def.pending);
        def.pending = TableCell{};
        def.pendingShade = Shade{};
        st_.border = BorderTarget::None;
        return;
      }
      case Kw::Cell:
        if (InText()) EndCell(1);
        return;
      case Kw::Row:
        if (InText()) EndRow(1);
        return;
      case Kw::Itap:
        st_.itap = std::clamp(n, 0, 1000000);
        return;
      case Kw::NestTableProps:
        if (!InText()) {
          SkipGroup();
          return;
        }
        st_.dest = Dest::NestProps;
        return;
      case Kw::NestCell:
        // A cell deeper than the deepest level is a paragraph of its cell there.
        if (!InText()) return;
        if (std::max(ParagraphLevel(), 2) > kMaxTableDepth) EndParagraph();
        else EndCell(std::max(ParagraphLevel(), 2));
        return;
      case Kw::NestRow:
        if ((InText() || st_.dest == Dest::NestProps) && std::max(ParagraphLevel(), 2) <= kMaxTableDepth)
          EndRow(std::max(ParagraphLevel(), 2));
        return;
      case Kw::TrLeft: Def().row.leftEdge = n; return;
      case Kw::TrGaph: Def().row.gap = n; return;
      case Kw::TrRh: Def().row.height = n; return;
      case Kw::TrQl: Def().row.alignment = Alignment::Left; return;
      case Kw::TrQc: Def().row.alignment = Alignment::Center; return;
      case Kw::TrQr: Def().row.alignment = Alignment::Right; return;
      case Kw::TrHdr: Def().row.header = on; return;
      case Kw::ClBrdrT: st_.border = BorderTarget::CellTop; return;
      case Kw::ClBrdrB: st_.border = BorderTarget::CellBottom; return;
      case Kw::ClBrdrL: st_.border = BorderTarget::CellLeft; return;
      case Kw::ClBrdrR: st_.border = BorderTarget::CellRight; return;
      case Kw::ClCbPat: Shaded(Def().pendingShade, &Shade::back, n, Def().pending.background); return;
      case Kw::ClCfPat: Shaded(Def().pendingShade, &Shade::fore, n, Def().pending.background); return;
      case Kw::ClShdng: ShadedPercent(Def().pendingShade, n, Def().pending.background); return;
      case Kw::CbPat: Shaded(st_.paraShade, &Shade::back, n, para.background); return;
      case Kw::CfPat: Shaded(st_.paraShade, &Shade::fore, n, para.background); return;
      case Kw::Shading: ShadedPercent(st_.paraShade, n, para.background); return;
      case Kw::ClVertAlT: Def().pending.verticalAlignment = VerticalAlignment::Top; return;
      case Kw::ClVertAlC: Def().pending.verticalAlignment = VerticalAlignment::Center; return;
      case Kw::ClVertAlB: Def().pending.verticalAlignment = VerticalAlignment::Bottom; return;
      case Kw::ClMgf: Def().pending.mergeAcross = CellMerge::First; return;
      case Kw::ClMrg: Def().pending.mergeAcross = CellMerge::Next; return;
      case Kw::ClVmgf: Def().pending.mergeDown = CellMerge::First; return;
      case Kw::ClVmrg: Def().pending.mergeDown = CellMerge::Next; return;
      case Kw::PngBlip: if (picture_) picture_->blip = 0; return;
      case Kw::JpegBlip: if (picture_) picture_->blip = 1; return;
      case Kw::OtherBlip: if (picture_) picture_->blip = 2; return;
      case Kw::PicW:
      case Kw::PicH: return;
      case Kw::PicWGoal: if (picture_) picture_->goalW = std::max(n, 0); return;
      case Kw::PicHGoal: if (picture_) picture_->goalH = std::max(n, 0); return;
      case Kw::PicScaleX: if (picture_ && n > 0) picture_->scaleX = std::min(n, 10000); return;
      case Kw::PicScaleY: if (picture_ && n > 0) picture_->scaleY = std::min(n, 10000); return;
      case Kw::Field:
        // Only a field in the text is kept as one; one inside another's result is its text.
        if (InText() && !field_) {
          field_.emplace();
          field_->depth = stack_.size();
        }
        return;
      case Kw::FieldInst:
        if (st_.dest == Dest::FieldInst) return;  // a field inside an instruction gives it its words
        if (!field_ || field_->depth + 1 != stack_.size() || !InText()) {
          SkipGroup();
          return;
        }
        st_.dest = Dest::FieldInst;
        return;
      case Kw::FieldResult:
        if (st_.dest == Dest::FieldInst) {
          SkipGroup();  // the result of a field inside an instruction
          return;
        }
        if (field_ && field_->depth + 1 == stack_.size() && !field_->result) StartFieldResult();
        return;
      case Kw::HeaderFooter:
        if (!InText() || story_ || note_ || field_ || doc_.headersFooters.size() >= 16) {
          SkipGroup();
          return;
        }
        StartHeaderFooter();
        return;
      case Kw::ChPgn:
        // The page number: the field Word reads it as.
        if (InText()) {
          TextRun r;
          r.kind = TextRun::Kind::Field;
          r.instruction = "PAGE";
          r.format = ResolvedFormat();
          AddRun(std::move(r));
        }
        return;
      case Kw::Shape:
        if (IsTextBoxText(word_) && st_.dest == Dest::Normal) {
          st_.textBox = true;
          ++textBoxes_;
        }
        st_.discardText = !ShapeTextShown(word_, !st_.discardText);
        return;
      case Kw::ListTable: st_.dest = Dest::ListTable; return;
      case Kw::ListOverrideTable: st_.dest = Dest::ListOverrides; return;
      case Kw::List:
        if (st_.dest != Dest::ListTable) return;
        st_.dest = Dest::List;
        lists_.BeginList();
        return;
      case Kw::ListLevel:
        if (st_.dest != Dest::List) return;
        st_.dest = Dest::ListLevel;
        lists_.BeginLevel();
        return;
      case Kw::ListId:
        if (st_.dest == Dest::List) lists_.SetListId(n);
        if (st_.dest == Dest::ListOverride) lists_.SetOverrideListId(n);
        return;
      case Kw::LevelNfc: if (st_.dest == Dest::ListLevel) lists_.SetLevelFormat(n); return;
      case Kw::LevelStartAt: if (st_.dest == Dest::ListLevel) lists_.SetLevelStart(n); return;
      case Kw::LevelFollow: if (st_.dest == Dest::ListLevel) lists_.SetLevelFollow(n); return;
      case Kw::LevelText:
        if (st_.dest != Dest::ListLevel) {
          SkipGroup();
          return;
        }
        st_.dest = Dest::LevelText;
        return;
      case Kw::ListOverride:
        if (st_.dest != Dest::ListOverrides) return;
        st_.dest = Dest::ListOverride;
        lists_.BeginOverride();
        return;
      case Kw::ListMark:
        if (st_.dest == Dest::ListOverride) {
          lists_.SetOverrideNumber(n);
        } else if (InText()) {
          listsSeen_ = true;
          st_.ls = n;
        }
        return;
      case Kw::Ilvl: st_.ilvl = std::clamp(n, 0, 8); return;
      case Kw::Pn:
        if (!InText()) {
          SkipGroup();
          return;
        }
        listsSeen_ = true;
        st_.dest = Dest::Pn;
        lists_.BeginPn();
        return;
      case Kw::PnLevel:
        if (st_.dest == Dest::Pn) lists_.SetPnLevel(word_ == "pnlvlbody" ? 10 : word_ == "pnlvlblt" ? 11 : n);
        return;
      case Kw::PnFormat:
        // As \levelnfc numbers them; ordinals and cardinals (\pnord, \pncard) as digits.
        if (st_.dest == Dest::Pn) {
          lists_.SetPnFormat(word_ == "pnucrm" ? 1 : word_ == "pnlcrm" ? 2 : word_ == "pnucltr" ? 3
                             : word_ == "pnlcltr" ? 4 : 0);
        }
        return;
      case Kw::PnStart: if (st_.dest == Dest::Pn) lists_.SetPnStart(n); return;
      case Kw::PnFont: if (st_.dest == Dest::Pn) lists_.SetPnFont(n); return;
      case Kw::PnText:
        if (st_.dest != Dest::Pn) {
          SkipGroup();
          return;
        }
        st_.dest = word_ == "pntxtb" ? Dest::PnBefore : Dest::PnAfter;
        return;
      case Kw::ListLabel:
        if (InText()) labelSeen_ = true;
        return;
    }
  }

  // ---- lists (RtfReaderLists.cpp) -------------------------------------------------------

  // Where the text of a list level or of a \pn's number goes, when it is being read.
  std::u32string* ListText() {
    switch (st_.dest) {
      case Dest::LevelText: return lists_.LevelText();
      case Dest::PnBefore: return lists_.PnText(true);
      case Dest::PnAfter: return lists_.PnText(false);
      default: return nullptr;
    }
  }

  // Gives the paragraph being ended the label of its list, unless it has one of its own.
  void AddListLabel() {
    auto decode = [this](int font, char32_t c) -> char32_t {
      auto it = fontCodePages_.find(font >= 0 ? font : st_.font >= 0 ? st_.font : deff_);
      int cp = it != fontCodePages_.end() && it->second != 0 ? it->second : docCodePage_;
      if (c >= ListLabels::kByte) return decoder_.Byte(cp, uint8_t(c - ListLabels::kByte));
      // A symbol font's character as Windows gives it (U+F000 plus the byte).
      if (c >= 0xF020 && c <= 0xF0FF && (cp == codec::kSymbolFont || cp == codec::kWingdingsFont))
        return decoder_.Byte(cp, uint8_t(c - 0xF000));
      return c;
    };
    std::string label;
    if (st_.ls >= 0) label = lists_.ListLabel(st_.ls, st_.ilvl, decode);
    else if (st_.pn) label = lists_.PnLabel(decode);
    else lists_.Unnumbered();
    const bool own = labelSeen_;
    labelSeen_ = false;
    if (label.empty() || own || !Spend()) return;
    TextRun r;
    r.format = !para_.runs.empty() ? para_.runs.front().format : ResolvedFormat();
    r.text = std::move(label);
    para_.runs.insert(para_.runs.begin(), std::move(r));
    runVersion_ = -1;
  }

  bool InText() const { return st_.dest == Dest::Normal && !st_.discardText; }

  // One colour of a shading set, and the colour that then shows. A shading that shows
  // nothing leaves a background set otherwise (a highlight) alone, unless its own background
  // colour was set to the automatic one.
  void Shaded(Shade& shade, std::optional<Color> Shade::*which, int n, std::optional<Color>& shown) {
    shade.*which = ColorAt(n);
    shade.set = true;
    const std::optional<Color> c = shade.Shown();
    if (c || which == &Shade::back) shown = c;
  }
  void ShadedPercent(Shade& shade, int n, std::optional<Color>& shown) {
    shade.percent = std::clamp(n, 0, 10000);
    shade.set = true;
    if (const std::optional<Color> c = shade.Shown()) shown = c;
  }

  // ---- fields, headers and footers (RtfReaderFields.cpp, RtfReaderHeaders.cpp) --------------

  void StartFieldResult() {
    rtfread::StartFieldResult(*field_, paragraphsEnded_, para_);
    runVersion_ = -1;
  }

  // Makes the field's run: its instruction and the text its result left in the paragraph.
  void CommitField() {
    FieldState f = std::move(*field_);
    field_.reset();
    std::string instruction = Trim(f.instruction);
    if (instruction.empty() || !InText()) return;
    TextRun run;
    run.kind = TextRun::Kind::Field;
    run.instruction = std::move(instruction);
    run.format = ResolvedFormat();
    if (TakeFieldResult(f, paragraphsEnded_, para_, run)) AddRun(std::move(run));
  }

  Story Current() { return Story{doc_.blocks, para_, levels_, pendingPageBreak_}; }

  void StartHeaderFooter() {
    story_ = SetStoryAside(std::string(word_), Current());
    storyDepth_ = stack_.size();
    st_.itap = 0;
    runVersion_ = -1;
    st_.inTable = false;
  }

  void CommitHeaderFooter() {
    FlushLead();
    if (!para_.runs.empty()) EndParagraph();
    CloseTable();
    SavedStory saved = std::move(*story_);
    story_.reset();
    doc_.headersFooters.push_back(RestoreStory(std::move(saved), Current()));
    runVersion_ = -1;
  }

  static bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
  static int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }
  static std::string Trim(const std::string& s) {
    size_t a = s.find_first_not_of(' ');
    if (a == std::string::npos) return {};
    size_t b = s.find_last_not_of(' ');
    return s.substr(a, b - a + 1);
  }

  // The model holds at most kBaseElements plus two elements a byte of input (runs,
  // paragraphs, table cells), and never more than kMaxElements.
  static constexpr long long kMaxElements = 2000000;
  static constexpr long long kBaseElements = 20000;

  std::string_view in_;
  RtfLimits limits_;
  size_t pos_ = 0;
  bool started_ = false;
  std::string error_;
  Document doc_;

  std::vector<State> stack_;
  State st_;
  bool pendingStar_ = false;
  int ucSkip_ = 0;
  char32_t highSurrogate_ = 0;

  std::unordered_map<int, std::string> fonts_;
  std::unordered_map<int, int> fontCodePages_;  // 0: the document's code page
  int fontCharset_ = 1;  // of the font table entry being read
  int fontCpg_ = 0;
  int docCodePage_ = 1252;
  codec::CodePageDecoder decoder_;
  int lead_ = -1;  // a lead byte waiting for its trail byte
  bool leadRaw_ = false;  // written as it is, not as "\'xx"
  int leadCodePage_ = 0;
  std::set<int> unmapped_;  // code pages with bytes no character was found for
  int deff_ = 0;
  int currentFont_ = -1;
  std::string fontName_;
  std::vector<std::optional<Color>> colors_;
  Color color_;
  bool colorSet_ = false;

  Paragraph para_;
  long long formatVersion_ = 0;
  long long runVersion_ = -1;
  bool pendingPageBreak_ = false;
  bool sectionSeen_ = false;
  TabKind tabKind_ = TabKind::Left;
  TabLeader tabLeader_ = TabLeader::None;

  // The tables being read, one a level: levels_[0] the table of the text (\itap1), the
  // next one the table inside the cell being read of that one, and so on, at most
  // kMaxTableDepth (reserved, so that references into it stay valid).
  std::vector<TableLevel> levels_;
  RowDefinition ignoredDef_;  // rows of tables deeper than kMaxTableDepth

  std::optional<TextRun> note_;  // the footnote being read
  size_t noteDepth_ = 0;
  bool noteBlank_ = false;
  std::optional<PictureState> picture_;
  size_t pictureDepth_ = 0;

  std::optional<FieldState> field_;
  long long paragraphsEnded_ = 0;

  std::optional<SavedStory> story_;  // the document's text, while a header or footer is read
  size_t storyDepth_ = 0;
  std::string_view word_;  // the control word being acted on
  int sectionMargin_[4] = {-1, -1, -1, -1};  // the first section's margins, -1 none
  bool marginSeen_[4] = {};                   // the document's margin words met
  bool listsSeen_ = false;
  ListLabels lists_;
  bool labelSeen_ = false;  // the paragraph being read has its own list label
  int textBoxes_ = 0;
  int droppedPictures_ = 0;

  long long maxElements_;
  long long elements_ = 0;
  bool overBudget_ = false;
};

}  // namespace

bool LooksLikeRtf(std::string_view text) {
  size_t i = 0;
  if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) i = 3;  // a UTF-8 mark
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n')) ++i;
  return text.compare(i, 5, "{\\rtf") == 0;
}

RtfReadResult ReadRtf(std::string_view rtf, const RtfLimits& limits) {
  return Reader(rtf, limits).Read();
}

}  // namespace qv::richtext
