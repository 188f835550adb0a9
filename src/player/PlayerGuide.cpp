// The guide beside the game: the keys, every power with its key and cost (marked while the ship can
// afford it), and the three rules a newcomer cannot guess from the screen.
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "player/KeyMap.h"

namespace {

GuideLine powerLine(PowerId id, int power) {
  const bool canAfford = affordable(power, id);
  char text[32];
  std::snprintf(text, sizeof text, "%c %c %-14s%4d", canAfford ? '>' : ' ', shownKey(commandOf(id)),
                menu[id].shortName, menu[id].cost);
  return {text, canAfford ? colourAttributes(menu[id].colour, Heavy) : colourAttributes(White, Light)};
}

std::vector<GuideLine> sideGuide(int power) {
  std::vector<GuideLine> lines{{"Keys", colourAttributes(White, Heavy)},
                               {"move: " + moveKeysLike(std::isalpha) + " or arrows"},
                               {"power: its key, then a"},
                               {std::string("direction (") + shownKey(Command::Teleport) + " needs none)"},
                               {""},
                               {"Powers: key, name, cost", colourAttributes(White, Heavy)}};
  for (int id = 0; id < powerCount; ++id) lines.push_back(powerLine(static_cast<PowerId>(id), power));
  const std::string disruptorRule =
      std::string("the disruptor (") + shownKey(Command::Disruptor) + ") breaks";
  for (const char* rule : {"> affordable now", "", "Creatures die when they", "run into trails or walls.",
                           "Power-ups (!) appear once", "the score is above 5.", "Leave a level by the hole",
                           disruptorRule.c_str(), "in the outer wall; on 5", "and 10, beat the boss."})
    lines.push_back({rule});
  return lines;
}

// What the guide shows changes only with what the ship can afford.
int affordableSet(int power) {
  int set = 0;
  for (int id = 0; id < powerCount; ++id) set |= affordable(power, static_cast<PowerId>(id)) ? 1 << id : 0;
  return set;
}

}  // namespace

void guidePowers(int power) {
  static int shown = -1;
  const int set = affordableSet(power);
  if (set == shown) return;
  shown = set;
  guideBeside(sideGuide(power));
}
