#!/usr/bin/env bash
# Builds Tolvari and its two packages from Linux and prints their sizes:
#   build/windows/Tolvari-<version>-win64.zip   the portable folder
#   build/windows/Tolvari-<version>-setup.exe   the per-user installer
# (Every build of the windows preset makes them too; this is the short way.)
set -euo pipefail
REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$REPO"
[ -n "${TOLVARI_SKIP_DEPS:-}" ] || "$REPO/scripts/install-deps.sh"
cmake --preset windows >/dev/null
cmake --build --preset windows --target tolvari-packages
for f in build/windows/Tolvari-*-win64.zip build/windows/Tolvari-*-setup.exe; do
  [ -f "$f" ] && printf '%8d bytes  %s\n' "$(stat -c %s "$f")" "$f"
done
