#!/usr/bin/env bash
# Builds the Debian package from a configured build folder (default: build), unpacks it into a
# scratch root with dpkg -x, checks its files and desktop entry, and starts the unpacked program
# offscreen with an empty home far enough to see it copy its seed from its share folder.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
version=$(sed -n 's/^project(ccherb VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb="$build/ccherb_${version}_amd64.deb"

cmake --build "$build" --target ccherb
rm -f "$deb"
(cd "$build" && cpack -G DEB >/dev/null)
[ -f "$deb" ] || { echo "package_check: $deb was not made" >&2; exit 1; }

scratch=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
root="$scratch/root"
dpkg -x "$deb" "$root"

for file in usr/bin/ccherb usr/share/ccherb/ccyc.mdb usr/share/ccherb/help/index.html \
            usr/share/applications/org.chengchuan.ccherb.desktop \
            usr/share/icons/hicolor/scalable/apps/org.chengchuan.ccherb.svg; do
  [ -s "$root/$file" ] || { echo "package_check: $file missing from the package" >&2; exit 1; }
done
[ -x "$root/usr/bin/ccherb" ] || { echo "package_check: the program is not executable" >&2; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
for need in libqt6widgets6 qt6-translations-l10n libsqlcipher0 libicu72 libssl3 fonts-noto-cjk; do
  grep -q "$need" <<<"$depends" || { echo "package_check: Depends lacks $need" >&2; exit 1; }
done
dpkg-deb -f "$deb" Recommends | grep -q libreoffice-writer \
  || { echo "package_check: Recommends lacks libreoffice-writer" >&2; exit 1; }
desktop-file-validate "$root/usr/share/applications/org.chengchuan.ccherb.desktop"
grep -q '^Icon=org.chengchuan.ccherb$' "$root/usr/share/applications/org.chengchuan.ccherb.desktop"

# No seed beside the unpacked program: it must take the one in its share folder.
mkdir "$scratch/home"
HOME="$scratch/home" QT_QPA_PLATFORM=offscreen "$root/usr/bin/ccherb" >"$scratch/run.log" 2>&1 &
pid=$!
data="$scratch/home/ccdata/ccyc.mdb"
for _ in $(seq 100); do
  [ -s "$data" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if [ ! -s "$data" ]; then
  echo "package_check: the installed program did not copy its seed to $data" >&2
  cat "$scratch/run.log" >&2
  exit 1
fi
kill -0 "$pid" 2>/dev/null || { echo "package_check: the installed program ended early" >&2; cat "$scratch/run.log" >&2; exit 1; }
echo "package_check: $(basename "$deb") installs, validates and starts on its seed"
