#!/usr/bin/env bash
# Checks the Debian package as a distribution and a player get it: lintian, the menu entry and
# AppStream metadata by their validators, the binary's hardening, then installs it, runs it, reads
# its manual page and removes it again, which must leave none of its files behind. Run as root.
#   check-deb.sh BUILD.changes        (the .deb files it lists lie next to it)
set -uo pipefail
changes=$1
deb=$(dirname "$changes")/$(sed -nE 's/.* (gridfall_[^ ]+\.deb)$/\1/p' "$changes" | head -1)
version=$(dpkg-deb -f "$deb" Version)

failures=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then echo "ok:   $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}

# An upstream package closes no "intent to package" bug, so lintian's note on that is the only one
# allowed, and its presence shows lintian ran; lintian reads the .deb files through the .changes.
lintian_out=$(lintian -I --pedantic --tag-display-limit 0 "$changes")
sed 's/^/  lintian: /' <<<"$lintian_out"
check "lintian -I --pedantic notes nothing but initial-upload-closes-no-bugs" \
  test "$(sed -E 's/^W: gridfall: initial-upload-closes-no-bugs .*/ITP/' <<<"$lintian_out" | sort -u)" = ITP

expected=$(printf './usr/%s\n' games/gridfall share/applications/gridfall.desktop \
  share/doc/gridfall/changelog.Debian.gz share/doc/gridfall/copyright share/doc/gridfall/README.md.gz \
  share/doc/gridfall/recording.md.gz share/man/man6/gridfall.6.gz \
  share/icons/hicolor/scalable/apps/gridfall.svg share/metainfo/org.gridfall.gridfall.metainfo.xml | sort)
check "the package holds the game, its manual, README, recording notes, menu entry, icon, metadata, changelog and copyright" \
  test "$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)" = "$expected"

dpkg -i "$deb" >/dev/null || { echo "FAIL: dpkg -i $deb"; exit 1; }
installed=$(dpkg -L gridfall)
game=/usr/games/gridfall
# The linker marks a binary for control-flow protection (IBT and SHSTK) only when every object in
# it is marked. The game's objects are (-fcf-protection); the C library's start files are only
# where the C library is built so: then the marking is required, and otherwise (bookworm) it
# cannot be there and hardening-check leaves it out.
start_files_marked() {
  local f path
  for f in Scrt1.o crti.o crtn.o; do
    path=$(gcc -print-file-name="$f" 2>/dev/null) && [ -f "$path" ] || return 1
    readelf -n "$path" | grep -qE "x86 feature: IBT, SHSTK" || return 1
  done
}
if start_files_marked; then
  check "hardening-check finds every protection, control-flow marking included" hardening-check "$game"
else
  check "hardening-check finds every protection but the control-flow marking (the C start files lack it)" \
    hardening-check --nocfprotection "$game"
fi
check "the binary has no .comment section" bash -c '! readelf -S "$1" | grep -qF .comment' _ "$game"
# The error report's call trace names functions through the dynamic symbol table (-rdynamic).
check "stripping kept the game's function names for the call trace" \
  bash -c 'nm -D --defined-only "$1" | grep -q " T _ZN"' _ "$game"
check "gridfall --version names version ${version%-*} and the licence" \
  bash -c '[ "$(sed -n "1p;3p" <<<"$("$1" --version 2>&1)")" = "$2" ]' _ "$game" \
  "gridfall ${version%-*}
License GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>."
check "gridfall --help succeeds" bash -c '"$1" --help >/dev/null' _ "$game"
man_warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l /usr/share/man/man6/gridfall.6.gz 2>&1 >/dev/null)
check "the installed manual page renders without warnings${man_warnings:+: $man_warnings}" test -z "$man_warnings"
check "desktop-file-validate accepts the menu entry" \
  desktop-file-validate /usr/share/applications/gridfall.desktop
metainfo=/usr/share/metainfo/org.gridfall.gridfall.metainfo.xml
check "appstreamcli validate --pedantic accepts the metadata" \
  appstreamcli validate --pedantic --no-net "$metainfo"
latest=$(zcat /usr/share/doc/gridfall/changelog.Debian.gz | dpkg-parsechangelog -l - -S Date)
release="<release version=\"${version%-*}\" date=\"$(date -u -d "$latest" +%F)\"/>"
check "the metadata's release is the changelog's latest: $release" grep -qF "$release" "$metainfo"

dpkg --purge gridfall >/dev/null || { echo "FAIL: dpkg --purge gridfall"; exit 1; }
# Folders may stay only where another package still owns them.
left=$(while read -r path; do
  if [ "$path" = /. ]; then continue
  elif [ -d "$path" ] && [ ! -L "$path" ]; then dpkg -S "$path" >/dev/null 2>&1 || echo "$path"
  elif [ -e "$path" ] || [ -L "$path" ]; then echo "$path"; fi
done <<<"$installed")
check "removing the package leaves none of its files or folders${left:+: $left}" test -z "$left"
check "dpkg no longer knows the package" bash -c '! dpkg -s gridfall >/dev/null 2>&1'

echo "$failures check(s) failed"
[ "$failures" -eq 0 ]
