"""The real binary in a real terminal: the reviewed golden game replayed cell by cell with the clock
frozen (and its cast and --verify), the first run in a new home, a terminal without colours, resizes
and a hang-up. Other real-terminal checks are reviewed cases (cases.py).

By hand, from this folder: GRIDFALL=../../build/gridfall /usr/bin/python3 -m unittest -v realterm
"""

import json
import os
import re
import shutil
import stat
import time
import unittest

import pexpect
import pyte

import term
from cases import key_bytes
from term import GameTest

GOLDEN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "golden", "cases", "frozen_clock.txt")
LOOKS = {"default": ".", "black": "k", "red": "r", "green": "g", "brown": "y", "blue": "b", "magenta": "m",
         "cyan": "c", "white": "w"}


def read_case(path):
    """The keys (as bytes, read by golden_tests), the expected screens by key index and the table."""
    with open(path) as f:
        case = f.read()
    screens = {n: block.splitlines() for n, block in re.findall(r"^screen (\S+)\n((?:[|:].*\n?)*)", case, re.M)}
    keys = key_bytes(" ".join(re.findall(r"^keys (.*)", case, re.M)))
    return keys, screens, re.search(r"^table (.*)", case, re.M).group(1).encode()


def render(screen):
    """A pyte screen in the golden files' form: characters, then a colour letter per cell (upper case bold)."""
    text, looks = [], []
    for y in range(24):
        row = [screen.buffer[y][x] for x in range(80)]
        text.append("|" + "".join(c.data for c in row).rstrip(" "))
        letters = ["#" if c.reverse else LOOKS.get(c.fg, "?") for c in row]
        looks.append(":" + "".join((":" if l == "." else l.upper()) if c.bold else l
                                   for l, c in zip(letters, row)).rstrip("."))
    return text + looks


def visible(screen):
    """A blank shows no foreground, and terminals differ in what they record there: drop its look. Pair 0
    is white on black to curses, which may send it as such: no colour and white are one look."""
    text, looks = screen[:24], screen[24:]
    for y, (chars, look) in enumerate(zip(text, looks)):
        chars = chars[1:].ljust(80)
        looks[y] = ":" + "".join("." if chars[x] == " " else {"w": ".", "W": ":"}.get(l, l)
                                 for x, l in enumerate(look[1:])).rstrip(".")
    return text + looks


def cast_screens(events):
    """A cast's output events fed one by one to the emulator the tests read the game through: the screen
    after each, the markers as (the event they follow, label), and the emulator as the cast left it."""
    screen, screens, markers = pyte.Screen(80, 24), [], []
    stream = pyte.Stream(screen)
    for _, code, data in events[1:]:
        if code == "o":
            stream.feed(data)
            screens.append(render(screen))
        else:
            markers.append((len(screens) - 1, data))
    return screens, markers, screen


def ship(game):
    return next(p for p in game.find("@") if p[1] < 22)


