#!/bin/sh
# Runs a test executable as the unprivileged user "nobody", for the tests that
# check refusals root would never meet. Skipped (77) unless run as root with
# setpriv at hand and the executable reachable by that user.
setpriv=$1
shift
[ "$(id -u)" = 0 ] || { echo "not root: those tests ran as this user already"; exit 77; }
as_nobody="$setpriv --reuid=65534 --regid=65534 --clear-groups"
$as_nobody test -x "$1" || { echo "nobody cannot run $1"; exit 77; }
unset XDG_RUNTIME_DIR
cd /tmp || exit 1
exec $as_nobody "$@"
