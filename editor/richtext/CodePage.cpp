#include "editor/richtext/CodePage.h"

#include <iconv.h>

#include <iterator>
#include <string>

#include "editor/richtext/TextCodec.h"

namespace qv::richtext::codec {

namespace {

// Bytes 0x20 to 0xFF of the Symbol font (0 where it has no character).
constexpr char16_t kSymbol[224] = {
    0x0020, 0x0021, 0x2200, 0x0023, 0x2203, 0x0025, 0x0026, 0x220B,  // 20
    0x0028, 0x0029, 0x2217, 0x002B, 0x002C, 0x2212, 0x002E, 0x002F,  // 28
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037,  // 30
    0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F,  // 38
    0x2245, 0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393,  // 40
    0x0397, 0x0399, 0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F,  // 48
    0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9,  // 50
    0x039E, 0x03A8, 0x0396, 0x005B, 0x2234, 0x005D, 0x22A5, 0x005F,  // 58
    0x203E, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3,  // 60
    0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF,  // 68
    0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9,  // 70
    0x03BE, 0x03C8, 0x03B6, 0x007B, 0x007C, 0x007D, 0x223C, 0,       // 78
    0,      0,      0,      0,      0,      0,      0,      0,       // 80
    0,      0,      0,      0,      0,      0,      0,      0,       // 88
    0,      0,      0,      0,      0,      0,      0,      0,       // 90
    0,      0,      0,      0,      0,      0,      0,      0,       // 98
    0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663,  // A0
    0x2666, 0x2665, 0x2660, 0x2194, 0x2190, 0x2191, 0x2192, 0x2193,  // A8
    0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022,  // B0
    0x00F7, 0x2260, 0x2261, 0x2248, 0x2026, 0x23D0, 0x23AF, 0x21B5,  // B8
    0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229,  // C0
    0x222A, 0x2283, 0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209,  // C8
    0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5,  // D0
    0x00AC, 0x2227, 0x2228, 0x21D4, 0x21D0, 0x21D1, 0x21D2, 0x21D3,  // D8
    0x25CA, 0x2329, 0x00AE, 0x00A9, 0x2122, 0x2211, 0x239B, 0x239C,  // E0
    0x239D, 0x23A1, 0x23A2, 0x23A3, 0x23A7, 0x23A8, 0x23A9, 0x23AA,  // E8
    0,      0x232A, 0x222B, 0x2320, 0x23AE, 0x2321, 0x239E, 0x239F,  // F0
    0x23A0, 0x23A4, 0x23A5, 0x23A6, 0x23AB, 0x23AC, 0x23AD, 0,       // F8
};

// The Wingdings bytes that lists and check boxes use; the others keep the font's own
// character (U+F000 plus the byte, as Windows gives them).
struct WingdingsChar {
  uint8_t byte;
  char16_t c;
};
constexpr WingdingsChar kWingdings[] = {
    {0x6C, 0x25CF}, {0x6E, 0x25A0}, {0x6F, 0x25A1}, {0x71, 0x2751}, {0x75, 0x25C6},
    {0x76, 0x2756}, {0x77, 0x2B25}, {0x9F, 0x2022}, {0xA7, 0x25AA}, {0xA8, 0x25FB},
    {0xD8, 0x27A2}, {0xE8, 0x2794}, {0xF0, 0x21E8}, {0xFB, 0x2717}, {0xFC, 0x2713},
    {0xFD, 0x2612}, {0xFE, 0x2611},
};

// Mac Greek: the C library has no converter for it.
constexpr char16_t kMacGreek[128] = {
    0x00C4, 0x00B9, 0x00B2, 0x00C9, 0x00B3, 0x00D6, 0x00DC, 0x0385,  // 80
    0x00E0, 0x00E2, 0x00E4, 0x0384, 0x00A8, 0x00E7, 0x00E9, 0x00E8,  // 88
    0x00EA, 0x00EB, 0x00A3, 0x2122, 0x00EE, 0x00EF, 0x2022, 0x00BD,  // 90
    0x2030, 0x00F4, 0x00F6, 0x00A6, 0x20AC, 0x00F9, 0x00FB, 0x00FC,  // 98
    0x2020, 0x0393, 0x0394, 0x0398, 0x039B, 0x039E, 0x03A0, 0x00DF,  // A0
    0x00AE, 0x00A9, 0x03A3, 0x03AA, 0x00A7, 0x2260, 0x00B0, 0x00B7,  // A8
    0x0391, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x0392, 0x0395, 0x0396,  // B0
    0x0397, 0x0399, 0x039A, 0x039C, 0x03A6, 0x03AB, 0x03A8, 0x03A9,  // B8
    0x03AC, 0x039D, 0x00AC, 0x039F, 0x03A1, 0x2248, 0x03A4, 0x00AB,  // C0
    0x00BB, 0x2026, 0x00A0, 0x03A5, 0x03A7, 0x0386, 0x0388, 0x0153,  // C8
    0x2013, 0x2015, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x0389,  // D0
    0x038A, 0x038C, 0x038E, 0x03AD, 0x03AE, 0x03AF, 0x03CC, 0x038F,  // D8
    0x03CD, 0x03B1, 0x03B2, 0x03C8, 0x03B4, 0x03B5, 0x03C6, 0x03B3,  // E0
    0x03B7, 0x03B9, 0x03BE, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF,  // E8
    0x03C0, 0x03CE, 0x03C1, 0x03C3, 0x03C4, 0x03B8, 0x03C9, 0x03C2,  // F0
    0x03C7, 0x03C5, 0x03B6, 0x03CA, 0x03CB, 0x0390, 0x03B0, 0x00AD,  // F8
};

// Mac code pages that differ from another the C library has in a few bytes: the bytes
// that differ (U+FFFD where the code page has no character).
struct ByteChar {
  uint8_t byte;
  char16_t c;
};
constexpr ByteChar kMacRoman[] = {  // Apple's characters where the C library's Mac Roman differs
    {0xC6, 0x2206}, {0xF0, 0xF8FF},
};
constexpr ByteChar kMacTurkish[] = {  // over Mac Roman
    {0xDA, 0x011E}, {0xDB, 0x011F}, {0xDC, 0x0130}, {0xDD, 0x0131}, {0xDE, 0x015E}, {0xDF, 0x015F},
    {0xF5, 0xFFFD},
};
constexpr ByteChar kMacRomanian[] = {  // over Mac Roman
    {0xAE, 0x0102}, {0xAF, 0x0218}, {0xBE, 0x0103}, {0xBF, 0x0219}, {0xDE, 0x021A}, {0xDF, 0x021B},
};
constexpr ByteChar kMacCroatian[] = {  // over Mac Roman
    {0xA9, 0x0160}, {0xAE, 0x017D}, {0xB4, 0x2206}, {0xB9, 0x0161}, {0xBE, 0x017E},
    {0xC6, 0x0106}, {0xC8, 0x010C}, {0xD0, 0x0110}, {0xD8, 0xF8FF}, {0xD9, 0x00A9},
    {0xDE, 0x00C6}, {0xDF, 0x00BB}, {0xE0, 0x2013}, {0xE6, 0x0107}, {0xE8, 0x010D},
    {0xF0, 0x0111}, {0xF9, 0x03C0}, {0xFA, 0x00CB}, {0xFD, 0x00CA}, {0xFE, 0x00E6},
};
// The single bytes Shift-JIS, EUC-CN and Big5 leave out, as Mac Japanese and Chinese have them.
constexpr ByteChar kMacFarEast[] = {
    {0xA0, 0x00A0}, {0xFD, 0x00A9}, {0xFE, 0x2122}, {0xFF, 0x2026},
};

struct Overlay {
  const ByteChar* bytes;
  size_t n;
};
Overlay OverlayOf(int codePage) {
  switch (codePage) {
    case 10001:
    case 10002:
    case 10008: return {kMacFarEast, std::size(kMacFarEast)};
    case 10010: return {kMacRomanian, std::size(kMacRomanian)};
    case 10081: return {kMacTurkish, std::size(kMacTurkish)};
    case 10082: return {kMacCroatian, std::size(kMacCroatian)};
    default: return {nullptr, 0};
  }
}

// The C library's name of a code page, or the closest one it has; empty when it has none
// (Mac Greek: a table of its own).
std::string IconvName(int codePage) {
  switch (codePage) {
    case 936: return "GBK";
    case 949: return "UHC";
    case 950: return "BIG5";
    case 1361: return "JOHAB";
    case 10000: return "MACINTOSH";
    case 10001: return "SHIFT_JIS";  // Mac Japanese
    case 10002: return "BIG5";       // Mac Chinese (Traditional)
    case 10003: return "EUC-KR";     // Mac Korean
    case 10004: return "ISO-8859-6";  // Mac Arabic: its Arabic letters stand where ISO's do
    case 10005: return "ISO-8859-8";  // Mac Hebrew: so do its Hebrew letters
    case 10006: return {};            // Mac Greek
    case 10007: return "MACCYRILLIC";
    case 10008: return "EUC-CN";     // Mac Chinese (Simplified)
    case 10010: return "MACINTOSH";  // Mac Romanian, with its own bytes over it
    case 10017: return "MACUKRAINIAN";
    case 10021: return "TIS-620";    // Mac Thai: its Thai letters stand where TIS-620's do
    case 10029: return "MAC-CENTRALEUROPE";
    case 10079: return "MAC-IS";     // Mac Icelandic
    case 10081: return "MACINTOSH";  // Mac Turkish, with its own bytes over it
    case 10082: return "MACINTOSH";  // Mac Croatian, likewise
    default: return "CP" + std::to_string(codePage);
  }
}

// Converts bytes with an iconv converter to one character; U+FFFD unless they make exactly one.
char32_t Convert(void* converter, const char* bytes, size_t n) {
  if (!converter) return 0xFFFD;
  auto cd = static_cast<iconv_t>(converter);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char in[2] = {bytes[0], n > 1 ? bytes[1] : '\0'};
  char* inp = in;
  size_t inLeft = n;
  char32_t out[2] = {0, 0};
  char* outp = reinterpret_cast<char*>(out);
  size_t outLeft = sizeof out;
  if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == size_t(-1) || inLeft != 0 ||
      outLeft != sizeof out - sizeof(char32_t))
    return 0xFFFD;
  return out[0];
}

}  // namespace

