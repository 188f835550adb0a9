"""The guide a terminal larger than 80x24 shows around the game (the level, the best score, what
destroyed the ship, the powers and the rules), while the game's own 80x24 screen stays cell for
cell what an 80x24 terminal shows, through resizes between the two sizes.

By hand, from this folder: GRIDFALL=../../build/gridfall /usr/bin/python3 -m unittest -v guide
"""

import unittest

import term
from realterm import render
from term import GameTest


def same_game(small):
    return lambda large: render(large.screen) == render(small.screen)


class Guide(GameTest):
    def test_the_guide_surrounds_the_screen_an_80x24_terminal_shows(self):
        small = self.game("--seed", term.SEED).first_screen()
        large = self.game("--seed", term.SEED, columns=110, rows=30).first_screen()
        self.assertEqual(render(large.screen), render(small.screen))
        self.assertRegex(large.text(24), r"^Level 1    Best score 0    Ctrl-C leaves; gridfall --resume continues *$")
        self.assertRegex(large.text(5)[80:], r"^ Powers: key, name, cost *$")
        self.assertEqual([large.text(y)[81:].rstrip() for y in (12, 13, 6)],
                         ["> p phase-out        3", "> b blink            1", "  t teleport         7"])
        self.assertRegex(large.text(23)[81:], r"^and 10, beat the boss\. *$")
        for n, key in enumerate(term.FIRST_GAME):
            if n == 10:
                large.resize(80, 24)
                large.wait_for_key(until=same_game(small), what="the game on 80x24")
            if n == 20:
                large.resize(110, 30)
                large.wait_for_key(until=lambda g: g.text(24).startswith("Level 1"), what="the guide back")
            small.press(key)
            large.press(key)
            self.assertEqual(render(large.screen), render(small.screen), "after key %d:\n%s" % (n + 1, large.dump()))
        self.assertRegex(large.text(25), r"^The ship was destroyed by .+\.", large.dump())
        self.assertRegex(large.text(24), r"^Level 1    Best score 1 ")


if __name__ == "__main__":
    unittest.main()
