"""Drives the real gridfall binary in a tmux pane, the way a player's terminal does.

Every session gets its own tmux server, an 80x24 pane (unless a test asks for another size), its own
HOME and a clock frozen by libfaketime, so the dice seed is known. The harness never sleeps for a
fixed time: after a key it waits until the game has read it, its input queue is empty, the game is
blocked again in read() on standard input, tmux has read everything the game wrote, and two
captures of the pane in a row agree.

By hand: GRIDFALL=build/gridfall GRIDFALL_REPLAY=build/tests/e2e/gridfall-replay \
    python3 -m unittest -v input      (from this folder; ctest sets both and runs every group)
"""

import calendar
import ctypes
import fcntl
import os
import re
import shlex
import shutil
import struct
import subprocess
import tempfile
import termios
import time
import unittest
from dataclasses import dataclass

HERE = os.path.dirname(os.path.abspath(__file__))
GRIDFALL = os.environ.get("GRIDFALL", "")
REPLAY = os.environ.get("GRIDFALL_REPLAY", "")

# The clock every game sees; the program seeds its dice with time(), so this is the seed.
FROZEN_CLOCK = "2024-03-01 12:00:00"
FROZEN_SEED = calendar.timegm(time.strptime(FROZEN_CLOCK, "%Y-%m-%d %H:%M:%S"))

FAKETIME_LIBRARIES = [
    "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1",
    "/usr/lib/aarch64-linux-gnu/faketime/libfaketime.so.1",
    "/usr/lib/faketime/libfaketime.so.1",
]

# How long anything the harness waits for may take before the test fails. Generous, because the
# machine is shared; a passing test never comes near it.
PATIENCE = 15.0
POLL = 0.01

LIBC = ctypes.CDLL(None, use_errno=True)
SYS_PIDFD_OPEN, SYS_PIDFD_GETFD = 434, 438  # the same on every Linux architecture

# What a player's terminal would send for the keys the tests use, by tmux key name.
KEY_NAMES = {258: "Down", 259: "Up", 260: "Left", 261: "Right"}

# Visible attributes of one terminal cell. fg and bg are colour numbers 0..7, or None for the
# terminal's default colour.
@dataclass(frozen=True)
class Cell:
    ch: str = " "
    fg: object = None
    bg: object = None
    bold: bool = False
    reverse: bool = False


def _bytes_waiting(fd):
    """Bytes waiting to be read on a terminal descriptor, which is closed afterwards."""
    try:
        buf = fcntl.ioctl(fd, termios.FIONREAD, struct.pack("i", 0))
        return struct.unpack("i", buf)[0]
    finally:
        os.close(fd)


def faketime_library():
    for path in FAKETIME_LIBRARIES:
        if os.path.exists(path):
            return path
    raise RuntimeError("libfaketime is not installed (scripts/test installs it)")


def require_tools():
    if not GRIDFALL or not os.access(GRIDFALL, os.X_OK):
        raise RuntimeError("GRIDFALL must name the built gridfall binary")
    if shutil.which("tmux") is None:
        raise RuntimeError("tmux is not installed (scripts/test installs it)")
    faketime_library()


def start_time(pid):
    try:
        with open("/proc/%d/stat" % pid) as f:
            return f.read().rsplit(")", 1)[1].split()[19]
    except (OSError, IndexError):
        return None


class Screen:
    """A parsed pane: rows of Cells, read from `capture-pane -e`."""

    def __init__(self, rows):
        self.rows = rows

    def __eq__(self, other):
        return isinstance(other, Screen) and self.rows == other.rows

    def cell(self, x, y):
        return self.rows[y][x]

    def text(self, y, x=0, length=None):
        row = self.rows[y]
        end = len(row) if length is None else x + length
        return "".join(c.ch for c in row[x:end])

    def lines(self):
        return [self.text(y) for y in range(len(self.rows))]

    def dump(self):
        return "\n".join(line.rstrip() for line in self.lines())

    def find(self, ch):
        """All (x, y) showing ch."""
        return [(x, y) for y, row in enumerate(self.rows) for x, c in enumerate(row) if c.ch == ch]

    def contains(self, text):
        return any(text in line for line in self.lines())


