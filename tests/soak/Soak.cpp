// The soak: plays many short games of random keys and checks the game's invariants after each turn.
#include "soak/Soak.h"

#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include "dice/Lfrand.h"
#include "player/KeyMap.h"
#include "screen/MemoryTerminal.h"
#include "screen/TerminalInUse.h"

namespace {

struct Direction {
  int dx;
  int dy;
  std::vector<int> keys;  // every key that means this direction
};

Direction directionOf(Command move) { return {moveOf(move)->dx, moveOf(move)->dy, keysFor(move)}; }

const std::array<Direction, 4> directions = {directionOf(Command::MoveDown), directionOf(Command::MoveLeft),
                                             directionOf(Command::MoveRight), directionOf(Command::MoveUp)};

// Every key of the commands from `first` to `last`, in the key map's order.
std::vector<int> keysOf(Command first, Command last) {
  std::vector<int> all;
  for (int c = static_cast<int>(first); c <= static_cast<int>(last); ++c) {
    const std::vector<int> some = keysFor(static_cast<Command>(c));
    all.insert(all.end(), some.begin(), some.end());
  }
  return all;
}

const std::vector<int> powerLetters = keysOf(Command::Teleport, Command::Blink);
// The powers that wait for a direction, the blink aside.
const std::vector<int> firingLetters = keysOf(Command::FireLaser, Command::PhaseOut);
const std::vector<int> teleportLetters = keysFor(Command::Teleport);
const std::vector<int> blinkLetters = keysFor(Command::Blink);
// Escape, resize, NUL, codes beyond any key, curses' error code, a function key, delete, and
// letters and digits that mean nothing to the game.
const std::vector<int> junkKeys = {keys::escape, keys::resize, 0,   1000, -1,  265, 127, 255,
                                   'x',          'Z',          ' ', '\n', '5', 'y', 'n'};

// A uniform choice among n, through the game's own dice so one seed replays a whole game.
int oneOf(int n) { return lfDice(Dicespec{1, n, -1}); }
int anyOf(const std::vector<int>& codes) { return codes[oneOf(static_cast<int>(codes.size()))]; }

int distance(const Player& ship, int x, int y) { return std::abs(x - ship.x) + std::abs(y - ship.y); }

bool onBorder(int x, int y) { return x == 0 || x == xSize || y == 0 || y == ySize; }

// The open exit nearest to the ship, if any. Exits only ever open in the border.
bool nearestExit(const World& w, int& exitX, int& exitY) {
  static const Terrain exitCell = Exit();
  bool found = false;
  for (int y = 0; y <= ySize; ++y) {
    const int step = y == 0 || y == ySize ? 1 : xSize;  // an inner row's border is its two ends
    for (int x = 0; x <= xSize; x += step) {
      if (w.map.at(x, y) == exitCell &&
          (!found || distance(w.player, x, y) < distance(w.player, exitX, exitY))) {
        found = true;
        exitX = x;
        exitY = y;
      }
    }
  }
  return found;
}

// Mostly a move onto a clear cell, towards an open exit when there is one; now and then any
// direction at all, so deaths by walls and trails happen too.
int chooseDirection(const GameState& game) {
  if (oneOf(40) == 0) return oneOf(4);
  const World& w = game.world;
  const Player& p = w.player;
  std::vector<int> open;
  for (int d = 0; d < 4; ++d) {
    if (isClear(w, p.x + directions[d].dx, p.y + directions[d].dy, false)) open.push_back(d);
  }
  if (open.empty()) return oneOf(4);
  int exitX = 0;
  int exitY = 0;
  if (nearestExit(w, exitX, exitY)) {
    std::vector<int> closer;
    for (int d : open) {
      if (distance(p, exitX - directions[d].dx, exitY - directions[d].dy) < distance(p, exitX, exitY))
        closer.push_back(d);
    }
    if (!closer.empty()) return anyOf(closer);
  }
  return anyOf(open);
}

int directionKey(int direction) { return anyOf(directions[direction].keys); }

// Thrown from the key hook when a turn asks for more keys than any command needs. Not an
// std::exception, so nothing in the game can catch it by mistake.
struct TurnNeverEnded {};

// Ends the process when no turn has ended for stallSeconds: a turn stuck in a loop that reads no
// key would otherwise hang the soak silently. The alarm is armed again after every turn.
volatile std::sig_atomic_t watchedSeed = 0;
volatile std::sig_atomic_t watchedLevel = 0;

void reportStall(int) {
  char text[80];
  const int length = std::snprintf(text, sizeof text, "turn never ended: game seed %d level %d\n",
                                   static_cast<int>(watchedSeed), static_cast<int>(watchedLevel));
  (void)!write(2, text, static_cast<std::size_t>(length));
  std::_Exit(3);
}

// Records where the soak is and arms the alarm again; stallSeconds 0 leaves it off.
void progress(int stallSeconds, int seed, int level) {
  watchedSeed = seed;
  watchedLevel = level;
  if (stallSeconds > 0) alarm(static_cast<unsigned>(stallSeconds));
}

struct GameRun {
  int seed;
  int startLevel;
  long long turnsPlayed = 0;
};

enum class Ending { Death, Win, Budget, Fault };

Ending playSoakGame(GameRun& run, const SoakOptions& options, SoakTally& tally, std::ostream& log) {
  progress(options.stallSeconds, run.seed, run.startLevel);
  lfSrand(run.seed);
  MemoryTerminal term;
  const TerminalInUse installed(term);
  startScreen();
  const int power = lfDice(Dicespec{1, 301, -1});  // 0..300: enough for any power, or for none
  GameState game = gameAtLevel(run.startLevel, power);
  ++tally.levelsReached[game.level];

  int keysThisTurn = 0;
  long long keysThisGame = 0;
  term.onKeyWait([&](const MemoryTerminal&) {
    if (++keysThisTurn > options.keysPerTurn) throw TurnNeverEnded{};
    ++keysThisGame;
    if (term.keysLeft() == 0) term.pushKeys(randomKeys(game));
  });

  while (true) {
    if (game.won) return Ending::Win;
    if (!game.alive) return Ending::Death;
    if (keysThisGame >= options.keysPerGame || tally.turns >= options.turns) return Ending::Budget;
    keysThisTurn = 0;
    const Player shipBefore = game.world.player;
    playTurn(game);
    ++tally.turns;
    ++run.turnsPlayed;
    progress(options.stallSeconds, run.seed, run.startLevel);
    const std::vector<std::string> faults = turnFaults(game, shipBefore, options);
    for (const std::string& fault : faults) {
      log << "game seed " << run.seed << " level " << run.startLevel << " turn " << run.turnsPlayed << ": "
          << fault << "\n";
    }
    if (!faults.empty()) return Ending::Fault;
    if (game.world.exitReached) {
      ++tally.exits;
      leaveLevel(game);
      ++tally.levelsReached[game.level];
    }
  }
}

// Through a stream: g++ 12 at -O3 warns falsely about "literal" + std::string temporaries.
std::string where(int x, int y) {
  std::ostringstream text;
  text << "(" << x << ", " << y << ")";
  return text.str();
}

}  // namespace

