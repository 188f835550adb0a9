// The words of the keys file and the checks that keep the key map unambiguous.
#include "player/KeyRebinding.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "errors/GameError.h"
#include "errors/Text.h"

namespace {

// Indexed by Command, MoveDown to Blink.
constexpr std::array<const char*, 12> actionNames = {"down",      "left",      "right",      "up",
                                                     "teleport",  "laser",     "wide-laser", "quad-laser",
                                                     "shockwave", "disruptor", "phase-out",  "blink"};

struct NamedKey {
  const char* word;
  std::vector<int> codes;
};
// Enter arrives as a newline, a carriage return or the keypad's own code, as the terminal sends it.
const std::array<NamedKey, 7> namedKeys = {{{"up", {keys::up}},
                                            {"down", {keys::down}},
                                            {"left", {keys::left}},
                                            {"right", {keys::right}},
                                            {"enter", {'\n', '\r', 0527}},
                                            {"space", {' '}},
                                            {"tab", {'\t'}}}};

// Who holds a key in the map being built: the action, or nothing.
std::optional<Command> holderOf(const std::vector<KeyBinding>& map, int key) {
  for (const KeyBinding& binding : map) {
    if (binding.key == key) return binding.command;
  }
  return std::nullopt;
}

// Built by appending: g++ 12 at -O3 warns falsely about "literal" + std::string temporaries.
std::string quoted(const std::string& word) {
  std::string text(1, '\'');
  text += word;
  text += '\'';
  return text;
}

std::string holderName(Command holder) {
  if (holder == Command::DeclineAnother) return "the answer that declines another game";
  return quoted(actionName(holder));
}

bool named(const std::vector<Rebinding>& rebound, Command action) {
  return std::any_of(rebound.begin(), rebound.end(),
                     [action](const Rebinding& r) { return r.action == action; });
}

std::vector<KeyBinding> withoutRebound(const std::vector<Rebinding>& rebound) {
  std::vector<KeyBinding> map;
  for (const KeyBinding& binding : designKeyMap) {
    if (!named(rebound, binding.command)) map.push_back(binding);
  }
  return map;
}

[[noreturn]] void refuse(const std::string& name, std::size_t line, const std::string& what) {
  throw GameError("KeysRefused", shown(name) + ": line " + std::to_string(line) + ": " + what);
}

// The words of a line up to a '#' that starts one.
std::vector<std::string_view> wordsOf(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t pos = 0;
  for (;;) {
    pos = line.find_first_not_of(" \t\r", pos);
    if (pos == std::string_view::npos || line[pos] == '#') return words;
    const std::size_t end = std::min(line.find_first_of(" \t\r", pos), line.size());
    words.push_back(line.substr(pos, end - pos));
    pos = end;
  }
}

Rebinding rebindingOf(const std::vector<std::string_view>& words, const std::string& name, std::size_t line) {
  const std::optional<Command> action = actionNamed(words[0]);
  if (!action) refuse(name, line, "unknown action '" + shown(words[0]) + "'");
  if (words.size() < 2) refuse(name, line, "'" + actionName(*action) + "' is left with no key");
  Rebinding rebinding{*action, {}, line};
  for (std::size_t i = 1; i < words.size(); ++i) {
    const std::optional<std::vector<int>> codes = keysNamed(words[i]);
    if (!codes) refuse(name, line, "unknown key '" + shown(words[i]) + "'");
    rebinding.keys.insert(rebinding.keys.end(), codes->begin(), codes->end());
  }
  return rebinding;
}

}  // namespace

std::optional<Command> actionNamed(std::string_view name) {
  for (std::size_t i = 0; i < actionNames.size(); ++i) {
    if (name == actionNames[i]) return static_cast<Command>(i);
  }
  return std::nullopt;
}

std::string actionName(Command action) { return actionNames[static_cast<std::size_t>(action)]; }

std::vector<Command> reboundableActions() {
  std::vector<Command> actions;
  for (std::size_t i = 0; i < actionNames.size(); ++i) actions.push_back(static_cast<Command>(i));
  return actions;
}

std::optional<std::vector<int>> keysNamed(std::string_view word) {
  for (const NamedKey& key : namedKeys) {
    if (word == key.word) return key.codes;
  }
  if (word.size() != 1 || word[0] <= ' ' || word[0] > '~') return std::nullopt;
  const int key = static_cast<unsigned char>(word[0]);
  if (!std::isalpha(key)) return std::vector<int>{key};
  return std::vector<int>{std::tolower(key), std::toupper(key)};
}

std::string keyWord(int code) {
  for (const NamedKey& key : namedKeys) {
    if (key.codes.front() == code) return key.word;
  }
  if (code > ' ' && code <= '~') return std::string(1, static_cast<char>(code));
  return "code " + std::to_string(code);
}

std::optional<RebindingProblem> problemWith(const std::vector<Rebinding>& rebound) {
  std::vector<KeyBinding> map = withoutRebound(rebound);
  for (std::size_t i = 0; i < rebound.size(); ++i) {
    const Rebinding& r = rebound[i];
    if (r.keys.empty()) return RebindingProblem{i, quoted(actionName(r.action)) + " is left with no key"};
    for (std::size_t j = 0; j < i; ++j) {
      if (rebound[j].action == r.action)
        return RebindingProblem{i, quoted(actionName(r.action)) + " is given twice"};
    }
    for (int key : r.keys) {
      if (const std::optional<Command> holder = holderOf(map, key)) {
        std::string what = "key ";
        what += quoted(keyWord(key)) + " is bound twice: also to " + holderName(*holder);
        if (*holder != r.action && *holder != Command::DeclineAnother && !named(rebound, *holder))
          what += ", which keeps the game's keys unless the file names it too";
        return RebindingProblem{i, what};
      }
      map.push_back({key, r.action});
    }
  }
  return std::nullopt;
}

std::vector<KeyBinding> keyMapWith(const std::vector<Rebinding>& rebound) {
  std::vector<KeyBinding> map = withoutRebound(rebound);
  for (const Rebinding& r : rebound) {
    for (int key : r.keys) map.push_back({key, r.action});
  }
  return map;
}

std::vector<Rebinding> parseKeysFile(std::string_view text, const std::string& name) {
  std::vector<Rebinding> rebound;
  std::size_t line = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t end = std::min(text.find('\n', pos), text.size());
    ++line;
    const std::vector<std::string_view> words = wordsOf(text.substr(pos, end - pos));
    pos = end + 1;
    if (!words.empty()) rebound.push_back(rebindingOf(words, name, line));
  }
  if (const std::optional<RebindingProblem> problem = problemWith(rebound))
    refuse(name, rebound[problem->index].line, problem->what);
  return rebound;
}
