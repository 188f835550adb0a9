// The player's keys file, ${XDG_CONFIG_HOME:-$HOME/.config}/gridfall/keys: where it is and its text.
#pragma once

#include <optional>
#include <string>

// The file's path, from the environment. Touches no file.
std::string keysFilePath();
// The file's text, or nothing when there is no file at `path`. A file that cannot be read, is not a
// regular file (a FIFO is refused without waiting on it) or is too large to be a keys file throws a
// FileError whose description is one line naming the file.
std::optional<std::string> readKeysFile(const std::string& path);
