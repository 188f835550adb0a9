"""Playing in a real terminal: the first screen in its colours, moves and powers, the end of a game,
the stored score table, and leaving with "n"."""

import os
import re
import stat

from harness import E2ETest, play_to_end_screen, ship

BLACK, RED, GREEN, YELLOW, BLUE, MAGENTA, CYAN, WHITE = range(8)
ARENA_COLUMNS, ARENA_ROWS = 73, 22
CREATURE_GLYPHS = "<>^v"
DIRECTIONS = {  # dx, dy and the four keys that give it: arrow, digit, letter, capital letter
    "right": (1, 0, ["Right", "6", "l", "L"]),
    "left": (-1, 0, ["Left", "4", "h", "H"]),
    "down": (0, 1, ["Down", "2", "j", "J"]),
    "up": (0, -1, ["Up", "8", "k", "K"]),
}
TABLE_HEADER = "[-110780952][-9133037511685953882]"


def table_bytes(table, capacity=5):
    return (TABLE_HEADER + "A[[0][%d]" % capacity + "".join("I[%d]" % v for v in table) + "]").encode()


def free_run(screen, x, y, dx, dy):
    """Floor cells straight ahead of (x, y)."""
    n = 0
    while screen.cell(x + dx * (n + 1), y + dy * (n + 1)).ch == ".":
        n += 1
    return n


def best_direction(screen):
    x, y = ship(screen)
    return max(DIRECTIONS, key=lambda d: free_run(screen, x, y, *DIRECTIONS[d][:2]))


def press_key(session, key):
    return session.press(key, literal=len(key) == 1)


class PlayTest(E2ETest):
    def assertLook(self, screen, x, y, text, fg, bold, bg=BLACK):
        self.assertEqual(screen.text(y, x, len(text)), text, "row %d:\n%s" % (y, screen.dump()))
        for i in range(len(text)):
            cell = screen.cell(x + i, y)
            self.assertEqual((cell.fg, cell.bg, cell.bold, cell.reverse), (fg, bg, bold, False),
                             "look of %r at (%d,%d)" % (cell.ch, x + i, y))

    def assertStatus(self, screen, power, score, menu):
        self.assertLook(screen, 0, 22, "Power: %d  " % power, CYAN, True)
        self.assertLook(screen, 0, 23, "Score: %d" % score, GREEN, True)
        shown = {}
        for y in (22, 23):
            for m in re.finditer(r"\S+", screen.text(y, 15, 60)):
                shown[m.group()] = (15 + m.start(), y)
        self.assertEqual(shown, {entry: place for entry, (place, _, _) in menu.items()})
        for entry, (place, fg, bold) in menu.items():
            self.assertLook(screen, place[0], place[1], entry, fg, bold)


class FirstScreen(PlayTest):
    def test_arena_ship_creatures_and_status_rows_in_their_colours(self):
        s = self.session().start()
        screen = s.first_screen()
        top = "+" + "-" * (ARENA_COLUMNS - 2) + "+"
        self.assertLook(screen, 0, 0, top, YELLOW, False)
        self.assertLook(screen, 0, ARENA_ROWS - 1, top, YELLOW, False)
        for y in range(1, ARENA_ROWS - 1):
            self.assertLook(screen, 0, y, "|", YELLOW, False)
            self.assertLook(screen, ARENA_COLUMNS - 1, y, "|", YELLOW, False)

        creatures = 0
        for y in range(1, ARENA_ROWS - 1):
            for x in range(1, ARENA_COLUMNS - 1):
                cell = screen.cell(x, y)
                if cell.ch == ".":
                    self.assertLook(screen, x, y, ".", BLACK, True)
                elif cell.ch in CREATURE_GLYPHS:
                    creatures += 1
                    self.assertIn(cell.fg, (RED, WHITE), "creature at (%d,%d)" % (x, y))
                    self.assertEqual(cell.bg, BLACK)
                elif cell.ch != "@":
                    self.assertIn(cell.ch, "+-|", "unexpected %r at (%d,%d)" % (cell.ch, x, y))
        self.assertGreater(creatures, 0, "level 1 starts with creatures")
        x, y = ship(screen)
        self.assertLook(screen, x, y, "@", CYAN, True)

        # 3 power points buy only phase-out and blink; no selection is marked yet.
        self.assertStatus(screen, 3, 0, {"(P)hase-out": ((45, 23), CYAN, True),
                                         "(B)link": ((60, 23), WHITE, True)})
        for y in range(24):
            self.assertEqual(screen.text(y, 75).strip(), "", "nothing is drawn right of column 74")
        self.assertFalse(s.flag("cursor_flag"), "the cursor is hidden during play")


