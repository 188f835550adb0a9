"""The command line, answered without a terminal: standard input is not a tty here."""

import os
import subprocess
import tempfile
import unittest

GRIDFALL = os.environ.get("GRIDFALL", "")
HEADER = "[-110780952][-9133037511685953882]"
TRY = "Try 'gridfall --help' for more information."


def read(path):
    with open(path) as f:
        return f.read()


def table(*scores):
    return HEADER + "A[[0][%d]" % len(scores) + "".join("I[%d]" % s for s in scores) + "]"


def table_of_size(size, *scores):
    """A table of exactly `size` bytes: the scores, then zeros, the last padded with blanks."""
    zeros = (size - len(table(*scores))) // 4
    while len(table(*scores, *[0] * zeros)) > size:
        zeros -= 1
    text = table(*scores, *[0] * zeros)
    return text[:-3] + " " * (size - len(text)) + "0]]"


class Options(unittest.TestCase):
    def run_game(self, *args, stored=None):
        home = tempfile.mkdtemp(prefix="gridfall-options-")
        self.addCleanup(subprocess.run, ["rm", "-rf", home])
        path = os.path.join(home, ".gridfall", "highscore")
        if stored is not None:
            os.mkdir(os.path.dirname(path), 0o700)
            with open(path, "w") as f:
                f.write(stored)
        done = subprocess.run([GRIDFALL, *args], stdin=subprocess.DEVNULL, capture_output=True, text=True,
                              env={"HOME": home, "TERM": "screen", "PATH": "/usr/bin:/bin"}, timeout=30)
        kept = read(path) if os.path.exists(path) else None
        return done, path, kept

    def test_each_option_answers_without_a_terminal(self):
        # (arguments, stored table, status, expected stdout lines (a prefix), expected stderr lines)
        cases = [
            (["--help"], None, 0, ["Usage: gridfall [OPTION]"], []),
            (["-h"], None, 0, ["Usage: gridfall [OPTION]"], []),
            (["--version"], None, 0, ["gridfall 1.0.0"], []),
            (["-V"], None, 0, ["gridfall 1.0.0"], []),
            (["--scores"], table(2400, 1200, 350, 0, 0), 0,
             ["1: 2400 points", "2: 1200 points", "3: 350 points", "4: 0 points", "5: 0 points"], []),
            # A table of five is shown as stored; a longer one is sorted before its best five are kept.
            (["-s"], table(100, 900, 800, 700, 600, 500, 400), 0,
             ["1: 900 points", "2: 800 points", "3: 700 points", "4: 600 points", "5: 500 points"], []),
            (["-s"], table(7, 9, 8, 1, 2), 0, ["1: 7 points", "2: 9 points", "3: 8 points"], []),
            (["-s"], table_of_size(64 * 1024, 350, 2400), 0, ["1: 2400 points", "2: 350 points"], []),
            # Accepted, then refused only for want of a terminal.
            (["--seed", "4294967295"], None, 1, [], ["gridfall: standard input is not a terminal"]),
            (["--seed"], None, 2, [], ["gridfall: option '--seed' needs a value", TRY]),
            (["--replay", "x", "--seed", "3"], None, 2, [], ["gridfall: --replay goes with neither --seed nor --resume", TRY]),
            (["--bogus"], None, 2, [], ["gridfall: unknown option '--bogus'", TRY]),
            (["-s", "-x"], None, 2, [], ["gridfall: unknown option '-x'", TRY]),
            (["again"], None, 2, [], ["gridfall: unexpected argument 'again'", TRY]),
            (["--resume=1"], None, 2, [], ["gridfall: option '--resume' takes no value", TRY]),
            (["--re"], None, 2, [], ["gridfall: option '--re' is ambiguous: it could be --resume or --replay", TRY]),
            (["--replay="], None, 2, [], ["gridfall: --replay wants a file name, not an empty one", TRY]),
            (["--replay", ""], None, 2, [], ["gridfall: --replay wants a file name, not an empty one", TRY]),
            (["--scores", "--seed", "3"], None, 2, [], ["gridfall: --scores does not go with --seed", TRY]),
            (["--resume", "-s"], None, 2, [], ["gridfall: --resume does not go with --scores", TRY]),
            (["--replay", "x", "--scores"], None, 2, [], ["gridfall: --replay does not go with --scores", TRY]),
            (["--cast", "--verify"], None, 2, [], ["gridfall: --cast does not go with --verify", TRY]),
            (["--daily", "--seed", "3"], None, 2, [], ["gridfall: --daily does not go with --seed", TRY]),
            (["--daily", "--resume"], None, 2, [], ["gridfall: --daily does not go with --resume", TRY]),
            (["--pace", "4"], None, 2, [], ["gridfall: --pace goes only with --cast or --replay", TRY]),
        ]
        for args, stored, status, out, err in cases:
            with self.subTest(args=args, stored=stored):
                done, _, kept = self.run_game(*args, stored=stored)
                self.assertEqual(done.returncode, status, done.stderr)
                self.assertEqual(done.stdout.splitlines()[:len(out)], out)
                self.assertEqual(done.stderr.splitlines(), err)
                self.assertEqual(kept, stored, "the table is only read")

    def test_an_answer_that_cannot_be_written_fails(self):
        with open("/dev/full", "w") as full:
            done = subprocess.run([GRIDFALL, "--version"], stdout=full, stderr=subprocess.PIPE, text=True, timeout=30)
        self.assertEqual((done.returncode, done.stderr), (1, "gridfall: cannot write to standard output\n"))

    def test_help_lists_every_option_and_the_man_page_documents_it(self):
        help_text = self.run_game("--help")[0].stdout
        manual = read(os.path.join(os.path.dirname(__file__), "../../docs/gridfall.6"))
        for short, long in (("-s", "--scores"), ("-h", "--help"), ("-V", "--version")):
            self.assertIn("%s, %s" % (short, long), help_text)
            self.assertIn(".BR \\%s \", \" \\-\\%s" % (short, long[1:]), manual)
        for long in ("--seed", "--daily", "--resume", "--replay", "--cast", "--verify", "--pace"):
            self.assertIn("  %s " % long, help_text)
            self.assertIn("\\-\\-" + long[2:], manual)

    def test_scores_without_a_table_or_with_a_damaged_one(self):
        done, path, _ = self.run_game("--scores")
        self.assertEqual((done.returncode, done.stderr), (0, ""))
        self.assertIn("No high scores yet", done.stdout)
        self.assertFalse(os.path.exists(os.path.dirname(path)), "nothing is created")
        done, path, kept = self.run_game("--scores", stored="[-110780952][1]A[[0][5]I[1]]")
        self.assertEqual((done.returncode, done.stdout), (1, ""))
        self.assertRegex(done.stderr, "^gridfall: %s is not a readable score table: .*move the file away" % path)
        self.assertEqual(kept, "[-110780952][1]A[[0][5]I[1]]")