SGR = re.compile(r"\x1b\[([0-9;:]*)m")
OTHER_ESCAPE = re.compile(r"\x1b(\[[0-9;?]*[A-Za-z]|\][^\x07\x1b]*(\x07|\x1b\\)|[()][0-9A-Za-z])")


def apply_sgr(params, state):
    codes = [int(p) if p else 0 for p in re.split("[;:]", params)] if params else [0]
    i = 0
    while i < len(codes):
        c = codes[i]
        if c == 0:
            state.update(fg=None, bg=None, bold=False, reverse=False)
        elif c == 1:
            state["bold"] = True
        elif c == 22:
            state["bold"] = False
        elif c == 7:
            state["reverse"] = True
        elif c == 27:
            state["reverse"] = False
        elif 30 <= c <= 37:
            state["fg"] = c - 30
        elif c == 39:
            state["fg"] = None
        elif 40 <= c <= 47:
            state["bg"] = c - 40
        elif c == 49:
            state["bg"] = None
        elif 90 <= c <= 97:
            state["fg"] = c - 90 + 8
        elif 100 <= c <= 107:
            state["bg"] = c - 100 + 8
        elif c in (38, 48):
            key = "fg" if c == 38 else "bg"
            if i + 2 < len(codes) and codes[i + 1] == 5:
                state[key] = codes[i + 2]
                i += 2
            elif i + 4 < len(codes) and codes[i + 1] == 2:
                state[key] = tuple(codes[i + 2:i + 5])
                i += 4
        i += 1


def parse_capture(text, columns, rows):
    """Turns `capture-pane -p -e -N` output into a Screen. tmux carries attributes over line ends."""
    state = dict(fg=None, bg=None, bold=False, reverse=False)
    grid = []
    for line in text.split("\n")[:rows]:
        cells = []
        pos = 0
        while pos < len(line):
            m = SGR.match(line, pos)
            if m:
                apply_sgr(m.group(1), state)
                pos = m.end()
                continue
            m = OTHER_ESCAPE.match(line, pos)
            if m:
                pos = m.end()
                continue
            cells.append(Cell(line[pos], **state))
            pos += 1
        cells = cells[:columns] + [Cell()] * (columns - len(cells))
        grid.append(cells)
    while len(grid) < rows:
        grid.append([Cell()] * columns)
    return Screen(grid)


@dataclass
class Outcome:
    """How the program ended, as the shell in the pane saw it."""
    status: int
    stty_before: str
    stty_after: str
    screen: Screen
    cursor_visible: bool
    alternate_screen: bool
    keypad_mode: bool
    elapsed: float  # from the start of the game to its end
    stderr: str


def stty_settings(stty_output):
    """The terminal modes of `stty -a`, without the size line (a resize changes that)."""
    return [line for line in stty_output.splitlines() if not line.startswith("speed")]


class GameEnded(Exception):
    pass


