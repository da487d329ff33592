#!/bin/sh
# Installs the Orvane input method table for the current user (no root), or removes it again.
#
# Usage: install-orvane-ime.sh [--fcitx5] [--ibus] [--uninstall] [--db jtdb.dat] [--custom FILE]
#   --fcitx5     fcitx5 table into $XDG_DATA_HOME/fcitx5/{inputmethod,table}/
#   --ibus       ibus-table database into $XDG_DATA_HOME/ibus-table/byo-tables/ (and a link in
#                ~/.ibus/byo-tables/, where the ibus-table engine opens tables of the user)
#   (neither: both)
#   --uninstall  removes exactly the files this script recorded when it installed them
#   --db         the code database; default: next to this script, ../bin/ of a build, then
#                /usr/share/orvane-tutor/jtdb.dat
#   --custom     custom words; default $XDG_DATA_HOME/orvane-tutor/custom-words.txt when present
# XDG_DATA_HOME defaults to ~/.local/share. The list of installed files is kept in
# $XDG_DATA_HOME/orvane-tutor/ime-installed.txt; the tables are made in
# $XDG_DATA_HOME/orvane-tutor/ime-build.* (removed at the end, or by the next run when killed).
set -u

here=$(cd "$(dirname "$0")" && pwd)
data_home=${XDG_DATA_HOME:-}
case "$data_home" in
  /*) ;;
  *) data_home="$HOME/.local/share" ;;
esac
manifest="$data_home/orvane-tutor/ime-installed.txt"

fcitx5=0 ibus=0 uninstall=0 db="" custom=""
while [ $# -gt 0 ]; do
  case "$1" in
    --fcitx5) fcitx5=1 ;;
    --ibus) ibus=1 ;;
    --uninstall) uninstall=1 ;;
    --db) [ $# -ge 2 ] || { echo "--db needs a file" >&2; exit 2; }; db=$2; shift ;;
    --custom) [ $# -ge 2 ] || { echo "--custom needs a file" >&2; exit 2; }; custom=$2; shift ;;
    -h|--help) sed -n '2,15p' "$0"; exit 0 ;;
    *) echo "unknown argument: $1 (see --help)" >&2; exit 2 ;;
  esac
  shift
done
if [ $fcitx5 -eq 0 ] && [ $ibus -eq 0 ]; then fcitx5=1 ibus=1; fi

ibus_db="$data_home/ibus-table/byo-tables/orvane.db"
ibus_link="$HOME/.ibus/byo-tables/orvane.db"

# Removes the files of the manifest that belong to the chosen input method frameworks, and
# keeps the others listed.
uninstall() {
  [ -f "$manifest" ] || { echo "nothing installed (no $manifest)"; return 0; }
  keep=$(mktemp) || return 1
  while IFS= read -r f; do
    [ -n "$f" ] || continue
    # Only the files this script can install; any other line is kept, never acted on.
    case "$f" in
      "$data_home/fcitx5/inputmethod/orvane.conf" | "$data_home/fcitx5/table/orvane.main.dict") mine=$fcitx5 ;;
      "$ibus_db" | "$ibus_link") mine=$ibus ;;
      *) mine=0 ;;
    esac
    if [ "$mine" -eq 1 ]; then
      if [ -e "$f" ] || [ -L "$f" ]; then rm -f "$f" && echo "removed $f"; fi
    else
      printf '%s\n' "$f" >>"$keep"
    fi
  done <"$manifest"
  if [ -s "$keep" ]; then mv "$keep" "$manifest"; else rm -f "$keep" "$manifest"; fi
  return 0
}

if [ $uninstall -eq 1 ]; then
  uninstall
  exit $?
fi

if [ -z "$db" ]; then
  for c in "$here/jtdb.dat" "$here/../bin/jtdb.dat" /usr/share/orvane-tutor/jtdb.dat; do
    if [ -f "$c" ]; then db=$c; break; fi
  done
fi
if [ -z "$db" ] || [ ! -f "$db" ]; then
  echo "jtdb.dat not found: give it with --db (it is in the program folder)" >&2
  exit 1
fi
if [ -z "$custom" ] && [ -f "$data_home/orvane-tutor/custom-words.txt" ]; then
  custom="$data_home/orvane-tutor/custom-words.txt"
fi
gen="$here/make_imetable.py"
[ -f "$gen" ] || { echo "$gen not found" >&2; exit 1; }

# One install at a time: the table is made in a work folder of its own below the program's data
# folder, so that what a killed install left behind (the text table and the binary table, tens of
# megabytes) is found and removed by the next one.
state="$data_home/orvane-tutor"
mkdir -p "$state" || exit 1
if command -v flock >/dev/null 2>&1; then
  exec 9>"$state/ime-install.lock" && flock 9
fi
for stale in "$state"/ime-build.* "$data_home/fcitx5/table/orvane.main.dict.tmp" \
             "$data_home/fcitx5/inputmethod/orvane.conf.tmp" "$ibus_db.tmp"; do
  [ -e "$stale" ] && rm -rf "$stale"
done
work=$(mktemp -d "$state/ime-build.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM
set -- --db "$db" --out-dir "$work"
[ -n "$custom" ] && set -- "$@" --custom "$custom"
[ $fcitx5 -eq 1 ] && set -- "$@" --fcitx5
[ $ibus -eq 1 ] && set -- "$@" --ibus
python3 "$gen" "$@" || { echo "the tables could not be made" >&2; exit 1; }

mkdir -p "$(dirname "$manifest")" || exit 1
# Records a file before it is put in place, so an interrupted install can still be undone.
record() {
  grep -qxF "$1" "$manifest" 2>/dev/null || printf '%s\n' "$1" >>"$manifest"
}
put() { # source, destination
  mkdir -p "$(dirname "$2")" && record "$2" && cp "$1" "$2.tmp" && mv -f "$2.tmp" "$2" &&
    echo "installed $2"
}

status=0
if [ $fcitx5 -eq 1 ]; then
  if [ -f "$work/table/orvane.main.dict" ]; then
    put "$work/table/orvane.main.dict" "$data_home/fcitx5/table/orvane.main.dict" || status=1
    put "$work/inputmethod/orvane.conf" "$data_home/fcitx5/inputmethod/orvane.conf" || status=1
    echo "fcitx5: restart it (fcitx5 -r) and add \"Orvane输入法2011版\" in fcitx5-configtool"
  else
    echo "fcitx5: no binary table (install libime-bin); nothing installed for fcitx5" >&2
    status=1
  fi
fi
if [ $ibus -eq 1 ]; then
  if [ -f "$work/orvane.db" ]; then
    put "$work/orvane.db" "$ibus_db" || status=1
    if [ ! -e "$ibus_link" ] && [ ! -L "$ibus_link" ] ||
       [ "$(readlink "$ibus_link" 2>/dev/null)" = "$ibus_db" ]; then
      mkdir -p "$(dirname "$ibus_link")" && record "$ibus_link" && ln -sf "$ibus_db" "$ibus_link" ||
        status=1
    else
      echo "ibus: $ibus_link exists and is not ours; left alone" >&2
    fi
    echo "ibus: run 'ibus write-cache; ibus restart' and add the table in ibus-setup"
  else
    echo "ibus: no database (install ibus-table); nothing installed for ibus" >&2
    status=1
  fi
fi
exit $status
