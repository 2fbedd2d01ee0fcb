#!/usr/bin/env bash
# Cross-builds tessiro.exe, tessiro-cli.exe and the test programs for 64-bit
# Windows with MinGW-w64 into build-win/, then packs dist/tessiro-VERSION-win64.zip
# (a portable folder) and dist/tessiro-VERSION-win64-setup.exe (an NSIS installer).
# scripts/test-windows.sh then runs them under Wine.
#
# The Windows libraries (qtbase, pugixml, libxlsxwriter) are built once from
# Debian's source packages into a cache outside the checkout, keyed by their
# versions and the compiler's: TESSIRO_WIN_CACHE (default ~/.cache/tessiro-win).
# zlib is Debian's MinGW package. Long builds run at low priority (nice 10); an
# unfinished qtbase build resumes where it stopped. On a fresh machine qtbase is
# the long part (see the README's Windows section for the times).
# TESSIRO_WIN_LIBS_ONLY=1 or TESSIRO_WIN_QT_ONLY=1 stop after those steps.
set -euo pipefail
# The whole script is read before it runs (it may be edited meanwhile).
main() {
cd "$(dirname "$0")/.."
ROOT=$PWD
CACHE=${TESSIRO_WIN_CACHE:-$HOME/.cache/tessiro-win}
JOBS=${TESSIRO_WIN_JOBS:-$(nproc)}
NICE=(nice -n 10)
TOOLCHAIN=$ROOT/cmake/mingw-w64-x86_64.cmake
SUDO=()
[ "$(id -u)" -eq 0 ] || SUDO=(sudo)

log() { printf '== %s %s\n' "$(date +%H:%M:%S)" "$*"; }

# --- Debian packages -------------------------------------------------------
PKGS=(cmake ninja-build pkg-config dpkg-dev qt6-base-dev qt6-base-dev-tools
      g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
      binutils-mingw-w64-x86-64 libz-mingw-w64-dev nsis zip librsvg2-bin icoutils)
missing=()
for p in "${PKGS[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if ! grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    log "adding a deb-src entry for the machine's Debian archive"
    . /etc/os-release
    "${SUDO[@]}" tee /etc/apt/sources.list.d/deb-src-tessiro.sources >/dev/null <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: ${VERSION_CODENAME} ${VERSION_CODENAME}-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    NEED_UPDATE=1
fi
if [ ${#missing[@]} -gt 0 ] || [ -n "${NEED_UPDATE:-}" ]; then
    log "installing ${missing[*]:-nothing; refreshing the source lists}"
    "${SUDO[@]}" apt-get update -qq
    [ ${#missing[@]} -eq 0 ] || DEBIAN_FRONTEND=noninteractive "${SUDO[@]}" \
        apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

CXX_VERSION=$(x86_64-w64-mingw32-g++-posix -dumpfullversion)
srcver() { apt-cache showsrc "$1" | sed -n 's/^Version: //p' | sort -V | tail -1; }

# Unpacks Debian source package $1 (with Debian's patches) under $CACHE/src
# and prints its folder.
fetch_source() {
    local pkg=$1 ver dir
    ver=$(srcver "$pkg")
    dir=$CACHE/src/$pkg-$ver
    if [ ! -f "$dir/.unpacked" ]; then
        rm -rf "$dir"
        mkdir -p "$dir"
        (cd "$dir" && apt-get source -qq "$pkg=$ver" >&2) || {
            echo "could not fetch the Debian source package $pkg $ver" >&2
            exit 1
        }
        touch "$dir/.unpacked"
    fi
    find "$dir" -mindepth 1 -maxdepth 1 -type d | head -1
}

# --- zlib users: pugixml, libxlsxwriter ----------------------------------------
# zlib itself is Debian's MinGW package. These libraries do not need Qt, so they
# are built first, into a prefix of their own that a Qt rebuild leaves alone.
LIB_PREFIX=$CACHE/libs-gcc$CXX_VERSION
# pkg-config must not answer with the host's libraries.
export PKG_CONFIG_LIBDIR=$LIB_PREFIX/lib/pkgconfig:/usr/x86_64-w64-mingw32/lib/pkgconfig
unset PKG_CONFIG_PATH
build_cmake_lib() { # name source-package extra-cmake-args...
    local name=$1 pkg=$2 ver src build stamp
    shift 2
    ver=$(srcver "$pkg")
    stamp=$LIB_PREFIX/.tessiro-$name-$ver
    [ -f "$stamp" ] && return 0
    src=$(fetch_source "$pkg")
    build=$CACHE/build/$name-$ver
    rm -rf "$build"
    log "building $name $ver (log: $CACHE/$name.log)"
    "${NICE[@]}" cmake -S "$src" -B "$build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$LIB_PREFIX" "$@" \
        >"$CACHE/$name.log" 2>&1 || { tail -30 "$CACHE/$name.log"; exit 1; }
    "${NICE[@]}" cmake --build "$build" --parallel "$JOBS" >>"$CACHE/$name.log" 2>&1 \
        || { tail -30 "$CACHE/$name.log"; exit 1; }
    cmake --install "$build" >>"$CACHE/$name.log" 2>&1
    touch "$stamp"
}
mkdir -p "$CACHE"
build_cmake_lib pugixml pugixml -DBUILD_SHARED_LIBS=ON -DPUGIXML_BUILD_TESTS=OFF
# Its own minizip and MD5 (Debian's build takes the system's, which MinGW lacks).
build_cmake_lib xlsxwriter libxlsxwriter -DBUILD_SHARED_LIBS=ON -DUSE_SYSTEM_MINIZIP=OFF \
    -DUSE_OPENSSL_MD5=OFF -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF
[ -n "${TESSIRO_WIN_LIBS_ONLY:-}" ] && exit 0

# --- qtbase ------------------------------------------------------------------
QT_VERSION=$(srcver qt6-base)
QT_HOST_VERSION=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
QT_PREFIX=$CACHE/qtbase-$QT_VERSION-gcc$CXX_VERSION
build_qt() {
    local src build args
    src=$(fetch_source qt6-base)
    build=$CACHE/build/qtbase-$QT_VERSION
    # The host's Qt tools (moc, rcc, uic) do the generating. Only the modules the
    # program uses are built. tabletevent is off because Debian's source leaves
    # out wintab.h; OpenGL stays on because the windows platform plugin of this
    # Qt does not compile without it (it is loaded at run time only). Direct2D is
    # a second windows platform plugin, not needed; no image plugins either.
    # Without Direct2D, QtGui leaves out the DirectWrite 3 font database that the
    # windows plugin still refers to (it fails to link): DirectWrite 3 goes too,
    # the plugin's default GDI font database is what the program uses anyway.
    args=(-DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN"
        -DCMAKE_BUILD_TYPE=Release
        -DCMAKE_INSTALL_PREFIX="$QT_PREFIX"
        -DQT_HOST_PATH=/usr
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
        -DQT_QMAKE_TARGET_MKSPEC=win32-g++
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
        -DBUILD_SHARED_LIBS=ON
        -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF
        -DFEATURE_icu=OFF -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF
        -DFEATURE_xml=OFF -DFEATURE_tabletevent=OFF -DFEATURE_opengl=ON
        -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF
        -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF
        -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF
        -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
        -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_md4c=OFF
        -DFEATURE_openssl=OFF -DFEATURE_vulkan=OFF
        -DFEATURE_sql_sqlite=OFF -DFEATURE_testlib_selfcover=OFF)
    # An unfinished build of the same source resumes: configuring again in
    # place with other options rebuilds only what they change.
    if [ -f "$build/CMakeCache.txt" ] && ! grep -qxF "CMAKE_HOME_DIRECTORY:INTERNAL=$src" "$build/CMakeCache.txt"; then
        rm -rf "$build"
    fi
    if [ "$(cat "$build/.tessiro-configure" 2>/dev/null)" != "$(printf '%s\n' "${args[@]}")" ]; then
        log "configuring qtbase $QT_VERSION for MinGW (log: $CACHE/qtbase-configure.log)"
        "${NICE[@]}" cmake -S "$src" -B "$build" -G Ninja "${args[@]}" \
            >"$CACHE/qtbase-configure.log" 2>&1 \
            || { tail -40 "$CACHE/qtbase-configure.log"; exit 1; }
        printf '%s\n' "${args[@]}" >"$build/.tessiro-configure"
    fi
    log "building qtbase (log: $CACHE/qtbase-build.log)"
    echo "== $(date -u +%FT%TZ) build" >>"$CACHE/qtbase-build.log"
    "${NICE[@]}" cmake --build "$build" --parallel "$JOBS" \
        >>"$CACHE/qtbase-build.log" 2>&1 || { tail -40 "$CACHE/qtbase-build.log"; exit 1; }
    echo "== $(date -u +%FT%TZ) built" >>"$CACHE/qtbase-build.log"
    rm -rf "$QT_PREFIX"
    "${NICE[@]}" cmake --install "$build" >/dev/null
    echo "$QT_VERSION host $QT_HOST_VERSION gcc $CXX_VERSION" >"$QT_PREFIX/.tessiro-built"
    log "qtbase done"
}
[ -f "$QT_PREFIX/.tessiro-built" ] || build_qt
[ -n "${TESSIRO_WIN_QT_ONLY:-}" ] && exit 0

# --- the project ----------------------------------------------------------------
# The toolchain file finds packages under both prefixes.
export TESSIRO_WIN_PREFIX="$QT_PREFIX;$LIB_PREFIX"
BUILD=$ROOT/build-win
log "cross-building the project into $BUILD"
LAUNCHER=()
command -v ccache >/dev/null && LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
"${NICE[@]}" "$QT_PREFIX/bin/qt-cmake" -S "$ROOT" -B "$BUILD" -G Ninja \
    -DCMAKE_BUILD_TYPE=Release -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$TOOLCHAIN" "${LAUNCHER[@]}" -DTESSIRO_BENCH=OFF \
    -DCMAKE_CROSSCOMPILING_EMULATOR=wine >/dev/null
"${NICE[@]}" cmake --build "$BUILD" --parallel "$JOBS"

# --- packages -------------------------------------------------------------------
VERSION=$(sed -n 's/^project(Tessiro VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
NAME=tessiro-$VERSION-win64
STAGE=$BUILD/stage/$NAME
rm -rf "$BUILD/stage"
mkdir -p "$STAGE/platforms" "$ROOT/dist"
cp "$BUILD/bin/tessiro.exe" "$BUILD/bin/tessiro-cli.exe" "$STAGE/"
for dll in Qt6Core Qt6Gui Qt6Widgets; do cp "$QT_PREFIX/bin/$dll.dll" "$STAGE/"; done
cp "$LIB_PREFIX"/bin/libpugixml*.dll "$LIB_PREFIX"/bin/libxlsxwriter*.dll "$STAGE/"
cp "$QT_PREFIX/plugins/platforms/qwindows.dll" "$STAGE/platforms/"
# The native look; without it Qt falls back to its own Windows style.
if [ -f "$QT_PREFIX/plugins/styles/qwindowsvistastyle.dll" ]; then
    mkdir -p "$STAGE/styles"
    cp "$QT_PREFIX/plugins/styles/qwindowsvistastyle.dll" "$STAGE/styles/"
fi
MINGW_GCC=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
for dll in "$MINGW_GCC/libstdc++-6.dll" "$MINGW_GCC/libgcc_s_seh-1.dll" \
    /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll /usr/x86_64-w64-mingw32/lib/zlib1.dll; do
    cp "$dll" "$STAGE/"
done
# Debian's libstdc++-6.dll carries its symbols (23 MB); the package needs none.
find "$STAGE" \( -name '*.dll' -o -name '*.exe' \) -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
cp "$ROOT/data/help2.dat" "$STAGE/"
cp "$ROOT/packaging/windows/README.txt" "$STAGE/"
(cd "$BUILD/stage" && rm -f "$ROOT/dist/$NAME.zip" && zip -qr "$ROOT/dist/$NAME.zip" "$NAME")
log "dist/$NAME.zip"
makensis -V2 -DVERSION="$VERSION" -DSTAGE="$STAGE" -DOUTFILE="$ROOT/dist/$NAME-setup.exe" \
    -DICON="$BUILD/tessiro.ico" "$ROOT/packaging/windows/tessiro.nsi"
log "dist/$NAME-setup.exe"
}
main "$@"; exit
