# Sourced by the build and test scripts: the Wine environment of this project.
# Every prefix lives under the build tree, never in the user's ~/.wine, and every
# prefix is sandboxed before a test program runs in it.

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

# The ready-made prefix that every test machine is copied from.
wine_base_prefix() { echo "${CVL_BUILD_ROOT:?}/wine/base"; }

# Cuts every road from the prefix to the host's own files: the Z: drive maps the
# host's /, and the user's shell folders are links into the host's home.
sandbox_prefix() {
    local p="$1"
    rm -f "$p/dosdevices/z:"
    local link
    while IFS= read -r link; do
        rm -f "$link"
        mkdir -p "$link"
    done < <(find "$p/drive_c/users" -type l 2>/dev/null)
    mkdir -p "$p/drive_c/run"
}

# What a base prefix holds beyond Wine's own set-up; a change here remakes it.
BASE_PREFIX_VERSION=3

# Makes the base prefix once (about ten seconds) and reuses it afterwards.
make_base_prefix() {
    local p
    p="$(wine_base_prefix)"
    [ "$(cat "$p/.cvl-ready" 2>/dev/null)" = "$BASE_PREFIX_VERSION" ] && return 0
    rm -rf "$p"
    mkdir -p "$(dirname "$p")"
    WINEPREFIX="$p" wineboot -i </dev/null >/dev/null 2>&1
    # A 32-bit program on Windows finds the program folder in its registry view; a
    # prefix without 32-bit Wine lacks the value there.
    (cd "$p/drive_c" && WINEPREFIX="$p" wine reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion' \
        /v ProgramFilesDir /d 'C:\Program Files (x86)' /reg:32 /f </dev/null >/dev/null 2>&1)
    # Windows has the list of uninstall entries in both views; a removal leaves it.
    (cd "$p/drive_c" && WINEPREFIX="$p" wine reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' \
        /reg:32 /f </dev/null >/dev/null 2>&1)
    WINEPREFIX="$p" wineserver -w
    sandbox_prefix "$p"
    echo "$BASE_PREFIX_VERSION" > "$p/.cvl-ready"
}

# A fresh machine: a full copy of the base prefix. A hard-link copy would be faster,
# but Wine and the programs under test rewrite files in place, which would leak
# into the base.
fresh_prefix() {
    local dest="$1"
    rm -rf "$dest"
    mkdir -p "$(dirname "$dest")"
    cp -a "$(wine_base_prefix)" "$dest"
    sandbox_prefix "$dest"
}

# A persistent wineserver makes each program start cost tens of milliseconds, and
# keeps Wine's background services from holding the caller's output pipes.
start_wineserver() {
    local p="$1"
    WINEPREFIX="$p" wineserver -p </dev/null >/dev/null 2>&1
    (cd "$p/drive_c" && WINEPREFIX="$p" wine cmd /c exit </dev/null >/dev/null 2>&1) || true
}

stop_wineserver() {
    local p="$1"
    WINEPREFIX="$p" wineserver -k </dev/null >/dev/null 2>&1 || true
}

# Starts a virtual display when none is given; prints the display name.
start_xvfb() {
    local n
    for n in $(seq 91 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
        local i
        for i in $(seq 1 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && { echo ":$n $!"; return 0; }
            sleep 0.1
        done
        kill $! 2>/dev/null || true
    done
    return 1
}
