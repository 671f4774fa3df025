#!/usr/bin/env bash
# Installs the Debian packages the build, the demo data and the tests need.
# Runs apt-get only when something is missing; as root directly, else through
# sudo, else prints the exact command for the user to run.
set -euo pipefail

packages=(
  build-essential cmake pkg-config ninja-build
  libsdl2-dev libsdl2-image-dev libsdl2-ttf-dev libjpeg62-turbo-dev libx11-dev libxdamage-dev
  libfontconfig-dev fonts-ipafont-gothic
  libfluidsynth-dev timgm6mb-soundfont fluidsynth
  googletest libgtest-dev libbenchmark-dev
  xvfb xauth python3 locales
  clang-14 libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo_cmd=()
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  sudo_cmd=(sudo)
else
  echo "Please install them as root:"
  echo "  apt-get update && apt-get install -y ${missing[*]}"
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
