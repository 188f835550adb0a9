#!/usr/bin/env python3
"""Keystroke latency on a bare pseudo-terminal: the game next to bare-echo, key by key.

Both programs run on their own pty (80x24, TERM xterm-256color, a throwaway HOME) with nothing in
between. The same random h/j/k/l keys go to each in turn, in random order, so both see the same
machine noise. A key is timed from writing it to the pty until the program has read it and sleeps
in read() on its terminal again, everything it had to say written: the status of the program comes
from /proc/PID/syscall, read in a tight loop (a few microseconds a look), and /proc/PID/io tells
that the key was taken (rchar) and how many write(2) calls (syscw) and bytes (wchar) it cost. The
game also appends each key to its run's journal in one write(2) of its own; that write is counted
apart (from the journal's growth), so the figures for the terminal are what reaches the screen.

The watcher and the programs are pinned to different processors (when there are two): otherwise
whichever program the scheduler happens to place beside the spinning watcher pays for waking up
next to it, and the ratio swings from 0.5 to 2 between runs.

Only ordinary turns count: the key after a death opens the end screen (with the high-score file's
fsyncs), which is not a turn, and the game is then started again untimed. The death turn counts.

With --strace the game also plays a short untimed run under strace, which gives the system calls
of each ordinary turn (from one key read to the next).

usage: pty_latency.py GAME BARE_ECHO [--samples N] [--strace]
Exits 1 when a target is missed.
"""
import argparse
import fcntl
import glob
import os
import pty
import random
import re
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import termios
import time

ROWS, COLUMNS = 24, 80
READ_SYSCALL = "0"  # x86_64
PATIENCE_S = 10.0
MEDIAN_RATIO_TARGET = 1.4
P99_TARGET_S = 0.0005
SYSCALLS_TARGET = 5
BYTES_TARGET = 480


CPUS = sorted(os.sched_getaffinity(0))
WATCHER_CPU, PROGRAM_CPU = CPUS[0], CPUS[-1]


class PtyProgram:
    """A program on its own pseudo-terminal, watched through /proc."""

    def __init__(self, argv, home, wait=True, term="xterm-256color"):
        self.home = home
        self.pid, self.master = pty.fork()
        if self.pid == 0:
            os.sched_setaffinity(0, {PROGRAM_CPU})
            fcntl.ioctl(0, termios.TIOCSWINSZ, struct.pack("HHHH", ROWS, COLUMNS, 0, 0))
            env = {"TERM": term, "HOME": home, "PATH": "/usr/bin:/bin", "LC_ALL": "C.UTF-8"}
            os.execve(argv[0], argv, env)
        os.set_blocking(self.master, False)
        self.syscall = os.open("/proc/%d/syscall" % self.pid, os.O_RDONLY)
        self.io = os.open("/proc/%d/io" % self.pid, os.O_RDONLY)
        if wait:
            self.wait_blocked(-1)

    def counters(self):
        """(rchar, syscw, wchar) from /proc/PID/io."""
        fields = dict(line.split(": ") for line in os.pread(self.io, 512, 0).decode().splitlines())
        return int(fields["rchar"]), int(fields["syscw"]), int(fields["wchar"])

    def blocked_in_read(self):
        fields = os.pread(self.syscall, 256, 0).split()
        return len(fields) > 1 and fields[0] == READ_SYSCALL.encode() and fields[1] == b"0x0"

    def wait_blocked(self, rchar_before):
        """Spins until the program has read past rchar_before and sleeps in read() on stdin."""
        # rchar first: once it shows the key taken, a read() seen afterwards is the next one.
        deadline = time.monotonic() + PATIENCE_S
        while not (self.counters()[0] > rchar_before and self.blocked_in_read()):
            if time.monotonic() > deadline:
                raise RuntimeError("pid %d never came back to a key read" % self.pid)

    def drain(self):
        data = b""
        while True:
            try:
                chunk = os.read(self.master, 65536)
            except (BlockingIOError, OSError):
                return data
            if not chunk:
                return data
            data += chunk

    def journal(self):
        """(lines, bytes) of the journals under the program's HOME: one line, one write(2), a key."""
        lines = size = 0
        for path in glob.glob(os.path.join(self.home, ".gridfall", "journal", "*.rec")):
            with open(path, "rb") as f:
                data = f.read()
            lines, size = lines + data.count(b"\n"), size + len(data)
        return lines, size

    def timed_key(self, key):
        """Sends one key; returns (seconds, write(2) calls and bytes to the terminal, output)."""
        self.drain()
        rchar, syscw, wchar = self.counters()
        journal_lines, journal_bytes = self.journal()
        start = time.perf_counter()
        os.write(self.master, key)
        self.wait_blocked(rchar)
        elapsed = time.perf_counter() - start
        _, syscw_after, wchar_after = self.counters()
        lines_after, bytes_after = self.journal()
        writes = syscw_after - syscw - (lines_after - journal_lines)
        return elapsed, writes, wchar_after - wchar - (bytes_after - journal_bytes), self.drain()

    def close(self):
        try:
            os.kill(self.pid, 9)
            os.waitpid(self.pid, 0)
        except OSError:
            pass
        for fd in (self.syscall, self.io, self.master):
            os.close(fd)


