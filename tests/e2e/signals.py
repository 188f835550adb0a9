"""Fatal signals during play and on the end screen: the terminal is restored before the game dies."""

import signal

from harness import E2ETest, play_to_end_screen

# How each signal reaches the game: typed on the keyboard (tmux key) or sent by another process.
SIGNALS = [
    ("Ctrl-C", signal.SIGINT, "C-c"),
    ("Ctrl-\\", signal.SIGQUIT, "C-\\"),
    ("SIGTERM", signal.SIGTERM, None),
    ("SIGHUP", signal.SIGHUP, None),
]


class SignalTest(E2ETest):
    def check_every_signal(self, reach_the_moment):
        for name, number, key in SIGNALS:
            with self.subTest(signal=name):
                s = self.session().start()
                s.first_screen()
                reach_the_moment(s)
                if key:
                    s.send(key)
                else:
                    s.signal(number)
                outcome = s.wait_for_exit()
                # The game dies of the signal itself, as the shell sees it: 128 + the signal number.
                self.assertEqual(outcome.status, 128 + number)
                self.assertTerminalRestored(outcome)
                # Only the shell's own word on the signal ("Terminated", ...) may show.
                self.assertLessEqual(len(self.nonblank_lines(outcome.screen)), 1, outcome.screen.dump())
                self.assertFalse(outcome.screen.contains("Score:") or outcome.screen.contains("+---"),
                                 "the game's drawing is gone with the alternate screen")


class SignalsDuringPlay(SignalTest):
    def test_while_waiting_for_a_move(self):
        self.check_every_signal(lambda s: s.press("p"))  # with a power selection pending


class SignalsOnEndScreen(SignalTest):
    def test_while_asking_to_play_again(self):
        self.check_every_signal(play_to_end_screen)
