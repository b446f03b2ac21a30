#!/usr/bin/env bash
# Starts the program under a real X server (Xvfb) and checks that it maps a
# visible window of its own and is still running a moment later: it came up,
# showed itself and did not crash. A program that hangs before showing a
# window fails.
set -u
program=$1
log=$(mktemp "${TMPDIR:-/tmp}/purlwise-startup.XXXXXX")
trap 'rm -f "$log"' EXIT

# Runs inside the X server: prints "shown" once the program's window is
# viewable and it survived two more seconds, "ended" or "no window" otherwise.
inside='
"$0" >"$1" 2>&1 &
pid=$!
while [ "$SECONDS" -lt 15 ]; do
  if ! kill -0 "$pid" 2>/dev/null; then echo ended; exit 0; fi
  if xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; then
    sleep 2
    if kill -0 "$pid" 2>/dev/null; then echo shown; kill "$pid"; wait "$pid"; exit 0; fi
    echo ended; exit 0
  fi
  sleep 0.1
done
echo "no window"
kill -9 "$pid" 2>/dev/null
'
outcome=$(timeout 40 xvfb-run -a bash -c "$inside" "$program" "$log")
if [ "$outcome" = shown ]; then
  echo "started and showed its window under Xvfb"
  exit 0
fi
echo "the program did not come up (${outcome:-timed out}):"
cat "$log"
exit 1
