#!/usr/bin/env bash
# Installs, on Debian 12, whatever the build needs and is not there yet.
#   scripts/setup.sh        build and test packages (the Japanese fonts too:
#                           window tests measure texts in them)
#   scripts/setup.sh run    also what the program needs on a desktop (Qt's
#                           own Japanese texts)
set -euo pipefail

packages=(cmake ninja-build g++ clang pkg-config
          qt6-base-dev qt6-multimedia-dev
          libgtest-dev libbenchmark-dev liblhasa-dev
          fonts-noto-cjk)
if [ "${1:-}" = "run" ]; then
  packages+=(qt6-translations-l10n)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
