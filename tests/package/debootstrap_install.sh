#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Installs the packages in DEBS (a folder of .deb files) into a fresh Debian
# root made with debootstrap under WORK, as a new user's machine would get
# them, and checks there: lintian; desktop-file-validate and appstreamcli
# validate; the manual pages; a shipped scenario run from an empty folder;
# a subject file's MIME type and its default application (xdg-mime); the
# Python module; the window's one-line refusal without a display; the
# example of docs/sdk.md built with pkg-config against the installed
# libtolvane-dev and run, its numbers those of tolvane-batch; a clean purge.
# Exits 77 (ctest: skipped) where debootstrap cannot work: not root, no
# debootstrap, no chroot, or no Debian mirror within reach.
# Usage: debootstrap_install.sh DEBS WORK
set -euo pipefail
debs=$(realpath "$1")
work=$2
started=$SECONDS
skip() { echo "SKIPPED: $*"; exit 77; }

[[ $(id -u) -eq 0 ]] || skip "debootstrap and chroot need root"
command -v debootstrap >/dev/null || skip "debootstrap is not installed (scripts/setup.sh installs it)"
suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
[[ -n $suite ]] || skip "not a Debian release here"
mirror=${TOLVANE_DEBIAN_MIRROR:-http://deb.debian.org/debian}

root=$work/root
rm -rf "$root"
# Downloaded packages are kept here between runs.
mkdir -p "$work/cache"
cleanup() {
  umount "$root/var/cache/apt/archives" 2>/dev/null || true
  umount "$root/proc" 2>/dev/null || true
  rm -rf "$root"
}
trap cleanup EXIT

if ! debootstrap --variant=minbase --cache-dir="$(realpath "$work/cache")" "$suite" "$root" "$mirror" >"$work/debootstrap.log" 2>&1; then
  tail -5 "$work/debootstrap.log"
  skip "debootstrap $suite from $mirror failed (no network or mirror?)"
fi
echo "debootstrap: $((SECONDS - started)) s"
mount -t proc proc "$root/proc" || skip "cannot mount /proc in the root (a container without the right?)"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }

mkdir -p "$work/cache/apt" "$root/tmp/debs"
mount --bind "$(realpath "$work/cache/apt")" "$root/var/cache/apt/archives" || skip "cannot bind-mount in the root"
cp "$debs"/*.deb "$root/tmp/debs/"
in_root apt-get update -qq
# The packages, and what a desktop and a Debian developer would bring (a C
# compiler and pkg-config for the SDK's example).
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
  $(cd "$root" && ls tmp/debs/*.deb | sed 's|^|/|') lintian desktop-file-utils appstream man-db xdg-utils shared-mime-info \
  libfile-mimeinfo-perl gcc libc6-dev pkg-config >"$work/install.log" 2>&1 || { tail -20 "$work/install.log"; exit 1; }
echo "installed: $((SECONDS - started)) s"

failures=0
check() {  # check WHAT COMMAND...: runs COMMAND in the root, counts a failure
  local what=$1
  shift
  if in_root sh -c "$*"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
check "lintian: no error, no warning" \
  '! lintian --allow-root /tmp/debs/*.deb | grep -E "^(E|W): "'
check "desktop-file-validate: not even a hint" \
  'test -z "$(desktop-file-validate /usr/share/applications/org.tolvane.Tolvane.desktop 2>&1)"'
check "appstreamcli validate" \
  'appstreamcli validate --no-net /usr/share/metainfo/org.tolvane.Tolvane.metainfo.xml >/dev/null'
check "man tolvane and man tolvane-batch" \
  'man -P cat tolvane | grep -q "EXIT STATUS" && man -P cat tolvane-batch | grep -q "EXAMPLES"'
check "a shipped scenario from an empty folder" \
  'cd "$(mktemp -d)" && tolvane-batch --script /usr/share/tolvane/scenarios/co2_then_rerun.txt --csv co2.csv >/dev/null && test "$(wc -l <co2.csv)" -eq 962'
check "a subject file is application/x-tolvane-subject" \
  'cp /usr/share/tolvane/subjects/severe_anaemia.sbj /tmp/x.sbj && test "$(xdg-mime query filetype /tmp/x.sbj)" = application/x-tolvane-subject'
check "Tolvane opens subject files by default" \
  'test "$(xdg-mime query default application/x-tolvane-subject)" = org.tolvane.Tolvane.desktop'
check "the Python module runs a minute with the installed library" \
  'cd "$(mktemp -d)" && python3 -c "import tolvane; assert tolvane.Session().run(minutes=1)[\"arterial_po2\"].shape == (61,)"'
check "no display: one line and exit status 1" \
  'out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb tolvane 2>&1); test $? -eq 1 && test "$(printf "%s\n" "$out" | wc -l)" -eq 1'
# The SDK as a C programmer meets it: only the installed files, found by
# pkg-config; the example prints the arterial PO2 after each of 10 minutes
# at 12 % O2, tolvane-batch's CSV holds it (field 17) at seconds 60 ... 600.
cat >"$root/tmp/sdk_example.sh" <<'SDK'
set -e
cd "$(mktemp -d)"
cc -std=c99 -Wall -Wextra -Werror /usr/share/doc/libtolvane-dev/examples/tolvane_example.c \
  $(pkg-config --cflags --libs tolvane) -o hypoxia
./hypoxia >example.txt
test "$(wc -l <example.txt)" -eq 10
tolvane-batch --set inspired_o2=12 --minutes 10 --csv batch.csv >/dev/null
awk -F, 'NR > 1 && $1 > 0 && $1 % 60 == 0 { print $17 }' batch.csv >batch.txt
test "$(wc -l <batch.txt)" -eq 10
awk 'NR == FNR { want[FNR] = $1; next }
     { d = $5 - want[FNR]; if (d < 0) d = -d; if (d > 1e-6 * want[FNR]) bad = 1 }
     END { exit bad }' batch.txt example.txt
SDK
check "the SDK example: pkg-config, build, run, tolvane-batch's numbers" 'sh /tmp/sdk_example.sh'
in_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq tolvane libtolvane1 libtolvane-dev python3-tolvane \
  >>"$work/install.log" 2>&1
check "a clean purge" \
  '! dpkg -l | grep -q tolvane && ! ls /usr/bin/tolvane* /usr/lib/python3/dist-packages/tolvane /usr/share/tolvane /usr/share/doc/*tolvane* /usr/lib/*/libtolvane* /usr/include/tolvane /usr/lib/*/pkgconfig/tolvane.pc /usr/lib/*/cmake/Tolvane 2>/dev/null && ! grep -q sbj /usr/share/mime/globs2'
echo "whole test: $((SECONDS - started)) s"
exit $((failures > 0))
