"""Writes a recording of GAMES short games that fits the game, for timing --cast and --verify on
recordings of many games: each game turns the ship back into its own trail (h, l), brings up the
end box (x), notes the table and plays again (y); where the ship dies a key early or late, --verify
says where and the recording is mended there.

    python3 bench/short_games.py build/gridfall 54000 /tmp/n.rec      # about 2 MiB
    python3 bench/short_games.py build/gridfall 216000 /tmp/4n.rec    # about 8 MiB
    /usr/bin/time -v build/gridfall --cast /tmp/4n.rec > /dev/null
"""

import re
import subprocess
import sys

GAME = ["k 104", "k 108", "k 120", "t 0 0 0 0 0", "w", "k 121"]


def main(gridfall, games, path):
    lines = ["gridfall recording 1", "seed 5"] + GAME * int(games)
    lines[-1] = "k 110"  # the last game declines another
    while True:
        with open(path, "w") as f:
            f.write("\n".join(lines) + "\n")
        done = subprocess.run([gridfall, "--verify", path], capture_output=True, text=True)
        if done.returncode == 0:
            return
        found = re.search(r"line (\d+): the game reads (the score table|a key) here", done.stderr)
        if not found:
            sys.exit(done.stderr)
        at = int(found.group(1)) - 1
        if found.group(2) == "the score table":
            del lines[at]  # the ship died a key early: the key before already brought up the end box
        else:
            lines.insert(at, "k 108")  # still alive: one more step back


if __name__ == "__main__":
    main(*sys.argv[1:])
