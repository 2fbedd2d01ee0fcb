#!/usr/bin/env bash
# CI's Windows steps: scripts/build-windows.sh, then scripts/test-windows.sh,
# within what is left of CI's time.
#
# On a machine that has built the Windows libraries before (the cache of
# build-windows.sh), these steps take minutes. On a fresh one, qtbase takes about
# half an hour on two cores. Each step gets what is left of CI's time, less what
# the later steps need; when a build step runs out of time, the run says plainly
# that the Windows build and suite were skipped, and the next run resumes where
# this one stopped (qtbase in its cache, the project's objects in the compiler
# cache). A failure of the Windows build or of any Windows test fails CI.
#
# TESSIRO_CI_START: when CI started (seconds since the epoch; default now).
# TESSIRO_CI_MINUTES: the minutes this script may take from that start (default 80).
set -euo pipefail
cd "$(dirname "$0")/.."
start=${TESSIRO_CI_START:-$(date +%s)}
deadline=$((start + 60 * ${TESSIRO_CI_MINUTES:-80}))
# Minutes kept back: for the Wine suite with its installs (SUITE), and for the
# project's cross-build and packages as well (PROJECT) when the compiler cache is
# warm. With a cold cache the cross-build takes longer; it is bounded too.
SUITE_MINUTES=6
PROJECT_MINUTES=12

log() { printf '== %s %s\n' "$(date +%H:%M:%S)" "$*"; }
skipped() {
    log "WINDOWS STEPS SKIPPED: $*"
    log "the Windows build and its tests did not run; the next run resumes where this one stopped"
    exit 0
}
left() { echo $(((deadline - $(date +%s)) / 60)); }
# Runs a step for at most $1 minutes (timeout stops its whole process group);
# answers 124 when the time ran out.
bounded() { timeout "${1}m" "${@:2}"; }

# The libraries first: an unfinished qtbase build resumes next time.
budget=$(($(left) - PROJECT_MINUTES))
[ "$budget" -ge 2 ] || skipped "$(left) minutes of CI's time are left, and the project needs $PROJECT_MINUTES after the libraries"
log "Windows libraries: at most $budget minutes"
rc=0
TESSIRO_WIN_QT_ONLY=1 bounded "$budget" bash scripts/build-windows.sh || rc=$?
[ $rc -ne 124 ] || skipped "qtbase was not built within the $budget minutes CI had left"
[ $rc -eq 0 ] || exit $rc

# Then the project; its compiled objects stay in the compiler cache for next time.
budget=$(($(left) - SUITE_MINUTES))
[ "$budget" -ge 2 ] || skipped "the libraries are built, but only $(left) minutes are left for the project and its suite"
log "Windows build: at most $budget minutes"
rc=0
bounded "$budget" bash scripts/build-windows.sh || rc=$?
[ $rc -ne 124 ] || skipped "the project's cross-build did not finish within the $budget minutes CI had left"
[ $rc -eq 0 ] || exit $rc

log "Windows suite: $(left) minutes left"
bash scripts/test-windows.sh
