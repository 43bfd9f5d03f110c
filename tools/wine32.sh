# Sourced by the test scripts: the 32-bit-capable Wine that runs the shipping build
# (i686). Debian's wine32 does not install beside the image's own packages, so it
# lives in a root of its own under the build tree (Debian bookworm, amd64 + i386,
# wine + wine64 + wine32), made once and reused; tools/wine32/ holds the commands
# that run its Wine (see tools/wine32/enter).

# What the root holds beyond Debian's essential set; a change here remakes it. The
# X libraries are those Wine's display driver loads at run time, for both
# architectures, as the host's Wine has them.
WINE32_ROOT_VERSION=1
WINE32_PACKAGES=wine,wine64,wine32:i386,fontconfig,fonts-dejavu-core
for lib in libxrender1 libxcursor1 libxi6 libxrandr2 libxinerama1 libxfixes3 libxcomposite1; do
    WINE32_PACKAGES+=",$lib,$lib:i386"
done
unset lib

# pe_machine FILE: the machine field of a Windows program's PE header, in hex
# (014c: i386, 8664: x86_64); empty for a file that is not one.
pe_machine() {
    local pe
    pe=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
    [ -n "$pe" ] && od -An -tx2 -j$((pe + 4)) -N2 "$1" 2>/dev/null | tr -d ' '
}

wine32_root() { echo "${CVL_WINE_ROOT:-${CVL_BUILD_ROOT:?}/wine32-root}"; }

# Prints why this machine cannot run the i686 build, or nothing when it can.
# The test is a 96-byte 32-bit Linux program that only exits with status 42: a
# kernel without IA32 emulation (or with it switched off) refuses to start it.
wine32_unsupported() {
    if [ "$(id -u)" -ne 0 ]; then
        echo "entering the 32-bit Wine root (chroot, mount namespace) needs root"
        return 0
    fi
    local probe="${CVL_BUILD_ROOT:?}/.elf32-probe.$$" rc=0  # one per caller: runs start side by side
    mkdir -p "$CVL_BUILD_ROOT"
    # ELF header: 32-bit, little endian, executable, i386, entry 0x08048054,
    # one program header; the header loads the whole file at 0x08048000 (R+X);
    # code: mov ebx,42; mov eax,1 (exit); int 0x80.
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00''\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00''\xbb\x2a\x00\x00\x00\xb8\x01\x00\x00\x00\xcd\x80' >"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null || rc=$?
    rm -f "$probe"
    [ "$rc" -eq 42 ] || echo "this machine's kernel runs no 32-bit code"
}

# Makes the root once (several minutes: about 1.7 GB, mostly Wine for both
# architectures) and reuses it afterwards. It is made beside its final place and
# moved there only when complete, so a run killed midway leaves no half root.
make_wine32_root() {
    local root new
    root="$(wine32_root)"
    new="$root.new"
    [ "$(cat "$root/.cvl-ready" 2>/dev/null)" = "$WINE32_ROOT_VERSION" ] && return 0
    # mmdebstrap works in a namespace of its own, so nothing stays mounted in a
    # root it leaves behind; check anyway before deleting one.
    if grep -qF " $root" /proc/mounts; then
        echo "something is mounted below $root; not touching it" >&2
        return 1
    fi
    rm -rf "$root" "$new"
    mkdir -p "$(dirname "$root")"
    echo "Making the 32-bit Wine root in $root (once; a few minutes)"
    # The release itself, from the archive as this machine's apt reaches it: its
    # indexes do not change under a running download as those of the update and
    # security suites can. A second try covers a network hiccup.
    local mirror
    mirror="$(apt-get indextargets --format '$(SITE) $(RELEASE) $(TARGET_OF)' 2>/dev/null |
        awk '$2 == "bookworm" && $3 == "deb" { print $1; exit }')"
    if [ -z "$mirror" ]; then
        echo "this machine's apt has no source for Debian bookworm (run apt-get update)" >&2
        return 1
    fi
    local try
    for try in 1 2; do
        rm -rf "$new"
        mmdebstrap --mode=unshare --variant=essential --architectures=amd64,i386 \
            --aptopt='APT::Install-Recommends "false"' --include="$WINE32_PACKAGES" \
            bookworm "$new" "deb $mirror bookworm main" >"$root.log" 2>&1 && break
        if [ "$try" = 2 ]; then
            echo "mmdebstrap failed; its output is in $root.log" >&2
            return 1
        fi
    done
    echo "$WINE32_ROOT_VERSION" >"$new/.cvl-ready"
    mv "$new" "$root"
}
