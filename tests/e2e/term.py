"""Drives the real gridfall binary on a pseudo-terminal and reads its screen through a terminal
emulator that keeps each cell's character, colours, bold and reverse.

Every Game has its own HOME and a clock frozen by libfaketime (an env FAKETIME moves it), so the dice
seed is known. Nothing here sleeps for a fixed time: after keys are sent it waits until the game has
read them, sleeps in read() on its terminal again, and everything it wrote has been taken in.

By hand, from this folder: GRIDFALL=../../build/gridfall python3 -m unittest -v realterm
"""

import fcntl
import os
import re
import shutil
import signal
import struct
import subprocess
import tempfile
import termios
import time
import unittest

import pexpect
import pyte

GRIDFALL = os.environ.get("GRIDFALL", "")
HERE = os.path.dirname(os.path.abspath(__file__))
FROZEN_CLOCK = "2024-03-01 12:00:00"
PATIENCE = 15.0  # generous: the machine is shared, and a passing test never comes near it
FAKETIME = ["/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1", "/usr/lib/aarch64-linux-gnu/faketime/libfaketime.so.1",
            "/usr/lib/faketime/libfaketime.so.1"]
# What the arrow keys send in keypad mode on the terminal types the tests use (screen, vt100).
# Seed 7: quad lasers while drifting left score a point; the ship dies at the 34th key, and the 35th
# shows the end box and saves the table.
SEED = "7"
FIRST_GAME = (["q", "h"] * 18)[:35]
ARROWS = {"Up": b"\x1bOA", "Down": b"\x1bOB", "Right": b"\x1bOC", "Left": b"\x1bOD"}


def journal_of(keys):
    """A run's journal as the game writes it: the seed, then one line per key."""
    return "gridfall recording 1\nseed %s\n" % SEED + "".join("k %d\n" % ord(k) for k in keys)


class GameEnded(AssertionError):
    pass


def _waiting(fd):
    return struct.unpack("i", fcntl.ioctl(fd, termios.FIONREAD, struct.pack("i", 0)))[0]


def _as_from_a_shell():
    """Python ignores SIGPIPE and SIGXFSZ and a child inherits that; a shell starts the game with
    both at their defaults, so the game must ignore them itself where it needs to."""
    for number in (signal.SIGPIPE, signal.SIGXFSZ):
        signal.signal(number, signal.SIG_DFL)


