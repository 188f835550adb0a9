#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks the binary and the manual page.
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
echo "install layout ok"
