// JSON strings: the escapes JSON requires, and valid UTF-8 whatever the input bytes.
#include "shell/Json.h"

#include <cstdio>

namespace {

// The length of the valid UTF-8 sequence starting at `at`, or 0 when the byte there starts none.
std::size_t utf8Length(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xbf;  // the range of the second byte, narrowed for overlongs
  if (lead >= 0xc2 && lead <= 0xdf) length = 2;
  if (lead >= 0xe0 && lead <= 0xef)
    length = 3, low = lead == 0xe0 ? 0xa0 : 0x80, high = lead == 0xed ? 0x9f : 0xbf;
  if (lead >= 0xf0 && lead <= 0xf4)
    length = 4, low = lead == 0xf0 ? 0x90 : 0x80, high = lead == 0xf4 ? 0x8f : 0xbf;
  if (length == 0 || at + length > text.size()) return 0;
  if (byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(at + i) < 0x80 || byte(at + i) > 0xbf) return 0;
  }
  return length;
}

std::string escaped(unsigned char c) {
  switch (c) {
    case '"': return "\\\"";
    case '\\': return "\\\\";
    case '\n': return "\\n";
    case '\r': return "\\r";
    case '\t': return "\\t";
    default: break;
  }
  char code[8];
  std::snprintf(code, sizeof code, "\\u%04x", c);
  return code;
}

}  // namespace

std::string jsonString(std::string_view text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out +=
          c < 0x20 || c == 0x7f || c == '"' || c == '\\' ? escaped(c) : std::string(1, static_cast<char>(c));
      ++i;
    } else if (const std::size_t length = utf8Length(text, i); length > 0) {
      // C1 controls (U+0080 to U+009F, two bytes from C2) act on a terminal as ESC sequences do.
      const bool c1 = c == 0xc2 && static_cast<unsigned char>(text[i + 1]) < 0xa0;
      out += c1 ? escaped(static_cast<unsigned char>(text[i + 1])) : std::string(text.substr(i, length));
      i += length;
    } else {
      out += "\xef\xbf\xbd";  // U+FFFD
      ++i;
    }
  }
  return out + "\"";
}
