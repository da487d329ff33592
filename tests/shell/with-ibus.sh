#!/bin/sh
# Runs a command with ibus-daemon running on the current (private) D-Bus session, in a fresh home.
# Usage: xvfb-run -a dbus-run-session -- with-ibus.sh COMMAND [ARGS...]
# (ibus switches keyboard engines with setxkbmap, which needs the X server)
set -u
. "$(dirname "$0")/../support/ibus-session.sh"
ibus_private_home
trap ibus_cleanup EXIT
unset WAYLAND_DISPLAY
ibus_start || exit 1
"$@"
status=$?
exit $status
