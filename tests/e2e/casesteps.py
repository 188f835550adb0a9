"""What the case grammar cannot say in data: the named steps of the real-terminal cases, and the
setup words that need root (a small file system, another user). The grammar is in docs/testing.md."""

import os
import re
import shutil
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))
SGR = re.compile(rb"\x1b\[([0-9;]*)m")


def big_table(case, path, size, *scores):
    """A table of exactly `size` bytes: the scores, then zeros, the last padded with blanks."""
    def table(s):
        return "[-110780952][-9133037511685953882]A[[0][%d]%s]" % (len(s), "".join("I[%s]" % n for n in s))
    zeros = (int(size) - len(table(scores))) // 4
    while len(table(scores + ("0",) * zeros)) > int(size):
        zeros -= 1
    body = table(scores + ("0",) * zeros)
    case.put(path, (body[:-3] + " " * (int(size) - len(body)) + "0]]").encode())


def manual_lists_options(case):
    """Each short and long option in --help is documented in the manual page."""
    with open(os.path.join(HERE, "../../docs/gridfall.6")) as f:
        manual = f.read()
    for short, long in re.findall(r"^\s+(-\w), --(\w+)", case.stdout, re.M):
        case.test.assertIn(".BR \\%s \", \" \\-\\-%s" % (short, long), manual)
    for long in re.findall(r"^\s+--(\w+)", case.stdout, re.M):
        case.test.assertIn("\\-\\-" + long, manual)


def colourless(case):
    parts = [p for m in SGR.finditer(case.game.output) for p in m.group(1).split(b";")]
    case.test.assertFalse(any(p == b"1" or p[:1] in (b"3", b"4") for p in parts), "a colour or bold was sent")


def store_becomes_a_file(case):
    shutil.rmtree(case.path(".gridfall"))
    open(case.path(".gridfall"), "w").close()


def documented_example(case, path):
    """Puts the example recording of docs/recording.md, its indented lines, at path."""
    with open(os.path.join(HERE, "../../docs/recording.md")) as f:
        block = f.read().split("is exactly these bytes", 1)[1].split("\n\n")[1]
    case.put(path, "".join(line[4:] + "\n" for line in block.splitlines()).encode())


def foreign_owner(case, path):
    if os.geteuid() != 0:
        case.test.skipTest("only root can give a folder to another user")
    os.chown(case.path(path), 65534, 65534)


def free_blocks(case, n):
    """HOME becomes a small file system (tmpfs) with exactly n blocks free; root only."""
    if os.geteuid() != 0 or subprocess.run(["mount", "-t", "tmpfs", "-o", "size=256k,mode=700", "gridfall-case",
                                            case.home], capture_output=True).returncode != 0:
        case.test.skipTest("a small file system can be mounted only by root, where mounting is allowed")
    case.test.addCleanup(subprocess.run, ["umount", case.home])
    room = os.statvfs(case.home)
    with open(case.path(".filler"), "wb") as f:
        f.write(bytes((room.f_bavail - int(n)) * room.f_frsize))


def as_user(case):
    """As root, the game runs as nobody in a HOME given to nobody, so permissions bind it."""
    if not case.user or os.geteuid() != 0:
        return []
    for folder, dirs, files in os.walk(case.home):
        for name in [folder] + [os.path.join(folder, n) for n in dirs + files]:
            os.chown(name, 65534, 65534, follow_symlinks=False)
    return ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"]
