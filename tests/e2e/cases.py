"""Runs the reviewed real-terminal cases under cases/: each file says how the binary is started
(command line, environment, terminal size, files under HOME), what is sent to it and what must
follow. The grammar is in docs/testing.md. By hand, from this folder:
    GRIDFALL=../../build/gridfall GOLDEN_TESTS=../../build/tests/golden_tests python3 cases.py [names]
"""

import codecs
import os
import re
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import termios
import time
import unittest

import term
from casesteps import (as_user, big_table, colourless, documented_example, foreign_owner, free_blocks,
                       manual_lists_options, store_becomes_a_file)

HERE = os.path.dirname(os.path.abspath(__file__))
CASES = os.path.join(HERE, "cases")


def text(value):
    """A value as written in a case: Python escapes (\\n, \\x1b) stand for the bytes."""
    return codecs.decode(value, "unicode_escape").encode("latin-1")


def key_bytes(keys):
    """The bytes a real terminal sends for keys in the golden grammar (read by golden_tests)."""
    done = subprocess.run([os.environ["GOLDEN_TESTS"], "--print-keys", keys], capture_output=True, text=True)
    if done.returncode != 0:
        raise ValueError(done.stderr.strip())
    return [term.ARROWS[t.capitalize()] if t in ("up", "down", "left", "right") else bytes([int(t)])
            for t in done.stdout.split()]


SETUP_STEPS = {"big-table", "foreign-owner", "documented-example"}
STEPS = {"big-table": big_table, "manual-lists-options": manual_lists_options, "colourless": colourless,
         "store-becomes-a-file": store_becomes_a_file, "foreign-owner": foreign_owner,
         "documented-example": documented_example}


def makedirs_for(path):
    os.makedirs(os.path.dirname(path), 0o700, exist_ok=True)


def env(case, rest):
    name, _, value = rest.partition("=")
    case.env[name] = text(value).decode() if "=" in rest else None


def size(case, p, n):
    os.truncate(case.path(p), int(n))
    case.put_files.pop(p, None)


def until(case, rest):
    """Presses the key until a line matches (or the game ends)."""
    pattern, keys = rest.rsplit(" ", 1)
    for _ in range(40):
        if case.game.contains_match(pattern):
            break
        try:
            case.game.press(*key_bytes(keys))
        except term.GameEnded:
            case.ended()
            break
    case.test.assertTrue(case.game.contains_match(pattern), case.game.dump())


def says(case, rest):
    case.ended()
    case.test.assertNotIn("\n", case.stdout.strip(), "one line")
    case.test.assertRegex(case.stdout.strip(), rest)


def names(case, folder, pattern, *wanted):
    there = os.listdir(case.path(folder)) if os.path.isdir(case.path(folder)) else []
    for p in [p for p in case.put_files if os.path.normpath(os.path.dirname(p) or ".") == folder]:
        case.put_files.pop(p) if re.search(pattern, os.path.basename(p)) else None
    case.test.assertEqual(sorted(n for n in there if re.search(pattern, n)), sorted(wanted), folder)


def absent(case, p):
    case.put_files.pop(p, None)
    case.test.assertFalse(os.path.lexists(case.path(p)), p)


def file(case, p, data=""):
    case.put_files.pop(p, None)
    with open(case.path(p), "rb") as f:
        case.test.assertEqual(f.read(), text(data), p)


def typed(case, rest):
    keys, before, started = b"".join(key_bytes(rest)), case.game.bytes_read(), time.monotonic()
    case.game.send(keys)
    case.game.wait_for_key(read_since=before)
    case.took = time.monotonic() - started


def pressed(case, rest):
    case.game.first_screen() if case.game.bytes_read() <= 0 else None
    for key in key_bytes(rest):
        case.game.press(key)


def hold(case, keys, count, ms):
    """A held key: `count` repeats `ms` apart, as a keyboard sends them; then the game's next key wait."""
    for _ in range(int(count)):
        case.game.send(b"".join(key_bytes(keys)))
        time.sleep(int(ms) / 1000)
    case.game.wait_for_key()


def step(case, rest):
    name, *args = rest.split()
    STEPS[name](case, *args)


def status(case, rest):
    case.ended()
    case.test.assertEqual(case.status, int(rest) if rest.isdigit() else 128 + getattr(signal, "SIG" + rest), case.dump())


