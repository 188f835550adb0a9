// Golden scenarios: each file under tests/golden/cases plays a scripted game through the in-memory
// terminal and compares the screens it names (characters and a colour/weight layer) and the saved
// score table with what a person reviewed. GOLDEN_UPDATE=1 rewrites the expectations instead;
// see tests/golden/README.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "game/Game.h"
#include "screen/MemoryTerminal.h"
#include "support/Lfrand.h"

namespace {

namespace fs = std::filesystem;

struct Case {
  std::vector<std::string> header;  // everything before the expectations, kept verbatim on update
  int seed = 1;
  int level = 1;
  int power = -1;  // -1: the game's own starting power
  int shipX = -1, shipY = -1;  // a hand-placed ship
  bool calm = false;            // the level's creatures removed before the first turn
  std::string stored;
  std::vector<int> keys;
  std::map<int, std::string> screens;  // key index -> expected screen; -1 is the last wait
  bool checkTable = false;
  std::string table;
};

const std::map<std::string, int> keyNames = {{"up", keys::up},       {"down", keys::down}, {"left", keys::left},
                                             {"right", keys::right}, {"sp", ' '},          {"nl", '\n'},
                                             {"esc", 27},            {"resize", 410}};

// Keys: characters as typed, <name> or <number> for others, *N to repeat the previous key N times
// in all; blanks separate nothing.
void parseKeys(const std::string& text, std::vector<int>& out) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ' ') continue;
    if (c == '*' && i + 1 < text.size() && std::isdigit(static_cast<unsigned char>(text[i + 1]))) {
      std::size_t used = 0;
      const int times = std::stoi(text.substr(i + 1), &used);
      out.insert(out.end(), times - 1, out.back());
      i += used;
    } else if (c == '<') {
      const std::size_t end = text.find('>', i);
      const std::string name = text.substr(i + 1, end - i - 1);
      out.push_back(keyNames.count(name) ? keyNames.at(name) : std::stoi(name));
      i = end;
    } else {
      out.push_back(static_cast<unsigned char>(c));
    }
  }
}

Case readCase(const fs::path& path) {
  Case c;
  std::ifstream in(path);
  std::string line;
  int screen = -2;
  bool expectations = false;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string word;
    words >> word;
    const std::string rest = line.size() > word.size() ? line.substr(word.size() + 1) : "";
    if (word == "screen") {
      expectations = true;
      screen = rest == "end" ? -1 : std::stoi(rest);
      c.screens[screen];
    } else if (word == "table") {
      expectations = true;
      c.checkTable = true;
      c.table = rest;
    } else if (expectations) {
      if (!line.empty() && (line[0] == '|' || line[0] == ':')) c.screens[screen] += line + "\n";
      continue;
    } else if (word == "seed") {
      c.seed = std::stoi(rest);
    } else if (word == "level") {
      c.level = std::stoi(rest);
    } else if (word == "power") {
      c.power = std::stoi(rest);
    } else if (word == "ship") {
      std::istringstream(rest) >> c.shipX >> c.shipY;
    } else if (word == "calm") {
      c.calm = true;
    } else if (word == "stored") {
      c.stored = rest;
    } else if (word == "keys") {
      parseKeys(rest, c.keys);
    }
    if (!expectations) c.header.push_back(line);
  }
  return c;
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

std::string readFile(const fs::path& path) {
  std::stringstream s;
  s << std::ifstream(path, std::ios::binary).rdbuf();
  return s.str();
}

// Plays the case as the program does: games until the player declines or the keys run out.
void play(const Case& c) {
  lfSrand(c.seed);
  clearScreen();
  GameState game = c.level > 1 ? gameAtLevel(c.level, c.power < 0 ? 3 : c.power) : newGame();
  if (c.power >= 0) game.world.player.power = c.power;
  World& w = game.world;
  if (c.shipX >= 0) {
    refreshCell(w.player.x, w.player.y, w.map);
    w.player.x = c.shipX;
    w.player.y = c.shipY;
    drawPlayer(c.shipX, c.shipY);
  }
  for (Creature& creature : w.creatures) {
    if (c.calm) creature.alive = false;
    if (c.calm) refreshCell(creature.x, creature.y, w.map);
  }
  try {
    bool again = endGame(playGame(std::move(game)));
    while (again) {
      clearScreen();
      again = endGame(playGame());
    }
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
  setenv("HOME", home.c_str(), 1);
  if (!c.stored.empty()) std::ofstream(home / ".gridfall/highscore") << c.stored;

  MemoryTerminal term;
  useTerminal(term);
  term.pushKeys(c.keys);
  std::map<int, std::string> seen;
  int waits = 0;
  term.onKeyWait([&](const MemoryTerminal& t) {
    const int index = t.keysLeft() == 0 ? -1 : waits;
    if (c.screens.count(index) != 0) seen[index] = render(t);
    ++waits;
  });
  play(c);
  MemoryTerminal detached;
  useTerminal(detached);
  const std::string table = readFile(home / ".gridfall/highscore");
  fs::remove_all(home);

  if (std::getenv("GOLDEN_UPDATE") != nullptr) {
    std::ofstream out(path);
    for (const std::string& line : c.header) out << line << "\n";
    if (c.checkTable) out << "table " << table << "\n";
    for (const auto& [index, screen] : c.screens) {
      if (index >= 0) out << "screen " << index << "\n" << seen[index];
    }
    if (c.screens.count(-1) != 0) out << "screen end\n" << seen[-1];
    return;
  }
  if (c.checkTable) {
    EXPECT_EQ(table, c.table) << "the saved score table";
  }
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

INSTANTIATE_TEST_SUITE_P(Cases, Golden, ::testing::ValuesIn(caseNames()),
                         [](const auto& info) {
                           std::string name = info.param;
                           for (char& ch : name) {
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name;
                         });

}  // namespace
