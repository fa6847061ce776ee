#include "editor/richtextqt/RichTextQt.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QColor>
#include <QFontMetricsF>
#include <QTextLayout>
#include <QCryptographicHash>
#include <QImage>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <iterator>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace qv::richtext::qt {

namespace {

double Px(int twips) { return twips / kTwipsPerPixel; }
int Twips(double px) { return int(std::lround(px * kTwipsPerPixel)); }

// Every length handed to Qt is one a page can hold (at most kMaxPageTwips either way): Qt
// lays text out in fixed-point pixels, and a length from a file near the int range
// overflows that arithmetic (and ours) and can keep its table layout running without end.
int Fit(long long twips) { return int(std::clamp<long long>(twips, -kMaxPageTwips, kMaxPageTwips)); }
double PxFit(long long twips) { return Px(Fit(twips)); }

// Font sizes and raised text within what the RTF reader keeps (1638 points).
constexpr int kMaxHalfPoints = 3276;

constexpr char16_t kZeroWidthSpace = 0x200B;

// Where a paragraph's text needs more than Qt's plain text: the stretches [begin, end)
// between two line-break opportunities longer than kLongWord characters, and the places
// where a paragraph longer than kMaxBlockChars goes on in a new block (at the last
// opportunity to break a line before the bound, when there is one in its second half).
struct TextPlan {
  std::vector<std::pair<qsizetype, qsizetype>> words;
  std::vector<qsizetype> cuts;
};

// `at`, or the next character that starts a grapheme (not inside a surrogate pair, not a mark).
qsizetype GraphemeStart(const QString& text, qsizetype at) {
  while (at < text.size() && (text[at].isLowSurrogate() || text[at].isMark())) ++at;
  return at;
}

TextPlan PlanText(const QString& text) {
  TextPlan plan;
  if (text.size() <= kLongWord) return plan;
  QTextBoundaryFinder finder(QTextBoundaryFinder::Line, text);
  qsizetype from = 0, blockStart = 0;
  for (qsizetype at = finder.toNextBoundary(); at != -1; at = finder.toNextBoundary()) {
    if (at - from > kLongWord) plan.words.emplace_back(from, at);
    while (at - blockStart > kMaxBlockChars) {
      qsizetype cut = from > blockStart + kMaxBlockChars / 2 ? from : GraphemeStart(text, blockStart + kMaxBlockChars);
      if (cut <= blockStart || cut >= text.size()) break;
      plan.cuts.push_back(cut);
      blockStart = cut;
    }
    from = at;
  }
  return plan;
}

// Marks (or unmarks) the text of a word that holds added breaks. Such text is also laid
// out without shaping: every added space comes from a fallback font where the text's font
// has none, so the word is shaped in pieces a few characters long, and shaping them was
// most of the time a very long word took; ligatures and kerning inside a word too long
// for a line are worth nothing.
void MarkAddedBreaks(QTextCharFormat& format, bool marked) {
  if (marked) {
    format.setProperty(kAddedBreaks, true);
    format.setFontStyleStrategy(QFont::StyleStrategy(format.fontStyleStrategy() | QFont::PreferNoShaping));
  } else {
    format.clearProperty(kAddedBreaks);
    const auto strategy = QFont::StyleStrategy(format.fontStyleStrategy() & ~QFont::PreferNoShaping);
    if (strategy == QFont::PreferDefault) format.clearProperty(QTextFormat::FontStyleStrategy);
    else format.setFontStyleStrategy(strategy);
  }
}

// `word` with a zero-width space after every kBreakEvery characters, moved on to the next
// character that starts a grapheme (never inside a surrogate pair or before a mark).
QString WithBreaks(QStringView word) {
  QString out;
  out.reserve(word.size() + word.size() / kBreakEvery + 1);
  qsizetype run = 0;
  for (qsizetype k = 0; k < word.size(); ++k) {
    const QChar c = word[k];
    if (run >= kBreakEvery && !c.isLowSurrogate() && !c.isMark()) {
      out += QChar(kZeroWidthSpace);
      run = 0;
    }
    out += c;
    ++run;
  }
  return out;
}

// Text of a fragment as the model keeps it: without the breaks the bridge put in.
QString ModelText(const QString& text, const QTextCharFormat& format) {
  if (!format.boolProperty(kAddedBreaks)) return text;
  QString out = text;
  out.remove(QChar(kZeroWidthSpace));
  return out;
}

QColor ToQColor(const Color& c) { return QColor(c.red, c.green, c.blue); }
Color FromQColor(const QColor& c) { return Color{uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue())}; }

// What a field without a result shows: its value, or a zero-width space where it has none,
// so that the field keeps a character to ride on (and is saved).
QString ShownValue(const QString& instruction) {
  const std::string value = FieldValue(FromQString(instruction));
  return value.empty() ? QString(QChar(0x200B)) : ToQString(value);
}

// The fields whose value is a page's number or the number of pages: 1 the page their text
// stands on, 2 the number of pages; 0 others.
int PageNumberKind(const QString& instruction) {
  const QString name = instruction.trimmed().section(QLatin1Char(' '), 0, 0).toUpper();
  if (name == QLatin1String("PAGE")) return 1;
  if (name == QLatin1String("NUMPAGES") || name == QLatin1String("SECTIONPAGES")) return 2;
  return 0;
}

