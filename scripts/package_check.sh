#!/usr/bin/env bash
# Builds the Debian package from a configured build folder (default: build), unpacks it into a
# scratch root with dpkg -x, checks its files and desktop entry, and starts the unpacked program
# offscreen with an empty home far enough to see it copy its seed from its share folder.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
version=$(sed -n 's/^project(ccherb VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb="$build/ccherb_${version}_amd64.deb"

cmake --build "$build" --target ccherb help_pictures program_icon
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
grep -q '^StartupWMClass=org.chengchuan.ccherb$' "$root/usr/share/applications/org.chengchuan.ccherb.desktop" \
  || { echo "package_check: the desktop entry does not name the windows' class" >&2; exit 1; }
for size in 16 32 48 256; do
  [ -s "$root/usr/share/icons/hicolor/${size}x${size}/apps/org.chengchuan.ccherb.png" ] \
    || { echo "package_check: the ${size}x${size} icon is missing" >&2; exit 1; }
done

# The help page shows a picture of each screen: every picture it names is installed and is a
# PNG, and every installed picture is named by the page.
help="$root/usr/share/ccherb/help"
named=$(grep -o '<img src="[^"]*"' "$help/index.html" | sed 's/<img src="//; s/"$//' | sort -u)
[ -n "$named" ] || { echo "package_check: the help page shows no picture" >&2; exit 1; }
for picture in $named; do
  [ -f "$help/$picture" ] && [ "$(head -c 8 "$help/$picture" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] \
    || { echo "package_check: the help page's picture $picture is not installed" >&2; exit 1; }
done
for installed in "$help"/pictures/*; do
  grep -qx "pictures/$(basename "$installed")" <<<"$named" \
    || { echo "package_check: pictures/$(basename "$installed") is installed but the help page does not show it" >&2; exit 1; }
done

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
echo "package_check: $(basename "$deb") installs, validates, shows $(wc -w <<<"$named") pictures in its help and starts on its seed"
