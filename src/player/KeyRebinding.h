// Keys of the player's own: an action (one of the four moves or the eight powers) given exactly the
// keys the player names, every other action keeping the design's. The keys file, a recording's
// header and --keys all speak of actions and keys in the words written here.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "player/KeyMap.h"

struct Rebinding {
  Command action;
  std::vector<int> keys;  // key codes; a letter comes with its other case
  std::size_t line = 0;   // where it was given, for messages
};

// The name of an action in the keys file ("left", "laser", "wide-laser"...), and back.
std::optional<Command> actionNamed(std::string_view name);
std::string actionName(Command action);
// Every action that can be rebound, in the key map's order.
std::vector<Command> reboundableActions();

// The codes a key word stands for: a printable character (a letter with its other case) or one of
// up, down, left, right, enter, space, tab. Nothing for anything else.
std::optional<std::vector<int>> keysNamed(std::string_view word);
// A key code as the keys file would name it.
std::string keyWord(int code);

// What makes a set of rebindings unusable: which one, and why ("" when none does).
struct RebindingProblem {
  std::size_t index = 0;
  std::string what;
};
std::optional<RebindingProblem> problemWith(const std::vector<Rebinding>& rebound);
// The design's map with each rebound action taking exactly its keys; `rebound` has no problem.
std::vector<KeyBinding> keyMapWith(const std::vector<Rebinding>& rebound);

// The keys file: one action and its keys a line, '#' starting a comment. A line that is not
// understood, an action given twice or left with no key, and a key bound twice are one line of
// error, "NAME: line N: what", thrown as a GameError.
std::vector<Rebinding> parseKeysFile(std::string_view text, const std::string& name);