// True when a field without a result still shows the value it was given: its FieldValue, or
// for a page number field, a number (ShowPageNumbers).
bool ShowsItsValue(const QString& instruction, const QString& text) {
  if (text == ShownValue(instruction)) return true;
  if (PageNumberKind(instruction) == 0 || text.isEmpty() || text.size() > 9) return false;
  return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

// ---- borders -----------------------------------------------------------------------------

void AppendBorder(QVariantList& list, const BorderLine& b) {
  list << int(b.style) << b.width << b.distance << b.color.has_value()
       << (b.color ? int(ToQColor(*b.color).rgb() & 0xFFFFFF) : 0);
}

BorderLine BorderAt(const QVariantList& list, int at) {
  BorderLine b;
  if (list.size() < at + 5) return b;
  int style = list[at].toInt();
  if (style < 0 || style > int(BorderStyle::Hairline)) return b;
  b.style = BorderStyle(style);
  b.width = list[at + 1].toInt();
  b.distance = list[at + 2].toInt();
  if (list[at + 3].toBool()) b.color = FromQColor(QColor::fromRgb(QRgb(list[at + 4].toInt())));
  return b;
}

QTextFrameFormat::BorderStyle QtBorderStyle(BorderStyle s) {
  switch (s) {
    case BorderStyle::Double: return QTextFrameFormat::BorderStyle_Double;
    case BorderStyle::Dotted: return QTextFrameFormat::BorderStyle_Dotted;
    case BorderStyle::Dashed: return QTextFrameFormat::BorderStyle_Dashed;
    case BorderStyle::None: return QTextFrameFormat::BorderStyle_None;
    default: return QTextFrameFormat::BorderStyle_Solid;
  }
}

// ---- characters --------------------------------------------------------------------------

QTextCharFormat ToQt(const CharFormat& f) {
  QTextCharFormat q;
  // The Symbol font's bytes were read as the characters they show (Greek letters, signs,
  // bullets). A font of that name often has no Unicode map (the one Linux puts in its place
  // has none, and Qt then shows missing glyphs), so that text shows in the paragraph's font,
  // with the name kept to be written back.
  if (f.font == "Symbol") q.setProperty(kKeptFontName, ToQString(f.font));
  else if (!f.font.empty()) q.setFontFamilies(QStringList{ToQString(f.font)});
  const int halfPoints = std::clamp(f.sizeHalfPoints, 1, kMaxHalfPoints);
  q.setFontPointSize(halfPoints / 2.0);
  q.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
  q.setFontItalic(f.italic);
  q.setFontStrikeOut(f.strike);
  if (f.capitals != Capitals::None)
    q.setFontCapitalization(f.capitals == Capitals::All ? QFont::AllUppercase : QFont::SmallCaps);
  switch (f.underline) {
    case Underline::None: break;
    case Underline::Single: q.setUnderlineStyle(QTextCharFormat::SingleUnderline); break;
    case Underline::Dotted: q.setUnderlineStyle(QTextCharFormat::DotLine); break;
    case Underline::Dashed: q.setUnderlineStyle(QTextCharFormat::DashUnderline); break;
    case Underline::Wave: q.setUnderlineStyle(QTextCharFormat::WaveUnderline); break;
    case Underline::Double:
    case Underline::Words:
      q.setUnderlineStyle(QTextCharFormat::SingleUnderline);
      q.setProperty(kUnderlineKind, int(f.underline));
      break;
  }
  if (f.color) q.setForeground(ToQColor(*f.color));
  if (f.background) q.setBackground(ToQColor(*f.background));
  if (f.position == VerticalPosition::Superscript) q.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
  if (f.position == VerticalPosition::Subscript) q.setVerticalAlignment(QTextCharFormat::AlignSubScript);
  if (f.raiseHalfPoints) {
    q.setProperty(kRaiseHalfPoints, f.raiseHalfPoints);
    q.setBaselineOffset(100.0 * std::clamp(f.raiseHalfPoints, -kMaxHalfPoints, kMaxHalfPoints) / halfPoints);
  }
  if (f.hidden) q.setProperty(kHidden, true);
  if (f.language) q.setProperty(kLanguage, f.language);
  return q;
}

CharFormat FromQt(const QTextCharFormat& q) {
  CharFormat f;
  if (q.hasProperty(QTextFormat::FontFamilies)) {
    QStringList families = q.fontFamilies().toStringList();
    if (!families.isEmpty()) f.font = FromQString(families.first());
  } else if (q.hasProperty(kKeptFontName)) {
    f.font = FromQString(q.stringProperty(kKeptFontName));
  }
  if (q.hasProperty(QTextFormat::FontPointSize)) f.sizeHalfPoints = int(std::lround(q.fontPointSize() * 2));
  f.bold = q.fontWeight() >= QFont::DemiBold;
  f.italic = q.fontItalic();
  f.strike = q.fontStrikeOut();
  if (q.fontCapitalization() == QFont::AllUppercase) f.capitals = Capitals::All;
  if (q.fontCapitalization() == QFont::SmallCaps) f.capitals = Capitals::Small;
  switch (q.underlineStyle()) {
    case QTextCharFormat::NoUnderline: break;
    case QTextCharFormat::SingleUnderline: {
      int kind = q.intProperty(kUnderlineKind);
      f.underline = kind == int(Underline::Double) || kind == int(Underline::Words) ? Underline(kind)
                                                                                  : Underline::Single;
      break;
    }
    case QTextCharFormat::DotLine: f.underline = Underline::Dotted; break;
    case QTextCharFormat::DashUnderline:
    case QTextCharFormat::DashDotLine:
    case QTextCharFormat::DashDotDotLine: f.underline = Underline::Dashed; break;
    case QTextCharFormat::WaveUnderline:
    case QTextCharFormat::SpellCheckUnderline: f.underline = Underline::Wave; break;
  }
  if (q.hasProperty(QTextFormat::ForegroundBrush) && q.foreground().style() != Qt::NoBrush)
    f.color = FromQColor(q.foreground().color());
  if (q.hasProperty(QTextFormat::BackgroundBrush) && q.background().style() != Qt::NoBrush)
    f.background = FromQColor(q.background().color());
  if (q.verticalAlignment() == QTextCharFormat::AlignSuperScript) f.position = VerticalPosition::Superscript;
  if (q.verticalAlignment() == QTextCharFormat::AlignSubScript) f.position = VerticalPosition::Subscript;
  f.raiseHalfPoints = q.intProperty(kRaiseHalfPoints);
  f.hidden = q.boolProperty(kHidden);
  f.language = q.intProperty(kLanguage);
  return f;
}

// ---- paragraphs --------------------------------------------------------------------------

QTextBlockFormat ToQt(const ParagraphFormat& f) {
  QTextBlockFormat q;
  switch (f.alignment) {
    case Alignment::Left: q.setAlignment(Qt::AlignLeft); break;
    case Alignment::Center: q.setAlignment(Qt::AlignHCenter); break;
    case Alignment::Right: q.setAlignment(Qt::AlignRight); break;
    case Alignment::Justify: q.setAlignment(Qt::AlignJustify); break;
  }
  q.setLeftMargin(PxFit(f.leftIndent));
  q.setRightMargin(PxFit(f.rightIndent));
  q.setTextIndent(PxFit(f.firstLineIndent));
  q.setTopMargin(PxFit(f.spaceBefore));
  q.setBottomMargin(PxFit(f.spaceAfter));
  if (f.lineSpacing > 0 && f.lineSpacingMultiple)
    q.setLineHeight(Fit(f.lineSpacing) * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
  else if (f.lineSpacing < 0)
    q.setLineHeight(PxFit(-(long long)f.lineSpacing), QTextBlockFormat::FixedHeight);
  else if (f.lineSpacing > 0)
    q.setLineHeight(PxFit(f.lineSpacing), QTextBlockFormat::MinimumHeight);
  if (!f.tabs.empty()) {
    QList<QTextOption::Tab> tabs;
    QVariantList leaders;
    bool anyLeader = false;
    for (const TabStop& t : f.tabs) {
      QTextOption::TabType type = QTextOption::LeftTab;
      QChar delimiter;
      if (t.kind == TabKind::Center) type = QTextOption::CenterTab;
      if (t.kind == TabKind::Right) type = QTextOption::RightTab;
      if (t.kind == TabKind::Decimal) {
        type = QTextOption::DelimiterTab;
        delimiter = QLatin1Char('.');
      }
      tabs.append(QTextOption::Tab(PxFit((long long)t.position - Fit(f.leftIndent)), type, delimiter));
      leaders << int(t.leader);
      anyLeader = anyLeader || t.leader != TabLeader::None;
    }
    q.setTabPositions(tabs);
    if (anyLeader) q.setProperty(kTabLeaders, leaders);
  }
  if (f.pageBreakBefore) q.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
  SetParagraphBorders(q, f.borders);
  if (f.background) q.setBackground(ToQColor(*f.background));
  return q;
}

// A right tab stop past the right margin would push the text after it onto a line of its
// own: it is shown at the margin (of the paragraph's first line, where such stops are used),
// and its own position is kept beside to be written back.
void KeepRightTabsOnTheLine(QTextBlockFormat& q, const PageSetup& page) {
  const double limit = Px(page.width - page.marginLeft - page.marginRight) - q.leftMargin() - q.rightMargin() -
                       q.textIndent();
  QList<QTextOption::Tab> tabs = q.tabPositions();
  QVariantList kept;
  for (qsizetype k = 0; k < tabs.size(); ++k) {
    if (tabs[k].type != QTextOption::RightTab || tabs[k].position <= limit || limit <= 0) continue;
    // Qt measures the stop from the indent, the file from the margin.
    kept << QVariant(QVariantList{int(k), limit, Twips(tabs[k].position + q.leftMargin())});
    tabs[k].position = limit;
  }
  if (kept.isEmpty()) return;
  q.setTabPositions(tabs);
  q.setProperty(kTabsPastMargin, kept);
}

// The kept positions of the stops KeepRightTabsOnTheLine moved, for those still where it put
// them (a stop moved since is where it now stands).
void RestoreRightTabs(const QTextBlockFormat& q, ParagraphFormat& f) {
  const QList<QTextOption::Tab> tabs = q.tabPositions();
  for (const QVariant& v : q.property(kTabsPastMargin).toList()) {
    const QVariantList entry = v.toList();
    if (entry.size() != 3) continue;
    const int k = entry[0].toInt();
    if (k < 0 || k >= tabs.size() || size_t(k) >= f.tabs.size()) continue;
    if (std::abs(tabs[k].position - entry[1].toDouble()) > 0.01 || tabs[k].type != QTextOption::RightTab) continue;
    f.tabs[size_t(k)].position = entry[2].toInt();
  }
}

ParagraphFormat FromQt(const QTextBlockFormat& q) {
  ParagraphFormat f;
  Qt::Alignment a = q.alignment() & Qt::AlignHorizontal_Mask;
  if (a & Qt::AlignHCenter) f.alignment = Alignment::Center;
  else if (a & Qt::AlignJustify) f.alignment = Alignment::Justify;
  else if (a & (Qt::AlignRight | Qt::AlignTrailing)) f.alignment = Alignment::Right;
  f.leftIndent = Twips(q.leftMargin());
  f.rightIndent = Twips(q.rightMargin());
  f.firstLineIndent = Twips(q.textIndent());
  f.spaceBefore = Twips(q.topMargin());
  f.spaceAfter = q.hasProperty(kKeptSpaceAfter) ? q.intProperty(kKeptSpaceAfter) : Twips(q.bottomMargin());
  switch (q.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
      f.lineSpacing = int(std::lround(q.lineHeight() * 240.0 / 100.0));
      f.lineSpacingMultiple = true;
      break;
    case QTextBlockFormat::FixedHeight: f.lineSpacing = -Twips(q.lineHeight()); break;
    case QTextBlockFormat::MinimumHeight: f.lineSpacing = Twips(q.lineHeight()); break;
    default: break;
  }
  QVariantList leaders = q.property(kTabLeaders).toList();
  const QList<QTextOption::Tab> tabs = q.tabPositions();
  for (qsizetype k = 0; k < tabs.size(); ++k) {
    TabStop t;
    t.position = Twips(tabs[k].position) + f.leftIndent;
    switch (tabs[k].type) {
      case QTextOption::CenterTab: t.kind = TabKind::Center; break;
      case QTextOption::RightTab: t.kind = TabKind::Right; break;
      case QTextOption::DelimiterTab: t.kind = TabKind::Decimal; break;
      default: break;
    }
    int leader = k < leaders.size() ? leaders[k].toInt() : 0;
    if (leader > 0 && leader <= int(TabLeader::Equals)) t.leader = TabLeader(leader);
    f.tabs.push_back(t);
  }
  f.pageBreakBefore = (q.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) != 0;
  f.borders = ParagraphBordersOf(q);
  RestoreRightTabs(q, f);
  if (q.hasProperty(QTextFormat::BackgroundBrush) && q.background().style() != Qt::NoBrush)
    f.background = FromQColor(q.background().color());
  return f;
}

// ---- building a QTextDocument ----------------------------------------------------------

// Ends the block the cursor is in and goes on with the same paragraph in a new block,
// marked as its continuation: no space or page break between them, no first-line indent;
// the space after the paragraph shows after its last block (the others keep it in
// kKeptSpaceAfter for the reader). The marks are numbered through the process, so that a
// fragment pasted from one document into another brings no number the other has.
void ContinueInNewBlock(QTextCursor& cur) {
  static std::atomic<int> continuations{0};
  QTextBlockFormat here = cur.blockFormat();
  QTextBlockFormat next = here;
  if (!here.hasProperty(kKeptSpaceAfter)) here.setProperty(kKeptSpaceAfter, Twips(here.bottomMargin()));
  here.setBottomMargin(0);
  cur.setBlockFormat(here);
  next.setProperty(kParagraphContinuation, ++continuations);
  next.clearProperty(kKeptSpaceAfter);
  next.clearProperty(kCellMarkFormat);
  next.setTopMargin(0);
  next.setTextIndent(0);
  next.setPageBreakPolicy(QTextFormat::PageBreak_Auto);
  cur.insertBlock(next, cur.blockCharFormat());
}

class Builder {
 public:
  Builder(const Document& doc, QTextDocument& target) : doc_(doc), target_(target) {}

  // The whole document is put in within one edit block with undo off: a shown document's
  // layout then runs once, when the block closes, instead of after every block and cell
  // (which made a table of a few thousand cells take minutes).
  void Build() {
    const bool undo = target_.isUndoRedoEnabled();
    target_.setUndoRedoEnabled(false);
    target_.clear();
    QTextCursor edit(&target_);
    edit.beginEditBlock();
    Fill();
    AddNotes();
    edit.endEditBlock();
    target_.setUndoRedoEnabled(undo);
  }

 private:
  void Fill() {
    SetPageSetup(target_, doc_.page);
    target_.setProperty(kHeadersFootersProperty, doc_.headersFooters.empty()
                                                     ? QVariant()
                                                     : QVariant::fromValue(doc_.headersFooters));
    target_.setProperty(kTitlePageProperty, doc_.titlePage ? QVariant(true) : QVariant());
    target_.setProperty(kFacingPagesProperty, doc_.facingPages ? QVariant(true) : QVariant());
    target_.setProperty(kDefaultFontProperty, ToQString(doc_.defaultFont));
    QFont font(ToQString(doc_.defaultFont));
    font.setPointSizeF(12);
    target_.setDefaultFont(font);
    QTextCursor cur(&target_);
    // The document starts with one empty block; a paragraph takes it, a table leaves it as a
    // filler before itself. After a table the cursor is in the empty block Qt puts there.
    bool blockFree = true;
    for (const Block& b : doc_.blocks) {
      if (auto* p = std::get_if<Paragraph>(&b)) {
        if (blockFree) {
          cur.setBlockFormat(BodyFormat(p->format));
          cur.setBlockCharFormat(ToQt(p->markFormat));
        } else {
          cur.insertBlock(BodyFormat(p->format), ToQt(p->markFormat));
        }
        blockFree = false;
        InsertRuns(cur, *p);
        continue;
      }
      // A table goes after the block the cursor is in; a free block stays empty before it.
      if (blockFree) MarkFiller(cur);
      const Table& t = std::get<Table>(b);
      QTextTable* table = InsertTable(cur, t);
      cur = table->lastCursorPosition();
      cur.movePosition(QTextCursor::NextBlock);
      MarkFiller(cur);
      blockFree = true;
    }
  }

  // The footnotes' texts after the document's last block, each after its number.
  void AddNotes() {
    QTextCursor cur(&target_);
    cur.movePosition(QTextCursor::End);
    for (size_t k = 0; k < notes_.size(); ++k) {
      QTextBlockFormat bf;
      bf.setProperty(kFootnoteBlock, true);
      if (k == 0) bf.setTopMargin(Px(240));
      QTextCharFormat text;
      text.setFontPointSize(10);
      cur.insertBlock(bf, text);
      QTextCharFormat number = text;
      number.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
      cur.insertText(QString::number(k + 1), number);
      QString note = ToQString(notes_[k]);
      note.replace(QChar('\n'), QChar::LineSeparator);
      cur.insertText(" " + note, text);
    }
  }

  // The format of a paragraph outside tables, whose lines run from margin to margin.
  QTextBlockFormat BodyFormat(const ParagraphFormat& f) const {
    QTextBlockFormat q = ToQt(f);
    KeepRightTabsOnTheLine(q, doc_.page);
    return q;
  }

  static void MarkFiller(QTextCursor& cur) {
    QTextBlockFormat f;
    f.setProperty(kFillerBlock, true);
    cur.setBlockFormat(f);
  }

  void InsertRuns(QTextCursor& cur, const Paragraph& p) {
    // The text each run shows, and the words of the paragraph too long for a line (a word
    // may run over several runs).
    std::vector<QString> shown(p.runs.size());
    size_t notes = notes_.size();
    qsizetype length = 0;
    for (size_t k = 0; k < p.runs.size(); ++k) {
      const TextRun& r = p.runs[k];
      switch (r.kind) {
        case TextRun::Kind::Text: shown[k] = ToQString(r.text); break;
        case TextRun::Kind::LineBreak: shown[k] = QString(QChar::LineSeparator); break;
        case TextRun::Kind::Field:
          shown[k] = r.text.empty() ? ShownValue(ToQString(r.instruction)) : ToQString(r.text);
          break;
        case TextRun::Kind::Footnote: shown[k] = QString::number(++notes); break;
        case TextRun::Kind::Picture: shown[k] = QString(QChar::ObjectReplacementCharacter); break;
      }
      length += shown[k].size();
    }
    TextPlan plan;
    if (length > kLongWord) {
      if (shown.size() == 1) {
        plan = PlanText(shown[0]);
      } else {
        QString all;
        all.reserve(length);
        for (const QString& s : shown) all += s;
        plan = PlanText(all);
      }
      // A new block starts only within the text of a plain run (a field's result, a note's
      // number stay in one block): a place inside another run moves to its end.
      qsizetype runStart = 0;
      size_t cut = 0;
      for (size_t k = 0; k < p.runs.size() && cut < plan.cuts.size(); ++k) {
        const qsizetype runEnd = runStart + shown[k].size();
        for (; cut < plan.cuts.size() && plan.cuts[cut] < runEnd; ++cut)
          if (p.runs[k].kind != TextRun::Kind::Text && plan.cuts[cut] > runStart) plan.cuts[cut] = runEnd;
        runStart = runEnd;
      }
      plan.cuts.erase(std::unique(plan.cuts.begin(), plan.cuts.end()), plan.cuts.end());
      if (!plan.cuts.empty() && plan.cuts.back() >= length) plan.cuts.pop_back();
    }
    const auto& words = plan.words;
    size_t word = 0, cut = 0;
    qsizetype offset = 0;
    // Puts in `text` (at `offset` in the paragraph): the long words in it with their breaks,
    // a new block where the paragraph goes on in one.
    auto insert = [&](const QString& text, const QTextCharFormat& f) {
      const qsizetype end = offset + text.size();
      qsizetype at = offset;
      while (at < end) {
        while (cut < plan.cuts.size() && plan.cuts[cut] < at) ++cut;  // at the start of no text
        if (cut < plan.cuts.size() && plan.cuts[cut] == at && at > 0) {
          ContinueInNewBlock(cur);
          ++cut;
        }
        while (word < words.size() && words[word].second <= at) ++word;
        const bool inWord = word < words.size() && words[word].first <= at;
        qsizetype to = inWord ? std::min(words[word].second, end)
                              : std::min(word < words.size() ? words[word].first : end, end);
        if (cut < plan.cuts.size() && plan.cuts[cut] > at && plan.cuts[cut] < to) to = plan.cuts[cut];
        const QStringView part = QStringView(text).mid(at - offset, to - at);
        if (inWord) {
          QTextCharFormat marked = f;
          MarkAddedBreaks(marked, true);
          cur.insertText(WithBreaks(part), marked);
        } else {
          cur.insertText(part.size() == text.size() ? text : part.toString(), f);
        }
        at = to;
      }
    };
    for (size_t k = 0; k < p.runs.size(); ++k) {
      const TextRun& r = p.runs[k];
      QTextCharFormat f = ToQt(r.format);
      switch (r.kind) {
        case TextRun::Kind::Text: insert(shown[k], f); break;
        case TextRun::Kind::LineBreak: cur.insertText(shown[k], f); break;
        case TextRun::Kind::Field:
          // A field shows its result; one without a result shows its value (FieldValue).
          f.setProperty(kField, QVariantList{ToQString(r.instruction), ++fields_, r.text.empty()});
          insert(shown[k], f);
          break;
        case TextRun::Kind::Footnote:
          notes_.push_back(r.text);
          f.setProperty(kFootnote, QVariantList{int(notes_.size()), ToQString(r.text)});
          cur.insertText(shown[k], f);
          break;
        case TextRun::Kind::Picture: {
          QTextImageFormat image;
          image.merge(f);
          image.setName(AddPicture(target_, r.picture.data));
          image.setWidth(PxFit(r.picture.width));
          image.setHeight(PxFit(r.picture.height));
          cur.insertImage(image);
          break;
        }
      }
      offset += shown[k].size();
    }
  }

  // The paragraphs of a table cell. The char format of a cell's first block is the cell's
  // own format (borders, shading), so that paragraph keeps its mark format in its block
  // format instead.
  void InsertCellParagraphs(QTextCursor cur, const std::vector<Paragraph>& paragraphs) {
    bool first = true;
    for (const Paragraph& p : paragraphs) {
      if (first) {
        QTextBlockFormat bf = ToQt(p.format);
        bf.setProperty(kCellMarkFormat, QVariant(ToQt(p.markFormat)));
        cur.setBlockFormat(bf);
      } else {
        cur.insertBlock(ToQt(p.format), ToQt(p.markFormat));
      }
      first = false;
      InsertRuns(cur, p);
    }
  }

  // The paragraphs of a cell with the tables inside it, each a QTextTable in the cell. As
  // in the document, a table goes after the block the cursor is in, and a free block before
  // it (the cell's first, when the cell begins with a table) stays an empty filler.
  void InsertCellContent(QTextCursor cur, const TableCell& cell) {
    bool blockFree = true;
    bool first = true;
    size_t table = 0;
    for (size_t k = 0; k < cell.paragraphs.size(); ++k) {
      for (; table < cell.tables.size() && cell.tables[table].before <= k; ++table) {
        if (blockFree) MarkFiller(cur);
        QTextTable* inner = InsertTable(cur, cell.tables[table].table);
        cur = inner->lastCursorPosition();
        cur.movePosition(QTextCursor::NextBlock);
        MarkFiller(cur);
        blockFree = true;
        first = false;
      }
      const Paragraph& p = cell.paragraphs[k];
      if (first) {
        QTextBlockFormat bf = ToQt(p.format);
        bf.setProperty(kCellMarkFormat, QVariant(ToQt(p.markFormat)));
        cur.setBlockFormat(bf);
      } else if (blockFree) {
        cur.setBlockFormat(ToQt(p.format));
        cur.setBlockCharFormat(ToQt(p.markFormat));
      } else {
        cur.insertBlock(ToQt(p.format), ToQt(p.markFormat));
      }
      first = false;
      blockFree = false;
      InsertRuns(cur, p);
    }
  }

  // A model table is a list of rows, each with its own cell edges; a QTextTable is a grid.
  // The grid of a run of rows has a column for each distinct edge of the run, so rows whose
  // edges are all a little apart would make a grid of rows x (rows x cells) Qt cells. The
  // rows are therefore built in runs whose grid holds at most kGridPerCell Qt cells per
  // model cell, each run its own QTextTable (the ones after the first marked
  // kTableContinuation); the reader joins them back into one table. A table whose rows
  // share their edges is one run. Gives the last of the tables.
  static constexpr long long kGridPerCell = 4;

  QTextTable* InsertTable(QTextCursor& cur, const Table& t) {
    int left = Fit(t.rows.front().leftEdge);
    for (const TableRow& row : t.rows) left = std::min(left, Fit(row.leftEdge));
    std::vector<std::vector<int>> rowEdges;
    for (const TableRow& row : t.rows) {
      std::vector<int> edges;
      int prev = left;
      for (const TableCell& cell : row.cells) {
        prev = std::max(Fit(cell.rightEdge), prev + 1);
        edges.push_back(prev);
      }
      rowEdges.push_back(std::move(edges));
    }
    QTextTable* table = nullptr;
    for (size_t start = 0; start < t.rows.size();) {
      const size_t end = RunEnd(t, rowEdges, start);
      if (table) {
        cur = table->lastCursorPosition();
        cur.movePosition(QTextCursor::NextBlock);
        MarkFiller(cur);
      }
      table = InsertRun(cur, t, rowEdges, left, start, end);
      start = end;
    }
    return table;
  }

  // The end of the run of rows from `start`: rows are added while the run's grid (rows x
  // distinct edges) stays within kGridPerCell Qt cells per model cell; a single row always
  // fits (its edges are distinct). Where the next row would not fit, the run ends before the
  // nearest row that starts no cell merged down from above, so that a merge is not cut in
  // two; a run where every row continues such a merge ends where it must, and the merge is
  // shown as separate cells there but kept for saving.
  static size_t RunEnd(const Table& t, const std::vector<std::vector<int>>& rowEdges, size_t start) {
    std::set<int> edges;
    long long cells = 0;
    size_t end = start;
    for (; end < t.rows.size(); ++end) {
      long long fresh = 0;
      for (int e : rowEdges[end]) fresh += edges.count(e) ? 0 : 1;
      const long long rows = (long long)(end - start) + 1;
      const long long modelCells = cells + (long long)rowEdges[end].size();
      if (end > start && rows * ((long long)edges.size() + fresh) > kGridPerCell * modelCells) break;
      edges.insert(rowEdges[end].begin(), rowEdges[end].end());
      cells = modelCells;
    }
    if (end == t.rows.size()) return end;
    auto continuesMerge = [&](size_t r) {
      for (const TableCell& cell : t.rows[r].cells)
        if (cell.mergeDown == CellMerge::Next) return true;
      return false;
    };
    for (size_t b = end; b > start; --b)
      if (!continuesMerge(b)) return b;
    return end;
  }

  // The rows [start, end) of the table as one QTextTable at the cursor: one column per
  // distinct cell edge of these rows, a cell spanning the columns between its left and
  // right edge.
  QTextTable* InsertRun(QTextCursor& cur, const Table& t, const std::vector<std::vector<int>>& rowEdges, int left,
                        size_t start, size_t end) {
    std::vector<int> all;
    for (size_t r = start; r < end; ++r) all.insert(all.end(), rowEdges[r].begin(), rowEdges[r].end());
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
    int columns = int(all.size());
    QTextTableFormat tf;
    QList<QTextLength> widths;
    int prev = left;
    for (int e : all) {
      widths.append(QTextLength(QTextLength::FixedLength, Px(e - prev)));
      prev = e;
    }
    tf.setColumnWidthConstraints(widths);
    const TableRow& first = t.rows.front();
    // Qt pads a cell on all four sides: the gap stays within a quarter of the page, so that
    // a row's padding alone cannot be taller or wider than the page.
    const int maxGap = std::min(doc_.page.width, doc_.page.height) / 4;
    tf.setCellPadding(Px(std::clamp(first.gap, 0, maxGap)));
    tf.setCellSpacing(0);
    tf.setBorder(0);
    // Cells with frame lines share them with their neighbours as in the file. Qt's layout of
    // collapsed borders looks up each cell's neighbours and takes more than twice as long,
    // so a table with no frame lines (where collapsing changes nothing) is not collapsed.
    bool lines = false;
    for (size_t r = start; r < end && !lines; ++r)
      for (const TableCell& cell : t.rows[r].cells)
        if (cell.top.present() || cell.bottom.present() || cell.left.present() || cell.right.present()) lines = true;
    tf.setBorderCollapse(lines);
    if (first.alignment == Alignment::Center) tf.setAlignment(Qt::AlignHCenter);
    if (first.alignment == Alignment::Right) tf.setAlignment(Qt::AlignRight);
    int headers = 0;
    while (start == 0 && headers < int(end) && t.rows[size_t(headers)].header) ++headers;
    tf.setHeaderRowCount(headers);
    if (start > 0) tf.setProperty(kTableContinuation, true);
    const size_t rowCount = end - start;
    QTextTable* table = cur.insertTable(int(rowCount), columns, tf);
    // Cells merged down: their column and span in each row, the first of them by row.
    struct Spot {
      int column, span;
      CellMerge down;
    };
    std::vector<std::vector<Spot>> spots(rowCount);
    for (size_t r = 0; r < rowCount; ++r) {
      const TableRow& row = t.rows[start + r];
      int col = 0;
      for (size_t k = 0; k < row.cells.size(); ++k) {
        const TableCell& cell = row.cells[k];
        // Cells merged across are one Qt cell to the right edge of the last of them.
        QVariantList mergedEdges;
        size_t last = k;
        if (cell.mergeAcross == CellMerge::First)
          while (last + 1 < row.cells.size() && row.cells[last + 1].mergeAcross == CellMerge::Next)
            mergedEdges << row.cells[++last].rightEdge;
        int endColumn = int(std::lower_bound(all.begin(), all.end(), rowEdges[start + r][last]) - all.begin());
        if (last + 1 == row.cells.size()) endColumn = columns - 1;  // the last cell takes the rest
        int span = std::max(endColumn - col + 1, 1);
        if (span > 1) table->mergeCells(int(r), col, 1, span);
        // A cell merged into one of the run before heads the cells merged into it here.
        const bool fromAbove = cell.mergeDown == CellMerge::Next && r == 0 && start > 0;
        spots[r].push_back({col, span, fromAbove ? CellMerge::First : cell.mergeDown});
        QTextTableCell qcell = table->cellAt(int(r), col);
        QTextTableCellFormat cf = qcell.format().toTableCellFormat();
        SetCellFormat(cf, cell);
        if (!mergedEdges.isEmpty()) cf.setProperty(kMergedEdges, mergedEdges);
        // A merge down that runs on past the end of this run, or on from the run before.
        if (cell.mergeDown == CellMerge::First && r + 1 == rowCount && end < t.rows.size())
          cf.setProperty(kMergeDown, true);
        if (fromAbove) {
          cf.setProperty(kMergeDown, true);
          cf.setProperty(kMergedFromAbove, true);
        }
        if (k == 0) {
          cf.setProperty(kRowLeftEdge, row.leftEdge);
          cf.setProperty(kRowGap, row.gap);
          cf.setProperty(kRowHeight, row.height);
          cf.setProperty(kRowAlignment, int(row.alignment));
          cf.setProperty(kRowHeader, row.header);
        }
        qcell.setFormat(cf);
        if (cell.mergeDown != CellMerge::Next || fromAbove) {
          if (cell.tables.empty()) InsertCellParagraphs(qcell.firstCursorPosition(), cell.paragraphs);
          else InsertCellContent(qcell.firstCursorPosition(), cell);
        }
        k = last;
        col = endColumn + 1;
        if (col >= columns) break;
      }
    }
    MergeDown(table, spots);
    return table;
  }

  // Merges each first cell merged down with the cells of the rows below it that are merged
  // into it (same column and span).
  template <typename Spots>
  static void MergeDown(QTextTable* table, const Spots& spots) {
    for (size_t r = 0; r < spots.size(); ++r) {
      for (const auto& s : spots[r]) {
        if (s.down != CellMerge::First) continue;
        size_t below = r + 1;
        auto continues = [&](size_t row) {
          for (const auto& t : spots[row])
            if (t.column == s.column) return t.span == s.span && t.down == CellMerge::Next;
          return false;
        };
        while (below < spots.size() && continues(below)) ++below;
        if (below == r + 1) continue;
        QTextTableCell first = table->cellAt(int(r), s.column);
        QTextTableCellFormat cf = first.format().toTableCellFormat();
        cf.setProperty(kMergeDown, true);
        first.setFormat(cf);
        table->mergeCells(int(r), s.column, int(below - r), s.span);
      }
    }
  }

  static void SetCellFormat(QTextTableCellFormat& cf, const TableCell& cell) {
    cf.setProperty(kCellRightEdge, cell.rightEdge);
    QVariantList borders;
    AppendBorder(borders, cell.top);
    AppendBorder(borders, cell.bottom);
    AppendBorder(borders, cell.left);
    AppendBorder(borders, cell.right);
    cf.setProperty(kCellBorders, borders);
    auto side = [](const BorderLine& b, auto setWidth, auto setStyle, auto setBrush) {
      setWidth(b.present() ? std::max(PxFit(b.width), 1.0) : 0.0);
      setStyle(QtBorderStyle(b.style));
      setBrush(QBrush(b.color ? ToQColor(*b.color) : QColor(Qt::black)));
    };
    side(cell.top, [&](qreal w) { cf.setTopBorder(w); }, [&](auto s) { cf.setTopBorderStyle(s); },
         [&](const QBrush& b) { cf.setTopBorderBrush(b); });
    side(cell.bottom, [&](qreal w) { cf.setBottomBorder(w); }, [&](auto s) { cf.setBottomBorderStyle(s); },
         [&](const QBrush& b) { cf.setBottomBorderBrush(b); });
    side(cell.left, [&](qreal w) { cf.setLeftBorder(w); }, [&](auto s) { cf.setLeftBorderStyle(s); },
         [&](const QBrush& b) { cf.setLeftBorderBrush(b); });
    side(cell.right, [&](qreal w) { cf.setRightBorder(w); }, [&](auto s) { cf.setRightBorderStyle(s); },
         [&](const QBrush& b) { cf.setRightBorderBrush(b); });
    if (cell.background) cf.setBackground(ToQColor(*cell.background));
    if (cell.verticalAlignment == VerticalAlignment::Center) cf.setVerticalAlignment(QTextCharFormat::AlignMiddle);
    if (cell.verticalAlignment == VerticalAlignment::Bottom) cf.setVerticalAlignment(QTextCharFormat::AlignBottom);
  }

  const Document& doc_;
  std::vector<std::string> notes_;  // the footnotes' texts, in the order of their marks
  QTextDocument& target_;
  int fields_ = 0;
};

// ---- reading a QTextDocument -----------------------------------------------------------

class Reader {
 public:
  explicit Reader(const QTextDocument& source) : source_(source) {}

  Document Read() {
    Document doc;
    doc.page = PageSetupOf(source_);
    QVariant font = source_.property(kDefaultFontProperty);
    doc.defaultFont = FromQString(font.isValid() ? font.toString() : source_.defaultFont().family());
    ReadFrame(source_.rootFrame(), doc.blocks, true);
    const QVariant stories = source_.property(kHeadersFootersProperty);
    if (stories.canConvert<std::vector<HeaderFooter>>()) doc.headersFooters = stories.value<std::vector<HeaderFooter>>();
    doc.titlePage = source_.property(kTitlePageProperty).toBool();
    doc.facingPages = source_.property(kFacingPagesProperty).toBool();
    Normalize(doc);
    return doc;
  }

 private:
  // The blocks of a frame; tables become tables at the top level and are flattened into
  // paragraphs inside a cell.
  void ReadFrame(QTextFrame* frame, std::vector<Block>& out, bool topLevel) {
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
      if (QTextFrame* child = it.currentFrame()) {
        auto* table = qobject_cast<QTextTable*>(child);
        if (table && topLevel) {
          Table t = ReadTable(table);
          // The rows of a table built as several QTextTables go back into one.
          auto* before = out.empty() || !Continues(table) ? nullptr : std::get_if<Table>(&out.back());
          if (before) std::move(t.rows.begin(), t.rows.end(), std::back_inserter(before->rows));
          else out.emplace_back(std::move(t));
        } else {
          ReadFrame(child, out, false);
        }
        continue;
      }
      QTextBlock block = it.currentBlock();
      if (!block.isValid()) continue;
      if (block.blockFormat().boolProperty(kFillerBlock) && block.length() <= 1) continue;
      if (block.blockFormat().boolProperty(kFootnoteBlock)) continue;
      AddParagraph(block, out);
    }
  }

  // The paragraph of a block, or more of the paragraph before when the block continues it.
  // A block the user made inside a continuation (Enter) copies its mark: only the first
  // block with a mark continues, later ones are paragraphs of their own.
  void AddParagraph(const QTextBlock& block, std::vector<Block>& out) {
    Paragraph p = ReadParagraph(block);
    const int continues = block.blockFormat().intProperty(kParagraphContinuation);
    if (continues > 0 && continued_.insert(continues).second && !out.empty()) {
      if (auto* before = std::get_if<Paragraph>(&out.back())) {
        before->format.spaceAfter = p.format.spaceAfter;
        std::move(p.runs.begin(), p.runs.end(), std::back_inserter(before->runs));
        return;
      }
    }
    out.emplace_back(std::move(p));
  }

  // A QTextTable holding more rows of the table before it.
  static bool Continues(const QTextTable* table) { return table->format().boolProperty(kTableContinuation); }

  Paragraph ReadParagraph(const QTextBlock& block) {
    Paragraph p;
    QTextBlockFormat bf = block.blockFormat();
    p.format = FromQt(bf);
    if (bf.hasProperty(kCellMarkFormat))
      p.markFormat = FromQt(bf.property(kCellMarkFormat).value<QTextFormat>().toCharFormat());
    else
      p.markFormat = FromQt(block.charFormat());
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      QTextFragment frag = it.fragment();
      if (!frag.isValid()) continue;
      QTextCharFormat cf = frag.charFormat();
      if (cf.isImageFormat()) {
        QTextImageFormat image = cf.toImageFormat();
        for (qsizetype k = 0; k < frag.length(); ++k) {
          TextRun r;
          r.kind = TextRun::Kind::Picture;
          r.format = FromQt(cf);
          if (!PictureOf(image, r.picture)) continue;
          p.runs.push_back(std::move(r));
        }
        continue;
      }
      if (cf.hasProperty(kField)) {
        // The fragments of one field (its number) are its result, whatever their formats.
        const QVariantList field = cf.property(kField).toList();
        const QString text = ModelText(frag.text(), cf);
        if (field.size() == 3 && !p.runs.empty() && p.runs.back().kind == TextRun::Kind::Field &&
            lastField_ == field[1].toInt()) {
          p.runs.back().text += FromQString(text);
          continue;
        }
        TextRun r;
        r.kind = TextRun::Kind::Field;
        r.format = FromQt(cf);
        if (field.size() == 3) {
          r.instruction = FromQString(field[0].toString());
          lastField_ = field[1].toInt();
          const bool unchanged = ShowsItsValue(field[0].toString(), text);
          r.text = field[2].toBool() && unchanged ? std::string() : FromQString(text);
        }
        p.runs.push_back(std::move(r));
        continue;
      }
      if (cf.hasProperty(kFootnote)) {
        const QVariantList note = cf.property(kFootnote).toList();
        TextRun r;
        r.kind = TextRun::Kind::Footnote;
        r.format = FromQt(cf);
        if (note.size() == 2) r.text = FromQString(note[1].toString());
        p.runs.push_back(std::move(r));
        continue;
      }
      TextRun r;
      r.format = FromQt(cf);
      r.text = FromQString(ModelText(frag.text(), cf));
      p.runs.push_back(std::move(r));
    }
    return p;
  }

  bool PictureOf(const QTextImageFormat& image, Picture& picture) {
    QVariant res = source_.resource(QTextDocument::ImageResource, QUrl(image.name()));
    std::string bytes;
    if (res.typeId() == QMetaType::QByteArray) bytes = res.toByteArray().toStdString();
    auto format = DetectPictureFormat(bytes);
    if (!format) {
      QImage img;
      if (res.typeId() == QMetaType::QImage) img = res.value<QImage>();
      else if (!bytes.empty()) img.loadFromData(QByteArray::fromStdString(bytes));
      if (img.isNull()) return false;
      QByteArray png;
      QBuffer buffer(&png);
      buffer.open(QIODevice::WriteOnly);
      img.save(&buffer, "PNG");
      bytes = png.toStdString();
      format = PictureFormat::Png;
    }
    picture.format = *format;
    picture.data = std::move(bytes);
    picture.width = image.width() > 0 ? Twips(image.width()) : 0;
    picture.height = image.height() > 0 ? Twips(image.height()) : 0;
    FixPictureSize(picture);
    return true;
  }

  // The width of each column as it shows: a fixed width as it is; a share of the table's
  // width (itself a share of the text's width, or all of it) for a percentage, and an even
  // part of what is left for a column with no width (as "Insert Table" makes them).
  std::vector<int> ColumnWidths(const QTextTableFormat& tf, int columns) const {
    // The text's width: that of the laid-out page when the document has one, else the page's.
    const PageSetup page = PageSetupOf(source_);
    long long text = std::max(page.width - page.marginLeft - page.marginRight, kMinPageTwips);
    const QTextFrameFormat root = source_.rootFrame()->frameFormat();
    const double laidOut = source_.pageSize().width() - root.leftMargin() - root.rightMargin();
    if (source_.pageSize().width() > 0 && laidOut > 0) text = std::clamp<long long>(Twips(laidOut), kMinPageTwips, kMaxPageTwips);
    long long table = text;
    const QTextLength width = tf.width();
    if (width.type() == QTextLength::FixedLength) table = Twips(width.rawValue());
    if (width.type() == QTextLength::PercentageLength) table = std::llround(text * width.rawValue() / 100.0);
    table = std::clamp<long long>(table, 1, text * 4);
    const QList<QTextLength> widths = tf.columnWidthConstraints();
    std::vector<int> out(size_t(columns), 0);
    long long used = 0;
    int open = 0;
    for (int c = 0; c < columns; ++c) {
      const QTextLength w = c < widths.size() ? widths[c] : QTextLength();
      if (w.type() == QTextLength::FixedLength) out[size_t(c)] = Twips(w.rawValue());
      else if (w.type() == QTextLength::PercentageLength) out[size_t(c)] = int(std::llround(table * w.rawValue() / 100.0));
      else ++open;
      used += out[size_t(c)];
    }
    long long rest = std::max<long long>(table - used, 360LL * open);
    for (int c = 0; c < columns; ++c) {
      const QTextLength w = c < widths.size() ? widths[c] : QTextLength();
      if (w.type() != QTextLength::FixedLength && w.type() != QTextLength::PercentageLength) {
        out[size_t(c)] = int(std::min<long long>(rest / open, kMaxPageTwips));  // the last takes what rounding left
        rest -= out[size_t(c)];
        --open;
      }
      out[size_t(c)] = std::clamp(out[size_t(c)], 1, kMaxPageTwips);
    }
    return out;
  }

  // A table at the level given (1 a table of the text, 2 one inside its cell, ...).
  Table ReadTable(QTextTable* table, int depth = 1) {
    Table t;
    QTextTableFormat tf = table->format();
    int columns = table->columns();
    std::vector<int> offsets(size_t(columns) + 1, 0);  // twips from the table's left edge
    const std::vector<int> columnWidths = ColumnWidths(tf, columns);
    for (int c = 0; c < columns; ++c) offsets[size_t(c) + 1] = offsets[size_t(c)] + columnWidths[size_t(c)];
    for (int r = 0; r < table->rows(); ++r) {
      TableRow row;
      QTextTableCellFormat first = table->cellAt(r, 0).format().toTableCellFormat();
      row.leftEdge = first.hasProperty(kRowLeftEdge) ? first.intProperty(kRowLeftEdge) : 0;
      row.gap = first.hasProperty(kRowGap) ? first.intProperty(kRowGap) : Twips(tf.cellPadding());
      row.height = first.intProperty(kRowHeight);
      if (first.hasProperty(kRowAlignment)) {
        int a = first.intProperty(kRowAlignment);
        if (a >= 0 && a <= int(Alignment::Right)) row.alignment = Alignment(a);
      } else if (tf.alignment() & Qt::AlignHCenter) {
        row.alignment = Alignment::Center;
      } else if (tf.alignment() & Qt::AlignRight) {
        row.alignment = Alignment::Right;
      }
      row.header = first.hasProperty(kRowHeader) ? first.boolProperty(kRowHeader) : r < tf.headerRowCount();
      int prevEdge = row.leftEdge;
      for (int c = 0; c < columns;) {
        QTextTableCell qcell = table->cellAt(r, c);
        int span = std::max(qcell.columnSpan(), 1);
        const bool covered = qcell.row() != r;  // merged into a cell of a row above
        QTextTableCellFormat cf = qcell.format().toTableCellFormat();
        TableCell cell;
        int computed = row.leftEdge + offsets[size_t(std::min(c + span, columns))];
        cell.rightEdge = cf.hasProperty(kCellRightEdge) ? cf.intProperty(kCellRightEdge) : computed;
        if (cf.hasProperty(kCellBorders)) {
          QVariantList b = cf.property(kCellBorders).toList();
          cell.top = BorderAt(b, 0);
          cell.bottom = BorderAt(b, 5);
          cell.left = BorderAt(b, 10);
          cell.right = BorderAt(b, 15);
        } else if (tf.border() > 0) {
          BorderLine line{BorderStyle::Single, Twips(tf.border()), 0, std::nullopt};
          cell.top = cell.bottom = cell.left = cell.right = line;
        }
        if (cf.hasProperty(QTextFormat::BackgroundBrush) && cf.background().style() != Qt::NoBrush)
          cell.background = FromQColor(cf.background().color());
        if (cf.verticalAlignment() == QTextCharFormat::AlignMiddle) cell.verticalAlignment = VerticalAlignment::Center;
        if (cf.verticalAlignment() == QTextCharFormat::AlignBottom) cell.verticalAlignment = VerticalAlignment::Bottom;
        if (cf.boolProperty(kMergeDown))
          cell.mergeDown = covered || cf.boolProperty(kMergedFromAbove) ? CellMerge::Next : CellMerge::First;
        const QVariantList mergedEdges = cf.property(kMergedEdges).toList();
        if (!mergedEdges.isEmpty()) cell.mergeAcross = CellMerge::First;
        std::vector<Block> blocks;
        for (auto it = qcell.begin(); !it.atEnd() && !covered; ++it) {
          if (QTextFrame* child = it.currentFrame()) {
            // A table in the cell is a table of the cell, down to the deepest level; other
            // frames give their paragraphs.
            auto* inner = qobject_cast<QTextTable*>(child);
            if (inner && depth < kMaxTableDepth) {
              size_t before = 0;
              for (const Block& b : blocks) before += std::holds_alternative<Paragraph>(b) ? 1 : 0;
              Table t = ReadTable(inner, depth + 1);
              if (Continues(inner) && !cell.tables.empty() && cell.tables.back().before == before)
                std::move(t.rows.begin(), t.rows.end(), std::back_inserter(cell.tables.back().table.rows));
              else
                cell.tables.push_back(CellTable{before, std::move(t)});
            } else {
              ReadFrame(child, blocks, false);
            }
            continue;
          }
          QTextBlock block = it.currentBlock();
          if (!block.isValid()) continue;
          if (block.blockFormat().boolProperty(kFillerBlock) && block.length() <= 1) continue;
          AddParagraph(block, blocks);
        }
        for (Block& b : blocks)
          if (auto* p = std::get_if<Paragraph>(&b)) cell.paragraphs.push_back(std::move(*p));
        prevEdge = cell.rightEdge;
        row.cells.push_back(cell);
        for (const QVariant& edge : mergedEdges) {
          TableCell next = cell;
          next.paragraphs.clear();
          next.mergeAcross = CellMerge::Next;
          next.rightEdge = edge.toInt();
          row.cells.push_back(std::move(next));
        }
        c += span;
      }
      (void)prevEdge;
      t.rows.push_back(std::move(row));
    }
    return t;
  }

  const QTextDocument& source_;
  int lastField_ = 0;
  std::set<int> continued_;  // the continuation marks met
};

}  // namespace

