#!/usr/bin/env bash
# scripts/build.sh [build-dir] [extra cmake options...]
# Configures (once) and builds everything with Ninja, with $JOBS jobs at once
# (all cores when unset).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build}
shift || true
cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir" -j"${JOBS:-$(nproc)}"
