// The one rule for the player's folders: made 0700 whatever the umask, and, when they exist, a real
// folder of the player's own that nobody else may write in.
#pragma once

#include <string>

// Creates the folder (its last component only) when it is missing, then checks it. Throws
// UnsafeDirectory when it is a link, not a folder, not the user's or writable by others, FileError
// when it cannot be created.
void preparePrivateFolder(const std::string& dir);
// As preparePrivateFolder, but creates nothing: returns false when the folder is missing.
bool privateFolderExists(const std::string& dir);
