#!/usr/bin/env bash
# Installs the cross compilers, Wine and the virtual display this project builds and
# tests with. Quick when everything is already there.
set -euo pipefail

need=()
# Each tool is asked who it is: a command of the same name that is something else
# (some images carry stand-ins, e.g. a convert that only turns a PNG into PPM) must
# not count.
is() {
    local pattern="$1" out; shift
    # Some tools describe themselves with a failing exit status (Xvfb -help).
    out="$("$@" </dev/null 2>&1)" || true
    grep -qE "$pattern" <<<"$out"
}
# For tools that cannot describe themselves without a display: the file the
# command runs belongs to the package.
from_package() {
    local path
    path="$(command -v "$2" 2>/dev/null)" || return 1
    dpkg-query -S "$(readlink -f "$path")" 2>/dev/null | grep -q "^$1:"
}
is '^x86_64-w64-mingw32$' x86_64-w64-mingw32-g++-posix -dumpmachine || need+=(g++-mingw-w64-x86-64)
is '^i686-w64-mingw32$' i686-w64-mingw32-g++-posix -dumpmachine     || need+=(g++-mingw-w64-i686)
is '^wine-[0-9]' wine --version                                     || need+=(wine wine64)
is '^use: X ' Xvfb -help                                            || need+=(xvfb)
from_package x11-apps xwd                                           || need+=(x11-apps)
is '^xdotool version' xdotool --version                             || need+=(xdotool)
is 'Version: ImageMagick' convert -version                          || need+=(imagemagick)
is '^cmake version 3\.(2[1-9]|[3-9][0-9])' cmake --version          || need+=(cmake)
is '^Python 3\.' python3 --version                                  || need+=(python3)
is '^1\.[0-9]+' ninja --version                                     || need+=(ninja-build)
is '^3\.[0-9]+\.[0-9]+' fpc -iV                                     || need+=(fp-compiler)
is '^chmcmd, a CHM compiler' chmcmd                                 || need+=(fp-utils)
# The 32-bit Wine root of the i686 test runs is made with it.
is '^mmdebstrap [0-9]' mmdebstrap --version                         || need+=(mmdebstrap)
# The library's sources use the registry unit of the Free Pascal class library.
compgen -G "/usr/lib/*/fpc/*/units/*/fcl-registry" >/dev/null || need+=(fp-units-fcl)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
is 'clang-format version' clang-format --version                     || need+=(clang-format)
is 'LLVM version' clang-tidy --version                               || need+=(clang-tidy)
# Signing and checking the programs, the test certificate, and reading the winget manifests.
is '^osslsigncode [0-9]' osslsigncode --version                     || need+=(osslsigncode)
is '^OpenSSL [0-9]' openssl version                                 || need+=(openssl)
is '^yaml [0-9]' /usr/bin/python3 -c 'import yaml; print("yaml", yaml.__version__)' || need+=(python3-yaml)
# tools/measure-payload-check.sh times runs with it.
is '^hyperfine [0-9]' hyperfine --version                           || need+=(hyperfine)

if [ ${#need[@]} -eq 0 ]; then
    exit 0
fi
# wine32 stays away from the machine itself: it does not install beside the image's
# own packages. The i686 runs get it in a root of their own (tools/wine32.sh).
echo "Installing: ${need[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
