// Looking keys up in the key map.
#include "player/KeyMap.h"

#include <array>
#include <cctype>
#include <iterator>
#include <utility>

#include "world/Headings.h"

namespace {

std::vector<KeyBinding>& mapInForce() {
  static std::vector<KeyBinding> map(std::begin(designKeyMap), std::end(designKeyMap));
  return map;
}

std::array<std::string, powerCount> makeLabels();

std::array<std::string, powerCount>& labels() {
  static std::array<std::string, powerCount> made = makeLabels();
  return made;
}

}  // namespace

const std::vector<KeyBinding>& keyMap() { return mapInForce(); }

void useKeyMap(std::vector<KeyBinding> map) {
  mapInForce() = std::move(map);
  labels() = makeLabels();
}

std::optional<Command> commandForKey(int key) {
  for (const KeyBinding& binding : keyMap()) {
    if (binding.key == key) return binding.command;
  }
  return std::nullopt;
}

std::vector<int> keysFor(Command command) {
  std::vector<int> found;
  for (const KeyBinding& binding : keyMap()) {
    if (binding.command == command) found.push_back(binding.key);
  }
  return found;
}

char shownKey(Command command) {
  for (int key : keysFor(command)) {
    if (key > ' ' && key <= '~') return static_cast<char>(key);
  }
  return '?';
}

std::string moveKeysLike(int (*test)(int)) {
  std::string text;
  for (Command move : {Command::MoveLeft, Command::MoveDown, Command::MoveUp, Command::MoveRight}) {
    if (!text.empty()) text += ' ';
    char shown = '?';
    for (int key : keysFor(move)) {
      if (key >= 0 && key <= 0x7f && test(key)) {
        shown = static_cast<char>(key);
        break;
      }
    }
    text += shown;
  }
  return text;
}

std::optional<Move> moveOf(Command command) {
  static constexpr Facing facings[] = {FDown, FLeft, FRight, FUp};  // MoveDown to MoveUp
  const int index = static_cast<int>(command);
  if (index > static_cast<int>(Command::MoveUp)) return std::nullopt;
  const Facing facing = facings[index];
  return Move{heading(facing).dx, heading(facing).dy, facing};
}

std::optional<PowerId> powerOf(Command command) {
  const int offset = static_cast<int>(command) - static_cast<int>(Command::Teleport);
  if (offset < 0 || offset >= powerCount) return std::nullopt;
  return static_cast<PowerId>(offset);
}

Command commandOf(PowerId power) { return static_cast<Command>(static_cast<int>(Command::Teleport) + power); }

namespace {

std::string labelOf(PowerId power) {
  const std::string name = menu[power].name;
  const char key = shownKey(commandOf(power));
  const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
  if (!name.empty() &&
      std::tolower(static_cast<unsigned char>(name[0])) == std::tolower(static_cast<unsigned char>(key)))
    return std::string("(") + upper + ")" + name.substr(1);
  return std::string("(") + upper + ") " + name;
}

std::array<std::string, powerCount> makeLabels() {
  std::array<std::string, powerCount> made;
  for (int id = 0; id < powerCount; ++id) made[id] = labelOf(static_cast<PowerId>(id));
  return made;
}

}  // namespace

const std::string& menuLabel(PowerId power) { return labels()[power]; }
