#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the sample data need.
# Idempotent: the package lists are refreshed at most once, and only missing packages are installed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libcurl4-openssl-dev libssl-dev libjpeg62-turbo-dev libpng-dev libgif-dev libstb-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  xvfb xauth
  fonts-dseg fonts-liberation
  # The chat server of the server-duel tests; they start their own instance in the foreground,
  # never the packaged service (which may not run at all where there is no init system).
  prosody
)
# scripts/fuzz.sh also needs clang with its libFuzzer.
if [ "${1:-}" = fuzz ]; then
  packages+=(clang)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