class Session:
    """One tmux server with one pane running gridfall through a small recording shell script."""

    def __init__(self, columns=80, rows=24):
        require_tools()
        self.columns = columns
        self.rows = rows
        self.dir = tempfile.mkdtemp(prefix="gridfall-e2e-")
        self.home = os.path.join(self.dir, "home")
        os.mkdir(self.home)
        self.socket = os.path.join(self.dir, "tmux")
        self.pid = None
        self.processes = []  # (pid, start time) of what the pane ran, to stop whatever outlives it
        self.server_pidfd = None
        self.master_fd = None  # the pane's pseudo-terminal master, as numbered inside the tmux server
        env = {k: v for k, v in os.environ.items() if not k.startswith("TMUX")}
        self.tmux_env = env

    # --- tmux ---------------------------------------------------------------------------------

    def tmux(self, *args, check=True):
        result = subprocess.run(["tmux", "-S", self.socket, *args], env=self.tmux_env,
                                capture_output=True, text=True, timeout=PATIENCE)
        if check and result.returncode != 0:
            raise RuntimeError("tmux %s failed: %s" % (" ".join(args), result.stderr.strip()))
        return result.stdout

    def start(self, term="tmux-256color", home=None, stdin=None, frozen=True, env=None,
              stderr_to_file=False):
        """Starts the game in a fresh pane. term None leaves TERM unset; stdin is a shell redirection
        such as "<&-"; stderr_to_file keeps standard error off the pane."""
        # For a sanitizer build: the address sanitizer wants to be loaded first, but libfaketime
        # is preloaded before it; and a leak inside ncurses is not the game's.
        variables = {"HOME": self.home if home is None else home, "PATH": "/usr/bin:/bin", "TZ": "UTC",
                     "ASAN_OPTIONS": "verify_asan_link_order=0",
                     "LSAN_OPTIONS": "print_suppressions=0:suppressions=" + os.path.join(HERE, "lsan.supp")}
        if term is not None:
            variables["TERM"] = term
        if frozen:
            variables.update(LD_PRELOAD=faketime_library(), FAKETIME=FROZEN_CLOCK,
                             FAKETIME_DONT_FAKE_MONOTONIC="1")
        variables.update(env or {})
        command = ["env", "-i"] + ["%s=%s" % kv for kv in variables.items()] + [GRIDFALL]
        line = " ".join(shlex.quote(part) for part in command)
        if stdin:
            line += " " + stdin
        d = shlex.quote(self.dir)
        script = "\n".join([
            "# Runs the game as a player's shell would and records what the shell sees afterwards.",
            "trap : INT QUIT TERM HUP",  # a caught signal is reset for the game, unlike an ignored one
            "ulimit -c 0",
            "stty -a > %s/stty-before" % d,
            "date +%%s.%%N > %s/started" % d,
            "%s%s" % (line, " 2> %s/stderr" % d if stderr_to_file else ""),
            "status=$?",
            "date +%%s.%%N > %s/ended" % d,
            "stty -a > %s/stty-after 2>&1" % d,
            "echo $status > %s/status.tmp && mv %s/status.tmp %s/status" % (d, d, d),
            # Keep the pane, and what the game left on it, for the checks; unless the terminal
            # is gone already, when nothing would ever end the wait.
            "[ -t 0 ] && exec sleep 100000",
        ])
        with open(os.path.join(self.dir, "run.sh"), "w") as f:
            f.write(script + "\n")
        config = os.path.join(self.dir, "tmux.conf")
        with open(config, "w") as f:
            f.write("set -g status off\nset -g escape-time 0\nset -g default-terminal tmux-256color\n"
                    "set -g history-limit 100\n")
        self.tmux("-f", config, "new-session", "-d", "-s", "e2e", "-x", str(self.columns),
                  "-y", str(self.rows), "/bin/sh", os.path.join(self.dir, "run.sh"))
        self.shell_pid = int(self.tmux("display", "-p", "-t", "e2e", "#{pane_pid}").strip())
        self.processes.append((self.shell_pid, start_time(self.shell_pid)))
        self.tty = self.tmux("display", "-p", "-t", "e2e", "#{pane_tty}").strip()
        return self

    def close(self):
        if self.server_pidfd is not None and self.server_pidfd >= 0:
            os.close(self.server_pidfd)
            self.server_pidfd = None
        # The pane's shell first: left to itself it would record the game's end into the session's
        # folder while that is being removed.
        for pid, started in self.processes:
            if start_time(pid) == started:  # still that process, not another one with its pid
                try:
                    os.kill(pid, 9)
                except ProcessLookupError:
                    pass
        for pid, started in self.processes:
            deadline = time.monotonic() + PATIENCE
            while start_time(pid) == started and time.monotonic() < deadline and not self._zombie(pid):
                time.sleep(POLL)
        self.tmux("kill-server", check=False)

    @staticmethod
    def _zombie(pid):
        try:
            with open("/proc/%d/stat" % pid) as f:
                return f.read().rsplit(")", 1)[1].split()[0] == "Z"
        except OSError:
            return True

    # --- the game process ---------------------------------------------------------------------

    def game_pid(self):
        if self.pid is None:
            self.pid = self._until(self._find_game, "the game process to start")
            self.processes.append((self.pid, start_time(self.pid)))
        return self.pid

    def _find_game(self):
        try:
            with open("/proc/%d/task/%d/children" % (self.shell_pid, self.shell_pid)) as f:
                children = [int(p) for p in f.read().split()]
        except FileNotFoundError:
            return None
        for child in children:
            try:
                if os.readlink("/proc/%d/exe" % child) == os.path.realpath(GRIDFALL):
                    return child
            except OSError:
                pass
        return None

    def _proc(self, name):
        with open("/proc/%d/%s" % (self.game_pid(), name)) as f:
            return f.read()

    def ended(self):
        return os.path.exists(os.path.join(self.dir, "status"))

    def blocked_in_key_read(self):
        """True while the game sleeps in read() on standard input: it is waiting for a key."""
        try:
            fields = self._proc("syscall").split()
        except (FileNotFoundError, ProcessLookupError):
            return False
        return len(fields) > 1 and fields[0] == "0" and int(fields[1], 16) == 0

    def bytes_read(self):
        try:
            for line in self._proc("io").splitlines():
                if line.startswith("rchar:"):
                    return int(line.split()[1])
        except (FileNotFoundError, ProcessLookupError):
            pass
        return -1

    def pending_input(self):
        """Bytes written to the pane's terminal that the game has not read yet."""
        return _bytes_waiting(os.open(self.tty, os.O_RDONLY | os.O_NOCTTY | os.O_NONBLOCK))

    def unread_output(self):
        """Bytes the game wrote that tmux has not read yet (None where the kernel will not say).

        tmux parses what it reads before it serves another command, so at 0 a capture shows all
        of it. The server's end of the pane is borrowed for a moment through pidfd_getfd() and
        given back at once: holding it would keep the terminal from hanging up."""
        if self.server_pidfd is None:
            self._find_master()
        if self.master_fd is None:
            return None
        local = LIBC.syscall(SYS_PIDFD_GETFD, self.server_pidfd, self.master_fd, 0)
        if local < 0:
            return None
        return _bytes_waiting(local)

    def _find_master(self):
        server = int(self.tmux("display", "-p", "#{pid}").strip())
        self.server_pidfd = LIBC.syscall(SYS_PIDFD_OPEN, server, 0)
        if self.server_pidfd < 0:
            return
        index = self.tty.rsplit("/", 1)[-1]
        for fd in os.listdir("/proc/%d/fdinfo" % server):
            try:
                with open("/proc/%d/fdinfo/%s" % (server, fd)) as f:
                    if re.search(r"^tty-index:\s*%s$" % index, f.read(), re.M):
                        self.master_fd = int(fd)
                        return
            except OSError:
                pass

    # --- the pane -----------------------------------------------------------------------------

    def capture(self):
        size = self.tmux("display", "-p", "-t", "e2e", "#{pane_width} #{pane_height}").split()
        columns, rows = int(size[0]), int(size[1])
        text = self.tmux("capture-pane", "-p", "-e", "-N", "-t", "e2e")
        return parse_capture(text, columns, rows)

    def flag(self, name):
        return self.tmux("display", "-p", "-t", "e2e", "#{%s}" % name).strip() == "1"

    def _until(self, probe, what, timeout=PATIENCE):
        deadline = time.monotonic() + timeout
        while True:
            value = probe()
            if value:
                return value
            if time.monotonic() > deadline:
                raise AssertionError("timed out waiting for %s" % what)
            time.sleep(POLL)

    def wait_for_key(self, read_since=None, until=None, what="the game to wait for a key"):
        """Waits until the game waits for a key with everything drawn, and returns the screen.

        read_since: the game's byte count before keys were sent; they must have been read.
        until: a predicate the screen must satisfy as well.
        """
        pid = self.game_pid()
        deadline = time.monotonic() + PATIENCE
        previous = None
        while True:
            if self.ended():
                raise GameEnded("the game ended (status %s) while %s" % (self.status_text(), what))
            screen = None
            if (read_since is None or self.bytes_read() > read_since) and self.pending_input() == 0 \
                    and self.blocked_in_key_read() and not self.unread_output():
                screen = self.capture()
                if screen == previous and self.blocked_in_key_read() and (until is None or until(screen)):
                    return screen
            previous = screen
            if time.monotonic() > deadline:
                last = self.capture()
                raise AssertionError("timed out waiting for %s (game %d, syscall %s); the pane shows:\n%s"
                                     % (what, pid, self._safe_syscall(), last.dump()))
            time.sleep(POLL)

    def _safe_syscall(self):
        try:
            return self._proc("syscall").strip()
        except OSError:
            return "gone"

    def first_screen(self, until=None):
        return self.wait_for_key(until=until, what="the first screen")

    def send(self, *keys, literal=False):
        """Sends tmux key names (or literal text) to the pane without waiting."""
        self.tmux("send-keys", "-t", "e2e", *(["-l"] if literal else []), *keys)

    def send_bytes(self, data):
        self.tmux("send-keys", "-t", "e2e", "-H", *("%02x" % b for b in data))

    def press(self, *keys, literal=False, until=None):
        """Sends keys and returns the screen once the game has taken them and waits again."""
        before = self.bytes_read()
        self.send(*keys, literal=literal)
        return self.wait_for_key(read_since=before, until=until, what="the game to take %r" % (keys,))

    def press_bytes(self, data, until=None):
        before = self.bytes_read()
        self.send_bytes(data)
        return self.wait_for_key(read_since=before, until=until, what="the game to take %r" % data)

    def time_to_take(self, read_since):
        """After keys were sent: how long until the game has read them and waits for the next
        key, and the longest wait, in ms, it started meanwhile for the rest of an escape sequence
        (the timeout of its poll())."""
        started = time.monotonic()
        longest_poll = 0
        while True:
            try:
                fields = self._proc("syscall").split()
            except (FileNotFoundError, ProcessLookupError):
                raise GameEnded("the game ended while taking keys")
            if fields and fields[0] == "7" and len(fields) > 3:
                longest_poll = max(longest_poll, int(fields[3], 16))
            if self.bytes_read() > read_since and self.pending_input() == 0 and self.blocked_in_key_read():
                return time.monotonic() - started, longest_poll
            if time.monotonic() - started > PATIENCE:
                raise AssertionError("the game never took the keys")
            time.sleep(0.002)

    def signal(self, number):
        os.kill(self.game_pid(), number)

    # --- the end ------------------------------------------------------------------------------

    def status_text(self):
        try:
            with open(os.path.join(self.dir, "status")) as f:
                return f.read().strip()
        except FileNotFoundError:
            return "running"

    def wait_for_status(self, timeout=PATIENCE):
        """The exit status, as the shell saw it, once the game has ended."""
        self._until(self.ended, "the game to end", timeout)
        return int(self.status_text())

    def clock_file(self, name):
        """A time stamp the pane's shell wrote (seconds of the real clock)."""
        with open(os.path.join(self.dir, name)) as f:
            return float(f.read())

    def wait_for_exit(self, timeout=PATIENCE):
        self.wait_for_status(timeout)
        elapsed = self.clock_file("ended") - self.clock_file("started")

        def read(name):
            with open(os.path.join(self.dir, name)) as f:
                return f.read()

        return Outcome(status=int(read("status")), stty_before=read("stty-before"),
                       stty_after=read("stty-after"), screen=self.capture(),
                       cursor_visible=self.flag("cursor_flag"), alternate_screen=self.flag("alternate_on"),
                       keypad_mode=self.flag("keypad_cursor_flag"), elapsed=elapsed,
                       stderr=read("stderr") if os.path.exists(os.path.join(self.dir, "stderr")) else None)