def restored(case, _):
    case.ended()
    case.test.assertEqual(case.game.terminal_restored(), "", case.game.dump())


# Each word: (its function, whether it takes the rest of the line whole or split at blanks).
SETUP = {
    "put": (lambda c, p, data="": c.put(p, text(data)), 2),
    "dir": (lambda c, p, mode: (os.makedirs(c.path(p), exist_ok=True), os.chmod(c.path(p), int(mode, 8))), 1),
    "link": (lambda c, p, target: (makedirs_for(c.path(p)), os.symlink(target, c.path(p))), 2),
    "fifo": (lambda c, p: os.mkfifo(c.path(p)), 1),
    "size": (size, 2), "age": (lambda c, p, seconds: os.utime(c.path(p), (int(seconds),) * 2), 2),
    "run": (lambda c, rest: setattr(c, "args", [text(w).decode("latin-1") for w in shlex.split(rest)]), 0),
    "shell": (lambda c, rest: setattr(c, "script", rest), 0),
    "tty": (lambda c, rest: setattr(c, "tty", None if rest == "none" else tuple(map(int, rest.split("x")))), 0),
    "env": (env, 0), "stdout": (lambda c, rest: setattr(c, "stdout_to", rest), 0),
    "each": (lambda c, rest: None, 0), "free-blocks": (free_blocks, 0),
    "user": (lambda c, rest: setattr(c, "user", True), 0),
}
ACTIONS = {
    "wait": (lambda c, _: c.game.first_screen(), 0), "press": (pressed, 0), "type": (typed, 0),
    "send": (lambda c, rest: c.game.send(b"".join(key_bytes(rest))), 0), "until": (until, 0),
    "signal": (lambda c, rest: c.game.signal(getattr(signal, "SIG" + rest)), 0), "step": (step, 0),
    "await": (lambda c, rest: c.game.wait_until(lambda g: g.contains_match(rest), rest), 0),
    "resize": (lambda c, rest: c.game.resize(*map(int, rest.split("x"))), 0),
    "sleep": (lambda c, rest: time.sleep(float(rest)), 0), "hold": (hold, 1),
}
EXPECTATIONS = {
    "status": (status, 0), "restored": (restored, 0), "says": (says, 0),
    "out": (lambda c, lines: c.test.assertEqual(c.stdout.splitlines()[:len(lines)], lines), 0),
    "err": (lambda c, lines: c.test.assertEqual(c.stderr.splitlines(), lines), 0),
    "out-match": (lambda c, rest: c.test.assertRegex(c.stdout, rest), 0),
    "out-lacks": (lambda c, rest: c.test.assertNotIn(rest, c.stdout), 0),
    "took-under": (lambda c, rest: c.test.assertLess(c.took, float(rest), "the game waited for more of it"), 0),
    "err-match": (lambda c, rest: c.test.assertRegex(c.stderr, rest), 0),
    "screen": (lambda c, rest: c.test.assertTrue(c.game.contains_match(rest), "no line matches %r:\n%s"
                                                 % (rest, c.game.dump())), 0),
    "screen-all": (lambda c, rest: c.test.assertRegex("".join(c.game.lines()).strip(), rest), 0),
    "row": (lambda c, y, pattern: c.test.assertRegex(c.game.text(int(y)), pattern), 2),
    "cells": (lambda c, ch, *where: c.test.assertEqual(c.game.find(ch), [tuple(map(int, w.split(","))) for w in where],
                                                       c.game.dump()), 1),
    "file": (file, 2), "names": (names, 1), "absent": (absent, 0),
    "count": (lambda c, folder, pattern, n: c.test.assertEqual(
        len([x for x in os.listdir(c.path(folder)) if re.search(pattern, x)]), int(n), c.dump()), 1),
    "points-to": (lambda c, p, target: c.test.assertEqual(os.readlink(c.path(p)), target), 1),
    "untaken": (lambda c, _: c.test.assertNotIn(b"\x1b[?1049h", c.game.output, "the terminal was taken"), 0),
    "flow": (lambda c, rest: c.test.assertEqual(bool(termios.tcgetattr(c.game.child.child_fd)[0] & termios.IXON),
                                                rest == "on"), 0),
}


