# Sourced by the tests that need a real ibus (run them inside dbus-run-session).
#   ibus_private_home   a fresh home for this run in $home, with the XDG folders below it; ibus and
#                       ibus-table keep their settings in memory (GSETTINGS_BACKEND=memory), so
#                       no dconf is needed and nothing of the caller's settings is read
#   ibus_start          starts ibus-daemon without its panel and waits until it answers; non-zero
#                       (with the daemon's log on stderr) when it does not in 15 s
#   ibus_cleanup        ends ibus-daemon and removes the home
ibus_private_home() {
  home=$(mktemp -d)
  export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share"
  export XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$home/run" GSETTINGS_BACKEND=memory
  unset IBUS_ADDRESS
  mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" && chmod 700 "$XDG_RUNTIME_DIR"
}

ibus_start() {
  ibus-daemon --panel=disable --emoji-extension=disable >"$home/ibus.log" 2>&1 &
  ibus_pid=$!
  _i=0
  until ibus list-engine >/dev/null 2>&1; do
    _i=$((_i + 1))
    if [ $_i -ge 150 ]; then
      echo "ibus-daemon did not answer; its log:" >&2
      cat "$home/ibus.log" >&2
      return 1
    fi
    sleep 0.1
  done
}

ibus_cleanup() {
  [ -n "${ibus_pid:-}" ] && kill "$ibus_pid" 2>/dev/null
  sleep 0.3
  [ -n "${home:-}" ] && rm -rf "$home"
}
