#!/usr/bin/env bash
# Installs what the program needs on Debian 12 (run as root). "run" brings the desktop word
# processor; "test" brings its headless build, which the print hand-off tests convert with.
# desktop-file-utils validates the desktop entry of the Debian package (scripts/package_check.sh);
# qt6-svg-dev draws the program's icon into PNG sizes at build time (tools/icongen);
# qt6-translations-l10n holds the toolkit's own Chinese texts (file dialogs, context menus);
# libxlsxwriter writes the lists saved as Excel workbooks; poppler-utils and unzip read back
# the text of the PDF files and workbooks the tests write.
set -euo pipefail
kind=${1:-run}
export DEBIAN_FRONTEND=noninteractive
common=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-svg-dev qt6-translations-l10n libgl-dev libsqlcipher-dev libicu-dev libssl-dev
        libxlsxwriter-dev libgtest-dev libbenchmark-dev desktop-file-utils poppler-utils unzip fonts-noto-cjk fonts-arphic-uming fonts-arphic-ukai clang libclang-rt-14-dev)
if [ "$kind" = test ]; then
  # The tests only convert documents: either build of the word processor will do.
  if command -v soffice >/dev/null 2>&1 && dpkg-query -W -f='${Status}' libreoffice-writer-nogui libreoffice-writer 2>/dev/null | grep -q "install ok installed"; then
    office=()
  else
    office=(libreoffice-writer-nogui)
  fi
else
  office=(libreoffice-writer)
fi
missing=()
for pkg in "${common[@]}" ${office[@]+"${office[@]}"}; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done
if [ "${#missing[@]}" -gt 0 ]; then
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