class E2ETest(unittest.TestCase):
    """Base for the end-to-end tests: sessions that clean up, and the terminal-hygiene check."""

    maxDiff = None

    def session(self, columns=80, rows=24):
        s = Session(columns, rows)
        self.addCleanup(s.close)
        self._sessions = getattr(self, "_sessions", []) + [s]
        return s

    def run(self, result=None):
        problems = len(result.failures) + len(result.errors) if result else 0
        outcome = super().run(result)
        failed = result is not None and len(result.failures) + len(result.errors) > problems
        for s in getattr(self, "_sessions", []):
            if failed:
                print("\nfiles of the failed session kept in %s" % s.dir)  # pane script, stty, stderr
            else:
                shutil.rmtree(s.dir, ignore_errors=True)
        self._sessions = []
        return outcome

    def assertTerminalRestored(self, outcome):
        self.assertEqual(stty_settings(outcome.stty_after), stty_settings(outcome.stty_before),
                         "terminal modes after the game differ from before")
        modes = outcome.stty_after.split()
        for mode in ("echo", "icanon", "isig", "icrnl", "onlcr"):
            self.assertIn(mode, modes, "%s is off after the game" % mode)
        self.assertTrue(outcome.cursor_visible, "the cursor is still hidden")
        self.assertFalse(outcome.alternate_screen, "the terminal is left on the alternate screen")
        self.assertFalse(outcome.keypad_mode, "the terminal is left in keypad mode")

    def nonblank_lines(self, screen):
        return [line.rstrip() for line in screen.lines() if line.strip()]


