#!/bin/sh
# Types digit codes through the real Orvane input method under ibus (ibus-daemon with the
# ibus-table engine) into the program's test window, and checks what arrives. Runs inside
# xvfb-run and dbus-run-session:
#   xvfb-run -a dbus-run-session -- type-with-ibus.sh PROGRAM INSTALL_SCRIPT EXPECTED KEYS...
# The home is fresh, so the program finds the input method missing and installs it itself
# (ORVANE_INSTALL_IME=1). KEYS are xdotool key names or "type:DIGITS"; EXPECTED is the text typed.
# Before the program starts the German keyboard is the ibus engine; after the test it must be
# again (switching the Orvane table off goes back to the engine that was in use). With
# ORVANE_SHOT=FILE.png a picture of the screen is taken before the last key.
set -u
program=$1 install=$2 expected=$3
shift 3
. "$(dirname "$0")/../support/ibus-session.sh"
ibus_private_home
app_pid=""
trap '[ -n "$app_pid" ] && kill $app_pid 2>/dev/null; ibus_cleanup' EXIT

ibus_start || exit 1
ibus engine xkb:de::deu 2>/dev/null || { echo "ibus cannot select xkb:de::deu" >&2; exit 1; }

# The program runs on the X server whatever platform the caller chose for Qt; ibus's Qt input
# context connects to the daemon of this session.
QT_QPA_PLATFORM=xcb QT_IM_MODULE=ibus ORVANE_INSTALL_IME=1 ORVANE_INSTALL_SCRIPT="$install" \
  "$program" "$home/box.log" 60000 >"$home/app.out" 2>&1 &
app_pid=$!
i=0
until grep -q ready "$home/box.log" 2>/dev/null; do
  # Making and installing the table takes most of this (about 40 s on an idle machine).
  i=$((i + 1)); [ $i -lt $(( ${ORVANE_READY_SECONDS:-240} * 10 )) ] && kill -0 $app_pid 2>/dev/null ||
    { echo "the test window did not start" >&2; cat "$home/app.out" "$home/box.log" >&2; exit 1; }
  sleep 0.1
done
sleep 1 # the input context is created when the box gets the focus
engine=$(ibus engine 2>/dev/null)
[ "$engine" = table:orvane ] ||
  { echo "starting the test did not switch ibus to table:orvane (it is \"$engine\")" >&2; cat "$home/box.log" >&2; exit 1; }

n=$#
for k in "$@"; do
  n=$((n - 1))
  if [ $n -eq 0 ] && [ -n "${ORVANE_SHOT:-}" ]; then
    import -window root "$ORVANE_SHOT" 2>/dev/null || echo "no picture taken" >&2
  fi
  case "$k" in
    type:*) xdotool type --delay 60 "${k#type:}" ;;
    *) xdotool key --delay 60 "$k" ;;
  esac
  sleep 0.15
done
# The program ends by itself once the test has ended.
i=0
while kill -0 $app_pid 2>/dev/null && [ $i -lt 100 ]; do i=$((i + 1)); sleep 0.1; done

text=$(grep '^text ' "$home/box.log" | tail -n 1 | cut -c6-)
status=0
if [ "$text" != "$expected" ]; then
  echo "expected \"$expected\", the test window holds \"$text\"" >&2
  status=1
fi
if [ -n "${ORVANE_EXPECT_LINES:-}" ]; then
  old_ifs=$IFS; IFS='|'
  for line in $ORVANE_EXPECT_LINES; do
    grep -qxF "$line" "$home/box.log" || { echo "the log lacks the line \"$line\"" >&2; status=1; }
  done
  IFS=$old_ifs
fi
engine=$(ibus engine 2>/dev/null)
if [ "$engine" != xkb:de::deu ]; then
  echo "after the test the ibus engine is \"$engine\", not the xkb:de::deu it was before" >&2
  status=1
fi
if [ $status -ne 0 ]; then
  echo "--- what reached the test window:" >&2
  cat "$home/box.log" "$home/app.out" >&2
  exit 1
fi
echo "typed through ibus: $text"
echo "--- what reached the test window:"
cat "$home/box.log"
exit 0
