# Sourced by the tests that need a real fcitx5 (run them inside dbus-run-session).
#   fcitx5_private_home   a fresh home for this run in $home, with the XDG folders below it
#   fcitx5_start          starts fcitx5 on the current D-Bus session and waits until it owns its
#                         name; non-zero (with fcitx5's log on stderr) when it does not in 15 s
#   fcitx5_cleanup        ends fcitx5 and removes the home
fcitx5_private_home() {
  home=$(mktemp -d)
  export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share"
  export XDG_RUNTIME_DIR="$home/run"
  mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" && chmod 700 "$XDG_RUNTIME_DIR"
}

fcitx5_start() {
  fcitx5 -d --replace >"$home/fcitx5.log" 2>&1
  _i=0
  # Ask the bus who owns the name: asking fcitx5 itself would start a second one by activation.
  until dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
          org.freedesktop.DBus.NameHasOwner string:org.fcitx.Fcitx5 2>/dev/null | grep -q 'boolean true'; do
    _i=$((_i + 1))
    if [ $_i -ge 150 ]; then
      echo "fcitx5 did not answer on D-Bus; its log:" >&2
      cat "$home/fcitx5.log" >&2
      return 1
    fi
    sleep 0.1
  done
}

fcitx5_cleanup() {
  dbus-send --session --dest=org.fcitx.Fcitx5 /controller org.fcitx.Fcitx.Controller1.Exit >/dev/null 2>&1
  sleep 0.3
  [ -n "${home:-}" ] && rm -rf "$home"
}
