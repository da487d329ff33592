#!/bin/sh
# Types the shortest key path of a text, as orvane-cli ideal --path gives it, through the real
# Orvane input method and checks that exactly the text arrives. Runs inside xvfb-run and
# dbus-run-session:
#   type-path.sh CLI TEXT_FILE TYPEBOX INSTALL_SCRIPT JTDB
# Each step's code is typed as digits and its selection key pressed; a step without a selection
# key is committed by the next step's first digit (or is the only item of its code).
set -eu
cli=$1 file=$2 typebox=$3 install=$4 jtdb=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A program folder and data folder of its own: no custom words, as in the table installed below.
ORVANE_HOME="$work" XDG_DATA_HOME="$work" XDG_CACHE_HOME="$work/cache" "$cli" ideal "$file" --path >"$work/path.txt"
cat "$work/path.txt"

expected=""
set --
tab=$(printf '\t')
while IFS="$tab" read -r text code key keys; do
  [ -n "${code:-}" ] || continue # the figures line
  if [ "$code" = "-" ]; then
    echo "a step without a code (\"$text\") cannot be typed by this test" >&2
    exit 1
  fi
  expected="$expected$text"
  set -- "$@" "type:$code"
  case "$key" in
    -) ;;
    space) set -- "$@" space ;;
    ";") set -- "$@" semicolon ;;
    "'") set -- "$@" apostrophe ;;
    F*) set -- "$@" "$key" ;;
    *) echo "unknown selection key \"$key\"" >&2; exit 1 ;;
  esac
done <"$work/path.txt"

sh "$(dirname "$0")/../imetyping/type-with-fcitx5.sh" "$typebox" "$install" "$jtdb" "$expected" "$@"
