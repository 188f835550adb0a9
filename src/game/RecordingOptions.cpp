// Parsing the command line with getopt_long, before the terminal is touched.
#include "game/RecordingOptions.h"

#include <getopt.h>

#include <iostream>
#include <string>

namespace {

enum { seedOption = 1000, resumeOption, replayOption };

const option longOptions[] = {
    {"seed", required_argument, nullptr, seedOption},
    {"resume", no_argument, nullptr, resumeOption},
    {"replay", optional_argument, nullptr, replayOption},
    {nullptr, 0, nullptr, 0},
};

int refuse(const std::string& what) {
  std::cerr << "gridfall: " << what << "; try 'gridfall --help'\n";
  return 2;
}

}  // namespace

std::optional<std::uint32_t> parseSeed(std::string_view text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (value > UINT32_MAX) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

std::optional<int> parseRunRequest(int argc, char** argv, RunRequest& request) {
  opterr = 0;
  optind = 1;
  int choice = 0;
  while ((choice = getopt_long(argc, argv, "", longOptions, nullptr)) != -1) {
    switch (choice) {
      case seedOption:
        request.seed = parseSeed(optarg);
        if (!request.seed) return refuse(std::string("--seed wants a number from 0 to 4294967295, not '") + optarg + "'");
        break;
      case resumeOption:
        request.resume = true;
        break;
      case replayOption:
        // "--replay FILE" as well as "--replay=FILE": a following word that is not an option is the file.
        if (optarg == nullptr && optind < argc && argv[optind][0] != '-') optarg = argv[optind++];
        request.replay = optarg == nullptr ? "" : optarg;
        break;
      default:
        return refuse(std::string("unknown option '") + argv[optind - 1] + "'");
    }
  }
  if (optind < argc) return refuse(std::string("unexpected argument '") + argv[optind] + "'");
  if (request.replay && (request.resume || request.seed)) return refuse("--replay goes with neither --seed nor --resume");
  if (request.resume && request.seed) return refuse("--resume continues a run with its own seed; --seed does not go with it");
  return std::nullopt;
}
