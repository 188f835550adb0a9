// Command-line parsing with getopt_long, and the texts of --help and --version.
#include "game/Options.h"

#include <getopt.h>

#include <string_view>

namespace {

const char* const shortOptions = ":hVs";
const option longOptions[] = {
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {"scores", no_argument, nullptr, 's'},
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

}  // namespace

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
      case ':': return {Action::Invalid, std::string("option '") + argv[optind - 1] + "' needs a value"};
      default: return {Action::Invalid, unknownOption(argv)};
    }
  }
  if (optind < argc) return {Action::Invalid, std::string("unexpected argument '") + argv[optind] + "'"};
  return options;
}

std::string usageText() {
  return "Usage: gridfall [OPTION]\n"
         "Fly a ship through ten walled arenas in the terminal.\n"
         "\n"
         "  -s, --scores   print the table of the five best scores and exit\n"
         "  -h, --help     print this help and exit\n"
         "  -V, --version  print the version and exit\n"
         "\n"
         "The scores are kept in $HOME/.gridfall/highscore.\n";
}

std::string versionText() { return std::string("gridfall ") + GRIDFALL_VERSION + "\n"; }
