# Shared by the scripts: installs the Debian packages the project needs when they are missing.
# Usage: need_packages pkg...   (runs apt-get as root, or through sudo)
need_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq || return 1
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" || return 1
}

# What building and testing the game needs.
build_packages=(cmake make g++ libncurses-dev libgtest-dev libgmock-dev)
# util-linux: prlimit, setpriv and setsid for the cases that need a size limit, another user or a
# second run; mount: a small tmpfs for the cases of a nearly full disk.
test_packages=(faketime ncurses-term man-db python3 python3-pexpect python3-pyte strace util-linux mount)
