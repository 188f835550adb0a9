// Golden scenarios: each file under tests/golden/cases plays a scripted game through the in-memory
// terminal and compares the screens it names (characters and a colour/weight layer) and the saved
// score table with what a person reviewed. GOLDEN_UPDATE=1 rewrites the expectations instead;
// see tests/golden/README.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>

#include "common/TempHome.h"
#include "dice/Lfrand.h"
#include "game/Game.h"
#include "screen/MemoryTerminal.h"
#include "screen/TerminalInUse.h"

namespace {

namespace fs = std::filesystem;

struct Case {
  std::vector<std::string> header;         // the lines before the expectations, kept on update
  std::map<std::string, std::string> set;  // seed, level, power, ship, calm, stored; keys joined
  std::vector<int> keys;
  std::map<int, std::string> screens;  // key index -> expected screen; -1 is the last wait
  std::optional<std::string> table;
};

const std::map<std::string, int> keyNames = {
    {"up", keys::up}, {"down", keys::down}, {"left", keys::left}, {"right", keys::right},
    {"sp", ' '},      {"nl", '\n'},         {"esc", 27},          {"resize", 410}};

const std::set<std::string> headerWords = {"",     "seed", "level",  "power", "ship",
                                           "calm", "keys", "stored", "table", "screen"};

// The settings that take whole numbers, and how many.
const std::map<std::string, int> numberSettings = {{"seed", 1}, {"level", 1}, {"power", 1}, {"ship", 2}};

[[noreturn]] void bad(const std::string& what) { throw std::invalid_argument(what); }

// Exactly `count` integers and nothing else, so that a stray word is refused rather than ignored.
bool integers(const std::string& text, int count) {
  std::istringstream in(text);
  int read = 0;
  for (long long value = 0; in >> value;) ++read;
  return read == count && in.eof();
}

// A setting may be given once (only the keys may span lines), and a number must be one.
void checkSetting(const Case& c, const std::string& word, const std::string& rest, const std::string& where) {
  if (word.empty() || word == "keys" || !headerWords.count(word)) return;
  if (c.set.count(word) != 0) bad(where + "'" + word + "' given twice");
  const auto wanted = numberSettings.find(word);
  if (wanted != numberSettings.end() && !integers(rest, wanted->second))
    bad(where + "'" + word + "' takes " + std::to_string(wanted->second) + " whole number(s): '" + rest +
        "'");
}

// Keys: characters as typed, <name> or <number> for others, *N to repeat the previous key N times
// in all; blanks separate nothing.
std::vector<int> parseKeys(const std::string& text) {
  std::vector<int> out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '*') {
      const std::size_t end = text.find_first_not_of("0123456789", i + 1);
      const std::string digits = text.substr(i + 1, end - i - 1);
      if (out.empty() || digits.empty() || std::stoi(digits) < 1)
        bad("'*' needs a key before it and a count");
      out.insert(out.end(), std::stoi(digits) - 1, out.back());
      i += digits.size();
    } else if (text[i] == '<') {
      const std::size_t used = text.find('>', i);
      const std::string name = text.substr(i + 1, used - i - 1);
      const bool code = !name.empty() && name.find_first_not_of("0123456789") == std::string::npos;
      if (used == std::string::npos || (!keyNames.count(name) && !code)) bad("unknown key <" + name + ">");
      out.push_back(keyNames.count(name) ? keyNames.at(name) : std::stoi(name));
      i = used;
    } else if (text[i] != ' ') {
      out.push_back(static_cast<unsigned char>(text[i]));
    }
  }
  return out;
}

Case readCase(const fs::path& path) {
  Case c;
  std::ifstream in(path);
  std::string line;
  int screen = -2, number = 0;
  while (std::getline(in, line)) {
    ++number;
    const std::string word = line.substr(0, line.find(' '));
    const std::string rest = line.size() > word.size() ? line.substr(word.size() + 1) : "";
    const std::string where = path.string() + ":" + std::to_string(number) + ": ";
    const bool drawn = !line.empty() && (line[0] == '|' || line[0] == ':');
    if (!drawn && line[0] != '#' && !headerWords.count(word)) bad(where + "unknown word '" + word + "'");
    if (word == "screen") {
      if (rest != "end" && !integers(rest, 1)) bad(where + "a screen is a key's number or 'end'");
      screen = rest == "end" ? -1 : std::stoi(rest);
      c.screens[screen];
    } else if (word == "table") {
      c.table = rest;
    } else if (!line.empty() && (line[0] == '|' || line[0] == ':')) {
      c.screens[screen] += line + "\n";
    } else if (c.screens.empty() && !c.table) {
      checkSetting(c, word, rest, where);
      c.header.push_back(line);
      c.set[word] += rest + " ";
    }
  }
  try {
    c.keys = parseKeys(c.set["keys"]);
  } catch (const std::exception& e) {
    bad(path.string() + ": keys: " + e.what());
  }
  return c;
}

int number(const Case& c, const std::string& name, int otherwise) {
  return c.set.count(name) != 0 ? std::stoi(c.set.at(name)) : otherwise;
}

