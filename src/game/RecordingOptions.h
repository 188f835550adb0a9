// The command-line options of recordings: --seed N, --resume and --replay [FILE].
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "game/Session.h"

// A seed as given on the command line: decimal digits only, 0..4294967295.
std::optional<std::uint32_t> parseSeed(std::string_view text);

// Parses the command line into `request`. On a mistake writes one line to stderr and returns the
// exit status to end with (2); otherwise nullopt.
std::optional<int> parseRunRequest(int argc, char** argv, RunRequest& request);
