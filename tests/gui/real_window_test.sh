#!/usr/bin/env bash
# The desktop program in a real X server (run it under xvfb-run): its window
# appears with the caption "Kestrelmarking", each of its two tabs shows its
# own page, and "終了" ends the program with status 0.
#   real_window_test.sh KESTRELMARKING
set -euo pipefail
program=$1
work=$(mktemp -d)
pid=
cleanup() {
  if [[ -n $pid ]]; then kill "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "real_window_test: $*" >&2
  exit 1
}

# A copy of its own, so that whatever it writes beside itself stays here.
cp "$program" "$work/kestrelmarking"
"$work/kestrelmarking" &
pid=$!

window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Kestrelmarking$' | head -n 1) ||
  fail "no window named Kestrelmarking appeared"
[[ $(xdotool getwindowname "$window") == Kestrelmarking ]] || fail "the caption is not Kestrelmarking"
eval "$(xdotool getwindowgeometry --shell "$window")"

# The window is laid out in dialog units, 402 wide and 289 high, so a place
# given in them is the same share of the window in pixels. The views test
# checks that these places hit the tabs and the button meant.
point() { xdotool mousemove --window "$window" $(($1 * WIDTH / 402)) $(($2 * HEIGHT / 289)); }
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
readonly map_tab="35 61" convert_tab="98 61" exit_button="357 274" away="316 286"

click $map_tab
snapshot map
click $convert_tab
snapshot convert
click $map_tab
snapshot map-again
if cmp -s "$work/map.xwd" "$work/convert.xwd"; then fail "the second tab shows the first tab's page"; fi
cmp -s "$work/map.xwd" "$work/map-again.xwd" || fail "the first tab does not show its page again"

click $exit_button
for _ in $(seq 50); do
  if ! kill -0 "$pid" 2>/dev/null; then break; fi
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the program did not end on 終了"
status=0
wait "$pid" || status=$?
pid=
[[ $status -eq 0 ]] || fail "the program ended with status $status"
echo "real_window_test: the window, both tabs and 終了 work"
