#!/usr/bin/env bash
# Builds the Debian package from build/, installs it with apt-get, drives the installed
# programs as a user would and removes the package again, checking that the user's
# projects stay. Run as root on Debian 12 after the build; safe to run again.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=build
START=$SECONDS

fail() {
  echo "check-install: FAILED: $*" >&2
  exit 1
}
step() { echo "== $*"; }
installed() { dpkg-query -W -f='${Status}' tessiro 2>/dev/null | grep -q "install ok installed"; }
# Runs a command with its output kept aside, shown only when it fails.
quiet() {
  "$@" >"$work/quiet.log" 2>&1 || {
    cat "$work/quiet.log" >&2
    fail "$*"
  }
}

[ "$(id -u)" -eq 0 ] || fail "run as root: the check installs and removes a package"
[ -f "$BUILD/CMakeCache.txt" ] || fail "no build in $BUILD/ (cmake -S . -B $BUILD -G Ninja && cmake --build $BUILD)"
export DEBIAN_FRONTEND=noninteractive

work=$(mktemp -d /tmp/tessiro-check.XXXXXX)
chmod 755 "$work"
gui_pid=""
we_installed=""
# Leaves the machine as it was found, also when a check failed.
cleanup() {
  [ -z "$gui_pid" ] || kill -KILL "$gui_pid" 2>/dev/null || true
  if [ -n "$we_installed" ] && installed; then
    apt-get remove -y -qq tessiro >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT


# A run that stopped half-way leaves the package installed; start from a clean system.
if installed; then
  step "Removing the tessiro package left by an earlier run"
  quiet apt-get remove -y tessiro
fi

step "Building the package"
quiet cmake --build "$BUILD"
rm -f "$BUILD"/tessiro_*.deb
(cd "$BUILD" && quiet cpack -G DEB)
debs=("$BUILD"/tessiro_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no tessiro_*.deb in $BUILD/"
deb=${debs[0]}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$BUILD/CMakeCache.txt")
[ "$(dpkg-deb -f "$deb" Package)" = tessiro ] || fail "package name is not tessiro"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version $(dpkg-deb -f "$deb" Version), project $version"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libqt6core6 libpugixml1v5 libc6; do
  grep -q "\b$lib\b" <<<"$depends" || fail "Depends lacks $lib (shlibdeps): $depends"
done
! grep -q srecord <<<"$depends" || fail "srecord must not be a run-time dependency: $depends"
contents=$(dpkg-deb -c "$deb")
for f in usr/bin/tessiro usr/bin/tessiro-cli usr/share/tessiro/help2.dat usr/share/applications/tessiro.desktop \
  usr/share/icons/hicolor/scalable/apps/tessiro.svg usr/share/man/man1/tessiro-cli.1.gz; do
  grep -q " \./$f\$" <<<"$contents" || fail "$deb lacks /$f"
done
echo "$deb: Depends: $depends"

step "Installing $deb"
we_installed=1
quiet apt-get install -y "./$deb"
installed || fail "tessiro is not installed after apt-get install"
for f in /usr/bin/tessiro /usr/bin/tessiro-cli; do [ -x "$f" ] || fail "$f missing"; done
cmp -s data/help2.dat /usr/share/tessiro/help2.dat || fail "/usr/share/tessiro/help2.dat differs from data/help2.dat"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate /usr/share/applications/tessiro.desktop || fail "the desktop entry does not validate"
fi
# Slim container images tell dpkg to leave out manual pages; the package's content was checked above.
if [ -f /usr/share/man/man1/tessiro-cli.1.gz ] && command -v man >/dev/null; then
  MANPAGER=cat MANWIDTH=100 man tessiro-cli 2>/dev/null | grep -q "update PROJECT_DIR MASTER_FILE" ||
    fail "man tessiro-cli does not show the update command"
fi

step "Installed tessiro-cli: update and eds on a test project"
project="$work/cli/Line3"
mkdir -p "$project"
printf '%s' '<Par_Gen><Can_Dev_Id>5</Can_Dev_Id><Can_Baud>4</Can_Baud><Net_Dev_Id>3</Net_Dev_Id><Net_Baud>1</Net_Baud><Time_Out_SDO>10000</Time_Out_SDO><Ope_Dev>1</Ope_Dev><Ope_Net>0</Ope_Net><Ope_TimeOut>0</Ope_TimeOut></Par_Gen>' >"$project/pargen.xml"
printf '%s' '<CanOpen_to_DeviceNet><ByteIN><row IdDev="1" Index="$6000" SubIndex="$01" NByte="2" Mnemonic="in"/></ByteIN><ByteOUT><row IdDev="1" Index="$6200" SubIndex="$01" NByte="1" Mnemonic="out"/></ByteOUT></CanOpen_to_DeviceNet>' >"$project/sdo.xml"
# The PDOs of the EDS writer's golden file, so the EDS can be compared byte for byte.
printf '%s' '<CanOpen_PDO_to_DeviceNet><ByteIN_TPDO><row Cob_Id="$201" Dimension="8" Mnemonic=""/><row Cob_Id="$202" Dimension="8" Mnemonic=""/></ByteIN_TPDO><ByteOUT_RPDO><row Cob_Id="$181" Dimension="8" Mnemonic=""/><row Cob_Id="$182" Dimension="8" Mnemonic=""/><row Cob_Id="$183" Dimension="8" Mnemonic=""/></ByteOUT_RPDO></CanOpen_PDO_to_DeviceNet>' >"$project/pdo.xml"

# A small master firmware: a header, 16 records before bank 1, bank 1's 512 records of FF, the end.
master="$work/cli/qk4471.sx"
record() { # S2 record of 32 FF bytes at address $1
  local a=$1 sum
  sum=$((0x24 + (a >> 16) + ((a >> 8) & 255) + (a & 255) + 32 * 255))
  printf 'S224%06X%s%02X\r\n' "$a" FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF $((255 - (sum & 255)))
}
{
  printf 'S00600004844521B\r\n'
  for ((i = 0; i < 16; i++)); do record $((0x380000 + 32 * i)); done
  for ((i = 0; i < 512; i++)); do record $((0x388000 + 32 * i)); done
  printf 'S9030000FC\r\n'
} >"$master"

/usr/bin/tessiro-cli update "$project" "$master" || fail "tessiro-cli update"
[ "$(stat -c %s "$project/bin/bank1.bin")" -eq 16384 ] || fail "bin/bank1.bin is not 16384 bytes"
[ "$(od -An -tx1 -j15000 -N6 "$project/bin/bank1.bin" | tr -d ' ')" = 050403012710 ] ||
  fail "bank 1 does not hold pargen.xml's values at 15000"
[ -s "$project/bin/bankg.c" ] || fail "bin/bankg.c missing"
merged="$project/New_qk4471.sx"
[ -f "$merged" ] || fail "New_qk4471.sx missing"
[ "$(wc -l <"$merged")" -eq "$(wc -l <"$master")" ] || fail "the merged firmware has $(wc -l <"$merged") lines, the master $(wc -l <"$master")"
[ "$(grep -c '^S22438[89AB]' "$merged")" -eq 512 ] || fail "the merged firmware lacks bank 1's 512 records"
! cmp -s "$merged" "$master" || fail "the merged firmware equals the master"
tail -c 12 "$merged" | grep -q $'S9030000FC\r' || fail "the merged firmware does not end with the S9 record"

/usr/bin/tessiro-cli eds "$project" "$work/cli/Line3.eds" || fail "tessiro-cli eds"
cmp "$work/cli/Line3.eds" tests/core/eds/three_rpdo_two_tpdo.eds || fail "the EDS file differs from the golden file"

# Starts the installed tessiro offscreen as user $1 with home $2 and ends it with SIGTERM,
# as a session's end does; the program must close as through "X" and write its INI file.
run_gui() {
  local user=$1 home=$2 data="$2/.local/share/tessiro" rc
  mkdir -p "$home" "$work/run-$user"
  chmod 700 "$work/run-$user"
  chown "$user:" "$home" "$work/run-$user"
  setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups \
    env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$home" XDG_RUNTIME_DIR="$work/run-$user" \
    QT_QPA_PLATFORM=offscreen /usr/bin/tessiro >"$work/gui-$user.log" 2>&1 &
  gui_pid=$!
  for ((i = 0; i < 100; i++)); do
    [ -d "$data/PROJECTS" ] && break
    kill -0 "$gui_pid" 2>/dev/null || break
    sleep 0.2
  done
  [ -d "$data/PROJECTS" ] || {
    cat "$work/gui-$user.log" >&2
    fail "tessiro as $user made no $data/PROJECTS"
  }
  sleep 1 # into the event loop
  kill -TERM "$gui_pid" 2>/dev/null || true
  for ((i = 0; i < 50; i++)); do
    kill -0 "$gui_pid" 2>/dev/null || break
    sleep 0.2
  done
  if kill -0 "$gui_pid" 2>/dev/null; then
    kill -KILL "$gui_pid"
    fail "tessiro as $user was still running 10 s after SIGTERM"
  fi
  rc=0
  wait "$gui_pid" || rc=$?
  gui_pid=""
  [ "$rc" -eq 0 ] || {
    cat "$work/gui-$user.log" >&2
    fail "tessiro as $user ended with status $rc on SIGTERM; it must close its windows as \"X\" does, which writes the last-project file, and exit 0"
  }
  [ -d "$data/MASTER" ] || fail "tessiro as $user made no $data/MASTER"
  grep -q '^\[lastproj\]' "$data/Tessiro_Brevik.ini" 2>/dev/null ||
    fail "tessiro as $user wrote no $data/Tessiro_Brevik.ini at exit"
  echo "tessiro as $user: $(ls "$data" | tr '\n' ' ')in $data"
}

step "Installed tessiro, offscreen: its folders in the user's data folder"
run_gui root "$work/home-root"
run_gui nobody "$work/home-nobody"
for f in MASTER PROJECTS Tessiro_Brevik.ini; do
  [ ! -e "/usr/bin/$f" ] || fail "/usr/bin/$f was created; the program's folder must stay untouched"
done
# A project of the user's, to outlive the package.
cp -r "$project" "$work/home-nobody/.local/share/tessiro/PROJECTS/"

step "Removing the package"
quiet apt-get remove -y tessiro
! installed || fail "tessiro is still installed"
[ ! -e /usr/bin/tessiro ] || fail "/usr/bin/tessiro is still there"
cmp -s "$project/pdo.xml" "$work/home-nobody/.local/share/tessiro/PROJECTS/Line3/pdo.xml" ||
  fail "the user's project did not survive the removal"
[ -f "$work/home-nobody/.local/share/tessiro/Tessiro_Brevik.ini" ] || fail "the user's INI file did not survive"

echo "check-install: passed in $((SECONDS - START)) s"
