// Looking keys up in the key map.
#include "player/KeyMap.h"

#include <array>
#include <cctype>

#include "world/Headings.h"

std::optional<Command> commandForKey(int key) {
  for (const KeyBinding& binding : keyMap) {
    if (binding.key == key) return binding.command;
  }
  return std::nullopt;
}

std::vector<int> keysFor(Command command) {
  std::vector<int> found;
  for (const KeyBinding& binding : keyMap) {
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

}  // namespace

const std::string& menuLabel(PowerId power) {
  static const std::array<std::string, powerCount> labels = [] {
    std::array<std::string, powerCount> made;
    for (int id = 0; id < powerCount; ++id) made[id] = labelOf(static_cast<PowerId>(id));
    return made;
  }();
  return labels[power];
}
