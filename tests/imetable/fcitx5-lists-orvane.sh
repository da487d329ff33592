#!/bin/sh
# Installs the Orvane table into a fresh home with install-orvane-ime.sh, starts fcitx5 headless
# on the current (private) D-Bus session and checks that its controller lists the method; then
# uninstalls and checks that nothing of it is left.
# Usage: dbus-run-session -- fcitx5-lists-orvane.sh INSTALL_SCRIPT JTDB
set -u
install=$1 db=$2
. "$(dirname "$0")/../support/fcitx5-session.sh"
fcitx5_private_home
trap fcitx5_cleanup EXIT
unset DISPLAY WAYLAND_DISPLAY

sh "$install" --fcitx5 --db "$db" >"$home/install.log" 2>&1 || { echo "install failed:"; cat "$home/install.log"; exit 1; }

fcitx5_start || exit 1
list=$(dbus-send --session --print-reply --dest=org.fcitx.Fcitx5 /controller \
         org.fcitx.Fcitx.Controller1.AvailableInputMethods)
# The entry is (unique name, name, native name, icon, label, language, configurable).
if ! printf '%s\n' "$list" | grep -A1 'string "orvane"' | grep -q 'string "Orvane输入法2011版"'; then
  echo "fcitx5 does not list Orvane输入法2011版; its log:"; cat "$home/fcitx5.log"; exit 1
fi
echo "fcitx5 lists orvane / Orvane输入法2011版"

sh "$install" --fcitx5 --uninstall >"$home/uninstall.log" 2>&1 || { cat "$home/uninstall.log"; exit 1; }
left=$(find "$XDG_DATA_HOME/fcitx5" -name 'orvane*' 2>/dev/null)
if [ -n "$left" ] || [ -e "$XDG_DATA_HOME/orvane-tutor/ime-installed.txt" ]; then
  echo "left after --uninstall: $left"; exit 1
fi
exit 0
