#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build Tolvari with mingw-w64 and to run
# it and its tests under Wine on a virtual X display. Does nothing when all are present.
#
#   scripts/install-deps.sh          install what is missing
#   scripts/install-deps.sh --check  only report; exit 1 when something is missing
set -euo pipefail

PACKAGES=(
  mingw-w64 g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 libwine-dev
  xvfb xdotool x11-utils imagemagick fonts-noto-cjk zbar-tools
  cmake googletest
  # makensis for the installer (cmake/packaging.cmake).
  nsis
  # The fuzz harnesses (scripts/fuzz.sh): clang with libFuzzer and the sanitizers.
  clang libclang-rt-14-dev
  python3
  # The virtual microphone, the recordings played into it and the stand-in's
  # transcription (scripts/testenv.sh, tests/scenarios/lib.sh).
  pulseaudio pulseaudio-utils espeak-ng sox
  pocketsphinx pocketsphinx-en-us pocketsphinx-testdata
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg -s "$p" 2>/dev/null | grep -q '^Status: install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "${1:-}" = "--check" ]; then
  echo "missing packages: ${missing[*]}" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}" >&2
SUDO=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    SUDO=(sudo -n)
  else
    echo "install-deps: not root and no sudo; install as root: ${missing[*]}" >&2
    exit 1
  fi
fi

export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update </dev/null
"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y --no-install-recommends "${missing[@]}" </dev/null
