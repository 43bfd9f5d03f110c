#!/usr/bin/env bash
# Configures and builds the shipping build (i686) and the x86_64 build, in
# $CVL_BUILD_ROOT/x86 and $CVL_BUILD_ROOT/x64 (default: build/).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
BUILD_ROOT="${CVL_BUILD_ROOT:-$ROOT/build}"
for preset in x86 x64; do
    [ -f "$BUILD_ROOT/$preset/build.ninja" ] || cmake --preset "$preset" -B "$BUILD_ROOT/$preset" >/dev/null
    cmake --build "$BUILD_ROOT/$preset"
done
