#!/usr/bin/env bash
# Installs the cross compilers, Wine and the virtual display this project builds and
# tests with. Quick when everything is already there.
set -euo pipefail

need=()
have() { command -v "$1" >/dev/null 2>&1; }
have x86_64-w64-mingw32-g++-posix || need+=(g++-mingw-w64-x86-64)
have i686-w64-mingw32-g++-posix   || need+=(g++-mingw-w64-i686)
have wine                         || need+=(wine wine64)
have Xvfb                         || need+=(xvfb)
have xwd                          || need+=(x11-apps)
have xdotool                      || need+=(xdotool)
# ImageMagick itself, not just some command named convert (some images carry a
# stand-in that only turns a PNG into PPM).
convert -version 2>/dev/null | grep -q ImageMagick || need+=(imagemagick)
have cmake                        || need+=(cmake)
have python3                      || need+=(python3)
have ninja                        || need+=(ninja-build)
have fpc                          || need+=(fp-compiler)
have chmcmd                       || need+=(fp-utils)
# The library's sources use the registry unit of the Free Pascal class library.
compgen -G "/usr/lib/*/fpc/*/units/*/fcl-registry" >/dev/null || need+=(fp-units-fcl)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)

if [ ${#need[@]} -eq 0 ]; then
    exit 0
fi
# wine32 must stay away: with it /usr/bin/wine tries the 32-bit loader, which this
# kernel cannot run.
echo "Installing: ${need[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
