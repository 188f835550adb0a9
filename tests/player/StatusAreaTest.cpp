// The status rows below the arena: power and score, the menu of affordable powers, and the marker
// that shows which power waits for a direction.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Harness.h"
#include "player/Player.h"

namespace {

struct Entry {
  std::string text;
  int x;
  int y;
  int colour;
  WeightName weight;
  int cost;
};

const Entry entries[] = {
    {"(T)eleport", 15, 22, Cyan, Light, 7},      {"(F)ire laser", 30, 22, Yellow, Heavy, 10},
    {"(W)ide laser", 45, 22, Yellow, Heavy, 20}, {"(Q)uad laser", 60, 22, Yellow, Heavy, 25},
    {"(S)hockwave", 15, 23, Blue, Heavy, 12},    {"(D)isruptor", 30, 23, Red, Heavy, 100},
    {"(P)hase-out", 45, 23, Cyan, Heavy, 3},     {"(B)link", 60, 23, White, Heavy, 1},
};

// Marker cells in their numbering: row 22 then row 23, left to right.
const int markerColumns[] = {14, 29, 44, 59};

class StatusArea : public ScreenTest {
 protected:
  // Plays a turn until the ship waits for a key that the script does not have.
  void playUntilKeysRunOut(World& w, const std::string& keys = "", int score = 0) {
    term.pushKeys(keys);
    EXPECT_THROW(getCommand(w, score), ScriptExhausted);
  }

  // Snapshots of the screen at every key wait.
  void recordKeyWaits() {
    term.onKeyWait([this](const MemoryTerminal& t) { waits.push_back(t.grid()); });
  }

  // The eight marker cells of a snapshot as a string, checking that each is a plain blank or a
  // bold white star.
  static std::string markers(const MemoryTerminal::Grid& g) {
    std::string out;
    for (int y : {22, 23}) {
      for (int x : markerColumns) {
        const ScreenCell& c = g[y][x];
        const ScreenCell expected = c.ch == '*' ? expectedCell('*', White, Heavy) : ScreenCell{};
        EXPECT_EQ(c, expected) << "marker cell at " << x << "," << y;
        out += c.ch;
      }
    }
    return out;
  }

  std::vector<MemoryTerminal::Grid> waits;
};

TEST_F(StatusArea, MenuShowsExactlyTheAffordablePowersOverBlankedRows) {
  for (int power : {0, 7, 10, 25, 100}) {
    SCOPED_TRACE("power " + std::to_string(power));
    term.clear();
    printAt(0, 22, std::string(80, 'Z'));  // leftovers the status area must wipe
    printAt(0, 23, std::string(80, 'Z'));
    World w = emptyWorld(10, 10, power);
    playUntilKeysRunOut(w, "", 4321);

    const std::string powerText = "Power: " + std::to_string(power) + "  ";
    EXPECT_EQ(term.text(0, 22, static_cast<int>(powerText.size())), powerText);
    EXPECT_EQ(term.cell(0, 22), expectedCell('P', Cyan, Heavy));
    EXPECT_EQ(term.cell(static_cast<int>(powerText.size()) - 1, 22), expectedCell(' ', Cyan, Heavy));
    EXPECT_EQ(term.text(0, 23, 11), "Score: 4321");
    EXPECT_EQ(term.cell(10, 23), expectedCell('1', Green, Heavy));

    for (int row : {22, 23}) {
      std::string expected(60, ' ');
      std::string covered(60, '-');
      for (const Entry& e : entries) {
        if (e.y != row || power < e.cost) continue;
        expected.replace(e.x - 15, e.text.size(), e.text);
        covered.replace(e.x - 15, e.text.size(), e.text.size(), '+');
      }
      EXPECT_EQ(term.text(15, row, 60), expected) << "row " << row;
      for (int x = 15; x < 75; ++x) {
        if (covered[x - 15] == '-') {
          EXPECT_EQ(term.cell(x, row), ScreenCell{}) << x << "," << row;
        }
      }
    }
    for (const Entry& e : entries) {
      if (power < e.cost) continue;
      for (int i = 0; i < static_cast<int>(e.text.size()); ++i) {
        EXPECT_EQ(term.cell(e.x + i, e.y), expectedCell(e.text[i], e.colour, e.weight)) << e.text;
      }
    }
  }
}

TEST_F(StatusArea, NegativePowerIsShownAndKeptAsZero) {
  World w = emptyWorld(10, 10, -5);
  term.pushKeys("l");
  EXPECT_TRUE(getCommand(w, 0));
  EXPECT_EQ(w.player.power, 0);
  EXPECT_EQ(term.text(0, 22, 10), "Power: 0  ");
}

TEST_F(StatusArea, IsOnTheTerminalBeforeTheFirstKeyIsRead) {
  int refreshesAtFirstWait = -1;
  term.onKeyWait([&](const MemoryTerminal& t) {
    if (refreshesAtFirstWait < 0) refreshesAtFirstWait = t.refreshes();
  });
  World w = emptyWorld(10, 10, 0);
  term.pushKeys("l");
  getCommand(w, 0);
  EXPECT_EQ(refreshesAtFirstWait, 1);
}

TEST_F(StatusArea, MarkerFollowsTheSelectionAndAnUnknownKeyClearsIt) {
  recordKeyWaits();
  World w = emptyWorld(10, 10, 10);
  term.pushKeys("fxl");
  EXPECT_TRUE(getCommand(w, 0));
  ASSERT_EQ(waits.size(), 3u);
  EXPECT_EQ(markers(waits[0]), "        ");
  EXPECT_EQ(markers(waits[1]), " *      ");
  EXPECT_EQ(markers(waits[2]), "        ");
  EXPECT_TRUE(w.specials.empty()) << "the direction after a cleared selection is a plain move";
  EXPECT_EQ(w.player.power, 10);
}

TEST_F(StatusArea, ALaterPowerLetterReplacesTheSelection) {
  recordKeyWaits();
  World w = emptyWorld(10, 10, 37);
  term.pushKeys("qsl");
  EXPECT_TRUE(getCommand(w, 0));
  ASSERT_EQ(waits.size(), 3u);
  EXPECT_EQ(markers(waits[1]), "   *    ");
  EXPECT_EQ(markers(waits[2]), "    *   ");
  ASSERT_EQ(w.specials.size(), 1u);
  EXPECT_EQ(w.specials[0].kind, Shockwave);
  EXPECT_EQ(w.player.power, 25);
}

TEST_F(StatusArea, UnaffordablePowerLetterLeavesTheMarkerBlank) {
  recordKeyWaits();
  World w = emptyWorld(10, 10, 9);
  term.pushKeys("fl");
  EXPECT_TRUE(getCommand(w, 0));
  ASSERT_EQ(waits.size(), 2u);
  EXPECT_EQ(markers(waits[1]), "        ");
  EXPECT_EQ(term.text(30, 22, 12), std::string(12, ' '));
  EXPECT_TRUE(w.specials.empty());
  EXPECT_EQ(w.player.power, 9);
}

TEST_F(StatusArea, EveryPowerMarksItsOwnCell) {
  const std::string letters = "fwqsdpb";
  for (int i = 0; i < static_cast<int>(letters.size()); ++i) {
    waits.clear();
    recordKeyWaits();
    World w = emptyWorld(10, 10, 100);
    playUntilKeysRunOut(w, std::string(1, letters[i]));
    ASSERT_EQ(waits.size(), 2u);
    std::string expected(8, ' ');
    expected[i + 1] = '*';
    EXPECT_EQ(markers(waits[1]), expected) << letters[i];
  }
}

}  // namespace