int CodePageOfCharset(int charset) {
  switch (charset) {
    case 0: return 1252;
    case 2: return kSymbolFont;
    // The Mac character sets, as Word and TextEdit number them.
    case 77: return 10000;   // Roman
    case 78: return 10001;   // Japanese
    case 79: return 10003;   // Korean
    case 80: return 10008;   // Chinese (Simplified)
    case 81: return 10002;   // Chinese (Traditional)
    case 82: return 1361;    // Korean (Johab)
    case 83: return 10005;   // Hebrew
    case 84: return 10004;   // Arabic
    case 85: return 10006;   // Greek
    case 86: return 10081;   // Turkish
    case 87: return 10021;   // Thai
    case 88: return 10029;   // Central European
    case 89: return 10007;   // Cyrillic
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 255: return 437;
    default: return 0;
  }
}

int CodePageOfFont(const std::string& name, int charset) {
  if (name == "Symbol") return kSymbolFont;
  if (name == "Wingdings") return kWingdingsFont;
  int cp = CodePageOfCharset(charset);
  return cp == kSymbolFont ? kSymbolPrivate : cp;
}

bool IsDoubleByte(int codePage) {
  switch (codePage) {
    case 932: case 936: case 949: case 950: case 1361:
    case 10001: case 10002: case 10003: case 10008:
      return true;
    default:
      return false;
  }
}

