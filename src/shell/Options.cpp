// Command-line parsing with getopt_long, and the texts of --help and --version.
#include "shell/Options.h"

#include <getopt.h>

#include <cstdint>
#include <string_view>

namespace {

const char* const shortOptions = ":hVs";
// Codes for the options without a short form.
enum { seedOption = 1000, resumeOption, replayOption };

const option longOptions[] = {
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {"scores", no_argument, nullptr, 's'},
    {"seed", required_argument, nullptr, seedOption},
    {"resume", no_argument, nullptr, resumeOption},
    {"replay", optional_argument, nullptr, replayOption},
    {nullptr, 0, nullptr, 0},
};

// A short option in error leaves its letter in optopt (it may sit among others, as in "-sx"). A
// long one leaves 0 there when unknown, or its own letter when given a value it does not take;
// either way the word is argv[optind - 1].
std::string unknownOption(char* argv[]) {
  const std::string word = argv[optind - 1];
  if (optopt == 0) return "unknown option '" + word + "'";
  if (std::string_view(shortOptions).find(static_cast<char>(optopt)) != std::string_view::npos)
    return "option '" + word.substr(0, word.find('=')) + "' takes no value";
  return std::string("unknown option '-") + static_cast<char>(optopt) + "'";
}

Options invalid(const std::string& error) {
  Options options;
  options.action = Action::Invalid;
  options.error = error;
  return options;
}

// Options that cannot go together: a replay plays a recording's own seed, as does a resume.
std::string conflict(const Options& options) {
  if (options.replay && (options.resume || options.seed))
    return "--replay goes with neither --seed nor --resume";
  if (options.resume && options.seed)
    return "--resume continues a run with its own seed; --seed does not go with it";
  return "";
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

Options parseOptions(int argc, char* argv[]) {
  Options options;
  optind = 0;  // full re-initialisation, so the parser can be used more than once
  opterr = 0;  // the messages are the program's own
  for (;;) {
    const int option = getopt_long(argc, argv, shortOptions, longOptions, nullptr);
    if (option == -1) break;
    switch (option) {
      case 'h': options.action = Action::Help; return options;
      case 'V': options.action = Action::Version; return options;
      case 's': options.action = Action::Scores; break;
      case seedOption:
        options.seed = parseSeed(optarg);
        if (!options.seed) {
          return invalid(std::string("--seed wants a number from 0 to 4294967295, not '") + optarg + "'");
        }
        break;
      case resumeOption: options.resume = true; break;
      case replayOption:
        // "--replay FILE" as well as "--replay=FILE": a following word that is not an option is the file.
        if (optarg == nullptr && optind < argc && argv[optind][0] != '-') optarg = argv[optind++];
        options.replay = optarg == nullptr ? "" : optarg;
        break;
      case ':': return invalid(std::string("option '") + argv[optind - 1] + "' needs a value");
      default: return invalid(unknownOption(argv));
    }
  }
  if (optind < argc) return invalid(std::string("unexpected argument '") + argv[optind] + "'");
  if (const std::string clash = conflict(options); !clash.empty()) return invalid(clash);
  return options;
}

std::string usageText() {
  return "Usage: gridfall [OPTION]\n"
         "Fly a ship through ten walled arenas in the terminal.\n"
         "\n"
         "  --seed N         play with dice seed N (0 to 4294967295) instead of the clock's\n"
         "  --resume         continue the newest game that was cut off (hang-up, kill, crash)\n"
         "  --replay [FILE]  show a recording, by default the last finished run: space pauses,\n"
         "                   + and - change the pace, . steps, e jumps to the end, q quits\n"
         "  -s, --scores     print the table of the five best scores and exit\n"
         "  -h, --help       print this help and exit\n"
         "  -V, --version    print the version and exit\n"
         "\n"
         "The scores are kept in $HOME/.gridfall/highscore. Every run is recorded in\n"
         "$HOME/.gridfall/journal/ as it is played; the last finished one in\n"
         "$HOME/.gridfall/last-game.rec.\n";
}

std::string versionText() { return std::string("gridfall ") + GRIDFALL_VERSION + "\n"; }
