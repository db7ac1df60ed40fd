#!/usr/bin/env bash
# Builds the program (Release, in build/release) and starts it. Without a
# display it runs in a virtual X server instead: once its window is shown it
# saves a picture of it, closes itself, and the picture's path is printed.
# Arguments are passed on to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZV_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target zvaama
program="$PWD/$build/app/zvaama"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$program" "$@"
fi

picture="${ZVAAMA_SCREENSHOT:-$(mktemp -d)/zvaama.png}"
runtime=$(mktemp -d)
chmod 700 "$runtime"
XDG_RUNTIME_DIR="$runtime" DBUS_SESSION_BUS_ADDRESS=disabled: ZVAAMA_SCREENSHOT="$picture" \
  xvfb-run -a "$program" "$@"
echo "$picture"
