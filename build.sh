#!/usr/bin/env bash
# Set-up, build and run script for a Debian machine.
#   ./build.sh run    installs missing packages, builds into build/ and starts the program
#   ./build.sh test   installs missing packages, builds into build/ and runs every test
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev
          fairy-stockfish python3 qt6-base-dev libasound2-dev fonts-liberation
          fonts-wqy-microhei xvfb x11-utils xauth xdotool openbox poppler-utils
          qt6-translations-l10n libxcb1-dev xclip)

install_missing() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if ((${#missing[@]})); then
    local sudo=""
    [[ $(id -u) -ne 0 ]] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
  fi
}

# The engine core is optimised for the profile of an instrumented build that
# runs the search benchmark and a perft (GCC's profile-guided optimisation).
train_engine_profile() {
  local train=build/pgo-train
  local profile="$PWD/build/pgo-profile"
  cmake -S . -B "$train" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORELK_BUILD_BENCH=OFF \
        -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON -DVORELK_PGO_USE= \
        -DVORELK_PGO_GENERATE="$profile" >/dev/null
  cmake --build "$train" -j "$(nproc)" --target search perft >/dev/null
  rm -rf "$profile"
  "$train/tools/search" --bench >/dev/null
  "$train/tools/perft" "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w" 5 >/dev/null
}

configure_and_build() {
  train_engine_profile
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DVORELK_PGO_USE="$PWD/build/pgo-profile" >/dev/null
  cmake --build build -j "$(nproc)"
}

case "${1:-}" in
  run)
    install_missing "${PACKAGES[@]}"
    configure_and_build
    shift
    exec ./build/vorelk "$@"
    ;;
  test)
    install_missing "${PACKAGES[@]}"
    configure_and_build
    ctest --test-dir build --output-on-failure -j "$(nproc)"
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