bool IsLeadByte(int codePage, uint8_t b) {
  switch (codePage) {
    case 932:
    case 10001: return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    case 936:
    case 949:
    case 950: return b >= 0x81 && b <= 0xFE;
    case 1361: return (b >= 0x84 && b <= 0xD3) || (b >= 0xD8 && b <= 0xDE) || (b >= 0xE0 && b <= 0xF9);
    case 10002:
    case 10008: return b >= 0xA1 && b <= 0xFC;
    case 10003: return b >= 0xA1 && b <= 0xFD;
    default: return false;
  }
}

CodePageDecoder::~CodePageDecoder() {
  for (auto& [cp, cd] : converters_)
    if (cd) iconv_close(static_cast<iconv_t>(cd));
}

void* CodePageDecoder::Converter(int codePage) {
  auto it = converters_.find(codePage);
  if (it != converters_.end()) return it->second;
  void* cd = nullptr;
  const std::string name = codePage > 0 && codePage < 100000 ? IconvName(codePage) : std::string();
  if (!name.empty()) {
    iconv_t opened = iconv_open("UTF-32LE", name.c_str());
    if (opened != iconv_t(-1)) cd = opened;
  }
  converters_.emplace(codePage, cd);
  return cd;
}

char32_t CodePageDecoder::Byte(int codePage, uint8_t byte) {
  if (codePage == 1252) return FromCp1252(byte);
  if (codePage == kSymbolFont) {
    if (byte < 0x20) return byte;
    char16_t c = kSymbol[byte - 0x20];
    return c ? c : 0xFFFD;
  }
  if (codePage == kWingdingsFont) {
    for (const auto& w : kWingdings)
      if (w.byte == byte) return w.c;
    return byte < 0x20 ? char32_t(byte) : 0xF000 + byte;
  }
  if (codePage == kSymbolPrivate) return byte < 0x20 ? char32_t(byte) : 0xF000 + byte;
  if (byte < 0x80) return byte;
  auto it = tables_.find(codePage);
  if (it == tables_.end()) {
    std::array<char32_t, 256> table{};
    void* cd = Converter(codePage);
    for (int b = 0; b < 256; ++b) {
      char c = char(b);
      char32_t u = IsLeadByte(codePage, uint8_t(b)) ? 0xFFFD : Convert(cd, &c, 1);
      if (codePage == 10006 && b >= 0x80) u = kMacGreek[b - 0x80];
      // The control characters 0x80 to 0x9F of an ISO code page standing in for a Mac one
      // are no text.
      if (u >= 0x80 && u <= 0x9F) u = 0xFFFD;
      table[size_t(b)] = u;
    }
    if (IconvName(codePage) == "MACINTOSH")
      for (const ByteChar& m : kMacRoman) table[m.byte] = m.c;
    const Overlay overlay = OverlayOf(codePage);
    for (size_t k = 0; k < overlay.n; ++k) table[overlay.bytes[k].byte] = overlay.bytes[k].c;
    it = tables_.emplace(codePage, table).first;
  }
  return it->second[byte];
}

char32_t CodePageDecoder::Pair(int codePage, uint8_t lead, uint8_t trail) {
  const char bytes[2] = {char(lead), char(trail)};
  return Convert(Converter(codePage), bytes, 2);
}

}  // namespace qv::richtext::codec
