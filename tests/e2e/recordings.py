"""Recordings in a real terminal: a run cut off by kill -9 or a hang-up four times and continued
with --resume under another clock shows the uninterrupted game's screens, cell for cell, and leaves
its score table and recording. Other recording checks are reviewed cases (cases.py)."""

import os
import signal
import unittest

from term import FIRST_GAME, SEED, Game, GameTest, run

# After the first game (term.FIRST_GAME), the second flies down until it dies. The cuts fall with a
# power chosen (after "q"), mid-level, on the end box, and after a death and "play again".
KEYS = FIRST_GAME + ["y"] + ["j"] * 10 + ["n"]
CUTS = [(9, signal.SIGKILL), (20, signal.SIGHUP), (35, signal.SIGKILL), (38, signal.SIGHUP)]
OTHER_CLOCK = {"FAKETIME": "@2031-07-04 08:00:00"}


def look(game):
    """Every cell of the game's 24 rows: character, colours, bold and reverse."""
    return [[(c.data, c.fg, c.bg, c.bold, c.reverse) for c in (game.cell(x, y) for x in range(80))] for y in range(24)]


def read(path, mode="r"):
    with open(path, mode) as f:
        return f.read()


class Recordings(GameTest):
    @classmethod
    def setUpClass(cls):
        """The uninterrupted game: its screen at every key wait, its table and its recording."""
        g = Game("--seed", SEED)
        try:
            cls.screens = [look(g.first_screen())]
            for key in KEYS[:-1]:
                cls.screens.append(look(g.press(key)))
            g.send(KEYS[-1])
            assert g.wait_for_exit() == 0
            cls.table = read(g.home + "/.gridfall/highscore", "rb")
            cls.recording = read(g.home + "/.gridfall/last-game.rec")
        finally:
            g.close()

    def assertScreen(self, game, wait):
        self.assertEqual(look(game), self.screens[wait], "screen %d differs:\n%s" % (wait, game.dump()))

    def play_on(self, game, start, stop):
        for wait in range(start, stop):
            game.press(KEYS[wait])
            self.assertScreen(game, wait + 1)

    def journal(self, home):
        names = os.listdir(home + "/.gridfall/journal")
        self.assertEqual(len(names), 1, names)
        return home + "/.gridfall/journal/" + names[0]

    def test_cut_off_four_times_and_resumed_under_another_clock_plays_the_same_game(self):
        home = self.home()
        game = self.game("--seed", SEED, home=home)
        game.first_screen()
        done = 0
        for cut, how in CUTS:
            self.play_on(game, done, cut)
            game.signal(how)
            self.assertEqual(game.wait_for_exit(), 128 + how)
            if cut == CUTS[0][0]:
                # A cut-off journal replays to where the run stood; nothing is written.
                viewer = self.game("--replay", self.journal(home), home=home, env=OTHER_CLOCK)
                viewer.send("e")
                viewer.wait_for_key(until=lambda v: look(v) == self.screens[cut])
                viewer.send("q")
                self.assertEqual(viewer.wait_for_exit(), 0)
            game = self.game("--resume", home=home, env=OTHER_CLOCK)
            self.assertScreen(game.first_screen(), cut)
            done = cut
        self.play_on(game, done, len(KEYS) - 1)
        game.send(KEYS[-1])
        self.assertEqual(game.wait_for_exit(), 0)
        self.assertEqual(read(home + "/.gridfall/highscore", "rb"), self.table, "one save per game end")
        self.assertEqual(read(home + "/.gridfall/last-game.rec"), self.recording)
        self.assertEqual(os.listdir(home + "/.gridfall/journal"), [])
        self.assertIn("nothing to resume", run("--resume", home=home).stderr)


if __name__ == "__main__":
    unittest.main()
