// The RTF reader's lists: the list table and the older paragraph numbering are read into
// definitions, and a list paragraph without its own label gets one made from them.
#include <algorithm>

#include "editor/richtext/RtfReaderParts.h"
#include "editor/richtext/TextCodec.h"

namespace qv::richtext::rtfread {

namespace {

constexpr int kLevels = 9;
constexpr size_t kMaxLists = 4096;

// A number in Roman numerals (up to 3999; larger ones as digits).
std::string Roman(int n, bool upper) {
  if (n <= 0 || n >= 4000) return std::to_string(n);
  static const std::pair<int, const char*> parts[] = {
      {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
      {40, "xl"}, {10, "x"}, {9, "ix"}, {5, "v"}, {4, "iv"}, {1, "i"}};
  std::string s;
  for (const auto& [value, letters] : parts)
    for (; n >= value; n -= value) s += letters;
  if (upper) std::transform(s.begin(), s.end(), s.begin(), [](char c) { return char(c - 'a' + 'A'); });
  return s;
}

// A number as letters: a to z, then aa to zz, and so on (as Word counts).
std::string Letters(int n, bool upper) {
  if (n <= 0) return std::to_string(n);
  const int repeat = (n - 1) / 26 + 1;
  return std::string(size_t(std::min(repeat, 16)), char((upper ? 'A' : 'a') + (n - 1) % 26));
}

}  // namespace

std::string ListLabels::Number(int nfc, int n) {
  switch (nfc) {
    case 1: return Roman(n, true);
    case 2: return Roman(n, false);
    case 3: return Letters(n, true);
    case 4: return Letters(n, false);
    case 22: return n < 10 && n >= 0 ? "0" + std::to_string(n) : std::to_string(n);
    case 23:
    case 255: return {};
    default: return std::to_string(n);
  }
}

void ListLabels::BeginList() {
  inList_ = true;
  listId_ = -1;
  pending_ = List{};
}

void ListLabels::EndList() {
  if (inList_ && listId_ >= 0 && (lists_.size() < kMaxLists || lists_.count(listId_)))
    lists_[listId_] = std::move(pending_);
  inList_ = false;
}

void ListLabels::BeginLevel() {
  if (inList_ && pending_.levels.size() < kLevels) pending_.levels.emplace_back();
}

ListLabels::Level* ListLabels::CurrentLevel() {
  return inList_ && !pending_.levels.empty() ? &pending_.levels.back() : nullptr;
}

void ListLabels::SetListId(int id) {
  if (inList_) listId_ = id;
}
void ListLabels::SetLevelFormat(int nfc) {
  if (Level* l = CurrentLevel()) l->nfc = nfc;
}
void ListLabels::SetLevelStart(int start) {
  if (Level* l = CurrentLevel()) l->start = start;
}
void ListLabels::SetLevelFollow(int follow) {
  if (Level* l = CurrentLevel()) l->follow = follow;
}
void ListLabels::SetLevelFont(int font) {
  if (Level* l = CurrentLevel()) l->font = font;
}
std::u32string* ListLabels::LevelText() {
  Level* l = CurrentLevel();
  return l ? &l->text : nullptr;
}

void ListLabels::BeginOverride() { overrideListId_ = -1; }
void ListLabels::SetOverrideListId(int id) { overrideListId_ = id; }
void ListLabels::SetOverrideNumber(int ls) {
  if (overrideListId_ >= 0 && overrides_.size() < kMaxLists) overrides_[ls] = overrideListId_;
}

void ListLabels::BeginPn() {
  pn_ = Pn{};
  pnSet_ = true;
}
void ListLabels::SetPnLevel(int level) { pn_.level = std::clamp(level, 1, 11); }
void ListLabels::SetPnFormat(int nfc) { pn_.nfc = nfc; }
void ListLabels::SetPnStart(int start) { pn_.start = start; }
void ListLabels::SetPnFont(int font) { pn_.font = font; }
std::u32string* ListLabels::PnText(bool before) { return before ? &pn_.before : &pn_.after; }

std::string ListLabels::ListLabel(int ls, int ilvl, const Decode& decode) {
  auto o = overrides_.find(ls);
  if (o == overrides_.end()) return {};
  auto l = lists_.find(o->second);
  if (l == lists_.end() || l->second.levels.empty()) return {};
  const std::vector<Level>& levels = l->second.levels;
  ilvl = std::clamp(ilvl, 0, int(levels.size()) - 1);
  std::vector<int>& counts = counts_[o->second];
  counts.resize(kLevels, 0);
  const Level& level = levels[size_t(ilvl)];
  counts[size_t(ilvl)] = counts[size_t(ilvl)] == 0 ? level.start : counts[size_t(ilvl)] + 1;
  for (int k = ilvl + 1; k < kLevels; ++k) counts[size_t(k)] = 0;

  auto number = [&](int k) {
    const Level& at = levels[size_t(std::min(k, int(levels.size()) - 1))];
    return Number(at.nfc, counts[size_t(k)] == 0 ? at.start : counts[size_t(k)]);
  };
  std::string label;
  if (level.text.empty()) {
    label = level.nfc == 23 ? "\u2022" : number(ilvl).empty() ? "" : number(ilvl) + ".";
  } else {
    // The first character is the length of the text; characters 0 to 8 stand for the
    // numbers of those levels.
    const char32_t first = level.text[0];
    const size_t length = std::min<size_t>(first >= kByte ? first - kByte : first, level.text.size() - 1);
    for (size_t k = 1; k <= length; ++k) {
      char32_t c = level.text[k];
      const char32_t value = c >= kByte ? c - kByte : c;
      if (value < char32_t(kLevels)) {
        if (int(value) <= ilvl) label += number(int(value));
        continue;
      }
      c = decode(level.font, c);
      if (c >= 0x20) codec::AppendUtf8(label, c);
    }
  }
  if (label.empty()) return label;
  return label + (level.follow == 1 ? " " : level.follow == 2 ? "" : "\t");
}

std::string ListLabels::PnLabel(const Decode& decode) {
  if (!pnSet_) return {};
  std::string label;
  auto text = [&](const std::u32string& t) {
    for (char32_t c : t) {
      c = decode(pn_.font, c);
      if (c >= 0x20) codec::AppendUtf8(label, c);
    }
  };
  text(pn_.before);
  if (pn_.level != 11) {
    int& count = pnCounts_[pn_.level];
    count = count == 0 ? pn_.start : count + 1;
    if (pn_.level < 10)
      for (int k = pn_.level + 1; k < 10; ++k) pnCounts_[k] = 0;
    label += Number(pn_.nfc, count);
  } else {
    pnCounts_[10] = 0;  // a bullet ends the body's numbered paragraphs
    if (pn_.before.empty() && pn_.after.empty()) label += "\u2022";
  }
  text(pn_.after);
  return label.empty() ? label : label + "\t";
}

void ListLabels::Unnumbered() { pnCounts_[10] = 0; }

}  // namespace qv::richtext::rtfread
