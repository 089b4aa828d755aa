#!/usr/bin/env bash
# Installs everything the build and the tests need, from Debian's packages only, and cross-builds
# libjpeg-turbo (from Debian's source package) and GoogleTest for mingw into a cache folder.
# Idempotent: a second run only checks.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cache=${PRISMATA_CACHE:-$root/.cache}
mkdir -p "$cache"

# The Windows programs are 32-bit, as Direct3D 8 exists for 32-bit programs only; the 64-bit compiler
# builds their 64-bit test twin and the few 64-bit test programs.
packages=(
    cmake ninja-build make g++ clang libclang-rt-14-dev
    mingw-w64 g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64 xvfb xauth xdotool x11-utils xserver-xephyr imagemagick
    googletest libgtest-dev libjpeg62-turbo-dev nasm dpkg-dev nsis
    halibut libimage-exiftool-perl mate-backgrounds
)

# True when this kernel runs 32-bit x86 programs (some run with that support switched off): a 91-byte
# i386 ELF program that only exits.
kernel_runs_32bit() {
    local probe
    probe=$(mktemp)
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08' >"$probe"
    printf '\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00' >>"$probe"
    printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5b\x00\x00\x00\x5b\x00\x00\x00' >>"$probe"
    printf '\x05\x00\x00\x00\x00\x10\x00\x00\x31\xdb\x31\xc0\x40\xcd\x80' >>"$probe"
    chmod +x "$probe"
    local ran=1
    "$probe" 2>/dev/null && ran=0
    rm -f "$probe"
    return $ran
}

# Wine runs the 32-bit programs in a 64-bit prefix with 32-bit support (WoW64): 32-bit Wine and the 32-bit
# Mesa libraries from Debian's i386 architecture, there before any prefix is made. Where the kernel runs no
# 32-bit program, 32-bit Wine would only break the wine command: the tests then take the 64-bit twin.
if kernel_runs_32bit; then
    packages+=(wine32:i386 libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386 libxrandr2:i386 libxrender1:i386
               libxi6:i386 libxcursor1:i386 libxinerama1:i386 libxcomposite1:i386 libxxf86vm1:i386 libxfixes3:i386)
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
        force_update=1
    fi
else
    echo "setup: this kernel runs no 32-bit program; the Windows tests will run on the 64-bit twin build"
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ] || [ -n "${force_update:-}" ]; then
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Prints "URI KEYRING" of the first apt entry that serves suite $1 with component main (KEYRING may be empty).
debian_archive() {
    local suite=$1 f
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        awk -v suite="$suite" '
            function flush() {
                if (types ~ /(^| )deb( |$)/ && (" " suites " ") ~ (" " suite " ") && (" " comps " ") ~ / main / &&
                    enabled != "no" && uris != "") { split(uris, u, " "); print u[1], key; found = 1; exit }
                types = uris = suites = comps = key = enabled = ""
            }
            /^[ \t]*#/ { next }
            /^[ \t]*$/ { flush(); next }
            { field = tolower($1); sub(/:$/, "", field); $1 = ""; sub(/^ +/, "") }
            field == "types" { types = $0 } field == "uris" { uris = $0 } field == "suites" { suites = $0 }
            field == "components" { comps = $0 } field == "signed-by" { key = $0 } field == "enabled" { enabled = tolower($0) }
            END { if (!found) flush() }' "$f" | head -n 1 | grep . && return 0
    done
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] || continue
        awk -v suite="$suite" '
            $1 != "deb" { next }
            { key = ""; i = 2
              if ($2 ~ /^\[/) { while (i <= NF) { if ($i ~ /^\[?signed-by=/) { key = $i; sub(/^\[?signed-by=/, "", key); sub(/\]$/, "", key) }
                                                  if ($i ~ /\]$/) { i++; break } i++ } }
              uri = $i; s = $(i + 1); main = 0
              for (j = i + 2; j <= NF; j++) if ($j == "main") main = 1
              if (s == suite && main) { print uri, key; exit } }' "$f" | head -n 1 | grep . && return 0
    done
    return 1
}
# libjpeg-turbo from Debian's source package, fetched through a private apt configuration so the
# machine's own source list is never touched.
fetch_jpeg_source() {
    src=$cache/src
    mkdir -p "$src"
    jsrc=$(find "$src" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
    [ -n "$jsrc" ] && [ -f "$jsrc/jpeglib.h" ] && return 0
    mkdir -p "$src/apt/sources.d" "$src/apt/lists/partial"
    suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
    # The Debian archive this machine already uses for the suite's main component, as its own apt
    # configuration names it (deb822 .sources files or one-line sources.list entries).
    read -r uri keyring < <(debian_archive "$suite") || true
    if [ -z "${uri:-}" ]; then
        echo "setup: no Debian archive for '$suite main' in this machine's apt configuration" \
             "(/etc/apt/sources.list, /etc/apt/sources.list.d/); add one, then run setup again" >&2
        exit 1
    fi
    cat > "$src/apt/sources.d/debian-src.sources" <<SRC
Types: deb-src
URIs: $uri
Suites: $suite
Components: main
Signed-By: ${keyring:-/usr/share/keyrings/debian-archive-keyring.gpg}
SRC
    aptopts=(-oDir::Etc::SourceList=/dev/null -oDir::Etc::SourceParts="$src/apt/sources.d"
             -oDir::State::Lists="$src/apt/lists" -oAPT::Sandbox::User=root)
    apt-get "${aptopts[@]}" update -qq
    (cd "$src" && rm -rf libjpeg-turbo-* && apt-get "${aptopts[@]}" source -qq libjpeg-turbo >/dev/null)
    jsrc=$(find "$src" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
}

# libjpeg-turbo (with its SIMD) and GoogleTest cross-built for one Windows architecture: i686 for the
# programs we ship, x86_64 for their 64-bit twin, which runs the Windows tests where Wine can run no
# 32-bit program.
build_deps() {
    local arch=$1
    local toolchain=$root/cmake/mingw-w64-$arch.cmake prefix=$cache/mingw-$arch
    if [ ! -f "$prefix/lib/libjpeg.a" ]; then
        fetch_jpeg_source
        rm -rf "$src/jpeg-build-$arch"
        cmake -S "$jsrc" -B "$src/jpeg-build-$arch" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
            -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -Wno-dev \
            -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=ON -DWITH_TURBOJPEG=OFF >/dev/null
        cmake --build "$src/jpeg-build-$arch" --target jpeg-static >/dev/null
        mkdir -p "$prefix/lib" "$prefix/include"
        cp "$src/jpeg-build-$arch/libjpeg.a" "$prefix/lib/"
        cp "$src/jpeg-build-$arch/jconfig.h" "$jsrc/jpeglib.h" "$jsrc/jmorecfg.h" "$jsrc/jerror.h" "$prefix/include/"
    fi
    if [ ! -f "$prefix/lib/libgtest.a" ]; then
        cmake -S /usr/src/googletest -B "$cache/gtest-build-$arch" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
            -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=OFF \
            -Dgtest_disable_pthreads=OFF >/dev/null
        cmake --build "$cache/gtest-build-$arch" >/dev/null
        cmake --install "$cache/gtest-build-$arch" >/dev/null
    fi
}
build_deps i686
build_deps x86_64
echo "setup: ready ($cache/mingw-i686, $cache/mingw-x86_64)"
