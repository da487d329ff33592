#!/bin/sh
# Builds the Debian package from the build folder, unpacks it with dpkg -x into a temporary
# folder and runs the programs from there, with a temporary HOME and XDG folders and nothing of
# the build or of the machine's installed copy in sight:
#   package-runs.sh BUILD_DIR SOURCE_DIR
# Checks: orvane-cli codes and segment answer; orvane-tutor starts under Xvfb and shows its main
# window (with no ORVANE_HOME, the first-run questions about the input method answered "no");
# the metainfo and the desktop entry validate; lintian reports no error.
set -u
build=$1 src=$2
work=$(mktemp -d) || exit 1
app_pid=""
xvfb_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The package, made in the temporary folder so that the build folder gains nothing.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log" >&2; fail "cpack did not make the package"; }
deb=$(ls "$work"/pkg/orvane-tutor_*_amd64.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no orvane-tutor_VERSION_amd64.deb in $work/pkg"
echo "package: $(basename "$deb")"
dpkg-deb -f "$deb" Depends Recommends
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "Depends lacks what dpkg-shlibdeps finds"

root=$work/root
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x"
bin=$root/usr/bin

# A user's fresh environment: temporary home and XDG folders, no overrides of the folders.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share" \
  XDG_CACHE_HOME="$work/home/.cache" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset ORVANE_HOME ORVANE_DATA_DIR ORVANE_LIB_DIR QT_IM_MODULE XMODIFIERS
cd "$work" || exit 1

codes=$("$bin/orvane-cli" codes 中国 2>"$work/codes.err") || { cat "$work/codes.err" >&2; fail "orvane-cli codes"; }
echo "codes: $codes"
echo "$codes" | grep -q '中国.*[0-9]' || fail "orvane-cli codes 中国 gave no code"

segmented=$(printf '我们是学生\n' | "$bin/orvane-cli" segment 2>"$work/segment.err") \
  || { cat "$work/segment.err" >&2; fail "orvane-cli segment"; }
echo "segment: $segmented"
[ "$segmented" = "我们 是 学生" ] || fail "orvane-cli segment gave '$segmented'"

# The program on a private X server; the first-run questions (no input method) are answered
# with Escape until the main window shows.
# Xvfb picks a free display itself (-displayfd) and writes its number once it accepts clients:
# a display guessed from lock files can still be held by an X server that is shutting down.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; fail "Xvfb did not start"; }
DISPLAY=:$(tr -d '[:space:]' <"$work/display")
export DISPLAY
title='Orvane输入法2011分词教学系统（简体）'
QT_QPA_PLATFORM=xcb "$bin/orvane-tutor" >"$work/tutor.log" 2>&1 &
app_pid=$!
shown=""
for _ in $(seq 1 120); do
  kill -0 "$app_pid" 2>/dev/null || break
  shown=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1)
  [ -n "$shown" ] && break
  question=$(xdotool search --onlyvisible --name '^Orvane输入法2011简体版$' 2>/dev/null | head -n 1)
  if [ -n "$question" ]; then
    xdotool windowfocus --sync "$question" key Escape 2>/dev/null
  fi
  sleep 0.5
done
[ -n "$shown" ] || { cat "$work/tutor.log" >&2; fail "the main window of orvane-tutor did not show"; }
geometry=$(xdotool getwindowgeometry "$shown")
echo "main window: $geometry"
width=$(echo "$geometry" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
[ "${width:-0}" -ge 400 ] || fail "the main window is only ${width:-0} pixels wide"
for f in 101.jpg 102.jpg 103.jpg; do
  [ -s "$bin/$f" ] || [ -s "$XDG_DATA_HOME/Tarvos2006/$f" ] || fail "the picture $f was not written"
done
kill "$app_pid" 2>/dev/null
wait "$app_pid" 2>/dev/null
app_pid=""

appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml || fail "appstreamcli validate"
desktop-file-validate "$root"/usr/share/applications/orvane-tutor.desktop || fail "desktop-file-validate"

# lintian: errors fail, warnings are listed (docs/install.md says which stay and why).
lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1
status=$?
cat "$work/lintian.log"
[ $status -eq 0 ] || fail "lintian reports errors or did not run (status $status)"
echo "PASS"
