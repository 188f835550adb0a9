#!/usr/bin/env python3
"""Watch latency: how long after a key the player presses the watcher's screen shows it, and what a
watcher costs the player.

The player (gridfall --seed 1) and the watcher (gridfall --watch, which finds the player's journal)
each run on a pty of their own, 80x24, in one throwaway HOME, as bench/pty_latency.py runs its
programs; the watcher on the measuring processor, so that the player's keeps to the player, as a
machine with a free core would have it. A random h/j/k/l key is written to the player's pty; the player's turn is timed as there
(until it has read the key and sleeps in read() again), then the watcher's: until the 80x24 text of
its screen, read through a terminal emulator, is the player's. The player is also timed in blocks
without any watcher, alternating with the watched blocks so both see the same machine noise, and
its system calls per key (/proc/PID/io syscr + syscw) are compared: the watcher only reads the
journal, so they must be the same. A death's end screen is answered untimed, and the death turn is
left out: the player then waits 150 ms for the keyboard to be quiet, after its screen was sent, and
the watcher's time is measured from the same key to the player's finished screen.

usage: watch_latency.py GAME [--samples N]
Exits 1 when a target is missed.
"""
import argparse
import os
import random
import shutil
import statistics
import sys
import tempfile
import time

import pyte

from pty_latency import COLUMNS, PROGRAM_CPU, ROWS, WATCHER_CPU, PtyProgram, ms, percentile

MEDIAN_TARGET_S = 0.100
P99_TARGET_S = 0.250
PLAYER_RATIO_TARGET = 1.25  # the player's median with a watcher over without: its usual spread
BLOCK = 50
# Keys come as far apart alone as watched (where each waits for the watcher), so that the player's
# caches go as cold between keys either way.
ALONE_PAUSE_S = 0.02
TERM = "screen"  # what the emulator reads fully (it lacks xterm's repeat of a character)
PATIENCE_S = 10.0


class Screen:
    """A program's output read through a terminal emulator."""

    def __init__(self, program):
        self.program, self.screen = program, pyte.Screen(COLUMNS, ROWS)
        self.stream = pyte.ByteStream(self.screen)

    def take(self, data=None):
        self.stream.feed(self.program.drain() if data is None else data)
        return self.screen.display


def syscalls(program):
    fields = dict(line.split(": ") for line in os.pread(program.io, 512, 0).decode().splitlines())
    return int(fields["syscr"]) + int(fields["syscw"])


def player_key(player, player_screen, key):
    """Times the player's turn; returns (seconds, system calls, the screen it shows)."""
    before = syscalls(player)
    elapsed, _, _, output = player.timed_key(key)
    calls = syscalls(player) - before
    display = player_screen.take(output)
    if any("Game Over" in line for line in display):
        rchar = player.counters()[0]
        os.write(player.master, b"y")  # the end screen is not a turn: a new game, untimed
        player.wait_blocked(rchar)
        return None, calls, player_screen.take()
    return elapsed, calls, display


def caught_up(watcher_screen, display, start):
    deadline = time.monotonic() + PATIENCE_S
    while watcher_screen.take() != display:
        if time.monotonic() > deadline:
            raise RuntimeError("the watcher never showed the player's screen:\n" + "\n".join(watcher_screen.take()))
        time.sleep(0.0005)
    return time.perf_counter() - start


def measure(args, home):
    player = PtyProgram([args.game, "--seed", "1"], home, term=TERM)
    player_screen = Screen(player)
    player_screen.take()
    results = {"alone": [], "watched": [], "calls alone": [], "calls watched": [], "watcher": []}
    last = []  # the lists the last timed key went to: a death turn is taken out again
    watched, deaths = False, 0
    try:
        while len(results["watcher"]) < args.samples:
            watcher = PtyProgram([args.game, "--watch"], home, wait=False, term=TERM) if watched else None
            if watcher:
                os.sched_setaffinity(watcher.pid, {WATCHER_CPU})
            watcher_screen = Screen(watcher) if watcher else None
            if watcher:
                caught_up(watcher_screen, player_screen.take(), time.perf_counter())
            for _ in range(BLOCK):
                start = time.perf_counter()
                elapsed, calls, display = player_key(player, player_screen, random.choice(b"hjkl").to_bytes(1, "little"))
                seen = caught_up(watcher_screen, display, start) if watcher else None
                if not watcher:
                    time.sleep(ALONE_PAUSE_S)
                if elapsed is None:
                    deaths += 1
                    for name in last:
                        results[name].pop()
                    last = []
                    continue
                last = ["watched", "calls watched", "watcher"] if watcher else ["alone", "calls alone"]
                for name, value in zip(last, (elapsed, calls, seen)):
                    results[name].append(value)
            if watcher:
                watcher.close()
            watched = not watched
    finally:
        player.close()
    return results, deaths


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("game")
    parser.add_argument("--samples", type=int, default=500)
    args = parser.parse_args()
    random.seed(1)
    os.sched_setaffinity(0, {WATCHER_CPU})
    home = tempfile.mkdtemp(prefix="gridfall-watch-")
    try:
        r, deaths = measure(args, home)
    finally:
        shutil.rmtree(home, ignore_errors=True)
    w50, w99 = statistics.median(r["watcher"]), percentile(r["watcher"], 0.99)
    a50, a99 = statistics.median(r["alone"]), percentile(r["alone"], 0.99)
    p50, p99 = statistics.median(r["watched"]), percentile(r["watched"], 0.99)
    print("watch latency, %d ordinary turns watched, %d alone (%d deaths left out; the player on processor %d,"
          " the watcher and the measuring on %d):" % (len(r["watcher"]), len(r["alone"]), deaths, PROGRAM_CPU, WATCHER_CPU))
    print("  key to the watcher's screen: median %s (target < %s)  p99 %s (target < %s)  max %s"
          % (ms(w50), ms(MEDIAN_TARGET_S), ms(w99), ms(P99_TARGET_S), ms(max(r["watcher"]))))
    print("  player's turn alone:   median %s  p99 %s  system calls per key %.2f"
          % (ms(a50), ms(a99), statistics.mean(r["calls alone"])))
    print("  player's turn watched: median %s  p99 %s  system calls per key %.2f  median ratio %.2f (target <= %g)"
          % (ms(p50), ms(p99), statistics.mean(r["calls watched"]), p50 / a50, PLAYER_RATIO_TARGET))
    failed = w50 >= MEDIAN_TARGET_S or w99 >= P99_TARGET_S or p50 / a50 > PLAYER_RATIO_TARGET
    failed |= statistics.mean(r["calls watched"]) != statistics.mean(r["calls alone"])
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