class Game:
    """One run of the binary. args: its command line; env: extra environment (None removes)."""

    def __init__(self, *args, columns=80, rows=24, home=None, env=None, term="screen", program=None):
        self.home = home or tempfile.mkdtemp(prefix="gridfall-e2e-")
        self.own_home = home is None
        # For a sanitizer build: the address sanitizer wants to be loaded first, but libfaketime is
        # preloaded before it; and a leak inside ncurses is not the game's.
        environment = {"HOME": self.home, "TERM": term, "PATH": "/usr/bin:/bin", "LC_ALL": "C.UTF-8", "TZ": "UTC",
                       "ASAN_OPTIONS": "verify_asan_link_order=0",
                       "LSAN_OPTIONS": "print_suppressions=0:suppressions=" + os.path.join(HERE, "lsan.supp"),
                       "LD_PRELOAD": next(p for p in FAKETIME if os.path.exists(p)), "FAKETIME": "@" + FROZEN_CLOCK,
                       "FAKETIME_DONT_FAKE_MONOTONIC": "1", **(env or {})}
        environment = {name: value for name, value in environment.items() if value is not None}
        self.screen = pyte.Screen(columns, rows)
        self.stream = pyte.ByteStream(self.screen)
        self.output = bytearray()  # everything the game wrote, for checks the emulator cannot make
        self.child = pexpect.spawn(program or GRIDFALL, list(args), env=environment, dimensions=(rows, columns),
                                   preexec_fn=_as_from_a_shell)

    def close(self):
        if self.child.isalive():
            self.child.kill(9)
        self.child.close(force=True)
        if self.own_home:
            shutil.rmtree(self.home, ignore_errors=True)

    # --- reading the screen --------------------------------------------------------------------

    def _take_output(self, timeout=0):
        try:
            data = self.child.read_nonblocking(65536, timeout=timeout)
        except (pexpect.TIMEOUT, pexpect.EOF):
            return False
        self.output += data
        self.stream.feed(data)
        return True

    def _proc(self, name):
        """A file of /proc for the game: the process started, or its child when that runs the game
        under it (strace, flock)."""
        pid = self.child.pid
        with open("/proc/%d/task/%d/children" % (pid, pid)) as f:
            pid = int((f.read().split() or [pid])[0])
        with open("/proc/%d/%s" % (pid, name)) as f:
            return f.read()

    def blocked_in_key_read(self):
        """True while the game sleeps in read() on standard input: it is waiting for a key."""
        try:
            fields = self._proc("syscall").split()
        except OSError:
            return False
        return len(fields) > 1 and fields[0] == "0" and int(fields[1], 16) == 0

    def bytes_read(self):
        try:
            return int(next(l for l in self._proc("io").splitlines() if l.startswith("rchar:")).split()[1])
        except (OSError, StopIteration):
            return -1

    def pending_input(self):
        """Keys sent that the game has not read yet."""
        try:
            fd = os.open(os.readlink("/proc/%d/fd/0" % self.child.pid), os.O_RDONLY | os.O_NOCTTY | os.O_NONBLOCK)
        except OSError:
            return 0
        try:
            return _waiting(fd)
        finally:
            os.close(fd)

    def wait_for_key(self, read_since=None, until=None, what="the game to wait for a key"):
        """Waits until the game blocks for a key with everything drawn (and until(self) holds).

        The game is asleep in read() with no key waiting, so it cannot write any more: what it wrote
        is then taken in whole, and it must still be asleep on the same read afterwards."""
        deadline = time.monotonic() + PATIENCE
        while True:
            while self._take_output():
                pass
            if not self.child.isalive():
                raise GameEnded("the game ended while waiting for %s:\n%s" % (what, self.dump()))
            read = self.bytes_read()
            if (read_since is None or read > read_since) and self.blocked_in_key_read() and not self.pending_input():
                while self._take_output():
                    pass
                settled = self.blocked_in_key_read() and self.bytes_read() == read
                if settled and (until is None or until(self)):
                    return self
            if time.monotonic() > deadline:
                raise AssertionError("timed out waiting for %s; the screen shows:\n%s" % (what, self.dump()))
            self._take_output(0.01)

    def wait_until(self, until, what):
        """Waits until until(self) holds, whether or not the game waits for a key (a replay runs on)."""
        deadline = time.monotonic() + PATIENCE
        while not until(self):
            if time.monotonic() > deadline:
                raise AssertionError("timed out waiting for %s; the screen shows:\n%s" % (what, self.dump()))
            self._take_output(0.02)
        return self

    def first_screen(self, until=None):
        return self.wait_for_key(until=until, what="the first screen")

    def send(self, *keys):
        """Sends keys without waiting: single characters, arrow names, or bytes."""
        for key in keys:
            self.child.send(key if isinstance(key, bytes) else ARROWS.get(key, key.encode()))

    def press(self, *keys, until=None):
        """Sends keys and waits until the game has read them and waits for the next."""
        before = self.bytes_read()
        self.send(*keys)
        return self.wait_for_key(read_since=before, until=until, what="the game to take %r" % (keys,))

    def resize(self, columns, rows):
        """Changes the terminal's size, as a user dragging the window would (the game gets SIGWINCH)."""
        self.screen.resize(rows, columns)
        self.child.setwinsize(rows, columns)

    def text(self, y):
        return self.screen.display[y]

    def lines(self):
        return list(self.screen.display)

    def contains(self, text):
        return any(text in line for line in self.screen.display)

    def contains_match(self, pattern):
        return any(re.search(pattern, line) for line in self.screen.display)

    def cell(self, x, y):
        return self.screen.buffer[y][x]

    def find(self, ch):
        return [(x, y) for y, line in enumerate(self.screen.display) for x, c in enumerate(line) if c == ch]

    def dump(self):
        return "\n".join(line.rstrip() for line in self.screen.display)

    # --- the end of the run --------------------------------------------------------------------

    def signal(self, number):
        self.child.kill(number)

    def wait_for_exit(self):
        """Waits for the program to end; returns its status as a shell shows it (128+n for signal n)."""
        deadline = time.monotonic() + PATIENCE
        while self.child.isalive():
            self._take_output(0.05)
            if time.monotonic() > deadline:
                raise AssertionError("the game did not end; the screen shows:\n" + self.dump())
        while self._take_output():
            pass
        self.child.wait() if self.child.exitstatus is None and self.child.signalstatus is None else None
        return self.child.exitstatus if self.child.signalstatus is None else 128 + self.child.signalstatus

    def terminal_restored(self):
        """Why the terminal was not given back as found (echo, line editing, cursor, normal screen), or ''."""
        flags = termios.tcgetattr(self.child.child_fd)[3]
        problems = [name for name, bit in (("echo", termios.ECHO), ("canonical mode", termios.ICANON))
                    if not flags & bit]
        if self.output.rfind(b"\x1b[?1049h") > self.output.rfind(b"\x1b[?1049l"):
            problems.append("normal screen")
        if self.screen.cursor.hidden:
            problems.append("visible cursor")
        return ", ".join(problems)


def run(*args, home, env=None, stdout=subprocess.PIPE):
    """The binary without a terminal, for what it says before touching one."""
    env = {"HOME": home, "TERM": "screen", "PATH": "/usr/bin:/bin", **(env or {})}
    return subprocess.run([GRIDFALL, *args], env={k: v for k, v in env.items() if v is not None}, text=True,
                          stdin=subprocess.DEVNULL, stdout=stdout, stderr=subprocess.PIPE, timeout=30)


class GameTest(unittest.TestCase):
    """A test case whose games are closed after each test."""

    def home(self, journal=None, store=False):
        """A new HOME, removed after the test; with store, an empty store; with a journal, that cut-off run."""
        home = tempfile.mkdtemp(prefix="gridfall-e2e-")
        self.addCleanup(shutil.rmtree, home, True)
        if store or journal is not None:
            os.makedirs(home + "/.gridfall/journal")
            os.chmod(home + "/.gridfall", 0o700)
            os.chmod(home + "/.gridfall/journal", 0o700)
        if journal is not None:
            with open(home + "/.gridfall/journal/20240301-120000-1.rec", "w") as f:
                f.write(journal)
        return home

    def game(self, *args, **options):
        g = Game(*args, **options)
        self.addCleanup(g.close)
        return g

    def assertRestored(self, game):
        self.assertEqual(game.terminal_restored(), "", game.dump())
