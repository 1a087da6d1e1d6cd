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
cmake --install build > build/install.log
exec "$prefix/bin/vell"
