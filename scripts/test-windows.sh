#!/usr/bin/env bash
# Runs the cross-built test suite (scripts/build-windows.sh) under Wine,
# headless on Qt's offscreen platform, then checks that tessiro-cli.exe writes
# the same bytes as the Linux tessiro-cli for the same project.
#
# .ci/run runs it through scripts/ci-windows.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
CACHE=${TESSIRO_WIN_CACHE:-$HOME/.cache/tessiro-win}
BUILD=$ROOT/build-win
SUDO=()
[ "$(id -u)" -eq 0 ] || SUDO=(sudo)

missing=()
for p in wine wine64 srecord xvfb x11-utils fonts-dejavu-core unzip; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    "${SUDO[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
[ -f "$BUILD/CTestTestfile.cmake" ] || { echo "no Windows build: run scripts/build-windows.sh first" >&2; exit 1; }
QT_PREFIX=$(sed -n 's/^Qt6_DIR:[A-Z]*=\(.*\)\/lib\/cmake\/Qt6$/\1/p' "$BUILD/CMakeCache.txt")

# A prefix of our own, made once and without dialogs (no Mono or Gecko prompts,
# no display needed).
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
export WINEPREFIX=${TESSIRO_WINEPREFIX:-$CACHE/wineprefix}
if [ ! -f "$WINEPREFIX/.tessiro-ready" ]; then
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    DISPLAY= wine wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
    [ -f "$WINEPREFIX/system.reg" ] || { echo "could not create the Wine prefix $WINEPREFIX" >&2; exit 1; }
    touch "$WINEPREFIX/.tessiro-ready"
fi
export DISPLAY=
# The DLLs the programs need: Qt, pugixml and libxlsxwriter from the cache, the
# MinGW runtime and zlib from Debian's MinGW packages.
MINGW_GCC=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
LIB_PREFIX=$CACHE/libs-gcc$(x86_64-w64-mingw32-g++-posix -dumpfullversion)
WINEPATH="$(winepath -w "$QT_PREFIX/bin");$(winepath -w "$LIB_PREFIX/bin");$(winepath -w "$MINGW_GCC")"
export WINEPATH="$WINEPATH;$(winepath -w /usr/x86_64-w64-mingw32/lib)"
# Wine hands a program none of the QT_ variables of its caller (Qt's platform,
# plugin and font settings), so the GUI tests get `-platform offscreen` as an
# argument and the fonts' folder comes from the prefix's own environment.
# The offscreen platform on Windows reads its fonts from that folder, not from
# fontconfig: DejaVu Sans, which the Linux suite draws with in place of Verdana.
FONTS=$CACHE/fonts
mkdir -p "$FONTS"
cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf "$FONTS/"
wine reg add 'HKCU\Environment' /v QT_QPA_FONTDIR /d "$(winepath -w "$FONTS")" /f >/dev/null
wineserver -w

# Every test the Windows build has runs here; none is excluded. Three tests of
# the Linux suite are not built for Windows, because what they drive is Linux's:
# - core_base_atomicfile fills and remounts a tmpfs of its own (mount(2));
# - core_cli_durable puts write faults into tessiro-cli through LD_PRELOAD;
# - layers_check reads the source tree, the same on every system.
# On Windows a write is refused above all by a file that another program holds
# open; the Windows-only cases of core_translate_cli hold a workbook and a CSV
# file as Excel does and check the message and that the old files are kept.
EXCLUDE='^$'

status=0
# One wineserver for the whole run: without it each test program waits for a
# new one to start (about 3 s each). Wine's own services start with it, here,
# with nothing of ctest's open: a service holding a test's output pipe would
# keep that test from ending.
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1
trap 'wineserver -k 2>/dev/null || true' EXIT
ctest --test-dir "$BUILD" --output-on-failure --timeout 900 --parallel "$(nproc)" -E "$EXCLUDE" || status=1

