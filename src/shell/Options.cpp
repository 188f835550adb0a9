// Command-line parsing with getopt_long, and the texts of --help and --version.
#include "shell/Options.h"

#include <getopt.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

#include "recordings/Recording.h"
#include "store/FileMessages.h"
#include "world/Constants.h"

namespace {

// The leading ':' keeps getopt quiet: the messages are the program's own.
const char* const shortOptions = ":hVs";
// Codes for the options without a short form.
enum {
  seedOption = 1000,
  resumeOption,
  replayOption,
  castOption,
  verifyOption,
  dailyOption,
  paceOption,
  practiceOption,
  powerOption,
  keysOption,
  watchOption
};
constexpr int slowestPace = 1;
constexpr int fastestPace = 128;

const option longOptions[] = {
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {"scores", no_argument, nullptr, 's'},
    {"seed", required_argument, nullptr, seedOption},
    {"resume", no_argument, nullptr, resumeOption},
    {"replay", optional_argument, nullptr, replayOption},
    {"cast", optional_argument, nullptr, castOption},
    {"verify", optional_argument, nullptr, verifyOption},
    {"daily", no_argument, nullptr, dailyOption},
    {"pace", required_argument, nullptr, paceOption},
    {"practice", required_argument, nullptr, practiceOption},
    {"power", required_argument, nullptr, powerOption},
    {"keys", no_argument, nullptr, keysOption},
    {"watch", optional_argument, nullptr, watchOption},
    {nullptr, 0, nullptr, 0},
};

std::string longName(int code) {
  for (const option* o = longOptions; o->name != nullptr; ++o) {
    if (o->val == code) return std::string("--") + o->name;
  }
  return "";
}

// The long options a word abbreviates, as getopt_long matches them.
std::vector<std::string> optionsStartingWith(std::string_view word) {
  const std::string_view name = word.substr(2, word.find('=') - 2);
  std::vector<std::string> found;
  for (const option* o = longOptions; o->name != nullptr; ++o) {
    if (std::string_view(o->name).starts_with(name)) found.push_back(std::string("--") + o->name);
  }
  return found;
}

// A letter of a short option as it can be printed: getopt works on bytes, and a byte of a
// multi-byte character is no character of its own.
std::string letterShown(int letter) {
  if (letter > ' ' && letter < 0x7f) return std::string(1, static_cast<char>(letter));
  char code[8];
  std::snprintf(code, sizeof code, "\\x%02x", letter & 0xff);
  return code;
}

// A short option in error leaves its letter in optopt (it may sit among others, as in "-sx"). A
// long one leaves 0 there when unknown or ambiguous, or its own code when given a value it does not
// take; either way the word is argv[optind - 1].
std::string unknownOption(char* argv[]) {
  const std::string word = argv[optind - 1];
  if (!word.starts_with("--")) return "unknown option '-" + letterShown(optopt) + "'";
  if (optopt != 0) return "option '" + longName(optopt) + "' takes no value";
  const std::vector<std::string> found = optionsStartingWith(word);
  if (found.size() < 2) return "unknown option '" + shown(word) + "'";
  std::string names;
  for (const std::string& name : found) names += (names.empty() ? "" : " or ") + name;
  return "option '" + shown(word) + "' is ambiguous: it could be " + names;
}

Options invalid(const std::string& error) {
  Options options;
  options.action = Action::Invalid;
  options.error = error;
  return options;
}

// "--replay FILE" as well as "--replay=FILE": a following word that is not an option is the file.
// No file is "" (last-game.rec); an empty name given is nothing, a mistake.
std::optional<std::string> fileArgument(int argc, char* argv[]) {
  if (optarg == nullptr && optind < argc && argv[optind][0] != '-') optarg = argv[optind++];
  if (optarg == nullptr) return "";
  if (*optarg == '\0') return std::nullopt;
  return optarg;
}

// The options given that choose what the program does, for conflict().
struct Chosen {
  std::vector<std::string> names;
  void add(int code) {
    const std::string name = code == 's' ? "--scores" : longName(code);
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  }
  bool has(const char* name) const { return std::find(names.begin(), names.end(), name) != names.end(); }
};

// A practice run is a new run of its own: it goes with a seed, chosen or daily, and nothing else.
std::string practiceConflict(const Chosen& chosen) {
  if (chosen.has("--power") && !chosen.has("--practice")) return "--power goes only with --practice";
  if (!chosen.has("--practice")) return "";
  for (const std::string& name : chosen.names) {
    if (name != "--practice" && name != "--power" && name != "--seed" && name != "--daily")
      return "--practice does not go with " + name;
  }
  return "";
}

// Options that cannot go together: a replay plays a recording's own seed, as does a resume; the
// answers that do not play (--scores, --cast, --verify) take no game options.
std::string conflict(const Chosen& chosen) {
  if (const std::string clash = practiceConflict(chosen); !clash.empty()) return clash;
  if (chosen.has("--replay") && (chosen.has("--resume") || chosen.has("--seed")))
    return "--replay goes with neither --seed nor --resume";
  if (chosen.has("--resume") && chosen.has("--seed"))
    return "--resume continues a run with its own seed; --seed does not go with it";
  std::vector<std::string> rest = chosen.names;
  for (const char* modifier : {"--pace", "--practice", "--power"}) std::erase(rest, modifier);
  if (rest.size() > 1) return rest[0] + " does not go with " + rest[1];
  if (chosen.has("--pace") && !chosen.has("--cast") && !chosen.has("--replay"))
    return "--pace goes only with --cast or --replay";
  return "";
}

// A decimal number in [low, high], as --seed reads its digits.
std::optional<int> numberWithin(std::string_view text, int low, int high) {
  const std::optional<std::uint32_t> value = parseSeed(text);
  if (!value || *value < static_cast<std::uint32_t>(low) || *value > static_cast<std::uint32_t>(high))
    return std::nullopt;
  return static_cast<int>(*value);
}

std::optional<int> parsePace(std::string_view text) { return numberWithin(text, slowestPace, fastestPace); }

}  // namespace

