#!/usr/bin/env bash
# Runs a test program under a real window manager, as a user's desktop has one: a virtual X
# server with a screen of the given size and a window manager on it (openbox, or icewm with
# its task bar). No session type is set, so the program meets the plain X desktop.
#
#   run_under_wm.sh openbox|icewm WIDTHxHEIGHT program [arguments...]
set -euo pipefail
wm=$1
size=$2
shift 2
case "$wm" in
  openbox | icewm) ;;
  *) echo "unknown window manager: $wm" >&2; exit 2 ;;
esac
for tool in Xvfb "$wm" xprop; do
  command -v "$tool" > /dev/null || { echo "$tool is missing (scripts/deps.sh installs it)" >&2; exit 2; }
done

work=$(mktemp -d)
xvfb_pid=
wm_pid=
cleanup() {
  [ -n "$wm_pid" ] && kill "$wm_pid" 2> /dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2> /dev/null || true
  wait 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The server picks a free display itself and writes its number once it takes connections;
# the read waits for that line, or for the server's end. It never resets: a reset when its
# last client leaves (one of the checks below) would refuse the window manager's connection.
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3> "$work/display" 2> "$work/xvfb.log" &
xvfb_pid=$!
display=
read -r display < "$work/display" || true
[ -n "$display" ] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 2; }
export DISPLAY=":$display"

unset XDG_SESSION_TYPE XDG_CURRENT_DESKTOP XDG_SESSION_DESKTOP DESKTOP_SESSION WAYLAND_DISPLAY
# The window manager's own settings and logs stay in the scratch folder.
export XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" XDG_DATA_HOME="$work/data"
if [ "$wm" = openbox ]; then
  openbox --sm-disable > "$work/wm.log" 2>&1 &
else
  # Its own settings folder, empty: the defaults a fresh account gets.
  export ICEWM_PRIVCFG="$work/icewm"
  mkdir -p "$ICEWM_PRIVCFG"
  icewm > "$work/wm.log" 2>&1 &
fi
wm_pid=$!
# Ready once it has announced itself on the root window; a manager that ends first failed.
until xprop -root _NET_SUPPORTING_WM_CHECK 2> /dev/null | grep -q 'window id'; do
  kill -0 "$wm_pid" 2> /dev/null || { echo "$wm did not start" >&2; cat "$work/wm.log" >&2; exit 2; }
  sleep 0.1
done

export QT_QPA_PLATFORM=xcb
status=0
timeout --kill-after=10 600 "$@" || status=$?
exit "$status"
