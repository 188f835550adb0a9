"""The same seed and keys give the same screen, cell by cell, in a real terminal and in the
in-memory terminal, at every key the game waits for."""

from harness import (E2ETest, KEY_NAMES, cell_differences, key_code, replay)

# Every kind of key a player uses: powers that cannot be paid for, unknown keys, a blink, arrows,
# digits and letters in both cases. The ship climbs stairs right-down then right-up, so it never
# steps back onto its own trail, then flies up until something kills it; the script is cut after
# the end box.
KEYS = (["f", "x", "b", "Right", "p", "T", "6", "Down", "l", "2", "L", "j", "Right", "J", "w", "6",
         "s", "Down", "q", "l", "d", "Up", "L", "8", "Right", "k", "6", "K", "l", "Up", "Z", " ",
         "Right"] + ["Up"] * 25)


def script_to_the_end_box(keys, plain):
    """The keys up to the question "Play again?", then "n"."""
    trial = replay(keys, plain=plain)
    for wait, screen in enumerate(trial.screens):
        if screen.contains("Play again? (Y/n)"):
            return keys[:wait] + ["n"]
    raise AssertionError("the script never reaches the end of the game")


class Determinism(E2ETest):
    def play_both_ways(self, term, plain):
        keys = script_to_the_end_box(KEYS, plain)
        twin = replay(keys, plain=plain)
        self.assertEqual(twin.ending, "end")
        self.assertEqual(len(twin.screens), len(keys), "one key taken at every wait")
        self.assertGreaterEqual(len(keys), 10, "too short a game to prove much")

        s = self.session().start(term=term)
        for wait, expected in enumerate(twin.screens):
            matches = lambda screen: not cell_differences(expected, screen)
            what = "the screen of key wait %d (after %r)" % (wait, keys[:wait][-3:])
            try:
                if wait == 0:
                    s.first_screen(until=matches)
                else:
                    key = keys[wait - 1]
                    s.press(KEY_NAMES.get(key_code(key), key), literal=len(key) == 1, until=matches)
            except AssertionError:
                self.fail("%s differs:\n%s" % (what, "\n".join(cell_differences(expected, s.capture()))))
        s.send("n", literal=True)
        outcome = s.wait_for_exit()
        self.assertEqual(outcome.status, 0)
        self.assertTerminalRestored(outcome)
        return twin

    def test_a_colour_terminal(self):
        twin = self.play_both_ways("tmux-256color", plain=False)
        colours = {c.fg for screen in twin.screens for row in screen.rows for c in row}
        self.assertGreaterEqual(len(colours), 5, "the script shows the game's colours")

    def test_a_terminal_without_colours_plays_plain_text(self):
        twin = self.play_both_ways("vt100", plain=True)
        for screen in twin.screens:
            self.assertTrue(all(c.fg is None and not c.bold and not c.reverse for row in screen.rows for c in row))
