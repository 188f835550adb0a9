// Printable file names and errno-specific advice for the store's messages.
#include "store/FileMessages.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

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

std::string withAdvice(int error, const std::string& otherwise) {
  const char* advice = nullptr;
  switch (error) {
    case EMFILE:
    case ENFILE: advice = "too many files are open; close some programs and try again"; break;
    case ENOSPC:
    case EDQUOT: advice = "the disk or your disk quota is full; free some space and try again"; break;
    case EROFS: advice = "that file system is mounted read-only; set HOME to a writable place"; break;
    case EACCES:
    case EPERM:
      advice = "you lack the permission; check the owner and permissions of the file and its folder";
      break;
    case ENAMETOOLONG: advice = "the path is too long for the system; set HOME to a shorter path"; break;
    case EFBIG: advice = "the file-size limit is too small (see ulimit -f); raise it and try again"; break;
    case ENOTDIR:
      advice = "part of the path is a file, not a folder; check HOME and move that file away";
      break;
    default: break;
  }
  return std::string(std::strerror(error)) + "; " + (advice != nullptr ? advice : otherwise);
}
