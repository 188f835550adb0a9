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
  int x, y, colour;
  WeightName weight;
  int cost;
};

const Entry entries[] = {
    {"(T)eleport", 15, 22, Cyan, Light, 7},      {"(F)ire laser", 30, 22, Yellow, Heavy, 10},
    {"(W)ide laser", 45, 22, Yellow, Heavy, 20}, {"(Q)uad laser", 60, 22, Yellow, Heavy, 25},
    {"(S)hockwave", 15, 23, Blue, Heavy, 12},    {"(D)isruptor", 30, 23, Red, Heavy, 100},
    {"(P)hase-out", 45, 23, Cyan, Heavy, 3},     {"(B)link", 60, 23, White, Heavy, 1}};

class StatusArea : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    term.onKeyWait([this](const MemoryTerminal& t) { waits.push_back(t.grid()); });
  }

  // The eight marker cells (row 22 then row 23, left to right) of a snapshot as a string, checking
  // that each is a plain blank or a bold white star.
  static std::string markers(const MemoryTerminal::Grid& g) {
    std::string out;
    for (int y : {22, 23}) {
      for (int x : {14, 29, 44, 59}) {
        const ScreenCell& c = g[y][x];
        EXPECT_EQ(c, c.ch == '*' ? expectedCell('*', White, Heavy) : ScreenCell{}) << x << "," << y;
        out += c.ch;
      }
    }
    return out;
  }

  std::vector<MemoryTerminal::Grid> waits;  // the screen at every key wait
};

TEST_F(StatusArea, MenuShowsExactlyTheAffordablePowersOverBlankedRows) {
  for (int power : {0, 7, 10, 25, 100}) {
    SCOPED_TRACE("power " + std::to_string(power));
    term.clear();
    for (int row : {22, 23}) printAt(0, row, std::string(80, 'Z'));  // leftovers the status area must wipe
    World w = emptyWorld(10, 10, power);
    const int refreshes = term.refreshes();
    EXPECT_THROW(getCommand(w, 4321), ScriptExhausted);
    EXPECT_EQ(term.refreshes(), refreshes + 1) << "on the terminal before the first key is read";

    const std::string powerText = "Power: " + std::to_string(power) + "  ";
    EXPECT_EQ(term.text(0, 22, static_cast<int>(powerText.size())), powerText);
    EXPECT_EQ(term.cell(0, 22), expectedCell('P', Cyan, Heavy));
    EXPECT_EQ(term.cell(static_cast<int>(powerText.size()) - 1, 22), expectedCell(' ', Cyan, Heavy));
    EXPECT_EQ(term.text(0, 23, 11), "Score: 4321");
    EXPECT_EQ(term.cell(10, 23), expectedCell('1', Green, Heavy));
    // Every cell from column 15 to 74 is either part of an affordable entry or a plain blank.
    for (int y : {22, 23}) {
      for (int x = 15; x < 75; ++x) {
        ScreenCell want;
        for (const Entry& e : entries) {
          if (e.y == y && power >= e.cost && x >= e.x && x < e.x + static_cast<int>(e.text.size()))
            want = expectedCell(e.text[x - e.x], e.colour, e.weight);
        }
        EXPECT_EQ(term.cell(x, y), want) << x << "," << y;
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

TEST_F(StatusArea, MarkerFollowsTheSelection) {
  struct Case {
    int power;
    std::string keys;
    std::vector<std::string> marks;  // at each key wait
    std::vector<SpecType> fired;
    int powerLeft;
  };
  std::vector<Case> cases = {
      {10, "fxl", {"        ", " *      ", "        "}, {}, 10},           // an unknown key clears it
      {37, "qsl", {"        ", "   *    ", "    *   "}, {Shockwave}, 25},  // a later letter replaces it
      {9, "fl", {"        ", "        "}, {}, 9}};                         // unaffordable: no marker
  for (int i = 1; i <= 7; ++i) {                                           // every power marks its own cell
    std::string marks(8, ' ');
    marks[i] = '*';
    cases.push_back({100, std::string(1, "tfwqsdpb"[i]), {std::string(8, ' '), marks}, {}, 100});
  }
  for (const Case& k : cases) {
    SCOPED_TRACE(k.keys);
    waits.clear();
    World w = emptyWorld(10, 10, k.power);
    term.pushKeys(k.keys);
    bool alive = false;
    try {
      alive = getCommand(w, 0);
    } catch (const ScriptExhausted&) {
    }
    EXPECT_EQ(alive, k.keys.size() > 1) << "the turn ends with the direction";
    std::vector<std::string> marks;
    for (const auto& grid : waits) marks.push_back(markers(grid));
    EXPECT_EQ(marks, k.marks);
    std::vector<SpecType> fired;
    for (const Special& s : w.specials) fired.push_back(s.kind);
    EXPECT_EQ(fired, k.fired);
    EXPECT_EQ(w.player.power, k.powerLeft);
  }
}

}  // namespace