std::vector<int> randomKeys(const GameState& game) {
  const int roll = oneOf(100);
  if (roll < 40) return {directionKey(chooseDirection(game))};
  if (roll < 60) return {anyOf(firingLetters), directionKey(chooseDirection(game))};
  if (roll < 65) return {anyOf(teleportLetters)};
  if (roll < 72) return {anyOf(blinkLetters), directionKey(chooseDirection(game))};
  if (roll < 85) return {anyOf(powerLetters)};
  return {anyOf(junkKeys)};
}

std::vector<std::string> turnFaults(const GameState& game, const Player& shipBefore,
                                    const SoakOptions& options) {
  std::vector<std::string> faults;
  const World& w = game.world;
  const Player& p = w.player;
  if (game.level < 1 || game.level > numLevels) {
    faults.push_back("a turn was played on level " + std::to_string(game.level));
  }
  // The ship may stand in the border alive: on an exit that opened under it, or in the hole a
  // disruptor field leaves for a turn where it was placed (a second field can keep it open). Its
  // next move may take it out of the arena, where every cell reads as wall, so it dies one step
  // beyond the border. Nothing else puts it outside: blinks are held on the map, teleports land
  // inside, and a ship that moves outside is never alive.
  const bool diedSteppingOut = !game.alive && onBorder(shipBefore.x, shipBefore.y) &&
                               std::abs(p.x - shipBefore.x) + std::abs(p.y - shipBefore.y) == 1;
  if (!Map::contains(p.x, p.y) && !diedSteppingOut) {
    faults.push_back("the ship is " + std::string(game.alive ? "alive" : "dead") + " outside the map at " +
                     where(p.x, p.y));
  }
  for (std::size_t i = 0; i < w.creatures.size(); ++i) {
    const Creature& c = w.creatures[i];
    if (c.alive && !Map::contains(c.x, c.y)) {
      faults.push_back("creature " + std::to_string(i) + " (colour " + std::to_string(c.colour) +
                       ") is alive outside the map at " + where(c.x, c.y));
    }
  }
  if (static_cast<long long>(w.specials.size()) >= options.maxSpecials) {
    faults.push_back("the specials list has grown to " + std::to_string(w.specials.size()) + " entries");
  }
  if (static_cast<long long>(w.creatures.size()) >= options.maxCreatures) {
    faults.push_back("the creature array has grown to " + std::to_string(w.creatures.size()) + " entries");
  }
  return faults;
}

