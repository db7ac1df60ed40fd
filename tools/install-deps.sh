#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need,
# when any is missing. Run as root (or with sudo available).
set -euo pipefail
packages=(cmake ninja-build g++ qt6-base-dev zlib1g-dev libgtest-dev libbenchmark-dev
          fonts-wqy-microhei qt6-translations-l10n xvfb xauth python3-ezdxf locales
          clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
