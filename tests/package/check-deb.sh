#!/usr/bin/env bash
# Builds the Debian package from a configured and built tree, then checks what a Debian user gets:
# the files and where they land, the control fields, dependencies that match the libraries the
# binary really loads, a stripped binary, compressed documentation, and no lintian errors.
#   check-deb.sh CMAKE CPACK BUILD_DIR OUT_DIR EXPECTED_VERSION
set -uo pipefail
cmake=$1 cpack=$2 build_dir=$3 out_dir=$4 version=$5

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok:   $*"; }
check() {  # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

rm -rf "$out_dir"
mkdir -p "$out_dir"
(cd "$build_dir" && "$cpack" -G DEB -B "$out_dir" >"$out_dir/cpack.log" 2>&1) || {
  cat "$out_dir/cpack.log"
  echo "FAIL: cpack could not build the package"
  exit 1
}

arch=$(dpkg --print-architecture)
deb="$out_dir/gridfall_${version}_${arch}.deb"
[ -f "$deb" ] || { ls "$out_dir"; echo "FAIL: expected $deb"; exit 1; }
pass "package file is $(basename "$deb")"

# ---- Contents ----------------------------------------------------------------------------
listing=$(dpkg-deb -c "$deb")
files=$(awk '$1 !~ /^d/ {print $6}' <<<"$listing" | sort)
expected_files=$(printf '%s\n' ./usr/games/gridfall ./usr/share/doc/gridfall/changelog.Debian.gz \
  ./usr/share/doc/gridfall/copyright ./usr/share/man/man6/gridfall.6.gz | sort)
if [ "$files" = "$expected_files" ]; then
  pass "the package holds exactly the binary, the man page, copyright and changelog"
else
  fail "unexpected file list:"; diff <(echo "$expected_files") <(echo "$files")
fi
check "the binary is executable by all and owned by root" \
  grep -qE '^-rwxr-xr-x root/root .* \./usr/games/gridfall$' <<<"$listing"

# ---- Control fields ----------------------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
check "version is $version" test "$(field Version)" = "$version"
check "architecture is $arch" test "$(field Architecture)" = "$arch"
check "section is games" test "$(field Section)" = games
description=$(field Description)
check "the synopsis says it is a terminal game" grep -qiE '^[^ ].*game.*terminal' <<<"$(head -1 <<<"$description")"

# ---- Dependencies match the libraries the binary loads -----------------------------------
unpacked="$out_dir/unpacked"
dpkg-deb -x "$deb" "$unpacked"
binary="$unpacked/usr/games/gridfall"
depends=$(field Depends)
depend_names=$(tr ',' '\n' <<<"$depends" | sed -E 's/^ *([^ (]+).*/\1/' | sort -u)
# The native multiarch directory keeps a 32-bit copy of a library from answering for it.
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
needed_packages=$(
  readelf -d "$binary" | sed -nE 's/.*\(NEEDED\).*\[(.*)\]/\1/p' | while read -r soname; do
    owner=$(dpkg -S "*/$multiarch/$soname" 2>/dev/null | sed -E 's/^([^:]+):.*/\1/' | sort -u)
    echo "${owner:-unowned:$soname}"
  done | sort -u)
check "Depends names the ncurses library (Depends: $depends)" grep -qE '^libncursesw?6$' <<<"$depend_names"
check "Depends names exactly the packages of the libraries the binary loads ($(echo $needed_packages))" \
  test "$depend_names" = "$needed_packages"

# ---- Files as Debian ships them ----------------------------------------------------------
check "the binary is stripped" grep -q ', stripped' <<<"$(file -b "$binary")"
man_page="$unpacked/usr/share/man/man6/gridfall.6.gz"
changelog="$unpacked/usr/share/doc/gridfall/changelog.Debian.gz"
check "the changelog's latest entry is this version" \
  grep -qE "^gridfall \\($version\\) " <<<"$(zcat "$changelog" | head -1)"
man_warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$man_page" 2>&1 >/dev/null)
check "the man page renders without warnings${man_warnings:+: $man_warnings}" test -z "$man_warnings"

# ---- lintian -----------------------------------------------------------------------------
if command -v lintian >/dev/null; then
  lintian_out=$(lintian --tag-display-limit 0 "$deb" 2>&1)
  echo "$lintian_out" | sed 's/^/  lintian: /'
  check "lintian reports no errors" bash -c '! grep -q "^E: " <<<"$1"' _ "$lintian_out"
else
  echo "skip: lintian is not installed (scripts/package installs it)"
fi

echo "$failures check(s) failed"
[ "$failures" -eq 0 ]
