#!/usr/bin/env bash
# Sets up, builds and runs every test: once in a plain build, then once more
# under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
# $JOBS, when set, bounds the build and the tests run at once.
jobs=${JOBS:-$(nproc)}

"$root/scripts/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFD_WERROR=ON
(cd "$root/build" && ctest --output-on-failure --timeout 900 -j"$jobs")

"$root/scripts/build.sh" "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DFD_SANITIZE=ON -DFD_BUILD_BENCH=OFF
(cd "$root/build-asan" && \
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions="$root/scripts/lsan.supp" \
  ctest --output-on-failure --timeout 1800 -j"$jobs")
