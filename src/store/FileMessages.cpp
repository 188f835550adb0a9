// Printable file names and errno-specific advice for the store's messages.
#include "store/FileMessages.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

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
