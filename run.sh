#!/usr/bin/env bash
# Installs what is missing, makes a release build and starts Parcora.
#   ./run.sh                  the window program
#   ./run.sh query NUMBER ... the command-line companion (see --help)
set -euo pipefail
cd "$(dirname "$0")"

# Set-up and build talk on standard error, so that `./run.sh query` leaves
# standard output to the report alone.
build=build/release
{
  scripts/setup.sh
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPARCORA_BUILD_TESTS=OFF \
    -DPARCORA_BUILD_BENCH=OFF >/dev/null
  cmake --build "$build" -j "$(nproc)"
} >&2

if [[ "${1:-}" == query ]]; then
  shift
  exec "$build/app/parcora-query" "$@"
fi

if [[ -x "$build/app/parcora" ]]; then
  if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "parcora: no display found; try 'xvfb-run -a $build/app/parcora' or './run.sh query NUMBER'."
    exit 1
  fi
  exec "$build/app/parcora" "$@"
fi

echo "parcora: the window program is not built yet; starting the command-line companion."
exec "$build/app/parcora-query" "$@"