# --- the in-memory twin ------------------------------------------------------------------------

# A key script is a list of keys: single characters, or the names of the arrow keys.
ARROW_CODES = {name: code for code, name in KEY_NAMES.items()}


def key_code(key):
    return ARROW_CODES[key] if key in ARROW_CODES else ord(key)


@dataclass
class Replay:
    screens: list  # one Screen per key wait, in order
    ending: str    # "end", "keys ran out" or "error: ..."


def replay(keys, seed=FROZEN_SEED, plain=False, home=None):
    """Plays the seed and keys through the in-memory terminal with gridfall-replay."""
    if not REPLAY or not os.access(REPLAY, os.X_OK):
        raise RuntimeError("GRIDFALL_REPLAY must name the built gridfall-replay tool")
    work = tempfile.mkdtemp(prefix="gridfall-replay-")
    try:
        command = [REPLAY] + (["--plain"] if plain else []) + [str(seed)] + [str(key_code(k)) for k in keys]
        result = subprocess.run(command, env={"HOME": home or work, "PATH": "/usr/bin:/bin"},
                                capture_output=True, text=True, timeout=PATIENCE * 4)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    if result.returncode != 0:
        raise RuntimeError("gridfall-replay failed: %s %s" % (result.stdout[-500:], result.stderr))
    return parse_replay(result.stdout)


