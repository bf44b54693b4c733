#!/bin/sh
# Installs what is needed, builds Audexa and starts it on the simulated meter. Where there is
# no display, it runs under Xvfb.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-packages.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAUDEXA_BUILD_TESTS=OFF
cmake --build build --target audexa audexa-cli
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec build/bin/audexa --simulate-meter
fi
exec xvfb-run -a -s "-screen 0 1280x800x24" build/bin/audexa --simulate-meter
