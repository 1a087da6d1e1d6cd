#!/usr/bin/env bash
# Installs what is missing, builds the program and its libraries (no tests,
# fuzz drivers or benchmarks) in build/, installs them for the user under
# ~/.local (or the prefix in VELL_PREFIX) and starts the installed program.
# The program keeps the game master's data in ~/.local/share/corvane-vell
# ($XDG_DATA_HOME/corvane-vell), laid out with the samples on its first start
# and never overwritten after; a build or an install never touches it.
# Once installed, ~/.local/bin/vell (or the desktop's menu) starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
prefix="${VELL_PREFIX:-$HOME/.local}"
scripts/setup.sh run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELL_TESTS=OFF -DVELL_BENCH=OFF \
  -DCMAKE_INSTALL_PREFIX="$prefix"
cmake --build build
# A running program has its libraries mapped, and an install writes over
# them in place: while it runs (its lock in the data folder names it), the
# start only brings it to the front.
data="${XDG_DATA_HOME:-$HOME/.local/share}/corvane-vell"
pid=$(head -n 1 "$data/vell.lock" 2> /dev/null || true)
if [ -n "$pid" ] && [ "$(readlink -f "/proc/$pid/exe" 2> /dev/null)" = "$(readlink -f "$prefix/bin/vell")" ]; then
  echo "Corvane Vell is running: quit it to install this build." >&2
else
  cmake --install build > build/install.log
fi
exec "$prefix/bin/vell"
