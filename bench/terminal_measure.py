#!/usr/bin/env python3
"""Measures the running game in tmux next to baseline programs on the same screen layer.

  memory:   resident memory (VmRSS) of the game waiting for its first key, and of bare-wait,
            which only starts the screen and waits for a key
  idle:     CPU time (utime + stime from /proc/PID/stat) each uses while waiting, over 2 seconds
  latency:  keystroke-to-screen time in one tmux session, game and bare-echo side by side, keys
            sent to each in turn: from the send-keys command to the first output of the pane
            (and, for the game, to the last output of the turn)

tmux runs in control mode, which reports every pane's output as it arrives, so no polling of the
screen is involved in the timing. The game's high-score table goes to a throwaway HOME.

usage: terminal_measure.py GAME BARE_WAIT BARE_ECHO [--samples N]
"""
import argparse
import os
import random
import re
import select
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

SOCKET = None  # a fresh tmux server for each phase, so one phase's leftovers cannot disturb the next
QUIET_S = 0.025  # a pane is done drawing when it has written nothing for this long


def tmux(*args):
    done = subprocess.run(["tmux", "-L", SOCKET, "-f", "/dev/null", *args], capture_output=True, text=True)
    if done.returncode != 0:
        raise RuntimeError("tmux %s failed: %s" % (" ".join(args), done.stderr.strip()))
    return done.stdout


def pane_pid(pane):
    return int(tmux("display-message", "-p", "-t", pane, "#{pane_pid}").strip())


def screen_text(pane):
    return tmux("capture-pane", "-p", "-t", pane)


def wait_for_text(pane, text, timeout=10.0):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if text in screen_text(pane):
            return
        time.sleep(0.05)
    raise RuntimeError("pane %s never showed %r:\n%s" % (pane, text, screen_text(pane)))


def start_side_by_side(home, left_cmd, right_cmd):
    """One 161x24 window split into two 80x24 panes; returns their pane ids."""
    global SOCKET
    SOCKET = "gridfall-measure-%d-%d" % (os.getpid(), time.monotonic_ns())
    env = ["env", "HOME=" + home]
    tmux("new-session", "-d", "-s", "measure", "-x", "161", "-y", "24", *env, *left_cmd)
    tmux("set-option", "-t", "measure", "window-size", "manual")
    tmux("split-window", "-h", "-t", "measure", "-l", "80", *env, *right_cmd)
    panes = tmux("list-panes", "-t", "measure", "-F", "#{pane_id}").split()
    return panes[0], panes[1]


def kill_server():
    if SOCKET is None:
        return
    subprocess.run(["tmux", "-L", SOCKET, "kill-server"], capture_output=True)
    # The server leaves its socket file behind.
    socket_dir = os.path.join(os.environ.get("TMUX_TMPDIR", "/tmp"), "tmux-%d" % os.getuid())
    try:
        os.remove(os.path.join(socket_dir, SOCKET))
    except FileNotFoundError:
        pass