# --- the same bytes as the Linux build ------------------------------------------
LINUX_CLI=${TESSIRO_LINUX_CLI:-$ROOT/build/bin/tessiro-cli}
if [ ! -x "$LINUX_CLI" ]; then
    echo "byte identity: no Linux tessiro-cli at $LINUX_CLI (scripts/build.sh builds it)" >&2
    exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"; wineserver -k 2>/dev/null || true' EXIT
mkdir -p "$work/linux/p" "$work/win/p"
for side in linux win; do
    printf '%s' '<Par_Gen><Can_Dev_Id>1</Can_Dev_Id><Can_Baud>0</Can_Baud><Net_Dev_Id>1</Net_Dev_Id><Net_Baud>0</Net_Baud><Time_Out_SDO>10000</Time_Out_SDO></Par_Gen>' \
        >"$work/$side/p/pargen.xml"
done
# The refusal of an unknown table lists the tables.
tables=$({ "$LINUX_CLI" export no-such-table "$work/linux/p" 2>&1 || true; } | sed -n 's/.*the tables are //p' | tr -d ',')
run_both() { # arguments with @P@ for the project folder
    local a la=() wa=()
    for a in "$@"; do la+=("${a//@P@/$work/linux/p}"); wa+=("${a//@P@/$work/win/p}"); done
    (cd "$work/linux" && "$LINUX_CLI" "${la[@]}") >"$work/linux/out.$1" 2>&1 || true
    (cd "$work/win" && wine "$BUILD/bin/tessiro-cli.exe" "${wa[@]}") >"$work/win/out.$1" 2>&1 || true
}
# The tables filled from the workbook fixtures (.xls, .xlsx) first, so that the
# exports and the banks carry data; a master firmware made by SRecord.
fixtures=$ROOT/tests/core/translate/fixtures
for imp in rpdodef:rpdodef_mixed_case_sheet.xlsx sdo:sdo_header_line_and_empty_conf.xlsx \
    sdopdo:sdopdo_header_line_and_unknown_pdos.xls emcydef:emcydef_two_lists_and_header_line.xls \
    emcyword:emcyword_two_tabs_and_extdata_2.xls; do
    cp "$fixtures/${imp#*:}" "$work/linux/"; cp "$fixtures/${imp#*:}" "$work/win/"
    run_both import "${imp%%:*}" @P@ "${imp#*:}"
done
run_both banks @P@
run_both eds @P@ @P@/gateway.eds
srec_cat -generate 0x380000 0x3E0000 -repeat-data 0x12 0x34 0x56 -o "$work/linux/p/qk4471.sx" \
    -Motorola -address-length=3 -obs=32 -execution-start-address=0
cp "$work/linux/p/qk4471.sx" "$work/win/p/"
run_both firmware @P@ @P@/qk4471.sx
for t in $tables; do
    run_both export "$t" @P@
