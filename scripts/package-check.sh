#!/usr/bin/env bash
# Checks the Debian package as a player gets it, on a fresh Debian 12: one is
# made with debootstrap in build-package-check/root (kept for the next
# check), the .deb of dist/ (made by scripts/package.sh) is installed in it
# with apt-get, and then, as a user of that system:
#   jkrescale --version and jkrescale-cli --version run;
#   the installed jkrescale-cli plays a level of the demo game with the
#   stand-in game: it works in the user's data folder
#   (~/.local/share/jkrescale), since it cannot write beside itself in
#   /usr/bin, and that folder is clean afterwards.
# Needs root (debootstrap, chroot) and the Debian mirror; takes a few
# minutes the first time.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
say() { echo "package-check: $*"; }
fail() {
  say "FAILED: $*"
  exit 1
}
[ "$(id -u)" = 0 ] || fail "run it as root (debootstrap and chroot need it)"
scripts/install-packages.sh debootstrap
deb=$(ls dist/jkrescale_*_amd64.deb 2>/dev/null | tail -1)
[ -n "$deb" ] || fail "no dist/jkrescale_*_amd64.deb: run scripts/package.sh first"
[ -x build/jkrescale-demo ] && [ -x build/jkrescale-stand-in-game ] ||
  fail "build/jkrescale-demo and build/jkrescale-stand-in-game are missing: run scripts/test.sh first"

root=$PWD/build-package-check/root
if [ ! -x "$root/usr/bin/apt-get" ]; then
  say "making a fresh Debian 12 in $root"
  rm -rf "$root"
  mkdir -p "$root"
  quietly build-package-check/debootstrap.log debootstrap --variant=minbase bookworm "$root" \
    http://deb.debian.org/debian
fi
mount -t proc proc "$root/proc"
trap 'umount "$root/proc"' EXIT
# Each check starts from the fresh system: the package and the user of the
# last one go first.
chroot "$root" sh -c 'apt-get remove -y -qq jkrescale >/dev/null 2>&1; userdel -r player 2>/dev/null' || true
cp "$deb" "$root/tmp/jkrescale.deb"
say "apt-get install ./$(basename "$deb")"
chroot "$root" sh -c 'apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq /tmp/jkrescale.deb' \
  >build-package-check/install.log 2>&1 || fail "apt-get install (see build-package-check/install.log)"
chroot "$root" useradd -m player
as_player() { chroot --userspec=player:player "$root" env HOME=/home/player "$@"; }

version=$(as_player jkrescale --version) || fail "jkrescale --version"
say "installed: $version ($(as_player jkrescale-cli --version))"

# The demo game, with the stand-in game as JK, in the user's home.
demo=$root/home/player/demo
build/jkrescale-demo "$demo" >/dev/null
cp build/jkrescale-stand-in-game "$demo/JK"
chroot "$root" chown -R player:player /home/player/demo
data=$root/home/player/.local/share/jkrescale
say "jkrescale-cli play, as the user 'player'"
as_player env JKRESCALE_STAND_IN_SECONDS=1 jkrescale-cli play /home/player/demo/Episode/demo.gob \
  'jkl\demo.jkl' 2 --game /home/player/demo/JK >build-package-check/play.log 2>&1 ||
  fail "the play run (see build-package-check/play.log)"
# The stand-in game lists the folder it was given with -path.
grep -q "work folder: jkl/demo.jkl" build-package-check/play.log &&
  grep -A1 -x "argument: -path" build-package-check/play.log |
  grep -qx "argument: /home/player/.local/share/jkrescale" ||
  fail "the game did not get the level in ~/.local/share/jkrescale (see build-package-check/play.log)"
[ -d "$data" ] || fail "no ~/.local/share/jkrescale"
left=$(cd "$data" && find . -mindepth 1 -not -name '*.settings' -not -name 'settings*' | sort)
[ -z "$left" ] || fail "the data folder was left with: $left"
say "the game ran in ~/.local/share/jkrescale, which is clean again"
say "PASSED"
