// Test harness: an in-memory terminal installed as the game's screen, and a fixed dice seed.
#pragma once

#include <gtest/gtest.h>

#include "screen/MemoryTerminal.h"
#include "screen/Screen.h"
#include "support/Lfrand.h"
#include "world/WorldData.h"

class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    useTerminal(term);
    lfSrand(1);
  }
  void TearDown() override { useTerminal(detached); }

  MemoryTerminal term;

 private:
  MemoryTerminal detached;  // keeps stray drawing after a test away from a dead terminal
};

// A world for hand-built scenarios: border of outer wall, floor inside, no creatures, no specials,
// the player at (x, y) with the given power.
World emptyWorld(int playerX = 10, int playerY = 10, int power = 0);

// Replaces a rectangle of the map with one terrain (bounds inclusive).
void fill(World& w, int x1, int y1, int x2, int y2, const Terrain& t);

// The terminal cell expected for a terrain drawn with colours on.
ScreenCell expectedCell(char ch, int colour, WeightName weight);
