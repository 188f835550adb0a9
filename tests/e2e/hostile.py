"""Hostile surroundings: signals, a terminal that lies about its size or is not one, flow control,
held keys, NO_COLOR, and score files that are missing, damaged, huge, linked or cannot be saved."""

import os
import re
import shutil
import signal
import tempfile
import termios

import term
from term import GameTest

FATAL = ["HUP", "INT", "QUIT", "ILL", "TRAP", "ABRT", "BUS", "FPE", "USR1", "SEGV", "USR2", "PIPE", "ALRM", "TERM",
         "XCPU", "XFSZ", "VTALRM", "PROF", "SYS"]
TABLE = "[-110780952][-9133037511685953882]A[[0][9]I[2400]I[1200]I[350]I[0]I[0]]"
SGR = re.compile(rb"\x1b\[([0-9;]*)m")


def coloured(output):
    """Whether any attribute sequence sets a colour or bold."""
    return any(p == b"1" or p[:1] in (b"3", b"4") for m in SGR.finditer(output) for p in m.group(1).split(b";"))


def flow_control(game):
    return bool(termios.tcgetattr(game.child.child_fd)[0] & termios.IXON)


def burst(game, keys):
    """Types keys all at once, as a held key does, and waits until the game waits again."""
    before = game.bytes_read()
    game.send(keys)
    return game.wait_for_key(read_since=before)


def to_end_screen(game):
    for _ in range(40):
        if game.press("k").contains("Play again? (Y/n)"):
            return game
    raise AssertionError("no end screen:\n" + game.dump())


