#!/usr/bin/env bash
# Installs what is missing, builds the program and its libraries (no tests,
# fuzz drivers or benchmarks) in build/, and starts it on its program folder
# build/program. The first build lays the samples of data/ there; later
# builds add only samples that are missing and never touch the game
# master's own files. Once built, build/program/vell starts it directly.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELL_TESTS=OFF -DVELL_BENCH=OFF
cmake --build build
exec build/program/vell
