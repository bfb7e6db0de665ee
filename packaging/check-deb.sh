#!/usr/bin/env bash
# Builds Tinyra's Debian package and tries it on a bare Debian 12: a fresh minimal root made with
# debootstrap from the Debian archive, into which the package is installed with apt (so that only
# its declared dependencies come in). There it runs `tinyra --version`, imports a small book from the
# command line and starts offscreen on it, and it shows that every library the program and its Qt
# plugins load belongs to a package the install pulled in. Needs root; not part of CI.
#
#   sudo packaging/check-deb.sh            # BUILD=build, root in /var/tmp/tinyra-check-deb
set -euo pipefail
SRC=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$SRC/build}
WORK=${WORK:-/var/tmp/tinyra-check-deb}
# The Debian archive this machine's own apt uses (one-line or deb822 sources), unless MIRROR is set.
apt_mirror() {
    { grep -hE '^deb ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
          sed -E 's/^deb (\[[^]]*\] )?([^ ]+) .*/\2/'
      grep -hE '^URIs:' /etc/apt/sources.list.d/*.sources 2>/dev/null | awk '{print $2}'
    } | grep -v security | head -n 1
}
MIRROR=${MIRROR:-$(apt_mirror)}
[ -n "$MIRROR" ] || { echo "check-deb.sh found no Debian archive in /etc/apt; set MIRROR" >&2; exit 1; }
ROOT=$WORK/root
step() { printf '\n== %s\n' "$*"; }

[ "$(id -u)" -eq 0 ] || { echo "check-deb.sh needs root (debootstrap and chroot)" >&2; exit 1; }
command -v debootstrap >/dev/null || { echo "check-deb.sh needs debootstrap: apt-get install debootstrap" >&2; exit 1; }

step "Building the package"
cmake --build "$BUILD" --target tinyra >/dev/null
(cd "$BUILD" && cpack -G DEB >/dev/null)
DEB=$(ls -t "$BUILD"/tinyra_*.deb | head -n 1)
dpkg-deb -f "$DEB" Package Version Maintainer Depends Recommends
echo "Documents:"; dpkg-deb -c "$DEB" | awk '{print $6}' | grep '/doc/'

step "Making a fresh Debian 12 root (debootstrap --variant=minbase bookworm)"
umount "$ROOT/proc" 2>/dev/null || true
rm -rf "$ROOT"
mkdir -p "$WORK"
debootstrap --variant=minbase bookworm "$ROOT" "$MIRROR" >"$WORK/debootstrap.log" 2>&1 ||
    { tail -n 20 "$WORK/debootstrap.log"; exit 1; }
mount -t proc proc "$ROOT/proc"
trap 'umount "$ROOT/proc" 2>/dev/null || true' EXIT
echo "Packages in the bare root: $(chroot "$ROOT" dpkg-query -W -f='.\n' | wc -l)"

step "Installing the package with apt"
cp "$DEB" "$ROOT/tmp/"
chroot "$ROOT" apt-get update -qq
chroot "$ROOT" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "/tmp/$(basename "$DEB")" >"$WORK/install.log" 2>&1 || { tail -n 30 "$WORK/install.log"; exit 1; }
echo "Pulled in: $(grep -c '^Setting up' "$WORK/install.log") packages"

step "tinyra --version"
chroot "$ROOT" tinyra --version

step "Importing a book from the command line"
python3 - "$ROOT/tmp/ann.zip" <<'PY'
import json, sys, zipfile
book = {"format": "tinyra-book", "version": 1, "children": [
    {"child": {"FirstName": "Ann", "LastName": "Check"},
     "tables": {"ENTRIES": [{"uid": "5eed" * 8, "list": 2, "Date": "01-01-25",
                             "Title": "Installed", "Text": "on bare Debian"}]}}]}
with zipfile.ZipFile(sys.argv[1], "w") as z:
    z.writestr("book.json", json.dumps(book))
PY
chroot "$ROOT" env HOME=/root tinyra --import /tmp/ann.zip

step "Starting offscreen on it"
chroot "$ROOT" env HOME=/root QT_QPA_PLATFORM=offscreen TINYRA_QUIT_AFTER_PAINT=1 timeout 120 tinyra
echo "the main window was shown and closed; exit status 0"

step "Every library loaded comes from an installed package"
QT=/usr/lib/x86_64-linux-gnu/qt6/plugins
missing=0
for object in /usr/bin/tinyra $QT/sqldrivers/libqsqlite.so $QT/platforms/libqoffscreen.so; do
    if ! chroot "$ROOT" test -e "$object"; then
        echo "MISSING: $object"; missing=1; continue
    fi
    if chroot "$ROOT" ldd "$object" | grep 'not found'; then missing=1; fi
done
libs=$(chroot "$ROOT" ldd /usr/bin/tinyra $QT/sqldrivers/libqsqlite.so $QT/platforms/libqoffscreen.so |
       awk '/=> \//{print $3}' | sort -u)
echo "$(echo "$libs" | wc -l) libraries, from these packages:"
for lib in $libs; do
    real=$(chroot "$ROOT" readlink -f "$lib")
    { chroot "$ROOT" dpkg -S "$lib" || chroot "$ROOT" dpkg -S "$real" ||
      chroot "$ROOT" dpkg -S "*/$(basename "$real")" || echo "UNOWNED:$lib"; } 2>/dev/null | head -n 1 | cut -d: -f1
done | sort | uniq -c | sort -rn
if [ $missing -ne 0 ]; then echo "FAILED: a library is missing"; exit 1; fi
echo "check-deb: the package installs, runs and brings every library it needs"
