#!/usr/bin/env bash
# The desktop program in a real X server (run it under xvfb-run): its window
# appears with the caption "Kestrelmarking", each of its two tabs shows its
# own page, a path typed into the track file box opens on Enter, Ctrl+O
# opens through the open dialog, a file dragged from another program and
# dropped on the window opens, and Alt+X ("終了(&X)") ends the program with
# status 0.
#   real_window_test.sh KESTRELMARKING DRAG_SOURCE TRACK.log
set -euo pipefail
program=$1 drag_source=$2 log=$3
work=$(mktemp -d)
pid= source_pid=
cleanup() {
  if [[ -n $pid ]]; then kill "$pid" 2>/dev/null || true; fi
  if [[ -n $source_pid ]]; then kill "$source_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "real_window_test: $*" >&2
  exit 1
}

# A portable copy of its own: the profile beside it shows what it opened.
cp "$program" "$work/kestrelmarking"
: >"$work/kestrelmarking.INI"
cp "$log" "$work/other.log"
cp "$log" "$work/dropped.log"
"$work/kestrelmarking" &
pid=$!

window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Kestrelmarking$' | head -n 1) ||
  fail "no window named Kestrelmarking appeared"
[[ $(xdotool getwindowname "$window") == Kestrelmarking ]] || fail "the caption is not Kestrelmarking"
eval "$(xdotool getwindowgeometry --shell "$window")"

# The window is 289 dialog units high; with the program's fonts a
# horizontal unit is as wide as a vertical one is high. The views test
# checks that these places hit the tabs meant.
point() { xdotool mousemove --window "$window" $(($1 * HEIGHT / 289)) $(($2 * HEIGHT / 289)); }
click() {
  point "$@"
  xdotool click 1
  sleep 0.5
}
# Taken with the mouse away from every control, which may light up under it.
snapshot() {
  point $away
  sleep 0.3
  xwd -silent -id "$window" >"$work/$1.xwd"
}
readonly map_tab="35 61" convert_tab="98 61" path_box="150 20" away="316 286"

click $map_tab
snapshot map
click $convert_tab
snapshot convert
click $map_tab
snapshot map-again
if cmp -s "$work/map.xwd" "$work/convert.xwd"; then fail "the second tab shows the first tab's page"; fi
cmp -s "$work/map.xwd" "$work/map-again.xwd" || fail "the first tab does not show its page again"

# The file opened last is the first recent file in the profile.
opened() {
  for _ in $(seq 50); do
    if grep -qxF "recentfile1=$1" "$work/kestrelmarking.INI"; then return 0; fi
    sleep 0.1
  done
  fail "$2 did not open $1"
}

# Keys go to the window with the focus, as a person's do.
xdotool windowfocus --sync "$window"
click $path_box
xdotool key ctrl+a
xdotool type "$log"
xdotool key Return
opened "$log" "a typed path and Enter"

xdotool key ctrl+o
dialog=$(timeout 20 xdotool search --sync --onlyvisible --name '^開く$' | head -n 1) || fail "Ctrl+O showed no open dialog"
# The file name box has the focus.
xdotool windowfocus --sync "$dialog"
xdotool type "$work/other.log"
xdotool key Return
opened "$work/other.log" "Ctrl+O"

# Pressed in the other program's window, dragged onto the information box
# and let go, moving as a hand does.
"$drag_source" "$work/dropped.log" &
source_pid=$!
source=$(timeout 20 xdotool search --sync --onlyvisible --name '^drag source$' | head -n 1) ||
  fail "the drag source did not appear"
xdotool mousemove --window "$source" 50 50
sleep 0.3
xdotool mousedown 1
sleep 0.3
for _ in $(seq 10); do
  xdotool mousemove_relative -- 10 10
  sleep 0.05
done
point 360 150
sleep 0.3
point 362 152
sleep 0.3
xdotool mouseup 1
opened "$work/dropped.log" "a dropped file"
kill "$source_pid"
source_pid=

xdotool windowfocus --sync "$window"
xdotool key alt+x
for _ in $(seq 50); do
  if ! kill -0 "$pid" 2>/dev/null; then break; fi
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the program did not end on 終了"
status=0
wait "$pid" || status=$?
pid=
[[ $status -eq 0 ]] || fail "the program ended with status $status"
echo "real_window_test: the window, both tabs, the typed path, Ctrl+O, a dropped file and 終了 work"
