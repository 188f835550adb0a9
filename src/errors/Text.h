// Text that is safe to print on a terminal, whatever it came from.
#pragma once

#include <string>
#include <string_view>

// The name as it can be shown on a terminal: control characters (C0, DEL and C1) appear as
// \xNN and a backslash as \\, so a file name cannot send escape sequences to the terminal.
std::string shown(std::string_view name);