std::uint32_t dailySeed(std::time_t now) {
  std::tm date{};
  gmtime_r(&now, &date);
  return static_cast<std::uint32_t>((date.tm_year + 1900) * 10000 + (date.tm_mon + 1) * 100 + date.tm_mday);
}

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

// One option of the command line into `options`; an error message when it is not understood.
std::string takeOption(int option, int argc, char* argv[], Options& options) {
  switch (option) {
    case 's': options.action = Action::Scores; return "";
    case seedOption:
      options.seed = parseSeed(optarg);
      if (!options.seed)
        return std::string("--seed wants a number from 0 to 4294967295, not '") + shown(optarg) + "'";
      return "";
    case paceOption:
      if (const std::optional<int> pace = parsePace(optarg)) {
        options.pace = *pace;
        return "";
      }
      return std::string("--pace wants a number of keys a second from 1 to 128, not '") + shown(optarg) + "'";
    case practiceOption:
      options.practice = numberWithin(optarg, 1, numLevels);
      if (!options.practice)
        return std::string("--practice wants a level from 1 to 10, not '") + shown(optarg) + "'";
      return "";
    case powerOption:
      options.power = numberWithin(optarg, 0, practicePowerLimit);
      if (!options.power)
        return std::string("--power wants a number of power points from 0 to 9999, not '") + shown(optarg) +
               "'";
      return "";
    case keysOption: options.action = Action::Keys; return "";
    case resumeOption: options.resume = true; return "";
    case dailyOption: options.daily = true; return "";
    case replayOption:
    case castOption:
    case verifyOption:
    case watchOption: {
      const std::optional<std::string> file = fileArgument(argc, argv);
      if (!file) return longName(option) + " wants a file name, not an empty one";
      if (option == replayOption) {
        options.replay = *file;
      } else if (option == watchOption) {
        options.watch = *file;
      } else {
        options.recording = *file;
        options.action = option == castOption ? Action::Cast : Action::Verify;
      }
      return "";
    }
    case ':': return "option '" + shown(argv[optind - 1]) + "' needs a value";
    default: return unknownOption(argv);
  }
}

Options parseOptions(int argc, char* argv[]) {
  Options options;
  Chosen chosen;
  optind = 0;  // full re-initialisation, so the parser can be used more than once
  for (;;) {
    const int option = getopt_long(argc, argv, shortOptions, longOptions, nullptr);
    if (option == -1) break;
    if (option == 'h' || option == 'V') {
      options.action = option == 'h' ? Action::Help : Action::Version;
      return options;
    }
    if (const std::string error = takeOption(option, argc, argv, options); !error.empty())
      return invalid(error);
    chosen.add(option);
  }
  if (optind < argc) return invalid("unexpected argument '" + shown(argv[optind]) + "'");
  if (const std::string clash = conflict(chosen); !clash.empty()) return invalid(clash);
  return options;
}

std::string recordingToRead(const std::string& named) {
  if (!named.empty()) return named;
  if (!lastGameExists()) throw RecordingError("no finished game yet: play one, or name a recording");
  return lastGamePath();
}

std::string usageText() {
  return "Usage: gridfall [OPTION]\n"
         "Fly a ship through ten walled arenas in the terminal.\n"
         "\n"
         "  --seed N         play with dice seed N (0 to 4294967295), not the clock's\n"
         "  --daily          play the seed of today's UTC date, YYYYMMDD: the same game\n"
         "                   for every player that day\n"
         "  --resume         continue the newest run cut off by a hang-up, kill or crash\n"
         "  --replay [FILE]  show a recording, by default the last finished run: space\n"
         "                   pauses, + and - change the pace, . steps, e jumps to the\n"
         "                   end, q quits\n"
         "  --watch [JOURNAL]\n"
         "                   show a game as it is played, from its journal: by default\n"
         "                   the newest one a running game holds; q quits\n"
         "  --cast [FILE]    print a recording as an asciicast v2 file (asciinema play)\n"
         "  --verify [FILE]  re-run a recording and print its seed and games as JSON\n"
         "  --pace N         keys a second (1 to 128, default 8) of --replay and --cast\n"
         "  --practice LEVEL play practice games that start on LEVEL (1 to 10); their\n"
         "                   scores are not kept\n"
         "  --power N        the power practice games start with (0 to 9999, default 150)\n"
         "  --keys           print the keys in force and where they come from\n"
         "  -s, --scores     print the table of the five best scores and exit\n"
         "  -h, --help       print this help and exit\n"
         "  -V, --version    print the version and exit\n"
         "\n" +
         keysHelp() +
         "\n"
         "Goal: leave each of the ten arenas through an exit. On an ordinary level fire\n"
         "the disruptor at the outer wall to break one open; man gridfall tells the rest.\n"
         "\n"
         "The scores are kept in $HOME/.gridfall/highscore. Every run is recorded in\n"
         "$HOME/.gridfall/journal/ as it is played; the last finished one in\n"
         "$HOME/.gridfall/last-game.rec.\n";
}

std::string versionText() {
  return std::string("gridfall ") + GRIDFALL_VERSION +
         "\n"
         "Copyright (C) 2026 gridfall developers\n"
         "License GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
         "This is free software: you are free to change and redistribute it.\n"
         "There is NO WARRANTY, to the extent permitted by law.\n";
}
