#!/usr/bin/env bash
# Runs a Windows program under wine64 in the build tree's own Wine prefix: the cross-compiling
# emulator of the x86_64 build, used by ctest for the unit tests and by the Wine tests.
# Usage: wine-exec.sh WINE64 WINESERVER PREFIX PROGRAM [ARGUMENTS...]
#
# The prefix is created once (about ten seconds); after that one persistent wineserver serves every
# launch, which then costs tens of milliseconds instead of about a second. The server ends on its
# own a minute after its last client.
set -euo pipefail
wine64=$1
wineserver=$2
prefix=$3
shift 3

mkdir -p "$prefix"
# Wine accepts only an absolute prefix.
prefix=$(cd "$prefix" && pwd)
export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installers: they would open dialogs on a fresh prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="

# One launcher at a time sets the session up. A new server gets its session booted here, with
# the output going to a log: the helper processes Wine starts with a session (services, the
# desktop) inherit the output of whoever starts them and live as long as the server, so a pipe
# handed to them would not close before the server ends. Starting a server while one runs for
# this prefix is refused (status 2), so the first one stays. The server and the session outlive
# this launcher, so they do not get the lock's descriptor (they would hold the lock with it).
# A session boot now and then crashes inside Wine (a page fault in one of its own programs) and
# then works when asked again, so it is tried up to three times before the launch fails; a retry
# boots the session again whatever the server's state.
start_session() (
  flock 9
  if "$wineserver" -p60 </dev/null >/dev/null 2>&1 9>&- || [ ! -f "$prefix/system.reg" ] || [ "$1" -gt 1 ]; then
    if [ -f "$prefix/system.reg" ]; then boot=; else boot=--init; fi
    "$wine64" wineboot $boot </dev/null >>"$prefix.log" 2>&1 9>&-
  fi
) 9>"$prefix.lock"
started=
for attempt in 1 2 3; do
  if start_session "$attempt"; then
    started=yes
    break
  fi
  echo "wine-exec: session boot $attempt failed" >>"$prefix.log"
done
if [ -z "$started" ]; then
  echo "wine-exec: starting Wine in $prefix failed; see $prefix.log" >&2
  exit 1
fi
# Windows programs end their lines with CR LF; ctest and the test discovery read LF lines. The
# pipe keeps the program's exit status (pipefail).
"$wine64" "$@" | tr -d '\r'
