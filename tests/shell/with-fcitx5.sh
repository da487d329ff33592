#!/bin/sh
# Runs a command with fcitx5 running headless on the current (private) D-Bus session.
# Usage: dbus-run-session -- with-fcitx5.sh COMMAND [ARGS...]
set -u
home=$(mktemp -d)
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share"
export XDG_RUNTIME_DIR="$home/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY
fcitx5 -d --replace >"$home/fcitx5.log" 2>&1
ready=0
i=0
while [ $i -lt 100 ]; do
  # Ask the bus who owns the name: asking fcitx5 itself would start a second one by activation.
  if dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
       org.freedesktop.DBus.NameHasOwner string:org.fcitx.Fcitx5 2>/dev/null | grep -q 'boolean true'; then
    ready=1; break
  fi
  i=$((i + 1)); sleep 0.1
done
if [ $ready -ne 1 ]; then
  echo "fcitx5 did not answer on D-Bus; its log:" >&2
  cat "$home/fcitx5.log" >&2
fi
"$@"
status=$?
dbus-send --session --dest=org.fcitx.Fcitx5 /controller org.fcitx.Fcitx.Controller1.Exit >/dev/null 2>&1
sleep 0.2
pkill -P $$ fcitx5 >/dev/null 2>&1
rm -rf "$home"
exit $status
