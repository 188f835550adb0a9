// Wording shared by the store's messages: file names made safe to print, and advice that fits
// the operating system's error.
#pragma once

#include <string>
#include <string_view>

#include "errors/Text.h"  // shown(), for the names in messages

// strerror(error), then "; " and what the player can do about it: advice of its own for a full
// disk, a read-only file system, missing permissions, too many open files, a too long path or a
// file-size limit, `otherwise` for anything else.
std::string withAdvice(int error, const std::string& otherwise);
