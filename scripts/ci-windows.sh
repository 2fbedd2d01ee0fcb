#!/usr/bin/env bash
# CI's Windows steps: scripts/build-windows.sh, then scripts/test-windows.sh,
# within what is left of CI's time.
#
# On a machine that has built the Windows libraries before (the cache of
# build-windows.sh), these steps take minutes. On a fresh one, qtbase alone takes
# most of an hour on two cores, more than CI has left after the Linux steps. Then
# the libraries are built for as long as the time allows, the run says plainly
# that the Windows build and suite were skipped, and the next run resumes the
# libraries where this one stopped. Once they are built, a failure of the Windows
# build or of any Windows test fails CI.
#
# TESSIRO_CI_START: when CI started (seconds since the epoch; default now).
# TESSIRO_CI_MINUTES: the minutes this script may take from that start (default 80).
set -euo pipefail
cd "$(dirname "$0")/.."
start=${TESSIRO_CI_START:-$(date +%s)}
deadline=$((start + 60 * ${TESSIRO_CI_MINUTES:-80}))
# What the project's cross-build and the Wine suite need at most, with the
# libraries built: a cold compiler cache makes the cross-build the long part.
PROJECT_MINUTES=25

log() { printf '== %s %s\n' "$(date +%H:%M:%S)" "$*"; }
skipped() {
    log "WINDOWS STEPS SKIPPED: $*"
    log "the Windows build and its tests did not run; the next run resumes the libraries"
    exit 0
}
left() { echo $(((deadline - $(date +%s)) / 60)); }

# The libraries first, bounded: an unfinished qtbase build resumes next time.
budget=$(($(left) - PROJECT_MINUTES))
[ "$budget" -ge 2 ] || skipped "$(left) minutes of CI's time are left, and the project needs $PROJECT_MINUTES after the libraries"
log "Windows libraries: at most $budget minutes"
set +e
TESSIRO_WIN_QT_ONLY=1 timeout "${budget}m" bash scripts/build-windows.sh
rc=$?
set -e
[ $rc -ne 124 ] || skipped "qtbase was not built within the $budget minutes CI had left"
[ $rc -eq 0 ] || exit $rc

log "Windows build and suite: $(left) minutes left"
bash scripts/build-windows.sh
bash scripts/test-windows.sh
