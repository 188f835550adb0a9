"""Recordings in a real terminal: runs cut off by kill -9 or a hang-up and continued with --resume
show the uninterrupted game's screens and leave its score table; --replay shows a recording and
writes nothing; unusable recordings and options are refused in one line."""

import os
import re
import signal
import time
import unittest

from term import FIRST_GAME, FROZEN_SEED, SEED, Game, GameTest, run

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

    def test_replay_to_the_end_shows_the_last_screen_and_writes_nothing(self):
        home = self.home()
        os.makedirs(home + "/.gridfall", 0o700)
        with open(home + "/.gridfall/last-game.rec", "w") as f:
            f.write(self.recording)
        with open(home + "/.gridfall/highscore", "wb") as f:
            f.write(self.table[:-1])  # damaged: a replay neither checks, reads nor writes the table
        viewer = self.game("--replay", home=home, rows=30)
        viewer.wait_until(lambda v: re.search(r"key ([2-9]|\d\d) of", v.text(24)), "the replay to go on by itself")
        # Too small a terminal holds the replay with live play's message until it grows.
        at = int(viewer.text(24).split()[2])
        viewer.resize(60, 20)
        viewer.wait_until(lambda v: v.contains("gridfall needs 75x24 characters; the terminal is 60x20"), "a wait")
        time.sleep(1)
        viewer.resize(80, 30)
        viewer.wait_until(lambda v: "keys/s" in v.text(24), "the replay to go on")
        self.assertLessEqual(int(viewer.text(24).split()[2]), at + 2, "the replay went on unseen")
        viewer.send(" ")
        viewer.wait_for_key(until=lambda v: "paused" in v.text(24))
        at = int(viewer.text(24).split()[2])
        viewer.press(".", until=lambda v: v.text(24).split()[2] == str(at + 1))
        self.assertEqual(look(viewer), self.screens[at + 1])
        viewer.press("+", until=lambda v: "16 keys/s, paused" in v.text(24))
        viewer.send("e")
        viewer.wait_for_key(until=lambda v: "the end" in v.text(24))
        self.assertEqual(look(viewer), self.screens[-1])
        viewer.send("q")
        self.assertEqual(viewer.wait_for_exit(), 0)
        self.assertRestored(viewer)
        self.assertEqual(sorted(os.listdir(home + "/.gridfall")), ["highscore", "last-game.rec"])
        self.assertEqual(read(home + "/.gridfall/highscore", "rb"), self.table[:-1])
        early = self.game("--replay", home=home)
        early.send(" ", "q")  # q quits a paused replay before its end
        self.assertEqual(early.wait_for_exit(), 0)

    def test_a_game_end_cut_between_reading_and_saving_the_table_is_saved_once(self):
        first_end = self.recording.index("\nw\n") + 1
        for journal, saved_before in ((self.recording[:first_end], False), (self.recording[:first_end + 2], True)):
            with self.subTest(saved_before=saved_before):
                home = self.home(journal + "k 1")  # and a torn last line
                if saved_before:
                    with open(home + "/.gridfall/highscore", "wb") as f:
                        f.write(self.table)
                game = self.game("--resume", home=home)
                self.assertScreen(game.first_screen(), len(FIRST_GAME))
                self.assertEqual(read(home + "/.gridfall/highscore", "rb"), self.table)
                self.assertTrue(read(home + "/.gridfall/journal/20240301-120000-1.rec").endswith("t 0 0 0 0 0\nw\n"))

    def test_journals_held_skipped_and_kept(self):
        home = self.home(store=True)
        # A journal held by a running game is not taken over.
        running = self.game("--seed", SEED, home=home)
        running.first_screen()
        self.assertRegex(run("--resume", home=home).stderr, "held by a running gridfall")
        running.close()
        # A journal whose keys run on where the game reads its table is skipped and named; with no
        # other, the refusal says which file to move away.
        for name in os.listdir(home + "/.gridfall/journal"):
            os.remove(os.path.join(home + "/.gridfall/journal", name))
        journal = home + "/.gridfall/journal/20240301-120000-2.rec"
        with open(journal, "w") as f:
            f.write(self.recording.replace("t 0 0 0 0 0\nw\n", "", 1))
        for option in ("--cast", "--verify"):
            self.assertEqual(run(option, journal, home=home).stderr, "gridfall: " + journal + ": line 38: the game "
                             "reads the score table here; the recorded run does not fit this version of the game\n")
        refused = run("--resume", home=home)
        self.assertEqual(refused.returncode, 1)
        self.assertRegex(refused.stderr, "^gridfall: skipped " + journal + ": line \\d+: the game reads the score "
                         "table here; the recorded run does not fit this version of the game\ngridfall: nothing to "
                         "resume: .* move " + journal + " away\n$")
        # A new run keeps only the ten newest cut-off journals.
        for n in range(10):
            with open("%s/.gridfall/journal/20240301-1200%02d-1.rec" % (home, n), "w") as f:
                f.write(self.recording)
            os.utime(f.name, (n, n))
        self.game("--seed", SEED, home=home).first_screen()
        self.assertEqual(len(os.listdir(home + "/.gridfall/journal")), 11)

    def test_a_seed_plays_the_game_of_that_second_under_any_clock(self):
        seeded = self.game("--seed", str(FROZEN_SEED), env=OTHER_CLOCK)
        clocked = self.game()
        self.assertEqual(look(seeded.first_screen()), look(clocked.first_screen()))
        # --daily: the seed of the UTC date, recorded as any seed is. The frozen clock is read in local time:
        # 12:00 on 1 March at UTC+14 is 22:00 on 29 February in UTC.
        daily = self.game("--daily", env={"TZ": "Pacific/Kiritimati"})
        self.assertEqual(look(daily.first_screen()), look(self.game("--seed", "20240229").first_screen()))
        self.assertEqual(read(self.journal(daily.home)).split("\n")[1], "seed 20240229")


if __name__ == "__main__":
    unittest.main()