class Hostile(GameTest):
    def game(self, *args, env=None, **options):
        # A sanitizer build: libfaketime is preloaded before the address sanitizer, and a leak inside
        # ncurses is not the game's.
        here = os.path.dirname(os.path.abspath(__file__))
        sanitizer = {"ASAN_OPTIONS": "verify_asan_link_order=0",
                     "LSAN_OPTIONS": "print_suppressions=0:suppressions=" + os.path.join(here, "lsan.supp")}
        return super().game(*args, env=dict(sanitizer, **(env or {})), **options)

    def shell(self, script, **options):
        """The game started by `sh -c script` ("$0" is the game), e.g. with a limit or a redirection."""
        saved, term.GRIDFALL = term.GRIDFALL, "/bin/sh"
        try:
            return self.game("-c", script, saved, **options)
        finally:
            term.GRIDFALL = saved

    def home(self, link=None, table=None):
        """A fresh home folder: .gridfall a link to `link`, or a folder (holding `table`, if given)."""
        home = tempfile.mkdtemp(prefix="gridfall-e2e-")
        self.addCleanup(shutil.rmtree, home, True)
        folder = os.path.join(home, ".gridfall")
        os.symlink(link, folder) if link else os.mkdir(folder, 0o700)
        if table is not None:
            with open(os.path.join(folder, "highscore"), "w") as f:
                f.write(table)
        return home

    def test_every_fatal_signal_restores_the_terminal_and_ends_the_game_by_that_signal(self):
        for name in FATAL:
            with self.subTest(signal=name):
                game = self.game()
                self.assertTrue(flow_control(game.first_screen()) is False, "Ctrl-S is a key while playing")
                game.signal(getattr(signal, "SIG" + name))
                self.assertEqual(game.wait_for_exit(), 128 + getattr(signal, "SIG" + name))
                self.assertRestored(game)
                self.assertTrue(flow_control(game), "flow control is back")

    def test_refused_before_the_terminal_is_taken(self):
        home = self.home()
        open(os.path.join(home, "file"), "w").close()
        huge = self.home(table="")
        os.truncate(os.path.join(huge, ".gridfall", "highscore"), 1 << 30)
        fifo = self.home()
        os.mkfifo(os.path.join(fifo, ".gridfall", "highscore"))
        cases = [  # (how the game is started, what its one line says)
            (lambda: self.game(home=os.path.join(home, "file")),
             r"directory .*/file/\.gridfall/: Not a directory; part of the path is a file"),
            (lambda: self.game(home=self.home(link="/nowhere")), r"\.gridfall/ is a symbolic link; .*move the link away"),
            (lambda: self.game(home=self.home(table="[1]")), r"highscore is not a readable score table: .*move the file"),
            (lambda: self.game(home=huge), r"highscore is not a readable score table: it is larger than 64 KiB"),
            (lambda: self.game(home=fifo), r"highscore is not a regular file; move it away"),
            (lambda: self.game(home=home + "/\x1b[31m"), r"directory .*/\\x1b\[31m/\.gridfall/: No such file"),
            (lambda: self.shell('exec "$0" >/dev/null'), r"^gridfall: standard output is not a terminal"),
            (lambda: self.game(term="x\x1b[31m"), r"^gridfall: unknown terminal type 'x\\x1b\[31m'$"),
            (lambda: self.game(columns=60, rows=20, env={"LINES": "24", "COLUMNS": "80"}),
             r"^gridfall: the terminal must be at least 75x24 characters; it is 60x20$"),
        ]
        for start, message in cases:
            with self.subTest(message=message):
                game = start()
                self.assertEqual(game.wait_for_exit(), 1)
                said = game.output.decode(errors="replace").strip()
                self.assertNotIn("\n", said, "one line")
                self.assertRegex(said, message)
                self.assertNotIn(b"\x1b[?1049h", game.output, "the terminal was never taken")
                self.assertRestored(game)

    def test_keys_typed_before_a_screen_shows_do_not_dismiss_it(self):
        game = self.game().first_screen()
        # Far more than the moves to the wall: the key is held as the ship dies.
        self.assertEqual(burst(game, "k" * 30).find("@"), [(3, 0)], "the ship lies dead on the wall:\n" + game.dump())
        # A key for the dead arena and one typed before the result showed.
        self.assertTrue(burst(game, "xx").contains("Play again? (Y/n)"), game.dump())
        game.send("n")
        self.assertEqual(game.wait_for_exit(), 0)

    def test_ctrl_s_and_ctrl_q_are_plain_keys(self):
        game = self.game().first_screen()
        before = game.find("@")
        game.press("\x13")
        self.assertEqual(game.press("l").find("@"), [(before[0][0] + 1, before[0][1])], "the move shows")
        game.press("\x11")

    def test_no_color_draws_as_on_a_monochrome_terminal(self):
        game = to_end_screen(self.game(env={"NO_COLOR": "1"}).first_screen())
        self.assertFalse(coloured(game.output), "no colour or bold sequence is sent")
        self.assertIn("Play again? (Y/n)", game.text(16))

    def test_a_linked_table_stays_a_link_and_dead_games_leave_no_temporary_files(self):
        home = self.home()
        os.symlink("../synced", os.path.join(home, ".gridfall", "highscore"))
        with open(os.path.join(home, "synced"), "w") as f:
            f.write(TABLE)
        stale, living = ".synced.tmp999999999-0", ".synced.tmp%d-0" % os.getpid()
        for name in (stale, living):
            open(os.path.join(home, name), "w").close()
        game = to_end_screen(self.game(home=home).first_screen())
        self.assertTrue(game.contains("1: 2400 points"))
        game.send("n")
        self.assertEqual(game.wait_for_exit(), 0)
        self.assertEqual(os.readlink(os.path.join(home, ".gridfall", "highscore")), "../synced")
        with open(os.path.join(home, "synced")) as f:
            self.assertEqual(f.read(), TABLE.replace("[9]", "[5]"), "the target was rewritten")
        self.assertEqual(sorted(n for n in os.listdir(home) if ".tmp" in n), [living])

    def test_a_file_size_limit_that_leaves_no_room_for_the_table_is_refused_at_start(self):
        game = self.shell('ulimit -f 0; exec "$0"')
        self.assertEqual(game.wait_for_exit(), 1)
        self.assertRestored(game)
        self.assertRegex("".join(game.lines()).strip(), r"^gridfall: cannot save .*highscore: writing the temporary file failed: File too "
                                   r"large; the file-size limit[^\n]*\(the previous table in that file is unchanged\)$")
        self.assertEqual([n for n in os.listdir(os.path.join(game.home, ".gridfall")) if ".tmp" in n], [])