QString ToQString(const std::string& utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }

std::string FromQString(const QString& text) { return text.toUtf8().toStdString(); }

void ToQTextDocument(const Document& doc, QTextDocument& target) { ToQTextDocument(Document(doc), target); }

void ToQTextDocument(Document&& doc, QTextDocument& target) {
  Document normal = std::move(doc);
  Normalize(normal);
  Builder(normal, target).Build();
}

Document FromQTextDocument(const QTextDocument& source) { return Reader(source).Read(); }

namespace {
// What the bridge put into a document for Qt's layout alone, by position in order: the
// zero-width spaces it added and the ends of blocks that a continuation follows.
std::vector<qsizetype> LayoutAids(const QTextDocument& doc) {
  std::vector<qsizetype> at;
  std::set<int> continued;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    const int id = b.blockFormat().intProperty(kParagraphContinuation);
    if (id > 0 && b.position() > 0 && continued.insert(id).second) at.push_back(b.position() - 1);
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment frag = it.fragment();
      if (!frag.charFormat().boolProperty(kAddedBreaks)) continue;
      const QString part = frag.text();
      for (qsizetype k = 0; k < part.size(); ++k)
        if (part[k] == QChar(kZeroWidthSpace)) at.push_back(frag.position() + k);
    }
  }
  return at;
}
}  // namespace

