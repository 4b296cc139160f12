# Sourced by the picker's window tests: start and stop the program under Wine, ask the
# test build for its state, read screen pixels and drive the real mouse with xdotool.
# Expects ZINDLE_SOURCE_DIR and ZINDLE_BINARY_DIR (set by the test registration).
set -u
source "$ZINDLE_SOURCE_DIR/tests/harness/wine-env"

app_dir="$ZINDLE_BINARY_DIR/app"
probe_client="$ZINDLE_BINARY_DIR/tests/app/probe_client.exe"
work=$(mktemp -d)
zindle_pids=()

fail() { echo "FAIL: $*" >&2; exit 1; }
note() { echo "-- $*"; }

cleanup() {
  local pid
  for pid in "${zindle_pids[@]}"; do
    if kill -0 "$pid" 2>/dev/null; then
      "$zindle_wine" "$probe_client" close >/dev/null 2>&1
      for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
      kill "$pid" 2>/dev/null
    fi
  done
  # A crash report in any program's output fails the test (the harness pattern).
  cat "$work"/*.log 2>/dev/null | grep -E 'wine: Unhandled|Unhandled exception|Backtrace:' && exit 1
  rm -rf "$work"
}
trap cleanup EXIT

# start_zindle [exe-name]: starts the program in the background; sets zindle_pid.
start_zindle() {
  local exe="$app_dir/${1:-ZindleProbe}.exe"
  local log="$work/zindle-${#zindle_pids[@]}.log"
  "$zindle_wine" "$exe" >"$log" 2>&1 &
  zindle_pid=$!
  zindle_pids+=("$zindle_pid")
}

# Runs the program in the foreground and prints its exit code.
run_zindle_exit_code() {
  local log="$work/zindle-fg-$RANDOM.log"
  "$zindle_wine" "$app_dir/${1:-ZindleProbe}.exe" >"$log" 2>&1
  echo $?
}

probe() { "$zindle_wine" "$probe_client" "$@" 2>/dev/null; }

wait_window() { probe wait-window "${1:-20000}" || fail "the main window did not appear"; }

# wait_exit PID SECONDS: sets exit_code to the program's exit code, or "running" if it
# did not end in time. (Not in a subshell: only this shell can wait for its children.)
wait_exit() {
  local pid=$1 seconds=${2:-10}
  exit_code=running
  for _ in $(seq $((seconds * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      exit_code=$?
      return
    fi
    sleep 0.1
  done
}

# dump: the test build's state as text (see app/TestProbe.cpp for the line format).
dump() {
  local file="$work/dump.txt"
  probe dump "Z:$(echo "$file" | tr / '\\')" >/dev/null || fail "the window did not answer the probe"
  cat "$file"
}

# window_rect: "left top right bottom" of the main window.
window_rect() { dump | awk -F'\t' '$1 == "window" { print $2, $3, $4, $5 }'; }
window_flag() {  # visible | iconic
  local column=6
  [ "$1" = iconic ] && column=7
  dump | awk -F'\t' -v c=$column '$1 == "window" { print $c }'
}
# control_line NAME: the probe's line for the named control.
control_line() { dump | awk -F'\t' -v n="$1" '$1 == "control" && $4 == n'; }

# pixel X Y: the screen colour there as RRGGBB.
pixel() {
  import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
    sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | head -n1 | tr a-f A-F
}

screen_size() { xdotool getdisplaygeometry; }

# Real input through the X server.
mouse_move() { xdotool mousemove --sync "$1" "$2"; }
mouse_down() { xdotool mousedown 1; }
mouse_up() { xdotool mouseup 1; }
click_at() { mouse_move "$1" "$2"; sleep 0.2; mouse_down; sleep 0.1; mouse_up; }

# drag X Y DX DY: press at (X, Y), move in steps to (X+DX, Y+DY), release.
drag() {
  local x=$1 y=$2 dx=$3 dy=$4 i
  mouse_move "$x" "$y"; sleep 0.2
  mouse_down; sleep 0.2
  for i in 1 2 3 4 5; do
    mouse_move $((x + dx * i / 5)) $((y + dy * i / 5)); sleep 0.1
  done
  sleep 0.2; mouse_up; sleep 0.3
}

# Waits until the given shell condition holds (up to $2 seconds).
wait_until() {
  local condition=$1 seconds=${2:-10}
  for _ in $(seq $((seconds * 10))); do
    eval "$condition" && return 0
    sleep 0.1
  done
  return 1
}
