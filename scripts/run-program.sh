#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program on the sample
# program folder (build/program, a copy of data/ beside the program).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
exec build/program/vell
