// Text that is safe to print on a terminal.
#include "errors/Text.h"

#include <cstdio>

namespace {

std::string hexEscape(unsigned char byte) {
  char text[5];
  std::snprintf(text, sizeof text, "\\x%02x", byte);
  return text;
}

// Bytes 0x80..0x9f written as UTF-8 (0xc2 followed by the byte) are C1 controls, which some
// terminals obey like escape sequences.
bool isControl(unsigned char byte) { return byte < 0x20 || byte == 0x7f || (byte >= 0x80 && byte <= 0x9f); }

}  // namespace

std::string shown(std::string_view name) {
  std::string out;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    const bool c1Pair =
        byte == 0xc2 && i + 1 < name.size() && isControl(static_cast<unsigned char>(name[i + 1]));
    if (byte == '\\') {
      out += "\\\\";
    } else if (c1Pair) {
      out += hexEscape(byte) + hexEscape(static_cast<unsigned char>(name[++i]));
    } else if (isControl(byte)) {
      out += hexEscape(byte);
    } else {
      out += name[i];
    }
  }
  return out;
}
