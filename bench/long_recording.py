"""Writes a recording of at least KEYS keys that fits the game, for timing --cast and --verify:
random moves and shots, and at each game end the table the game reads there, found by asking
--verify where the recording stops fitting.

    python3 bench/long_recording.py build/gridfall 4000 /tmp/long.rec
    time build/gridfall --cast /tmp/long.rec > /dev/null
"""

import random
import re
import subprocess
import sys

KEYS = [ord(c) for c in "hjklyubn12346789x "]


def stops_at(gridfall, path):
    """The line where the game reads its table, or None when the recording fits."""
    done = subprocess.run([gridfall, "--verify", path], capture_output=True, text=True)
    found = re.search(r"line (\d+): the game reads the score table here", done.stderr)
    if done.returncode != 0 and not found:
        sys.exit(done.stderr)
    return int(found.group(1)) if found else None


def main(gridfall, count, path):
    rng = random.Random(20240601)
    lines = ["gridfall recording 1", "seed 20240601"] + ["k %d" % rng.choice(KEYS) for _ in range(int(count))]
    while True:
        with open(path, "w") as f:
            f.write("\n".join(lines) + "\n")
        line = stops_at(gridfall, path)
        if line is None:
            return
        # The key after the table answers "Play again?": yes.
        lines[line - 1:line - 1] = ["t 0 0 0 0 0", "w"]
        lines[line + 1] = "k %d" % ord("y")


if __name__ == "__main__":
    main(*sys.argv[1:])