class Determinism(GameTest):
    def test_the_reviewed_game_cell_by_cell_then_the_first_table_of_a_new_home(self):
        keys, screens, table = read_case(GOLDEN)
        g = self.game()
        g.first_screen()
        for wait, key in enumerate(keys):
            if str(wait) in screens:
                self.assertEqual(visible(render(g.screen)), visible(screens[str(wait)]), "the screen at wait %d" % wait)
            if wait < len(keys) - 1:
                g.press(key)
        g.send(keys[-1])
        self.assertEqual(g.wait_for_exit(), 0)
        self.assertRestored(g)
        directory = os.path.join(g.home, ".gridfall")
        self.assertEqual(stat.S_IMODE(os.stat(directory).st_mode), 0o700)
        self.assertEqual(sorted(os.listdir(directory)), ["highscore", "highscore.lock", "journal", "last-game.rec"])
        self.assertEqual(os.listdir(os.path.join(directory, "journal")), [], "a finished run leaves no journal")
        with open(os.path.join(directory, "highscore"), "rb") as f:
            self.assertEqual(f.read(), table)
        self.check_cast_and_verify(g.home, os.path.join(directory, "last-game.rec"), keys, screens)

    def check_cast_and_verify(self, home, recording, keys, screens):
        """The run's recording as a cast shows the reviewed screens event by event; --verify tells its game."""
        cast = term.run("--cast", recording, home=home)
        self.assertEqual((cast.returncode, cast.stderr), (0, ""))
        events = [json.loads(line) for line in cast.stdout.splitlines()]
        self.assertEqual(events[0], {"version": 2, "width": 80, "height": 24, "title": "gridfall, seed 1709294400",
                                     "env": {"TERM": "xterm-256color", "SHELL": "/bin/sh"}, "idle_time_limit": 1.0})
        shown, markers, viewer = cast_screens(events)
        self.assertEqual(len(shown), len(keys) + 2, "one event for the first screen, one per key, one to end")
        for wait, screen in screens.items():
            if wait != "end":
                self.assertEqual(visible(shown[int(wait)]), visible(screen), "the cast's screen after %s keys" % wait)
        self.assertEqual(markers, [(0, "level 1"), (len(keys) - 1, "game over: 1 points")])
        # The viewer's terminal given back: on 24 rows the picture moves up for a blank line below it,
        # where the cursor waits, shown again, with no colour or attribute left set.
        self.assertEqual(shown[-1][:24], shown[-2][1:24] + ["|"], "the picture moved up, a fresh line below")
        cursor = viewer.cursor
        self.assertEqual((cursor.x, cursor.y, cursor.hidden, cursor.attrs), (0, 23, False, viewer.default_char))
        self.assertEqual([e[0] for e in events[1:] if e[1] == "o"][:3], [0.0, 0.125, 0.25], "8 keys a second")
        self.assertEqual(json.loads(term.run("--verify", recording, home=home).stdout), {
            "name": recording, "format": 1, "seed": 1709294400, "keys": len(keys),
            "games": [{"score": 1, "level": 1, "won": False, "entered": True}], "finished": True})
        if shutil.which("asciinema") is None:
            self.skipTest("asciinema is not installed: the cast is not played by it")
        path = os.path.join(os.path.dirname(recording), "run.cast")
        with open(path, "w") as f:
            f.write(cast.stdout)
        # asciinema cat wants a terminal of its own (it opens /dev/tty).
        output, status = pexpect.run("asciinema cat " + path, withexitstatus=True, timeout=60)
        self.assertEqual(status, 0, output[-500:])


class Input(GameTest):
    def test_resizes_repaint_the_game_and_a_terminal_too_small_pauses_it(self):
        g = self.game().first_screen()
        before = g.press("p").lines()
        read = g.bytes_read()
        g.screen.erase_in_display(2)  # only a full repaint brings the game back
        g.resize(100, 30)
        g.wait_for_key(until=lambda g: [l[:80] for l in g.lines()[:24]] == before, what="a full repaint")
        g.resize(60, 20)
        g.wait_for_key(until=lambda g: g.contains("gridfall needs 75x24 characters; the terminal is 60x20"))
        x, y = ship(g.resize(80, 24) or g.wait_for_key(until=lambda g: g.lines() == before))
        self.assertEqual(g.bytes_read(), read, "a resize is not a key")
        g.resize(60, 20)
        g.wait_for_key(until=lambda g: g.contains("gridfall needs"))
        g.press("j")  # not a move while the game cannot be seen
        g.resize(80, 24)
        g.wait_for_key(until=lambda g: g.lines() == before)
        down = g.cell(x, y + 1).data == "."
        g.press("j" if down else "k")
        self.assertEqual(ship(g), (x, y + 1 if down else y - 1))
        self.assertTrue(g.text(22).startswith("Power: 0 "), "the pending phase-out fired:\n" + g.dump())

    def test_a_hang_up_ends_the_game_at_once(self):
        g = self.game().first_screen()
        g.press("p")
        started = time.monotonic()
        g.child.ptyproc.fileobj.close()  # the terminal goes away
        while g.child.isalive():
            self.assertLess(time.monotonic() - started, 1.0, "the game lingered after the hang-up")
            time.sleep(0.01)
        self.assertFalse(os.path.exists(os.path.join(g.home, ".gridfall", "highscore")), "a table was written")


if __name__ == "__main__":
    unittest.main()
