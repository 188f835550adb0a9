// The keys section of --help, written from the key map and the powers' costs, so that it always
// tells the keys the game reads.
#include <cctype>
#include <string>
#include <vector>

#include "player/KeyMap.h"
#include "shell/Options.h"

namespace {

constexpr std::size_t keysWidth = 17;  // the keys' column, as wide as the options'
constexpr std::size_t lineWidth = 80;

// A line of the section: the keys, then the text, wrapped between the items given, each line as
// wide as a terminal's 80 columns at most.
std::string entry(std::string keys, const std::string& first, const std::vector<std::string>& items) {
  keys.resize(keysWidth, ' ');
  std::string text = "  " + keys + first;
  std::size_t lineStart = 0;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const std::string& item = items[i];
    const bool fits = text.size() - lineStart + 1 + item.size() <= lineWidth;
    if (i > 0 && !fits) {
      text += "\n";
      lineStart = text.size();
      text += std::string(keysWidth + 2, ' ') + item;
    } else {
      text += (i > 0 || !first.empty() ? " " : "") + item;
    }
  }
  return text + "\n";
}

}  // namespace

std::string keysHelp() {
  std::string help = "Keys (either case):\n";
  help += entry(moveKeysLike(std::isalpha),
                "move left, down, up, right; also " + moveKeysLike(std::isdigit) + " and the arrow keys", {});
  const std::string teleport(1, shownKey(Command::Teleport));
  help += entry(
      teleport,
      "teleport to a random clear cell (costs " + std::to_string(menu[Teleport].cost) + " power points)", {});
  std::string letters;
  std::vector<std::string> items;
  for (int id = FireLaser; id < powerCount; ++id) {
    const auto power = static_cast<PowerId>(id);
    const char key = shownKey(commandOf(power));
    if (!letters.empty()) letters += ' ';
    letters += key;
    items.push_back(std::string(1, key) + " " + menu[id].shortName + " (" + std::to_string(menu[id].cost) +
                    ")" + (id + 1 < powerCount ? "," : "; any other key cancels it"));
  }
  return help + entry(letters, "a power, then a direction:", items);
}