bool HasLayoutAids(const QTextDocument& doc) { return !LayoutAids(doc).empty(); }

void RemoveLayoutAids(QTextDocument& doc) {
  QTextCursor cur(&doc);
  cur.beginEditBlock();
  // Each marked fragment is replaced whole by its text without the spaces: one edit a
  // fragment (deleting character by character lays the whole block out again for each).
  struct Marked {
    int position, length;
    QString text;
    QTextCharFormat format;
  };
  std::vector<Marked> marked;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment frag = it.fragment();
      const QTextCharFormat format = frag.charFormat();
      if (!format.boolProperty(kAddedBreaks)) continue;
      QTextCharFormat plain = format;
      MarkAddedBreaks(plain, false);
      marked.push_back({frag.position(), frag.length(), ModelText(frag.text(), format), plain});
    }
  }
  for (auto m = marked.rbegin(); m != marked.rend(); ++m) {
    cur.setPosition(m->position);
    cur.setPosition(m->position + m->length, QTextCursor::KeepAnchor);
    cur.insertText(m->text, m->format);
  }
  // Each continuation joins the block before it, which shows the space after again.
  std::vector<int> continuations;
  std::set<int> continued;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    const int id = b.blockFormat().intProperty(kParagraphContinuation);
    if (id > 0 && b.position() > 0 && continued.insert(id).second) continuations.push_back(b.position());
  }
  for (auto c = continuations.rbegin(); c != continuations.rend(); ++c) {
    cur.setPosition(*c - 1);
    QTextBlockFormat joined = cur.blockFormat();
    if (joined.hasProperty(kKeptSpaceAfter)) joined.setBottomMargin(PxFit(joined.intProperty(kKeptSpaceAfter)));
    joined.clearProperty(kKeptSpaceAfter);
    cur.setPosition(*c, QTextCursor::KeepAnchor);
    cur.removeSelectedText();
    cur.setBlockFormat(joined);
  }
  cur.endEditBlock();
}

