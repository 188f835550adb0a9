// The guide beside the game: the keys, every power with its key and cost (marked while the ship can
// afford it), and the three rules a newcomer cannot guess from the screen.
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "player/Powers.h"

namespace {

// Indexed by PowerId; the key is the one the menu entry shows in brackets.
const char* const guideNames[powerCount] = {"teleport",  "laser",     "wide laser", "quad laser",
                                            "shockwave", "disruptor", "phase-out",  "blink"};

char keyOf(PowerId id) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(menu[id].text[1])));
}

GuideLine powerLine(PowerId id, int power) {
  const bool canAfford = affordable(power, id);
  char text[32];
  std::snprintf(text, sizeof text, "%c %c %-14s%4d", canAfford ? '>' : ' ', keyOf(id), guideNames[id],
                menu[id].cost);
  return {text, canAfford ? colourAttributes(menu[id].colour, Heavy) : colourAttributes(White, Light)};
}

std::vector<GuideLine> sideGuide(int power) {
  std::vector<GuideLine> lines{{"Keys", colourAttributes(White, Heavy)},
                               {"move: h j k l or arrows"},
                               {"power: its key, then a"},
                               {"direction (t needs none)"},
                               {""},
                               {"Powers: key, name, cost", colourAttributes(White, Heavy)}};
  for (int id = 0; id < powerCount; ++id) lines.push_back(powerLine(static_cast<PowerId>(id), power));
  for (const char* rule : {"> affordable now", "", "Creatures die when they", "run into trails or walls.",
                           "Power-ups (!) appear once", "the score is above 5.", "Leave a level by the hole",
                           "the disruptor (d) breaks", "in the outer wall; on 5", "and 10, beat the boss."})
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
