"""What a key costs on a real terminal: everything a turn draws leaves in one write(2), made just
before the game waits for the next key (a slow link then carries one packet per key)."""

import glob
import os

from term import GameTest

MOVES = {"h": (-1, 0), "j": (0, 1), "k": (0, -1), "l": (1, 0)}


def writes_so_far(game):
    """write(2) calls the game has made to its terminal, from /proc/PID/io: every call but the one
    per key that appends the key to the run's journal."""
    calls = int(next(line for line in game._proc("io").splitlines() if line.startswith("syscw:")).split()[1])
    journal = glob.glob(os.path.join(game.home, ".gridfall", "journal", "*.rec"))
    with open(journal[0], "rb") as f:
        return calls - f.read().count(b"\n")


def move_onto_floor(game):
    """A move key whose target cell shows open floor."""
    [(x, y)] = game.find("@")
    return next(key for key, (dx, dy) in MOVES.items() if game.cell(x + dx, y + dy).data == ".")


class OneWritePerKey(GameTest):
    def test_turns_and_power_keys(self):
        for columns, rows in (80, 24), (110, 30):  # a larger terminal draws the guide in the same write
            self.check_one_write_per_key(self.game(columns=columns, rows=rows).first_screen().wait_for_key())

    def check_one_write_per_key(self, game):
        # A power key only draws its marker; the direction then completes the turn.
        keys = ["p", move_onto_floor] + [move_onto_floor] * 8
        for key in keys:
            self.assertTrue(game.find("@"), "the ship died; the end screen is not a turn")
            key = key if isinstance(key, str) else key(game)
            before = writes_so_far(game)
            game.press(key).wait_for_key()  # a second look takes in output the first may have missed
            self.assertEqual(writes_so_far(game) - before, 1, "key %r:\n%s" % (key, game.dump()))