// A cell's colour pair as a letter ('.' for none), upper case when bold; '#' marks reverse video.
char look(const ScreenCell& cell) {
  if (cell.reverse) return '#';
  const char letter = "-rgybmcwk"[cell.pair < 9 ? cell.pair : 0];
  if (cell.pair == 0) return cell.bold ? ':' : '.';
  return cell.bold ? static_cast<char>(std::toupper(letter)) : letter;
}

std::string render(const MemoryTerminal& t) {
  std::string text, colours;
  for (int y = 0; y < MemoryTerminal::rows; ++y) {
    std::string chars = t.row(y), looks;
    for (int x = 0; x < MemoryTerminal::columns; ++x) looks += look(t.cell(x, y));
    chars.erase(chars.find_last_not_of(' ') + 1);
    looks.erase(looks.find_last_not_of('.') + 1);
    text += "|" + chars + "\n";
    colours += ":" + looks + "\n";
  }
  return text + colours;
}

// Sets the case up (a hand-placed ship, the creatures removed) and plays it as the program does:
// games until the player declines or the keys run out.
void play(const Case& c) {
  lfSrand(number(c, "seed", 1));
  clearScreen();
  const int level = number(c, "level", 1);
  GameState game = level > 1 ? gameAtLevel(level, 3) : newGame();
  World& w = game.world;
  w.player.power = number(c, "power", w.player.power);
  if (c.set.count("ship") != 0) {
    refreshCell(w.player.x, w.player.y, w.map);
    std::istringstream(c.set.at("ship")) >> w.player.x >> w.player.y;
    drawPlayer(w.player.x, w.player.y);
  }
  const std::string calm = c.set.count("calm") != 0 ? c.set.at("calm") + "all" : "";
  for (Creature& creature : w.creatures) {
    if (!calm.empty() && (calm.find("red") != 0 || creature.colour == Red)) creature.alive = false;
    refreshCell(creature.x, creature.y, w.map);
    if (creature.alive) drawCreature(creature);
  }
  try {
    FileTable table;
    if (endGame(playGame(std::move(game)), table)) playUntilDeclined(table);
  } catch (const ScriptExhausted&) {
  }
}

class Golden : public ::testing::TestWithParam<std::string> {};

TEST_P(Golden, ScreensAndTableAsReviewed) {
  const fs::path path = fs::path(GOLDEN_DIR) / (GetParam() + ".txt");
  const Case c = readCase(path);
  const fs::path home = fs::temp_directory_path() / ("gridfall-golden-" + GetParam());
  fs::remove_all(home);
  fs::create_directories(home / ".gridfall");
  fs::permissions(home / ".gridfall", fs::perms::owner_all, fs::perm_options::replace);
  setenv("HOME", home.c_str(), 1);
  if (c.set.count("stored") != 0)
    std::ofstream(home / ".gridfall/highscore")
        << c.set.at("stored").substr(0, c.set.at("stored").size() - 1);

  MemoryTerminal term;
  const TerminalInUse inUse(term);
  term.pushKeys(c.keys);
  std::map<int, std::string> seen;
  int waits = 0;
  term.onKeyWait([&](const MemoryTerminal& t) {
    const int index = t.keysLeft() == 0 ? -1 : waits;
    if (c.screens.count(index) != 0) seen[index] = render(t);
    ++waits;
  });
  play(c);
  const std::string table = readFile(home / ".gridfall/highscore");
  fs::remove_all(home);

  if (std::getenv("GOLDEN_UPDATE") != nullptr) {
    std::ofstream out(path);
    for (const std::string& line : c.header) out << line << "\n";
    if (c.table) out << "table " << table << "\n";
    for (const auto& [index, screen] : c.screens) {
      if (index >= 0) out << "screen " << index << "\n" << seen[index];
    }
    if (c.screens.count(-1) != 0) out << "screen end\n" << seen[-1];
    GTEST_SKIP() << "recorded " << path << ": review it, then run without GOLDEN_UPDATE";
  }
  EXPECT_EQ(c.table.value_or(table), table) << "the saved score table";
  for (const auto& [index, expected] : c.screens) {
    EXPECT_EQ(seen[index], expected) << "screen " << index << " of " << path;
  }
}

std::vector<std::string> caseNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(GOLDEN_DIR)) {
    if (entry.path().extension() == ".txt") names.push_back(entry.path().stem());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Case files are named with letters, digits and underscores, so their names name the tests.
INSTANTIATE_TEST_SUITE_P(Cases, Golden, ::testing::ValuesIn(caseNames()),
                         [](const auto& info) { return info.param; });

}  // namespace

// golden_tests --print-keys "l 6 <right>*2" prints the keys one a line, as byte values or as the
// names up, down, left, right, resize: the real-terminal tests read keys through this one grammar.
int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--print-keys") {
    try {
      for (const int key : parseKeys(argv[2])) {
        const auto name =
            std::find_if(keyNames.begin(), keyNames.end(), [&](auto& k) { return k.second == key; });
        std::cout << (key > 255 && name != keyNames.end() ? name->first : std::to_string(key)) << "\n";
      }
    } catch (const std::exception& e) {
      std::cerr << e.what() << "\n";
      return 1;
    }
    return 0;
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
