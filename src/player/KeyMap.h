// The game's keys and what each one commands: the four moves, the eight powers and the answer that
// declines another game. The player's turn, the end screen, the menu, the guide, --help and the soak
// all read this one table; the journal goes on recording the key codes themselves.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "player/Powers.h"

enum class Command {
  MoveDown,
  MoveLeft,
  MoveRight,
  MoveUp,
  // The powers, in the order of their PowerId.
  Teleport,
  FireLaser,
  WideLaser,
  QuadLaser,
  Shockwave,
  Disruptor,
  PhaseOut,
  Blink,
  DeclineAnother,
};

struct KeyBinding {
  int key;
  Command command;
};

// The design's keys. Letters work in either case; the moves also have the digits of a numeric keypad
// and the arrows.
// clang-format off
inline constexpr KeyBinding designKeyMap[] = {
    {'2', Command::MoveDown}, {'j', Command::MoveDown}, {'J', Command::MoveDown}, {keys::down, Command::MoveDown},
    {'4', Command::MoveLeft}, {'h', Command::MoveLeft}, {'H', Command::MoveLeft}, {keys::left, Command::MoveLeft},
    {'6', Command::MoveRight}, {'l', Command::MoveRight}, {'L', Command::MoveRight}, {keys::right, Command::MoveRight},
    {'8', Command::MoveUp}, {'k', Command::MoveUp}, {'K', Command::MoveUp}, {keys::up, Command::MoveUp},
    {'t', Command::Teleport}, {'T', Command::Teleport},
    {'f', Command::FireLaser}, {'F', Command::FireLaser},
    {'w', Command::WideLaser}, {'W', Command::WideLaser},
    {'q', Command::QuadLaser}, {'Q', Command::QuadLaser},
    {'s', Command::Shockwave}, {'S', Command::Shockwave},
    {'d', Command::Disruptor}, {'D', Command::Disruptor},
    {'p', Command::PhaseOut}, {'P', Command::PhaseOut},
    {'b', Command::Blink}, {'B', Command::Blink},
    {'n', Command::DeclineAnother}, {'N', Command::DeclineAnother},
};
// clang-format on

// The map in force: the design's, until the player's own (or a recording's) replaces it. It is
// replaced only before anything is drawn, since the menu and the guide show its keys.
const std::vector<KeyBinding>& keyMap();
void useKeyMap(std::vector<KeyBinding> map);

// What a key commands; nothing for a key the game does not know (any code is safe to look up).
std::optional<Command> commandForKey(int key);
// Every key bound to a command, in the table's order.
std::vector<int> keysFor(Command command);
// The four moves' keys that pass the test (a letter, a digit), left, down, up, right as on the
// keyboard's home row, separated by blanks; "?" for a move bound to no such key.
std::string moveKeysLike(int (*test)(int));
// The key the player is shown for a command: its first printable one, as typed.
char shownKey(Command command);

struct Move {
  int dx;
  int dy;
  Facing facing;
};
// The move a command makes, if it is one of the four moves.
std::optional<Move> moveOf(Command command);
// The power a command fires, if it is one of the eight powers.
std::optional<PowerId> powerOf(Command command);
Command commandOf(PowerId power);

// The power's label in the menu below the arena: its key in brackets, upper case, standing for the
// name's first letter where the two agree ("(F)ire laser").
const std::string& menuLabel(PowerId power);
