#!/usr/bin/env bash
# Installs what is missing, builds, starts kyr7sim on 127.0.0.1:1080 and runs
# KYR7Set against it, with throwaway settings so that your own are untouched.
#
# With a display, the program opens as usual: press OK in "Connection Method"
# (LAN, 127.0.0.1 is filled in). Without one, the same runs under Xvfb, OK is
# pressed for you, and a screenshot of the main window showing the fetched
# configuration is written to build/demo-screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/deps.sh
if [ -z "${DISPLAY:-}" ]; then
  KYR7_EXTRA_PACKAGES="xdotool imagemagick" bash scripts/deps.sh
fi
cmake --preset default
cmake --build --preset default --target KYR7Set kyr7sim

work=$(mktemp -d)
cleanup() {
  [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "${sim_pid:-}" ] && kill "$sim_pid" 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Throwaway settings: the program keeps its settings in $XDG_CONFIG_HOME.
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME"
printf '[Settings]\nMethod=LAN\nIP=127.0.0.1\n' > "$XDG_CONFIG_HOME/KYR7Setup.conf"

./build/sim/kyr7sim --listen 127.0.0.1 --port 1080 --state "$work/encoder-state.cfg" > "$work/sim.log" 2>&1 &
sim_pid=$!
# Its ready line says it listens; anything else (port 1080 taken, often by a
# proxy) ends the demo here.
for _ in $(seq 100); do
  grep -q "^kyr7sim listening on 127.0.0.1:1080$" "$work/sim.log" 2>/dev/null && break
  kill -0 "$sim_pid" 2>/dev/null || break
  sleep 0.1
done
cat "$work/sim.log"
if ! grep -q "^kyr7sim listening on 127.0.0.1:1080$" "$work/sim.log"; then
  echo "kyr7sim did not start on 127.0.0.1:1080 (is the port in use?); the demo needs it." >&2
  exit 1
fi
mkdir -p build/demo # the program's working folder: "Save and Exit" leaves kyr.cfg there

if [ -n "${DISPLAY:-}" ]; then
  echo "Starting KYR7Set: press OK in \"Connection Method\" to connect to kyr7sim."
  (cd "$root/build/demo" && "$root/build/app/KYR7Set" --log "$root/build/demo/conversation.log")
  echo "The configuration report of a Save and Exit is build/demo/kyr.cfg, the conversation build/demo/conversation.log."
  exit 0
fi

echo "No display: running under Xvfb."
export DISPLAY=:97
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -e /tmp/.X11-unix/X97 ] && break; sleep 0.1; done
[ -e /tmp/.X11-unix/X97 ] || { echo "Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }
(cd "$root/build/demo" && exec "$root/build/app/KYR7Set" --log "$root/build/demo/conversation.log") &
app_pid=$!
# Every wait for a window is bounded.
window() {
  timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -n 1
}
dialog=$(window "Connection Method")
[ -n "$dialog" ] || { echo "The \"Connection Method\" dialog did not appear within 30 s." >&2; exit 1; }
sleep 0.5
# No window manager runs under Xvfb: give the dialog the focus directly.
timeout 10 xdotool windowfocus --sync "$dialog" key Return
main=$(window "KYR7 Setup Program Version")
[ -n "$main" ] || { echo "The main window did not appear within 30 s." >&2; exit 1; }
sleep 2
mkdir -p build
import -window "$main" build/demo-screenshot.png
echo "Screenshot of the main window: build/demo-screenshot.png"
