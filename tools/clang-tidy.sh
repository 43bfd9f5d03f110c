#!/usr/bin/env bash
# clang-tidy over the program's own sources in the x64 build (the build directory
# as the argument, else build/x64), with the checks of .clang-tidy; fails on any
# finding. The include paths are those of the MinGW
# compiler the build uses, so that clang reads the same headers.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
BUILD="${1:-${CVL_BUILD_ROOT:-$ROOT/build}/x64}"
[ -f "$BUILD/compile_commands.json" ] || { echo "clang-tidy: no $BUILD/compile_commands.json (run tools/build.sh)"; exit 1; }
CXX=x86_64-w64-mingw32-g++-posix
args=(--extra-arg=--target=x86_64-w64-mingw32 --extra-arg=-nostdinc++ --extra-arg=-nostdlibinc)
# GCC's own intrinsic headers are not clang's: clang brings its own.
while IFS= read -r dir; do
    dir="$(realpath "$dir")"
    case "$dir" in */gcc/*/include | */gcc/*/include-fixed) continue ;; esac
    args+=("--extra-arg=-isystem$dir")
done < <(echo | "$CXX" -E -x c++ - -v 2>&1 | sed -n '/#include <...> search starts here/,/End of search list/p' | sed -n 's/^ \(\/.*\)$/\1/p')
mapfile -t files < <(git ls-files 'catalogue/*.cpp' 'controls/*.cpp' 'pages/*.cpp' 'script/*.cpp' 'setup/*.cpp' \
                                  'support/*.cpp' 'uninstall/*.cpp')
out="$(mktemp)"
trap 'rm -f "$out"' EXIT
printf '%s\n' "${files[@]}" | xargs -P 2 -n 4 clang-tidy -p "$BUILD" --quiet "${args[@]}" >"$out" 2>/dev/null || true
if grep -q ': \(warning\|error\):' "$out"; then
    grep -A3 ': \(warning\|error\):' "$out"
    echo "clang-tidy: $(grep -c ': \(warning\|error\):' "$out") findings"
    exit 1
fi
echo "clang-tidy: no findings in ${#files[@]} files"
