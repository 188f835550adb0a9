"""A game's end killed at every file-touching system call (strace injects SIGKILL there), then
resumed: the score is in the table exactly once and no half-made file is left. The same for the
start of a run, and for a journal cut short by a 1 KiB file-size limit."""

import os
import re
import shutil
import unittest

from term import FIRST_GAME, GRIDFALL, SEED, GameTest, journal_of, run

STRACE = shutil.which("strace")
FILE_CALLS = {"openat", "flock", "fsync", "rename", "renameat2", "unlink", "ftruncate", "mkdir", "chmod", "write",
              "close", "read", "fstat", "newfstatat", "getdents64", "lseek", "pread64"}
CALL = re.compile(r"^(?:\d+ +)?(\w+)\((.*)\) += (-?\d+)")
CUT_OFF = journal_of(FIRST_GAME[:-1])  # the first game, cut off before its last key
END_KEYS = [(FIRST_GAME[-1], lambda g: "Score" in g.lines()[23]), ("n", lambda g: g.contains("Play again?"))]


def leftovers(home):
    return [n for _, _, names in os.walk(home + "/.gridfall") for n in names if n.endswith(".new") or ".tmp" in n]


def file_calls(log, home):
    """(name, ordinal among calls of that name) of each call that touches a file under home."""
    counts, fds, calls = {}, {}, []
    for line in log.splitlines():
        match = CALL.match(line)
        if not match:
            continue
        name, args, result = match.group(1), match.group(2), int(match.group(3))
        counts[name] = counts.get(name, 0) + 1
        first = args.split(",")[0].strip()
        on_fd = first.isdigit() and fds.get(int(first))
        if name == "openat" and home in args and result >= 0:
            fds[result] = args
        elif name == "close" and on_fd:
            del fds[int(first)]
        if name in FILE_CALLS and (home in args or on_fd):
            calls.append((name, counts[name], args))
    return calls


@unittest.skipIf(STRACE is None, "strace is not installed, so no system call can be made to fail")
class Crashes(GameTest):
    def game(self, *args, **options):
        # The real clock: the frozen one's library looks at its settings file now and then, which
        # would shift the count of system calls that strace numbers. Seeds come from --seed or the
        # journal, so nothing here depends on the clock.
        return super().game(*args, env={"LD_PRELOAD": None, "FAKETIME": None}, **options)

    def setUp(self):
        home = self.home(CUT_OFF)
        self.assertEqual(self.end_the_game(self.game("--resume", home=home), END_KEYS), 0)
        with open(home + "/.gridfall/highscore", "rb") as f:
            self.expected = f.read()

    def traced(self, home, *args, kill=None):
        """The game under strace: with kill (a call's name and ordinal), killed there; else logged to home/trace."""
        options = ["-o", "/dev/null", "-e", "inject=%s:signal=KILL:when=%d" % kill] if kill else ["-o", home + "/trace"]
        return self.game("-f", "-qq", *options, "--", GRIDFALL, *args, home=home, program=STRACE)

    def file_calls(self, home):
        with open(home + "/trace") as f:
            return file_calls(f.read(), home + "/.gridfall")

    def end_the_game(self, game, keys):
        """Sends the keys that end the first game and decline another, each once the game shows it
        is waiting; returns the exit status (137 when a kill came first)."""
        for key, waiting in keys:
            game.wait_until(lambda g: not g.child.isalive() or (waiting(g) and g.blocked_in_key_read()
                                                                 and not g.pending_input()), "an end screen")
            if game.child.isalive():
                game.send(key)
        return game.wait_for_exit()

    def check_once(self, home, what):
        with open(home + "/.gridfall/highscore", "rb") as f:
            self.assertEqual(f.read(), self.expected, what)
        self.assertEqual(leftovers(home), [], what)

    def test_a_kill_at_any_call_of_a_games_end_keeps_the_score_once(self):
        home = self.home(CUT_OFF)
        self.end_the_game(self.traced(home, "--resume"), END_KEYS)
        calls = self.file_calls(home)
        lock = next(i for i, call in enumerate(calls) if call[0] == "openat" and "highscore.lock" in call[2])
        self.assertGreaterEqual(len(calls) - lock, 20, "the end's calls were found")
        for name, ordinal, args in calls[lock:]:
            with self.subTest(call="%s #%d %s" % (name, ordinal, args[:60])):
                home = self.home(CUT_OFF)
                self.assertEqual(self.end_the_game(self.traced(home, "--resume", kill=(name, ordinal)), END_KEYS), 137)
                resumed = self.game("--resume", home=home)
                resumed.wait_until(lambda g: not g.child.isalive() or g.contains("Play again?"), "the resumed end")
                if resumed.child.isalive():
                    self.assertEqual(self.end_the_game(resumed, END_KEYS[1:]), 0)
                self.check_once(home, "killed at %s #%d" % (name, ordinal))

    def test_a_kill_at_any_call_of_a_runs_start_leaves_no_half_made_file(self):
        home = self.home(store=True)
        self.traced(home, "--seed", SEED).wait_until(lambda g: "Score" in g.lines()[23], "the first screen").close()
        calls = self.file_calls(home)
        self.assertGreaterEqual(len(calls), 10, "the start's calls were found")
        for name, ordinal, args in calls:
            with self.subTest(call="%s #%d %s" % (name, ordinal, args[:60])):
                home = self.home(store=True)
                self.assertEqual(self.traced(home, "--seed", SEED, kill=(name, ordinal)).wait_for_exit(), 137)
                with open(home + "/.gridfall/journal/20240301-120000-1.rec", "w") as f:
                    f.write(CUT_OFF)
                self.assertEqual(self.end_the_game(self.game("--resume", home=home), END_KEYS), 0)
                self.check_once(home, "killed at %s #%d" % (name, ordinal))

    def test_a_journal_cut_by_a_1_kib_file_size_limit_keeps_the_score_once(self):
        # Ignored keys (x) move the limit across the game's end: past the last key, at its table
        # line, at the save's line, at the key that declines another game, and beyond.
        for ignored in range(127, 133):
            with self.subTest(ignored=ignored):
                home = self.home(journal_of(["x"] * ignored + FIRST_GAME[:-1]))
                # dash counts the limit in 512-byte blocks
                game = self.game("-c", 'ulimit -f 2; exec "$0" --resume', GRIDFALL, home=home, program="/bin/sh")
                self.end_the_game(game, END_KEYS)
                self.assertIn("nothing to resume", run("--resume", home=home).stderr)
                self.check_once(home, "%d ignored keys" % ignored)