class MovesAndPowers(PlayTest):
    def test_every_spelling_of_a_direction_moves_one_cell_and_leaves_a_trail(self):
        s = self.session().start()
        screen = s.first_screen()
        dx, dy, spellings = DIRECTIONS[best_direction(screen)]
        for key in spellings:
            x, y = ship(screen)
            screen = press_key(s, key)
            self.assertEqual(ship(screen), (x + dx, y + dy), "after %r" % key)
            self.assertLook(screen, x, y, "*", CYAN, False)
            self.assertStatus(screen, 3, 0, {"(P)hase-out": ((45, 23), CYAN, True),
                                             "(B)link": ((60, 23), WHITE, True)})

    def test_phase_out_waits_for_a_direction_then_moves_and_costs_three(self):
        s = self.session().start()
        screen = s.first_screen()
        dx, dy, keys = DIRECTIONS[best_direction(screen)]
        x, y = ship(screen)
        screen = press_key(s, "p")
        self.assertEqual(ship(screen), (x, y), "a power letter alone does not move the ship")
        self.assertLook(screen, 44, 23, "*", WHITE, True)
        for mx, my in ((14, 22), (29, 22), (44, 22), (59, 22), (14, 23), (29, 23), (59, 23)):
            self.assertEqual(screen.cell(mx, my).ch, " ")
        screen = press_key(s, keys[2])
        self.assertEqual(ship(screen), (x + dx, y + dy))
        self.assertEqual(screen.cell(44, 23).ch, " ", "the marker goes with the command")
        # Nothing is affordable with no power left; the old digit is wiped.
        self.assertStatus(screen, 0, 0, {})

    def test_an_unaffordable_or_unknown_key_cancels_the_selection(self):
        s = self.session().start()
        screen = s.first_screen()
        dx, dy, keys = DIRECTIONS[best_direction(screen)]
        x, y = ship(screen)
        for cancel in ("f", "x", "T"):  # fire laser costs 10, teleport 7; x means nothing
            with self.subTest(cancel=cancel):
                self.assertEqual(press_key(s, "b").cell(59, 23).ch, "*")
                screen = press_key(s, cancel)
                self.assertEqual(screen.cell(59, 23).ch, " ")
                self.assertEqual(ship(screen), (x, y))
        screen = press_key(s, keys[2])
        self.assertEqual(ship(screen), (x + dx, y + dy), "a plain move after the cancel")
        self.assertStatus(screen, 3, 0, {"(P)hase-out": ((45, 23), CYAN, True),
                                         "(B)link": ((60, 23), WHITE, True)})


class GameOverAndScores(PlayTest):
    def assertEndBox(self, screen, table, stored_before):
        frame = "+" + "-" * 49 + "+"
        self.assertLook(screen, 11, 4, frame, YELLOW, True)
        self.assertLook(screen, 11, 17, frame, YELLOW, True)
        for y in range(5, 17):
            self.assertLook(screen, 11, y, "|", YELLOW, True)
            self.assertLook(screen, 61, y, "|", YELLOW, True)
        self.assertLook(screen, 31, 5, "Game Over", CYAN, True)
        self.assertEqual(screen.text(7, 13, 28), "You were killed on level 1. ")
        match = re.fullmatch(r"You scored (\d+) points\.", screen.text(8, 13, 48).rstrip())
        self.assertTrue(match, screen.dump())
        score = int(match.group(1))
        entered = score > stored_before[4]
        self.assertEqual(screen.text(9, 13, 25) == "You got a new high score!", entered)
        if entered:
            self.assertLook(screen, 13, 9, "You got a new high score!", WHITE, True)
        expected = sorted(stored_before + [score], reverse=True)[:5] if entered else stored_before
        self.assertEqual(table, expected)
        for i, entry in enumerate(expected):
            self.assertLook(screen, 13, 10 + i, "%d: %d points" % (i + 1, entry), YELLOW, entry == score)
        self.assertLook(screen, 29, 16, "Play again? (Y/n)", GREEN, True)
        return score

    def read_table(self, path):
        with open(path, "rb") as f:
            data = f.read()
        values = [int(v) for v in re.findall(rb"I\[(-?\d+)\]", data)]
        self.assertEqual(data, table_bytes(values), "the stored bytes")
        return values

    def assertDirectoryPrivate(self, directory):
        info = os.stat(directory)
        self.assertTrue(stat.S_ISDIR(info.st_mode))
        self.assertEqual(stat.S_IMODE(info.st_mode), 0o700)
        leftovers = [n for n in os.listdir(directory) if n not in ("highscore", "highscore.lock", "journal", "last-game.rec")]
        self.assertEqual(leftovers, [], "no temporary files stay behind")

    def test_first_game_on_a_new_account_then_another_then_n_leaves(self):
        s = self.session().start()
        directory = os.path.join(s.home, ".gridfall")
        table_file = os.path.join(directory, "highscore")
        s.first_screen()
        screen = play_to_end_screen(s)
        self.assertDirectoryPrivate(directory)
        stored = self.read_table(table_file)
        self.assertEndBox(screen, stored, [0] * 5)

        # Any key but n starts another game on a cleared screen.
        screen = press_key(s, "y")
        self.assertFalse(screen.contains("Game Over"))
        self.assertEqual(len([p for p in screen.find("@") if p[1] < 22]), 1)
        self.assertStatus(screen, 3, 0, {"(P)hase-out": ((45, 23), CYAN, True),
                                         "(B)link": ((60, 23), WHITE, True)})
        screen = play_to_end_screen(s, key="j")
        before = stored
        stored = self.read_table(table_file)
        self.assertEndBox(screen, stored, before)

        s.send("n", literal=True)
        outcome = s.wait_for_exit()
        self.assertEqual(outcome.status, 0)
        self.assertTerminalRestored(outcome)
        self.assertEqual(self.nonblank_lines(outcome.screen), [], "the game leaves a clean screen")

    def test_a_stored_table_is_merged_and_saved_again_in_the_game_format(self):
        s = self.session()
        directory = os.path.join(s.home, ".gridfall")
        os.mkdir(directory, 0o700)
        before = [2400, 1200, 350, 0, 0]
        with open(os.path.join(directory, "highscore"), "wb") as f:
            f.write(table_bytes(before, capacity=16))  # another capacity hint reads the same
        s.start()
        s.first_screen()
        screen = play_to_end_screen(s)
        stored = self.read_table(os.path.join(directory, "highscore"))
        self.assertEndBox(screen, stored, before)
        self.assertDirectoryPrivate(directory)
        s.send("N", literal=True)
        outcome = s.wait_for_exit()
        self.assertEqual(outcome.status, 0)
        self.assertTerminalRestored(outcome)
