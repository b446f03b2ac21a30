#!/usr/bin/env bash
# Starts the program under a real X server (Xvfb) and checks it is still
# running a few seconds later: it came up and did not crash.
set -u
program=$1
timeout 6 xvfb-run -a "$program" >/tmp/purlwise-startup.log 2>&1
status=$?
if [ "$status" -eq 124 ]; then
  echo "started and kept running under Xvfb"
  exit 0
fi
echo "the program ended with status $status:"
cat /tmp/purlwise-startup.log
exit 1