def call(table, case, word, rest):
    """Calls a word's function with the rest of its line: whole (0), split at blanks (1), or in n parts (n)."""
    function, split = table[word]
    args = [rest] if split == 0 else rest.split() if split == 1 else rest.split(" ", split - 1)
    function(case, *args)


class Case:
    def __init__(self, test, lines):
        self.test, self.lines, self.put_files = test, lines, {}
        self.home = tempfile.mkdtemp(prefix="gridfall-case-")
        test.addCleanup(shutil.rmtree, self.home, True)
        self.vars = {"HOME": self.home, "PID": str(os.getpid())}
        self.args, self.script, self.tty, self.env = [], None, (80, 24), {}
        self.stdout_to, self.game, self.status, self.stdout, self.stderr = None, None, None, "", ""
        self.user = False

    def path(self, p):
        return os.path.join(self.home, p)

    def put(self, p, data):
        makedirs_for(self.path(p))
        with open(self.path(p), "wb") as f:
            f.write(data)
        self.put_files[p] = data

    def start(self):
        if self.tty is None:
            out = open(self.stdout_to, "w") if self.stdout_to else subprocess.PIPE
            self.test.addCleanup(out.close) if self.stdout_to else None
            done = term.run(*self.args, home=self.home, env=self.env, stdout=out)
            self.status, self.stdout, self.stderr = done.returncode, done.stdout or "", done.stderr
            return
        args, program = (["-c", self.script, term.GRIDFALL], "/bin/sh") if self.script is not None else (self.args, None)
        wrapper = as_user(self)
        args, program = (wrapper[1:] + [program or term.GRIDFALL] + args, wrapper[0]) if wrapper else (args, program)
        self.game = term.Game(*args, columns=self.tty[0], rows=self.tty[1], home=self.home, env=self.env, program=program)
        self.test.addCleanup(self.game.close)

    def ended(self):
        if self.game is not None and self.status is None:
            self.status = self.game.wait_for_exit()
            self.stdout = self.game.output.decode(errors="replace")

    def dump(self):
        return self.game.dump() if self.game else self.stderr

    def run(self):
        started, outs, errs = False, [], []
        for number, line in self.lines:
            word, _, rest = line.partition(" ")
            for name, value in self.vars.items():
                rest = rest.replace("$" + name, value)
            try:
                if word in SETUP or word == "step" and rest.split()[0] in SETUP_STEPS:
                    call(SETUP if word in SETUP else ACTIONS, self, word, rest)
                    continue
                if not started:
                    self.start()
                    started = True
                if word in ("out", "err"):
                    (outs if word == "out" else errs).append(rest)
                else:
                    call(ACTIONS if word in ACTIONS else EXPECTATIONS, self, word, rest)
            except (ValueError, IndexError, KeyError, TypeError) as e:
                raise ValueError("line %d: %s: %s" % (number, line, e))
        if not started:
            self.start()
        words = {l.split(" ")[0] for _, l in self.lines}
        if self.tty is None and not self.stdout_to:
            call(EXPECTATIONS, self, "out", outs) if outs or "out-match" in words else self.test.assertEqual(self.stdout, "")
        if self.tty is None and "err-match" not in words:
            call(EXPECTATIONS, self, "err", errs)
        for p, data in self.put_files.items():
            with open(self.path(p), "rb") as f:
                self.test.assertEqual(f.read(), data, p + " is only read")


def read(name):
    """A case's lines with their numbers; `each NAME v1 v2` makes one case per value."""
    with open(os.path.join(CASES, name)) as f:
        lines = [(n, l.rstrip("\n")) for n, l in enumerate(f, 1) if l.strip() and not l.startswith("#")]
    each = [l.split()[1:] for _, l in lines if l.startswith("each ")]
    if not each:
        return [(name, lines)]
    var, values = each[0][0], each[0][1:]
    return [("%s[%s]" % (name, v), [(n, l.replace("$" + var, v)) for n, l in lines]) for v in values]


class Cases(unittest.TestCase):
    def test_cases(self):
        names = sorted(n for n in os.listdir(CASES) if n.endswith(".case"))
        wanted = os.environ.get("CASES", "")
        for name in names:
            if wanted and not re.search(wanted, name):
                continue
            for title, lines in read(name):
                with self.subTest(case=title):
                    Case(self, lines).run()


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
