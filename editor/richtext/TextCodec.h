#pragma once
// UTF-8 and code page 1252, as the RTF reader and writer and the model need them.
#include <cstdint>
#include <string>
#include <string_view>

namespace qv::richtext::codec {

// Appends a code point as UTF-8; surrogates and values beyond U+10FFFF become U+FFFD.
void AppendUtf8(std::string& out, char32_t c);

// Decodes the code point at `i` and moves `i` past it; a malformed sequence gives U+FFFD
// and moves one byte on.
char32_t NextUtf8(std::string_view s, size_t& i);

// The character of a code page 1252 byte (bytes the code page leaves undefined give U+FFFD).
char32_t FromCp1252(uint8_t byte);

// The code page 1252 byte of a character, or -1 when the code page has none.
int ToCp1252(char32_t c);

}  // namespace qv::richtext::codec
