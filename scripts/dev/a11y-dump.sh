#!/usr/bin/env bash
# Prints what a screen reader receives from one translation window: starts the
# program on a virtual screen with its own session bus and accessibility bus,
# opens the window from the main window's window menu by keys (Shift+F10, arrows,
# Enter), and prints the window's AT-SPI tree (role, name, description, states)
# through a11y_dump.py. A bench tool for people, not run by CI.
#
#   bash scripts/dev/a11y-dump.sh [WINDOW] [--all]
#
# WINDOW is the entry's place in the window menu: 1 "Set Traslate PDO",
# 2 "Define store PDO", 3 "Set Traslate EMCY", 4 "Define EMCY Word",
# 5 "SDO Translation", 7 "Select String", 8 "Help"; 0 dumps the main window.
# --all also prints hidden nodes (the other tab). TESSIRO=path picks the program
# (default build/bin/tessiro); SHOT=file.png also saves a screenshot.
#
# Needs (Debian): xvfb at-spi2-core python3-pyatspi dbus-x11 xdotool, and
# imagemagick for SHOT. The program runs from a copy in a scratch folder with an
# empty project "demo", so nothing in the build tree or the user's data changes.
set -euo pipefail

if [ -z "${A11Y_DUMP_INNER:-}" ]; then
  here="$(cd "$(dirname "$0")/../.." && pwd)"
  program="${TESSIRO:-$here/build/bin/tessiro}"
  [ -x "$program" ] || { echo "no program at $program; build first" >&2; exit 1; }
  for tool in Xvfb dbus-run-session xdotool; do
    command -v "$tool" >/dev/null || { echo "missing $tool (see the header of $0)" >&2; exit 1; }
  done
  /usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "missing python3-pyatspi" >&2; exit 1; }

  bench="$(mktemp -d)"
  trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$bench"' EXIT
  mkdir -p "$bench/PROJECTS/demo"
  cp "$program" "$bench/tessiro"
  cp "$(dirname "$program")/help2.dat" "$bench/" 2>/dev/null || true
  printf '[lastproj]\r\nprojectname=demo\r\n' >"$bench/Tessiro_Brevik.ini"

  display=":$((90 + RANDOM % 100))"
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  sleep 1
  export DISPLAY="$display" A11Y_DUMP_INNER=1 A11Y_BENCH="$bench" A11Y_HERE="$here"
  exec dbus-run-session -- bash "$0" "$@"
fi

# Inside the session bus.
window="${1:-1}"
shift || true
titles=("Veltrona" "Define Traslate PDO" "Define Store PDO" "Set Traslate EMCY" "Define EMCY Word"
  "Set SDO Access" "XML Reader" "Select String" "Help")
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
# The accessibility bus first: the program looks for it once, at start.
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
bus=$!
sleep 1
"$A11Y_BENCH/tessiro" >"$A11Y_BENCH/program.log" 2>&1 &
program=$!
trap 'kill "$program" "$bus" 2>/dev/null || true' EXIT

# No window manager: windows get the keyboard by name.
focus() { xdotool search --onlyvisible --name "$1" | tail -1 | xargs -r -I{} xdotool windowfocus --sync {}; }
for _ in $(seq 50); do
  xdotool search --onlyvisible --name "Tessiro_" >/dev/null 2>&1 && break
  sleep 0.2
done
sleep 1
focus "Tessiro_"
if [ "$window" != 0 ]; then
  xdotool key shift+F10
  sleep 0.8
  # The menu opens with nothing highlighted: the first Down picks the first entry.
  for _ in $(seq 1 "$window"); do xdotool key Down; done
  xdotool key Return
  sleep 1.5
  # The empty project has no table files: each window says so once.
  for _ in 1 2 3 4; do
    xdotool search --onlyvisible --name "^Firmware Tessiro$" >/dev/null 2>&1 || break
    /usr/bin/python3 "$A11Y_HERE/scripts/dev/a11y_dump.py" "Firmware Tessiro" | sed -n 's/^  label /(dismissed) /p' >&2
    focus "^Firmware Tessiro$"
    xdotool key Return
    sleep 0.8
  done
fi
if [ -n "${SHOT:-}" ]; then
  import -window root "$SHOT"
fi
/usr/bin/python3 "$A11Y_HERE/scripts/dev/a11y_dump.py" "${titles[$window]}" "$@"
