#pragma once
// The code pages of RTF text: which one a font or a document declares, and the characters of
// its bytes. Windows and Mac code pages are decoded with the C library's iconv; the Symbol and
// Wingdings fonts' bytes by tables of their own. A Mac code page the C library lacks is read
// as the closest one it has (Mac Japanese as Shift-JIS, Mac Korean as EUC-KR, Mac Chinese as
// EUC-CN and Big5, Mac Arabic, Hebrew and Thai as ISO 8859-6, ISO 8859-8 and TIS-620, whose
// letters stand where theirs do), with the bytes where they differ as tables of their own
// (Mac Greek whole; Mac Turkish, Romanian and Croatian over Mac Roman; the single bytes
// ©, ™ and … of Mac Japanese and Chinese).
#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>

namespace qv::richtext::codec {

// Code page numbers are Windows' own (1252, 1251, 932, 10000 Mac Roman, 10001 Mac Japanese,
// 10007 Mac Cyrillic, ...); the two symbol fonts take numbers no code page has.
constexpr int kSymbolFont = -2;
constexpr int kWingdingsFont = -3;
constexpr int kSymbolPrivate = -4;  // another symbol font: U+F000 plus the byte, as Windows reads it

// The code page of an RTF \fcharset; 0 for a charset that names none (the document's then holds).
int CodePageOfCharset(int charset);
// The byte map of a font by its name and charset: the Symbol and Wingdings fonts by name, else
// the charset's code page (other symbol fonts kSymbolPrivate); 0 when neither tells.
int CodePageOfFont(const std::string& name, int charset);

// True for the double-byte code pages (932, 936, 949, 950, 1361 and the Mac ones of Japanese,
// Chinese and Korean) and a byte that begins a pair.
bool IsDoubleByte(int codePage);
bool IsLeadByte(int codePage, uint8_t byte);

// Decodes bytes of one code page. A decoder keeps what it opened and built for each code page.
class CodePageDecoder {
 public:
  CodePageDecoder() = default;
  CodePageDecoder(const CodePageDecoder&) = delete;
  CodePageDecoder& operator=(const CodePageDecoder&) = delete;
  ~CodePageDecoder();

  // The character of one byte; U+FFFD when the code page maps none (or is unknown).
  char32_t Byte(int codePage, uint8_t byte);
  // The character of a lead and a trail byte of a double-byte code page; U+FFFD when unmapped.
  char32_t Pair(int codePage, uint8_t lead, uint8_t trail);

 private:
  void* Converter(int codePage);  // an iconv_t, or null when the C library lacks the code page
  std::unordered_map<int, void*> converters_;
  std::unordered_map<int, std::array<char32_t, 256>> tables_;
};

}  // namespace qv::richtext::codec