def _look_colour(letter):
    return None if letter == "d" else int(letter)


def parse_replay(output):
    screens, texts, looks, ending = [], [], [], ""
    for line in output.split("\n"):
        if line.startswith("wait "):
            texts, looks = [], []
        elif line.startswith("text "):
            texts.append(line[5:])
        elif line.startswith("look "):
            cells = line[5:]
            y = len(looks)
            looks.append([Cell(texts[y][x], _look_colour(cells[4 * x]), _look_colour(cells[4 * x + 1]),
                               cells[4 * x + 2] == "b", cells[4 * x + 3] == "r")
                          for x in range(len(texts[y]))])
            if len(looks) == len(texts) == 24:
                screens.append(Screen(looks))
        elif line:
            ending = line
    return Replay(screens, ending)


def cell_differences(expected, actual, limit=12):
    """Where a real pane differs from an in-memory screen, in character, colour, bold or reverse.

    A cell drawn without a colour pair is, to curses, white on black; the terminal may show it in its
    default colours instead, and both are accepted for such a cell.
    """
    problems = []
    for y, row in enumerate(expected.rows):
        for x, want in enumerate(row):
            got = actual.cell(x, y)
            fg_ok = got.fg == want.fg or (want.fg is None and got.fg in (7, None))
            bg_ok = got.bg == want.bg or (want.bg is None and got.bg in (0, None))
            if got.ch != want.ch or not fg_ok or not bg_ok or got.bold != want.bold or \
                    got.reverse != want.reverse:
                problems.append("(%d,%d) expected %r got %r" % (x, y, want, got))
    return problems[:limit] + (["... %d more" % (len(problems) - limit)] if len(problems) > limit else [])


# --- playing ----------------------------------------------------------------------------------

def play_to_end_screen(session, key="k", expect_box=True, limit=100):
    """Flies the ship straight on (into the wall, unless something gets it first), then dismisses
    the last game screen. Returns the end screen, or None when the game ended instead and
    expect_box is false."""
    for _ in range(limit):
        try:
            screen = session.press(key)
        except GameEnded:
            if expect_box:
                raise
            return None
        if screen.contains("Play again? (Y/n)"):
            return screen
    raise AssertionError("no end screen after %d moves" % limit)


def ship(screen):
    """Where the ship is drawn in the arena."""
    found = [(x, y) for x, y in screen.find("@") if x < 73 and y < 22]
    assert len(found) == 1, "expected one ship, the pane shows:\n" + screen.dump()
    return found[0]
