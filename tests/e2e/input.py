"""Input the game did not ask for: resizes, Escape, function keys, stray escape sequences, and input
that ends."""

import os
import time

from harness import E2ETest, ship

# Escape sequences a terminal may send unasked: mouse reports (X10 and SGR), the markers around
# pasted text, a key curses does not know, focus reports and replies to terminal queries. Each
# carries digits or letters that are also game keys.
STRAY_SEQUENCES = [
    b"\x1b[M 4$",             # mouse button press, X10 encoding: its column byte is "4"
    b"\x1b[<0;42;8M",         # the same in SGR encoding, and its release
    b"\x1b[<0;42;8m",
    b"\x1b[200~",             # start and end of pasted text
    b"\x1b[201~",
    b"\x1b[28;2~",            # a key with no name in the terminal's description
    b"\x1b[I", b"\x1b[O",     # focus in and out
    b"\x1b[?62;22c",          # a device-attributes reply
    b"\x1b]11;rgb:0000/0000/0000\x07",  # a colour reply, ended by BEL and by ESC backslash
    b"\x1b]11;rgb:0000/0000/0000\x1b\\",
]
FUNCTION_KEYS = ["F1", "F4", "F5", "F12", "S-F3", "Home", "End", "PPage", "NPage", "IC", "DC",
                 "BTab", "C-Up", "S-Left", "M-x", "Escape"]
# A pending selection shows as a marker; an unexpected key must cancel it and do nothing else.
PHASE_MARKER = (44, 23)
STALL = 0.9  # seconds; curses' default Escape delay is a whole second


class Resize(E2ETest):
    def test_a_resize_repaints_everything_and_keeps_the_pending_power(self):
        s = self.session().start()
        s.first_screen()
        before = s.press("p")
        self.assertEqual(before.cell(*PHASE_MARKER).ch, "*")
        read_before = s.bytes_read()

        def shows_the_game(screen):
            return all(screen.rows[y][:80] == before.rows[y] for y in range(24))

        # Wipe the pane behind the game's back, so only a full repaint can bring the screen back.
        s.tmux("send-keys", "-R", "-t", "e2e")
        s.tmux("resize-window", "-t", "e2e", "-x", "100", "-y", "30")
        s.wait_for_key(until=shows_the_game, what="the repaint in a larger terminal")
        s.tmux("send-keys", "-R", "-t", "e2e")
        s.tmux("resize-window", "-t", "e2e", "-x", "80", "-y", "24")
        s.wait_for_key(until=shows_the_game, what="the repaint back at 80x24")
        self.assertEqual(s.bytes_read(), read_before, "a resize is not a key")

        # A letter, not an arrow: the wipe also reset the pane's keypad mode.
        x, y = ship(before)
        screen = s.press("j" if before.cell(x, y + 1).ch == "." else "k")
        self.assertTrue(screen.text(22).startswith("Power: 0"), "the phase-out still fired:\n" + screen.dump())


    def test_a_terminal_cut_below_the_game_size_pauses_the_game_until_it_grows_back(self):
        s = self.session().start()
        s.first_screen()
        before = s.press("p")
        s.tmux("resize-window", "-t", "e2e", "-x", "60", "-y", "20")
        screen = s.wait_for_key(until=lambda screen: screen.contains("gridfall needs"),
                                what="the message in a terminal too small")
        self.assertEqual(self.nonblank_lines(screen), ["gridfall needs 75x24 characters; the terminal is 60x20"])
        s.press("j")  # not a move while the game cannot be seen
        s.tmux("resize-window", "-t", "e2e", "-x", "80", "-y", "24")
        s.wait_for_key(until=lambda screen: screen == before, what="the whole game screen back")

        x, y = ship(before)
        down = before.cell(x, y + 1).ch == "."
        screen = s.press("j" if down else "k")
        self.assertEqual(ship(screen), (x, y + 1 if down else y - 1), "one move, the key typed meanwhile was not")
        self.assertTrue(screen.text(22).startswith("Power: 0"), "the phase-out still fired:\n" + screen.dump())


class StrayKeys(E2ETest):
    def assertIgnored(self, s, send, what):
        where = ship(s.press("p"))
        before = s.bytes_read()
        send()
        took, longest_poll = s.time_to_take(before)
        self.assertLessEqual(longest_poll, 100, "%s: the game waited %d ms for more of it" % (what, longest_poll))
        self.assertLess(took, STALL, "%s stalled input for %.2f s" % (what, took))
        screen = s.wait_for_key(read_since=before)
        self.assertEqual(screen.cell(*PHASE_MARKER).ch, " ", "%s cancels the selection" % what)
        self.assertEqual(ship(screen), where, "%s moved the ship" % what)
        self.assertTrue(screen.text(22).startswith("Power: 3 "), what)

    def test_function_keys_and_escape_are_ignored_at_once(self):
        s = self.session().start()
        s.first_screen()
        for key in FUNCTION_KEYS:
            with self.subTest(key=key):
                self.assertIgnored(s, lambda: s.send(key), key)

    def test_stray_escape_sequences_count_as_one_ignored_key(self):
        s = self.session().start()
        s.first_screen()
        for sequence in STRAY_SEQUENCES:
            with self.subTest(sequence=sequence):
                self.assertIgnored(s, lambda: s.send_bytes(sequence), repr(sequence))

    def test_escape_then_a_key_at_once_keeps_that_key(self):
        s = self.session().start()
        screen = s.first_screen()
        x, y = ship(screen)
        key, dx, dy = ("l", 1, 0) if screen.cell(x + 1, y).ch == "." else ("j", 0, 1)
        screen = s.press_bytes(b"\x1b" + key.encode())
        self.assertEqual(ship(screen), (x + dx, y + dy))


class InputEnds(E2ETest):
    def assertNoScoreTable(self, s):
        # A run that played keeps its journal for --resume, but writes no table.
        self.assertFalse(os.path.exists(os.path.join(s.home, ".gridfall", "highscore")), "a score table was written")

    def test_input_that_is_not_a_terminal_ends_at_once(self):
        for redirection in ("<&-", "</dev/null"):
            with self.subTest(stdin=redirection):
                s = self.session().start(stdin=redirection)
                outcome = s.wait_for_exit()
                self.assertLess(outcome.elapsed, 1.0)
                self.assertNotEqual(outcome.status, 0)
                self.assertEqual(len(self.nonblank_lines(outcome.screen)), 1, outcome.screen.dump())
                self.assertRegex(outcome.screen.dump(), "gridfall: .*standard input is not a terminal")
                self.assertTerminalRestored(outcome)
                self.assertNoScoreTable(s)

    def test_a_hang_up_fails_the_key_read_and_ends_the_game_at_once(self):
        # Closing the terminal signals only the shell that leads its session (it carries on here);
        # the game learns of it from its next key read, which fails.
        s = self.session().start()
        s.first_screen()
        s.press("p")
        pid = s.game_pid()
        hung_up = time.time()
        s.tmux("kill-pane", "-t", "e2e")
        status = s.wait_for_status()
        self.assertLess(s.clock_file("ended") - hung_up, 1.0, "the game lingered after the hang-up")
        self.assertEqual(status, 1)
        self.assertFalse(os.path.exists("/proc/%d" % pid))
        self.assertNoScoreTable(s)