void AddLayoutAids(QTextDocument& doc) {
  struct Long {
    int position;
    TextPlan plan;
  };
  std::vector<Long> blocks;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    if (b.length() - 1 <= kLongWord) continue;
    bool marked = false;  // the bridge's own block: it has them
    for (auto it = b.begin(); !it.atEnd() && !marked; ++it) marked = it.fragment().charFormat().boolProperty(kAddedBreaks);
    if (marked || b.blockFormat().hasProperty(kParagraphContinuation)) continue;
    TextPlan plan = PlanText(b.text());
    if (!plan.words.empty() || !plan.cuts.empty()) blocks.push_back({b.position(), std::move(plan)});
  }
  if (blocks.empty()) return;
  QTextCursor cur(&doc);
  cur.beginEditBlock();
  // From the end of the document back, so that what is changed comes after what is left.
  for (auto b = blocks.rbegin(); b != blocks.rend(); ++b) {
    // The edits of the block: a new block at each cut, the words (split at the cuts) with
    // their breaks, each fragment of a word on its own.
    struct Piece {
      qsizetype from, to;
    };
    std::vector<Piece> pieces;
    for (auto [from, to] : b->plan.words) {
      qsizetype at = from;
      for (qsizetype c : b->plan.cuts)
        if (c > at && c < to) {
          pieces.push_back({at, c});
          at = c;
        }
      pieces.push_back({at, to});
    }
    size_t cut = b->plan.cuts.size();
    for (auto p = pieces.rbegin(); p != pieces.rend() || cut > 0;) {
      if (cut > 0 && (p == pieces.rend() || b->plan.cuts[cut - 1] >= p->to)) {
        cur.setPosition(b->position + int(b->plan.cuts[--cut]));
        ContinueInNewBlock(cur);
        continue;
      }
      // The fragments of the piece, last first, each with its format.
      const QTextBlock block = doc.findBlock(b->position + int(p->from));
      struct Part {
        int from, to;
        QTextCharFormat format;
      };
      std::vector<Part> parts;
      for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        const int from = std::max(f.position(), b->position + int(p->from));
        const int to = std::min(f.position() + f.length(), b->position + int(p->to));
        if (from < to) parts.push_back({from, to, f.charFormat()});
      }
      for (auto part = parts.rbegin(); part != parts.rend(); ++part) {
        cur.setPosition(part->from);
        cur.setPosition(part->to, QTextCursor::KeepAnchor);
        MarkAddedBreaks(part->format, true);
        cur.insertText(WithBreaks(cur.selectedText()), part->format);
      }
      ++p;
    }
  }
  cur.endEditBlock();
}