SoakTally runSoak(const SoakOptions& options, std::ostream& log) {
  static_assert(mapColumns == 73 && mapRows == 22, "the arena is 73 columns by 22 rows");
  SoakTally tally;
  if (options.stallSeconds > 0) std::signal(SIGALRM, reportStall);
  for (long long g = 0; tally.turns < options.turns; ++g) {
    // Wrapping, so any seed and any number of games is fine.
    GameRun run{static_cast<int>(static_cast<unsigned>(options.seed) + static_cast<unsigned>(g)),
                options.level > 0 ? options.level : static_cast<int>(g % numLevels) + 1};
    ++tally.games;
    const auto failed = [&](const std::string& what) {
      ++tally.errors;
      log << "game seed " << run.seed << " level " << run.startLevel << " turn " << run.turnsPlayed + 1
          << ": " << what << "\n";
    };
    try {
      switch (playSoakGame(run, options, tally, log)) {
        case Ending::Death: ++tally.deaths; break;
        case Ending::Win: ++tally.wins; break;
        case Ending::Budget: ++tally.budgetEnds; break;
        case Ending::Fault: ++tally.errors; break;
      }
    } catch (const TurnNeverEnded&) {
      failed("the turn took more than " + std::to_string(options.keysPerTurn) + " keys without ending");
    } catch (const ScriptExhausted&) {
      failed("the game waited for a key that the soak did not supply");
    } catch (const std::exception& e) {
      failed(std::string("the game raised an error: ") + e.what());
    }
    if (options.maxErrors > 0 && tally.errors >= options.maxErrors) break;
  }
  alarm(0);
  return tally;
}

std::string summaryLine(const SoakTally& tally) {
  std::ostringstream out;
  out << "turns " << tally.turns << ", games " << tally.games << ", deaths " << tally.deaths << ", wins "
      << tally.wins << ", cut off " << tally.budgetEnds << ", exits " << tally.exits << ", levels reached";
  for (int level = 1; level <= numLevels + 1; ++level)
    out << " " << level << ":" << tally.levelsReached[level];
  out << ", errors " << tally.errors;
  return out.str();
}