done
# A workbook carries the time it was written (docProps/core.xml), so two exports
# are compared part by part with that time left out.
same_workbook() {
    local side
    for side in linux win; do
        rm -rf "$work/unzip-$side"
        mkdir "$work/unzip-$side"
        (cd "$work/unzip-$side" && unzip -q "$work/$side/p/$1") || return 1
        sed -i 's/[0-9-]*T[0-9:]*Z</TIME</g' "$work/unzip-$side/docProps/core.xml" || return 1
    done
    diff -r "$work/unzip-linux" "$work/unzip-win" >&2
}
different=0
while IFS= read -r -d '' f; do
    rel=${f#"$work/linux/p/"}
    if [[ $rel == *.xlsx ]]; then
        same_workbook "$rel" || { echo "byte identity: $rel differs" >&2; different=1; }
    elif ! cmp -s "$f" "$work/win/p/$rel"; then
        echo "byte identity: $rel differs" >&2; different=1
    fi
done < <(find "$work/linux/p" -type f -print0)
[ "$(cd "$work/linux/p" && find . -type f | sort)" = "$(cd "$work/win/p" && find . -type f | sort)" ] \
    || { echo "byte identity: the two builds wrote different sets of files" >&2; different=1; }
n=$(find "$work/linux/p" -type f | wc -l)
if [ $different -eq 0 ]; then echo "byte identity: $n files the same"; else status=1; fi

# The installer steps wait for the wineserver to end (wineserver -w): a persistent
# one would never end.
wineserver -k 2>/dev/null || true

# --- the installer and the desktop program ------------------------------------------
# Installs silently, starts the installed program on the windows platform under
# Xvfb until its main window is up, then uninstalls: the program, its folder and
# its Start-menu entry go, the user's projects stay.
VERSION=$(sed -n 's/^project(Tessiro VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
SETUP=$ROOT/dist/tessiro-$VERSION-win64-setup.exe
installer() {
    local drive_c=$WINEPREFIX/drive_c pf menu data pid shown=
    pf="$drive_c/Program Files/Tessiro"
    menu="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tessiro"
    data=$(ls -d "$drive_c"/users/*/AppData/Local 2>/dev/null | head -1)/tessiro
    rm -rf "$pf" "$menu"
    wine "$SETUP" /S && wineserver -w
    [ -f "$pf/bin/tessiro.exe" ] && [ -f "$pf/bin/platforms/qwindows.dll" ] && [ -f "$pf/share/tessiro/help2.dat" ] \
        || { echo "installer: the program is not under $pf" >&2; return 1; }
    [ -f "$menu/Tessiro.lnk" ] || { echo "installer: no Start-menu entry in $menu" >&2; return 1; }
    # The program as the Start menu starts it: the windows platform, no Qt variables.
    (unset WINEPATH; export DISPLAY=$1
     exec wine "$pf/bin/tessiro.exe") >"$work/gui.out" 2>&1 &
    pid=$!
    for _ in $(seq 90); do
        if DISPLAY=$1 xwininfo -root -tree 2>/dev/null | grep -q '"Veltrona Tessiro_QK4470_Brevik"'; then shown=1; break; fi
        kill -0 $pid 2>/dev/null || break
        sleep 1
    done
    [ -z "${TESSIRO_WIN_SCREENSHOT:-}" ] || DISPLAY=$1 import -window root "$TESSIRO_WIN_SCREENSHOT" || true
    kill $pid 2>/dev/null || true
    wait $pid 2>/dev/null || true
    [ -n "$shown" ] || { echo "installer: the installed tessiro.exe showed no main window" >&2; cat "$work/gui.out" >&2; return 1; }
    # Installed, the program keeps its folders in the user's data folder.
    [ -d "$data/PROJECTS" ] && [ -d "$data/MASTER" ] \
        || { echo "installer: no MASTER and PROJECTS in $data" >&2; return 1; }
    mkdir -p "$data/PROJECTS/Kept"
    echo '<Par_Gen/>' >"$data/PROJECTS/Kept/pargen.xml"
    wine "$pf/uninstall.exe" /S && wineserver -w
    [ ! -e "$pf" ] || { echo "installer: the uninstaller left $pf" >&2; return 1; }
    [ ! -e "$menu" ] || { echo "installer: the uninstaller left the Start-menu entry" >&2; return 1; }
    [ -f "$data/PROJECTS/Kept/pargen.xml" ] || { echo "installer: the uninstaller removed the user's projects" >&2; return 1; }
    rm -rf "$data/PROJECTS/Kept"
    echo "installer: installs, starts its main window, uninstalls and keeps the projects"
}
# A display of our own for the windows platform.
XVFB_PID=
for n in $(seq 90 130); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    sleep 2
    if kill -0 "$XVFB_PID" 2>/dev/null; then XDISPLAY=:$n; break; fi
    XVFB_PID=
done
trap 'rm -rf "$work"; [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null' EXIT
if [ -z "$XVFB_PID" ]; then
    echo "installer: Xvfb did not start" >&2
    status=1
elif [ ! -f "$SETUP" ]; then
    echo "installer: $SETUP is missing (scripts/build-windows.sh makes it)" >&2
    status=1
else
    wineserver -w
    DISPLAY=$XDISPLAY installer "$XDISPLAY" || status=1
fi
exit $status
