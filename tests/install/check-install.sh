#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks the binary, the manual page and the documents.
set -euo pipefail
build=$1
prefix=$2
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
test -x "$prefix/bin/gridfall" || { echo "missing bin/gridfall"; exit 1; }
page="$prefix/share/man/man6/gridfall.6"
test -f "$page" || { echo "missing share/man/man6/gridfall.6"; exit 1; }
rendered=$(MANWIDTH=80 man -l "$page" 2>/dev/null)
for heading in NAME SYNOPSIS DESCRIPTION KEYS FILES "EXIT STATUS"; do
  grep -q "^$heading" <<<"$rendered" || { echo "manual page lacks $heading"; exit 1; }
done
# The player's documents; COPYING stays out, as a distribution's copyright file stands for it.
for doc in README.md recording.md; do
  test -s "$prefix/share/doc/gridfall/$doc" || { echo "missing share/doc/gridfall/$doc"; exit 1; }
done
echo "install layout ok"
