#!/bin/sh
# Types digit codes through the real Orvane input method (fcitx5) into a Qt text box and checks
# what arrives (the last "text " line of the program's log, and ORVANE_EXPECT_LINES). Runs inside xvfb-run and dbus-run-session:
#   xvfb-run -a dbus-run-session -- type-with-fcitx5.sh TYPEBOX INSTALL_SCRIPT JTDB EXPECTED KEYS...
# KEYS are xdotool key names or "type:DIGITS"; EXPECTED is the text the box must hold at the end.
set -u
typebox=$1 install=$2 jtdb=$3 expected=$4
shift 4
. "$(dirname "$0")/../support/fcitx5-session.sh"
fcitx5_private_home
app_pid=""
trap '[ -n "$app_pid" ] && kill $app_pid 2>/dev/null; fcitx5_cleanup' EXIT
mkdir -p "$XDG_CONFIG_HOME/fcitx5"

sh "$install" --fcitx5 --db "$jtdb" >"$home/install.log" 2>&1 || { cat "$home/install.log" >&2; exit 1; }

# One input-method group: the US keyboard (input method off) and the Orvane table.
cat >"$XDG_CONFIG_HOME/fcitx5/profile" <<'PROFILE'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=orvane

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=orvane
Layout=

[GroupOrder]
0=Default
PROFILE

fcitx5_start || exit 1

# The program runs on the X server whatever platform the caller chose for Qt (a developer may
# have exported QT_QPA_PLATFORM=offscreen for the other tests): fcitx5 serves X clients.
QT_QPA_PLATFORM=xcb QT_IM_MODULE=fcitx "$typebox" "$home/box.log" 30000 >"$home/app.out" 2>&1 &
app_pid=$!
i=0
until grep -q ready "$home/box.log" 2>/dev/null; do
  # ORVANE_READY_SECONDS: how long the program may take before it writes "ready" (default 10).
  i=$((i + 1)); [ $i -lt $(( ${ORVANE_READY_SECONDS:-10} * 10 )) ] ||
    { echo "the text box did not start" >&2; cat "$home/app.out" "$home/box.log" >&2; exit 1; }
  sleep 0.1
done
sleep 1 # the input context is created when the box gets the focus

# Switch the input method on for the focused box, unless the program does it itself
# (ORVANE_APP_SWITCHES_IME=1).
if [ "${ORVANE_APP_SWITCHES_IME:-0}" != 1 ]; then
  dbus-send --session --print-reply --dest=org.fcitx.Fcitx5 /controller \
    org.fcitx.Fcitx.Controller1.SetCurrentIM string:orvane >/dev/null
fi
sleep 0.3
for k in "$@"; do
  case "$k" in
    type:*) xdotool type --delay 60 "${k#type:}" ;;
    *) xdotool key --delay 60 "$k" ;;
  esac
  sleep 0.15
done
sleep 0.8

text=$(grep '^text ' "$home/box.log" | tail -n 1 | cut -c6-)
if [ "$text" != "$expected" ]; then
  echo "expected \"$expected\", the box holds \"$text\"" >&2
  echo "--- what reached the box:" >&2
  cat "$home/box.log" >&2
  echo "--- what the program printed:" >&2
  cat "$home/app.out" >&2
  exit 1
fi
# Further lines the log must hold, separated by "|" (ORVANE_EXPECT_LINES).
if [ -n "${ORVANE_EXPECT_LINES:-}" ]; then
  missing=0
  old_ifs=$IFS; IFS='|'
  for line in $ORVANE_EXPECT_LINES; do
    grep -qxF "$line" "$home/box.log" || { echo "the log lacks the line \"$line\"" >&2; missing=1; }
  done
  IFS=$old_ifs
  if [ $missing = 1 ]; then
    cat "$home/box.log" >&2
    exit 1
  fi
fi
echo "typed through fcitx5: $text"
echo "--- what reached the box:"
cat "$home/box.log"
exit 0
