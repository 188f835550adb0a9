"""Runs the reviewed real-terminal cases under cases/: each file says how the binary is started
(command line, environment, terminal size, files under HOME), what is sent to it and what must
follow. The grammar is in cases/README. By hand, from this folder:
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
import unittest

import term

HERE = os.path.dirname(os.path.abspath(__file__))
CASES = os.path.join(HERE, "cases")
SETUP = {"put", "dir", "link", "fifo", "size", "run", "shell", "tty", "clock", "env", "stdout", "each"}
ACTIONS = {"wait", "press", "type", "send", "until", "signal", "step"}
SGR = re.compile(rb"\x1b\[([0-9;]*)m")


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


def big_table(case, path, size, *scores):
    """A table of exactly `size` bytes: the scores, then zeros, the last padded with blanks."""
    def table(s):
        return "[-110780952][-9133037511685953882]A[[0][%d]%s]" % (len(s), "".join("I[%s]" % n for n in s))
    zeros = (int(size) - len(table(scores))) // 4
    while len(table(scores + ("0",) * zeros)) > int(size):
        zeros -= 1
    body = table(scores + ("0",) * zeros)
    case.put(path, (body[:-3] + " " * (int(size) - len(body)) + "0]]").encode())


def manual_lists_options(case):
    """Each short and long option in --help is documented in the manual page."""
    with open(os.path.join(HERE, "../../docs/gridfall.6")) as f:
        manual = f.read()
    for short, long in re.findall(r"^\s+(-\w), --(\w+)", case.stdout, re.M):
        case.test.assertIn(".BR \\%s \", \" \\-\\-%s" % (short, long), manual)
    for long in re.findall(r"^\s+--(\w+)", case.stdout, re.M):
        case.test.assertIn("\\-\\-" + long, manual)


def colourless(case):
    parts = [p for m in SGR.finditer(case.game.output) for p in m.group(1).split(b";")]
    case.test.assertFalse(any(p == b"1" or p[:1] in (b"3", b"4") for p in parts), "a colour or bold was sent")


SETUP_STEPS = {"big-table"}
STEPS = {"big-table": big_table, "manual-lists-options": manual_lists_options, "colourless": colourless}


class Case:
    def __init__(self, test, lines):
        self.test, self.lines, self.put_files = test, lines, {}
        self.home = tempfile.mkdtemp(prefix="gridfall-case-")
        test.addCleanup(shutil.rmtree, self.home, True)
        self.vars = {"HOME": self.home, "PID": str(os.getpid())}
        self.args, self.script, self.tty, self.term, self.env = [], None, (80, 24), "screen", {}
        self.frozen, self.stdout_to, self.game, self.status, self.stdout, self.stderr = True, None, None, None, "", ""

    def path(self, p):
        return os.path.join(self.home, p)

    def put(self, p, data):
        os.makedirs(os.path.dirname(self.path(p)), 0o700, exist_ok=True)
        with open(self.path(p), "wb") as f:
            f.write(data)
        self.put_files[p] = data

    def setup(self, word, rest):
        a = rest.split(" ", 1)
        if word == "put":
            self.put(a[0], text(a[1]) if len(a) > 1 else b"")
        elif word == "dir":
            os.makedirs(self.path(a[0]), exist_ok=True)
            os.chmod(self.path(a[0]), int(a[1], 8))
        elif word == "link":
            os.makedirs(os.path.dirname(self.path(a[0])), 0o700, exist_ok=True)
            os.symlink(a[1], self.path(a[0]))
        elif word == "fifo":
            os.mkfifo(self.path(a[0]))
        elif word == "size":
            os.truncate(self.path(a[0]), int(a[1]))
            self.put_files.pop(a[0], None)
        elif word == "run":
            self.args = [text(word).decode("latin-1") for word in shlex.split(rest)]
        elif word == "shell":
            self.script = rest
        elif word == "tty":
            self.tty = None if rest == "none" else tuple(int(n) for n in a[0].split("x"))
        elif word == "clock":
            self.frozen = rest == "frozen"
            self.env.update({} if self.frozen else {"FAKETIME": rest} if rest.startswith("@") else {})
            self.frozen = self.frozen or rest.startswith("@")
        elif word == "env":
            name, _, value = rest.partition("=")
            self.env[name] = text(value).decode() if "=" in rest else None
        elif word == "stdout":
            self.stdout_to = rest
        elif word == "step":
            name, *args = rest.split()
            STEPS[name](self, *args)

    def start(self):
        if self.tty is None:
            env = {"HOME": self.home, "TERM": "screen", "PATH": "/usr/bin:/bin", **self.env}
            out = open(self.stdout_to, "w") if self.stdout_to else subprocess.PIPE
            self.test.addCleanup(out.close) if self.stdout_to else None
            done = subprocess.run([term.GRIDFALL, *self.args], stdin=subprocess.DEVNULL, stdout=out,
                                  stderr=subprocess.PIPE, env={k: v for k, v in env.items() if v is not None}, timeout=30)
            self.status, self.stdout, self.stderr = done.returncode, (done.stdout or b"").decode(), done.stderr.decode()
            return
        program, args = term.GRIDFALL, self.args
        if self.script is not None:
            program, args = "/bin/sh", ["-c", self.script, term.GRIDFALL]
        saved, term.GRIDFALL = term.GRIDFALL, program
        try:
            self.game = term.Game(*args, columns=self.tty[0], rows=self.tty[1], home=self.home, env=self.env,
                                  frozen=self.frozen)
        finally:
            term.GRIDFALL = saved
        self.test.addCleanup(self.game.close)

    def act(self, word, rest):
        g = self.game
        if word == "wait":
            g.first_screen()
        elif word == "press":
            g.first_screen() if g.bytes_read() <= 0 else None
            for key in key_bytes(rest):
                g.press(key)
        elif word == "type":
            before = g.bytes_read()
            g.send(b"".join(key_bytes(rest)))
            g.wait_for_key(read_since=before)
        elif word == "send":
            g.send(b"".join(key_bytes(rest)))
        elif word == "until":
            pattern, keys = rest.rsplit(" ", 1)
            for _ in range(40):
                if g.contains_match(pattern):
                    break
                g.press(*key_bytes(keys))
            self.test.assertTrue(g.contains_match(pattern), g.dump())
        elif word == "signal":
            g.signal(getattr(signal, "SIG" + rest))
        elif word == "step":
            name, *args = rest.split()
            STEPS[name](self, *args)

    def ended(self):
        if self.game is not None and self.status is None:
            self.status = self.game.wait_for_exit()
            self.stdout = self.game.output.decode(errors="replace")

    def expect(self, word, rest):
        t, g = self.test, self.game
        if word == "status":
            self.ended()
            t.assertEqual(self.status, int(rest) if rest.isdigit() else 128 + getattr(signal, "SIG" + rest), self.dump())
        elif word == "out":
            t.assertEqual(self.stdout.splitlines()[:len(rest)], rest)
        elif word == "out-match":
            t.assertRegex(self.stdout, rest)
        elif word == "err":
            t.assertEqual(self.stderr.splitlines(), rest)
        elif word == "err-match":
            t.assertRegex(self.stderr, rest)
        elif word == "says":
            self.ended()
            said = self.stdout.strip()
            t.assertNotIn("\n", said, "one line")
            t.assertRegex(said, rest)
        elif word == "screen":
            t.assertTrue(g.contains_match(rest), "no line matches %r:\n%s" % (rest, g.dump()))
        elif word == "screen-all":
            t.assertRegex("".join(g.lines()).strip(), rest)
        elif word == "row":
            y, pattern = rest.split(" ", 1)
            t.assertRegex(g.text(int(y)), pattern)
        elif word == "cells":
            ch, *where = rest.split()
            t.assertEqual(g.find(ch), [tuple(int(n) for n in w.split(",")) for w in where], g.dump())
        elif word == "file":
            p, _, data = rest.partition(" ")
            self.put_files.pop(p, None)
            with open(self.path(p), "rb") as f:
                t.assertEqual(f.read(), text(data), p)
        elif word == "absent":
            t.assertFalse(os.path.lexists(self.path(rest)), rest + " exists")
        elif word == "points-to":
            p, target = rest.split()
            t.assertEqual(os.readlink(self.path(p)), target)
        elif word == "names":
            folder, pattern, *names = rest.split()
            there = os.listdir(self.path(folder)) if os.path.isdir(self.path(folder)) else []
            for p in [p for p in self.put_files if os.path.normpath(os.path.dirname(p) or ".") == folder]:
                self.put_files.pop(p) if re.search(pattern, os.path.basename(p)) else None
            t.assertEqual(sorted(n for n in there if re.search(pattern, n)), sorted(names), folder)
        elif word == "restored":
            self.ended()
            t.assertEqual(g.terminal_restored(), "", g.dump())
        elif word == "untaken":
            t.assertNotIn(b"\x1b[?1049h", g.output, "the terminal was taken")
        elif word == "flow":
            t.assertEqual(bool(termios.tcgetattr(g.child.child_fd)[0] & termios.IXON), rest == "on")
        else:
            raise ValueError("unknown word %r" % word)

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
                    self.setup(word, rest)
                    continue
                if not started:
                    self.start()
                    started = True
                if word in ("out", "err"):
                    (outs if word == "out" else errs).append(rest)
                elif word in ACTIONS:
                    self.act(word, rest)
                else:
                    self.expect(word, rest)
            except (ValueError, IndexError, KeyError) as e:
                raise ValueError("line %d: %s: %s" % (number, line, e))
        if not started:
            self.start()
        words = {l.split(" ")[0] for _, l in self.lines}
        if self.tty is None and not self.stdout_to:
            self.expect("out", outs) if outs or "out-match" in words else self.test.assertEqual(self.stdout, "")
        if self.tty is None and "err-match" not in words:
            self.expect("err", errs)
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


term.Game.contains_match = lambda g, pattern: any(re.search(pattern, l) for l in g.screen.display)


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