def vm_rss_kb(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise RuntimeError("no VmRSS for %d" % pid)


def cpu_ticks(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime, stime (fields 14 and 15 of the line)


def measure_resting(args, home):
    game, bare = start_side_by_side(home, [args.game], [args.bare_wait])
    try:
        wait_for_text(game, "Power:")
        wait_for_text(bare, "waiting for a key")
        time.sleep(1.0)
        pids = {"game": pane_pid(game), "bare-wait": pane_pid(bare)}
        rss = {name: vm_rss_kb(pid) for name, pid in pids.items()}
        before = {name: cpu_ticks(pid) for name, pid in pids.items()}
        time.sleep(2.0)
        idle = {name: cpu_ticks(pid) - before[name] for name, pid in pids.items()}
        return rss, idle
    finally:
        kill_server()


class ControlClient:
    """A tmux control-mode client: sends commands, and sees every pane's output as it arrives."""

    def __init__(self):
        self.proc = subprocess.Popen(["tmux", "-L", SOCKET, "-f", "/dev/null", "-C", "attach", "-t", "measure"],
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.buffer = b""
        self.command("refresh-client -C 161x24")

    def close(self):
        self.proc.stdin.close()
        self.proc.wait(timeout=5)

    def send(self, line):
        self.proc.stdin.write(line.encode() + b"\n")
        self.proc.stdin.flush()

    def next_line(self, timeout):
        """The next line of tmux's report, or None when nothing came within timeout."""
        end = time.monotonic() + timeout
        while b"\n" not in self.buffer:
            left = end - time.monotonic()
            if left <= 0 or not select.select([self.proc.stdout], [], [], left)[0]:
                return None
            chunk = os.read(self.proc.stdout.fileno(), 65536)
            if not chunk:
                raise RuntimeError("tmux control client ended")
            self.buffer += chunk
        line, self.buffer = self.buffer.split(b"\n", 1)
        return line.decode("latin-1")

    def command(self, line):
        """Runs a command and returns the lines of its reply."""
        self.send(line)
        reply, inside = [], False
        while True:
            got = self.next_line(10.0)
            if got is None:
                raise RuntimeError("no reply to %r" % line)
            if got.startswith("%begin"):
                inside = True
            elif got.startswith("%end") or got.startswith("%error"):
                if inside:
                    return reply
            elif inside:
                reply.append(got)

    def settle(self):
        while self.next_line(QUIET_S) is not None:
            pass

    def timed_key(self, pane, key):
        """Sends one key; returns (seconds to the pane's first output, to its last, text written)."""
        self.settle()
        prefix = "%output " + pane + " "
        start = time.perf_counter()
        self.send("send-keys -t %s %s" % (pane, key))
        first = last = None
        text = []
        while True:
            line = self.next_line(2.0 if first is None else QUIET_S)
            if line is None:
                break
            if line.startswith(prefix):
                last = time.perf_counter() - start
                if first is None:
                    first = last
                text.append(line[len(prefix):])
        if first is None:
            raise RuntimeError("pane %s wrote nothing after key %r" % (pane, key))
        return first, last, "".join(text)


MOVES = {"l": (1, 0), "j": (0, 1), "h": (-1, 0), "k": (0, -1)}
CREATURE_GLYPHS = set("<>^v")


def choose_move(client, pane):
    """A move onto open floor away from creatures, read off the game's screen (untimed)."""
    rows = client.command("capture-pane -p -t " + pane)[:22]
    cell = lambda x, y: rows[y][x] if 0 <= y < len(rows) and 0 <= x < len(rows[y]) else "#"
    ship = next(((r.index("@"), y) for y, r in enumerate(rows) if "@" in r), None)
    if ship is None:
        return random.choice(list(MOVES))
    safe, open_ = [], []
    for key, (dx, dy) in MOVES.items():
        x, y = ship[0] + dx, ship[1] + dy
        if cell(x, y) not in ".X":
            continue
        open_.append(key)
        if not any(cell(x + a, y + b) in CREATURE_GLYPHS for a in (-1, 0, 1) for b in (-1, 0, 1)):
            safe.append(key)
    return random.choice(safe or open_ or list(MOVES))


def measure_latency(args, home):
    game, bare = start_side_by_side(home, [args.game], [args.bare_echo])
    client = None
    try:
        wait_for_text(game, "Power:")
        wait_for_text(bare, "press keys")
        client = ControlClient()
        game_first, game_last, bare_first = [], [], []
        games_restarted = 0
        while len(game_first) < args.samples:
            order = [game, bare] if random.random() < 0.5 else [bare, game]
            for pane in order:
                if pane == bare:
                    first, _, _ = client.timed_key(bare, "a")
                    bare_first.append(first)
                    continue
                first, last, text = client.timed_key(game, choose_move(client, game))
                plain = re.sub(r"\\[0-7]{3}", " ", text)
                if "Game Over" in plain or "Play again" in plain:
                    # The key after a death opens the end screen; that is not a turn. Start again.
                    wait_for_text(game, "Play again")
                    client.send("send-keys -t %s y" % game)
                    client.settle()
                    wait_for_text(game, "Power:")
                    games_restarted += 1
                    continue
                game_first.append(first)
                game_last.append(last)
        return game_first, game_last, bare_first[:len(game_first)], games_restarted
    finally:
        if client is not None:
            client.close()
        kill_server()


def percentile(values, p):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(p * len(ordered)))]


def ms(seconds):
    return "%.3f ms" % (seconds * 1000)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("game")
    parser.add_argument("bare_wait")
    parser.add_argument("bare_echo")
    parser.add_argument("--samples", type=int, default=400)
    args = parser.parse_args()
    random.seed(1)
    home = tempfile.mkdtemp(prefix="gridfall-measure-")
    failed = False
    try:
        rss, idle = measure_resting(args, home)
        ratio = rss["game"] / rss["bare-wait"]
        print("resident memory waiting for a key: game %d kB, bare-wait %d kB, ratio %.2f (target <= 1.5)"
              % (rss["game"], rss["bare-wait"], ratio))
        print("CPU used while waiting 2 s: game %d ticks, bare-wait %d ticks (target 0)"
              % (idle["game"], idle["bare-wait"]))
        failed |= ratio > 1.5 or idle["game"] != 0

        game_first, game_last, bare_first, restarts = measure_latency(args, home)
        g50, g99 = statistics.median(game_first), percentile(game_first, 0.99)
        b50, b99 = statistics.median(bare_first), percentile(bare_first, 0.99)
        print("keystroke-to-screen, %d keys each, side by side in tmux (%d games restarted):"
              % (len(game_first), restarts))
        print("  bare-echo  first output: median %s  p99 %s" % (ms(b50), ms(b99)))
        print("  game turn  first output: median %s  p99 %s  (ratio %.2f, %.2f; target <= 1.5)"
              % (ms(g50), ms(g99), g50 / b50, g99 / b99))
        print("  game turn  last output:  median %s  p99 %s"
              % (ms(statistics.median(game_last)), ms(percentile(game_last, 0.99))))
        failed |= g50 / b50 > 1.5 or g99 / b99 > 1.5
    finally:
        kill_server()
        shutil.rmtree(home, ignore_errors=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