QString PlainTextOf(const QTextDocument& source) {
  // toPlainText keeps every character's place (it only changes separators and no-break
  // spaces), so what the bridge added is taken out where the document holds it.
  const QString text = source.toPlainText();
  const std::vector<qsizetype> aids = LayoutAids(source);
  if (aids.empty()) return text;
  QString out;
  out.reserve(text.size());
  qsizetype at = 0;
  for (qsizetype a : aids) {
    if (a >= text.size()) break;
    out += QStringView(text).mid(at, a - at);
    at = a + 1;
  }
  out += QStringView(text).mid(at);
  return out;
}

PageSetup PageSetupOf(const QTextDocument& doc) {
  PageSetup page;
  auto get = [&](const char* name, int& field) {
    QVariant v = doc.property(name);
    if (v.isValid()) field = v.toInt();
  };
  get(kPageWidthProperty, page.width);
  get(kPageHeightProperty, page.height);
  get(kMarginLeftProperty, page.marginLeft);
  get(kMarginRightProperty, page.marginRight);
  get(kMarginTopProperty, page.marginTop);
  get(kMarginBottomProperty, page.marginBottom);
  get(kColumnsProperty, page.columns);
  get(kColumnSpaceProperty, page.columnSpace);
  const QVariantList extras = doc.property(kSectionExtrasProperty).toList();
  if (extras.size() == 4) {
    page.sectionExtraLeft = extras[0].toInt();
    page.sectionExtraRight = extras[1].toInt();
    page.sectionExtraTop = extras[2].toInt();
    page.sectionExtraBottom = extras[3].toInt();
  }
  return page;
}

