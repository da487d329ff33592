#!/bin/sh
# Runs a command with fcitx5 running headless on the current (private) D-Bus session.
# Usage: dbus-run-session -- with-fcitx5.sh COMMAND [ARGS...]
set -u
. "$(dirname "$0")/../support/fcitx5-session.sh"
fcitx5_private_home
trap fcitx5_cleanup EXIT
unset DISPLAY WAYLAND_DISPLAY
fcitx5_start || exit 1
"$@"
status=$?
exit $status
