"""Start-up in a terminal the game cannot use, and the "Oops!" report when a game fails."""

import os
import shutil
import re

from harness import E2ETest, play_to_end_screen


class TerminalUnusable(E2ETest):
    """No game starts: one line says why, the status is 1 and the terminal is as it was."""

    def assertOneLineRefusal(self, outcome, pattern):
        self.assertEqual(outcome.status, 1)
        lines = self.nonblank_lines(outcome.screen)
        self.assertEqual(len(lines), 1, "expected one line, the pane shows:\n" + outcome.screen.dump())
        self.assertRegex(lines[0], pattern)
        self.assertTerminalRestored(outcome)

    def test_a_terminal_too_narrow_or_too_short_names_both_sizes(self):
        for columns, rows in ((74, 24), (80, 23)):
            with self.subTest(size="%dx%d" % (columns, rows)):
                s = self.session(columns, rows).start()
                outcome = s.wait_for_exit()
                self.assertOneLineRefusal(
                    outcome, r"^gridfall: .*\b75x24\b.*\b%dx%d\b" % (columns, rows))
                self.assertFalse(os.path.exists(os.path.join(s.home, ".gridfall")))

    def test_an_unknown_empty_missing_or_cursorless_terminal_type(self):
        for term, pattern in (("no-such-terminal", r"^gridfall: .*no-such-terminal"),
                              ("", r"^gridfall: .*TERM"),
                              (None, r"^gridfall: .*TERM"),
                              ("dumb", r"^gridfall: .*dumb.*cursor")):
            with self.subTest(term=term):
                outcome = self.session().start(term=term).wait_for_exit()
                self.assertOneLineRefusal(outcome, pattern)

    def test_the_smallest_usable_terminal_starts_a_game(self):
        s = self.session(75, 24).start()
        screen = s.first_screen()
        self.assertEqual(screen.text(0, 0, 73), "+" + "-" * 71 + "+")
        self.assertTrue(screen.text(23).startswith("Score: 0"))


class ErrorReport(E2ETest):
    def test_a_failing_game_restores_the_terminal_then_reports_on_standard_output(self):
        # A file put where the score directory belongs, once the game has started, makes the save
        # fail when the game ends.
        s = self.session()
        s.start(stderr_to_file=True)
        s.first_screen()
        shutil.rmtree(os.path.join(s.home, ".gridfall"))  # the run's journal made it a folder
        open(os.path.join(s.home, ".gridfall"), "w").close()
        play_to_end_screen(s, expect_box=False)
        outcome = s.wait_for_exit()
        self.assertEqual(outcome.status, 1)
        self.assertTerminalRestored(outcome)
        self.assertEqual(outcome.stderr, "", "the report belongs on standard output")
        lines = self.nonblank_lines(outcome.screen)
        self.assertIn("Oops!", lines, outcome.screen.dump())
        report = lines[lines.index("Oops!") + 1:]
        self.assertTrue(report and re.search(r"FileError", report[0]), outcome.screen.dump())