void SetPageSetup(QTextDocument& doc, const PageSetup& page) {
  doc.setProperty(kPageWidthProperty, page.width);
  doc.setProperty(kPageHeightProperty, page.height);
  doc.setProperty(kMarginLeftProperty, page.marginLeft);
  doc.setProperty(kMarginRightProperty, page.marginRight);
  doc.setProperty(kMarginTopProperty, page.marginTop);
  doc.setProperty(kMarginBottomProperty, page.marginBottom);
  doc.setProperty(kColumnsProperty, page.columns);
  doc.setProperty(kColumnSpaceProperty, page.columnSpace);
  doc.setProperty(kSectionExtrasProperty, QVariantList{page.sectionExtraLeft, page.sectionExtraRight,
                                                       page.sectionExtraTop, page.sectionExtraBottom});
}

ParagraphBorders ParagraphBordersOf(const QTextBlockFormat& format) {
  ParagraphBorders b;
  QVariantList list = format.property(kParagraphBorders).toList();
  if (list.size() < 22) return b;
  b.connected = list[0].toBool();
  b.tabLines = list[1].toBool();
  b.top = BorderAt(list, 2);
  b.bottom = BorderAt(list, 7);
  b.left = BorderAt(list, 12);
  b.right = BorderAt(list, 17);
  return b;
}

