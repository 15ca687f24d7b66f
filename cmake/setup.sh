#!/bin/sh
# Prepares a Debian 12 machine for both builds and their tests: installs the
# packages that are missing (and only those), and, where the kernel cannot
# run 32-bit programs itself, sets up user-mode emulation for them.
set -eu

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

PACKAGES="cmake ninja-build make g++ g++-multilib g++-mingw-w64-i686 binutils-mingw-w64-i686
  googletest gettext python3 wine wine32:i386 clang libclang-rt-14-dev"

updated=no
apt_update() {
    if [ "$updated" = no ]; then
        $SUDO apt-get update -qq
        updated=yes
    fi
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "setup: enabling the i386 architecture"
    $SUDO dpkg --add-architecture i386
    updated=no
fi

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
        missing="$missing $p"
    fi
done
if [ -n "$missing" ]; then
    echo "setup: installing$missing"
    apt_update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
fi

# 32-bit programs: the host build's tests and wine itself are i386 code. A
# kernel without 32-bit support runs them through qemu's user-mode emulator,
# registered with binfmt_misc. Debian 12's qemu 7.2 cannot run wine, so the
# emulator comes from Debian 13's qemu-user package (a static binary).
QEMU=/usr/local/lib/lumastat/qemu-i386
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    if [ ! -x "$QEMU" ]; then
        echo "setup: fetching qemu-i386 for 32-bit programs"
        list=/etc/apt/sources.list.d/lumastat-qemu.list
        work=$(mktemp -d)
        echo "deb http://deb.debian.org/debian trixie main" | $SUDO tee "$list" >/dev/null
        $SUDO apt-get update -qq
        (cd "$work" && $SUDO apt-get download -qq qemu-user/trixie)
        $SUDO rm -f "$list"
        $SUDO apt-get update -qq
        dpkg -x "$work"/qemu-user_*.deb "$work/x"
        $SUDO mkdir -p "$(dirname "$QEMU")"
        $SUDO cp "$work/x/usr/bin/qemu-i386" "$QEMU"
        rm -rf "$work"
    fi
    if [ ! -e /proc/sys/fs/binfmt_misc/register ]; then
        $SUDO mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
    fi
    if [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
        echo -1 | $SUDO tee /proc/sys/fs/binfmt_misc/qemu-i386 >/dev/null
    fi
    echo "setup: registering $QEMU for i386 programs"
    printf '%s' ":qemu-i386:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$QEMU:F" |
        $SUDO tee /proc/sys/fs/binfmt_misc/register >/dev/null
    /usr/lib/wine/wine --version >/dev/null
fi
