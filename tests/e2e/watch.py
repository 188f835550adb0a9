"""Watching a game as it is played, in real terminals: watchers started with --watch show, after
every key of the player's, the player's 80x24 screen cell for cell, through a kill -9 and --resume,
a game end and another game, to the run's end; and the watched run leaves the same recording and
table as an unwatched one. Refusals and the watch's states are reviewed cases (cases/watch-*)."""

import os
import signal

from term import FIRST_GAME, SEED, Game, GameTest
from recordings import look, read

# The first game ends in a death; "y" starts another, which flies down until it dies too.
KEYS = FIRST_GAME + ["y"] + ["j"] * 10 + ["n"]
CUT = 20  # the player is killed before this key and resumed
LATE = 30  # a second watcher starts here, given the journal's name


class Watch(GameTest):
    def assertSameScreen(self, watcher, player):
        want = look(player)
        try:
            watcher.wait_until(lambda w: look(w) == want, "the player's screen")
        except AssertionError:
            self.fail("the watcher shows:\n%s\nthe player:\n%s" % (watcher.dump(), player.dump()))

    def test_watchers_show_every_screen_of_a_resumed_run_that_ends_as_an_unwatched_one(self):
        alone = Game("--seed", SEED)
        try:
            alone.first_screen()
            for key in KEYS[:-1]:
                alone.press(key)
            alone.send(KEYS[-1])
            self.assertEqual(alone.wait_for_exit(), 0)
            unwatched = [read(alone.home + "/.gridfall/" + name, "rb") for name in ("last-game.rec", "highscore")]
        finally:
            alone.close()

        home = self.home()
        player = self.game("--seed", SEED, home=home)
        player.first_screen()
        first = self.game("--watch", home=home, rows=25)
        watchers = [first]
        first.wait_until(lambda w: w.contains_match(r"^watching \d{8}-\d{6}-\d+\.rec: key 0, playing"), "status")
        self.assertSameScreen(first, player)
        for number, key in enumerate(KEYS[:-1]):
            if number == CUT:
                player.signal(signal.SIGKILL)
                self.assertEqual(player.wait_for_exit(), 128 + signal.SIGKILL)
                first.wait_until(lambda w: w.contains("cut off; --resume continues it"), "the cut")
                player = self.game("--resume", home=home)
                player.first_screen()
            if number == LATE:
                journal = os.listdir(home + "/.gridfall/journal")[0]
                watchers.append(self.game("--watch", home + "/.gridfall/journal/" + journal, home=home))
            player.press(key)
            for watcher in watchers:
                self.assertSameScreen(watcher, player)
        player.send(KEYS[-1])
        self.assertEqual(player.wait_for_exit(), 0)
        first.wait_until(lambda w: w.contains_match(r"key %d, the run has ended" % len(KEYS)), "the end")
        for watcher in watchers:
            watcher.send("q")
            self.assertEqual(watcher.wait_for_exit(), 0)
            self.assertRestored(watcher)
        watched = [read(home + "/.gridfall/" + name, "rb") for name in ("last-game.rec", "highscore")]
        self.assertEqual(watched, unwatched)