void SetParagraphBorders(QTextBlockFormat& format, const ParagraphBorders& borders) {
  if (borders == ParagraphBorders{}) {
    format.clearProperty(kParagraphBorders);
    return;
  }
  QVariantList list;
  list << borders.connected << borders.tabLines;
  AppendBorder(list, borders.top);
  AppendBorder(list, borders.bottom);
  AppendBorder(list, borders.left);
  AppendBorder(list, borders.right);
  format.setProperty(kParagraphBorders, list);
}

QString AddPicture(QTextDocument& doc, const std::string& bytes) {
  QByteArray data = QByteArray::fromStdString(bytes);
  QString name = QStringLiteral("qvpicture:") +
                 QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex());
  doc.addResource(QTextDocument::ImageResource, QUrl(name), data);
  return name;
}

bool InsertPicture(QTextCursor& cursor, const std::string& bytes, int widthTwips, int heightTwips) {
  if (!DetectPictureFormat(bytes) || !cursor.document()) return false;
  Picture p;
  p.data = bytes;
  p.width = widthTwips;
  p.height = heightTwips;
  FixPictureSize(p);
  QTextImageFormat image;
  image.merge(cursor.charFormat());
  image.setName(AddPicture(*cursor.document(), bytes));
  image.setWidth(Px(p.width));
  image.setHeight(Px(p.height));
  cursor.insertImage(image);
  return true;
}

bool ImportRtf(std::string_view rtf, QTextDocument& target, std::string* error) {
  RtfReadResult r = ReadRtf(rtf);
  if (!r.ok) {
    if (error) *error = r.error;
    return false;
  }
  ToQTextDocument(std::move(r.document), target);
  return true;
}

std::string ExportRtf(const QTextDocument& source) { return WriteRtf(FromQTextDocument(source)); }

// ---- tab leaders ---------------------------------------------------------------------------

namespace {

QTextCharFormat FormatAt(const QTextBlock& b, int offset) {
  for (auto it = b.begin(); !it.atEnd(); ++it) {
    const QTextFragment fr = it.fragment();
    const int start = fr.position() - b.position();
    if (offset >= start && offset < start + fr.length()) return fr.charFormat();
  }
  return b.charFormat();
}

// One leader from x0 to x1 on the baseline, in the font and colour of its tab character.
// Dots, hyphens and equals signs are characters of that font, set on a grid of their own
// width so that the leaders of lines one above the other line up; they keep half a space
// away from the text at either end. The lines run the whole gap.
void DrawLeader(QPainter& painter, TabLeader kind, const QTextCharFormat& cf, const QFont& base,
                QPaintDevice* device, double x0, double x1, double baseline) {
  const QFont font = cf.font().resolve(base);
  const QFontMetricsF fm = device ? QFontMetricsF(font, device) : QFontMetricsF(font);
  const QColor colour = cf.hasProperty(QTextFormat::ForegroundBrush) && cf.foreground().style() != Qt::NoBrush
                            ? cf.foreground().color()
                            : QColor(Qt::black);
  if (kind == TabLeader::Underline || kind == TabLeader::ThickLine) {
    const double width = std::max(1.0, fm.lineWidth()) * (kind == TabLeader::ThickLine ? 2.5 : 1.0);
    const double y = baseline + std::max(1.0, fm.underlinePos());
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(x0, y), QPointF(x1, y));
    return;
  }
  const QChar ch = kind == TabLeader::Dots ? QLatin1Char('.') : kind == TabLeader::Hyphens ? QLatin1Char('-') : QLatin1Char('=');
  const double advance = fm.horizontalAdvance(ch);
  if (!(advance > 0)) return;
  const double gap = fm.horizontalAdvance(QLatin1Char(' ')) / 2;
  const double first = std::ceil((x0 + gap) / advance) * advance;
  const double count = std::floor((x1 - gap - first) / advance);
  if (count < 1 || count > 10000) return;
  QTextLayout layout(QString(int(count), ch), font, device);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  layout.endLayout();
  if (!line.isValid()) return;
  painter.setPen(colour);
  layout.draw(&painter, QPointF(first, baseline - line.ascent()));
}

}  // namespace

void ShowPageNumbers(QTextDocument& doc) {
  const double pageHeight = doc.pageSize().height();
  if (pageHeight <= 0) return;
  QAbstractTextDocumentLayout* layout = doc.documentLayout();
  struct Shown {
    int start, end;
    QString text;
    QTextCharFormat format;
  };
  std::vector<Shown> changes;
  const QString pages = QString::number(std::max(1, doc.pageCount()));
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment frag = it.fragment();
      const QVariantList field = frag.charFormat().property(kField).toList();
      if (field.size() != 3 || !field[2].toBool()) continue;
      const int kind = PageNumberKind(field[0].toString());
      if (kind == 0 || !ShowsItsValue(field[0].toString(), frag.text())) continue;
      QString value = pages;
      if (kind == 1) {
        double y = layout->blockBoundingRect(b).top();
        if (const QTextLayout* tl = b.layout(); tl && tl->lineCount() > 0) {
          const QTextLine line = tl->lineForTextPosition(frag.position() - b.position());
          if (line.isValid()) y += line.y() - tl->lineAt(0).y();
        }
        value = QString::number(int(std::max(0.0, y) / pageHeight) + 1);
      }
      if (value != frag.text()) changes.push_back({frag.position(), frag.position() + frag.length(), value, frag.charFormat()});
    }
  }
  if (changes.empty()) return;
  const bool undo = doc.isUndoRedoEnabled();
  doc.setUndoRedoEnabled(false);
  QTextCursor c(&doc);
  for (auto it = changes.rbegin(); it != changes.rend(); ++it) {
    c.setPosition(it->start);
    c.setPosition(it->end, QTextCursor::KeepAnchor);
    c.insertText(it->text, it->format);
  }
  doc.setUndoRedoEnabled(undo);
}

void DrawTabLeaders(QPainter& painter, const QTextDocument& doc, const QRectF& rect) {
  QAbstractTextDocumentLayout* lay = doc.documentLayout();
  QPaintDevice* device = lay->paintDevice();
  painter.save();
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    const QTextBlockFormat bf = b.blockFormat();
    if (!bf.hasProperty(kTabLeaders)) continue;
    const QTextLayout* tl = b.layout();
    if (!tl || tl->lineCount() == 0) continue;
    const QRectF box = lay->blockBoundingRect(b);
    if (box.bottom() < rect.top() || box.top() > rect.bottom()) continue;
    // The layout's own origin in the document (a block in a table cell is placed in its cell).
    const QPointF origin = box.topLeft() - tl->boundingRect().topLeft();
    const QVariantList leaders = bf.property(kTabLeaders).toList();
    const QList<QTextOption::Tab> tabs = bf.tabPositions();
    const QString text = b.text();
    for (int k = 0; k < tl->lineCount(); ++k) {
      const QTextLine line = tl->lineAt(k);
      const int end = std::min<int>(line.textStart() + line.textLength(), int(text.size()));
      for (int i = line.textStart(); i < end; ++i) {
        if (text[i] != QLatin1Char('\t')) continue;
        const double x0 = line.cursorToX(i), x1 = line.cursorToX(i + 1);
        if (x1 <= x0) continue;
        // Qt takes the first stop past where the tab begins, measured from the line's start.
        qsizetype stop = 0;
        while (stop < tabs.size() && !(tabs[stop].position > x0 - line.x())) ++stop;
        if (stop >= tabs.size() || stop >= leaders.size()) continue;
        const int leader = leaders[stop].toInt();
        if (leader <= 0 || leader > int(TabLeader::Equals)) continue;
        DrawLeader(painter, TabLeader(leader), FormatAt(b, i), doc.defaultFont(), device, origin.x() + x0,
                   origin.x() + x1, origin.y() + line.y() + line.ascent());
      }
    }
  }
  painter.restore();
}

}  // namespace qv::richtext::qt