def measure(args, home):
    game = PtyProgram([args.game], home)
    bare = PtyProgram([args.bare_echo], home)
    turns = {"game": [], "bare": []}
    restarts = 0
    try:
        while len(turns["game"]) < args.samples:
            key = random.choice(b"hjkl").to_bytes(1, "little")
            for name in random.sample(["game", "bare"], 2):
                program = game if name == "game" else bare
                elapsed, writes, written, output = program.timed_key(key)
                if name == "game" and b"Game Over" in output:
                    restarts += 1  # the end screen, not a turn; start another game untimed
                    rchar = program.counters()[0]
                    os.write(program.master, b"y")
                    program.wait_blocked(rchar)
                    continue
                turns[name].append((elapsed, writes, written))
    finally:
        game.close()
        bare.close()
    return turns["game"], turns["bare"][:len(turns["game"])], restarts


def syscalls_per_turn(args, home, keys=200):
    """Plays keys under strace; returns the system-call counts of the ordinary turns.

    The /proc watch would see strace, not the game, so keys are simply paced; h/j/k/l also answer
    "Play again?" with yes. A turn runs from one key read to the next; the end screen's key (the
    one with the fsyncs), the new game after it and the death turn (which discards typed keys) are
    left out. The journal's write per key counts among the calls."""
    trace = os.path.join(home, "trace")
    program = PtyProgram(["/usr/bin/strace", "-f", "-o", trace, args.game], home, wait=False)
    try:
        time.sleep(0.5)
        for _ in range(keys):
            os.write(program.master, random.choice(b"hjkl").to_bytes(1, "little"))
            time.sleep(0.02)
            program.drain()
    finally:
        program.close()
    turns, current = [], None
    with open(trace) as f:
        for line in f:
            if re.match(r"\d+ +read\(0, ", line):
                if current is not None:
                    turns.append(current)
                current = []
            if current is not None:
                current.append(line)
    # The turn the ship dies in also discards the keys typed meanwhile (TCFLSH), so that they cannot
    # skip the end screens: it belongs to the game's end, not to ordinary play.
    ordinary = [t for i, t in enumerate(turns)
                if not any("fsync(" in line for u in turns[max(0, i - 1):i + 1] for line in u)
                and not any("TCFLSH" in line for line in t)]
    return [len(t) for t in ordinary]


def ms(seconds):
    return "%.3f ms" % (seconds * 1000)


def percentile(values, p):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(p * len(ordered)))]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("game")
    parser.add_argument("bare_echo")
    parser.add_argument("--samples", type=int, default=1000)
    parser.add_argument("--strace", action="store_true")
    args = parser.parse_args()
    random.seed(1)
    os.sched_setaffinity(0, {WATCHER_CPU})
    home = tempfile.mkdtemp(prefix="gridfall-pty-")
    failed = False
    try:
        game, bare, restarts = measure(args, home)
        g = [t for t, _, _ in game]
        b = [t for t, _, _ in bare]
        g50, g99, b50, b99 = statistics.median(g), percentile(g, 0.99), statistics.median(b), percentile(b, 0.99)
        writes = [w for _, w, _ in game]
        written = [n for _, _, n in game]
        print("keystroke latency on a bare pty, %d ordinary turns, interleaved with bare-echo (%d games restarted):"
              % (len(game), restarts))
        print("  bare-echo: median %s  p99 %s  write(2) per key %.2f  bytes per key %.0f"
              % (ms(b50), ms(b99), statistics.mean(w for _, w, _ in bare), statistics.mean(n for _, _, n in bare)))
        print("  game turn: median %s  p99 %s  ratio to bare %.2f (target <= %g), p99 target < %s"
              % (ms(g50), ms(g99), g50 / b50, MEDIAN_RATIO_TARGET, ms(P99_TARGET_S)))
        print("  game turn: write(2) per turn %.2f (min %d, max %d; target exactly 1), bytes per turn mean %.0f,"
              " median %.0f (target <= %d)"
              % (statistics.mean(writes), min(writes), max(writes), statistics.mean(written),
                 statistics.median(written), BYTES_TARGET))
        failed |= g50 / b50 > MEDIAN_RATIO_TARGET or g99 >= P99_TARGET_S
        failed |= min(writes) != 1 or max(writes) != 1 or statistics.mean(written) > BYTES_TARGET
        if args.strace:
            counts = syscalls_per_turn(args, home)
            print("  game turn under strace: system calls per turn median %g, max %d over %d turns (target <= %d)"
                  % (statistics.median(counts), max(counts), len(counts), SYSCALLS_TARGET))
            failed |= max(counts) > SYSCALLS_TARGET
    finally:
        shutil.rmtree(home, ignore_errors=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
