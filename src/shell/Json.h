// Text for the JSON the program prints (--verify, --cast): strings quoted and escaped.
#pragma once

#include <string>
#include <string_view>

// `text` as a JSON string, quotes included. Control characters (C0, DEL and C1), quotes and
// backslashes are escaped;
// a byte that does not belong to valid UTF-8 (a file name may hold any byte) becomes U+FFFD, so the
// result is always valid JSON in UTF-8.
std::string jsonString(std::string_view text);
