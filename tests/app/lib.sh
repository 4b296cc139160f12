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
# shot NAME: the screen as a user sees it, into build/screenshots/<test case>-NAME.png.
shot() {
  local dir="$ZINDLE_BINARY_DIR/screenshots"
  mkdir -p "$dir"
  import -window root "$dir/${zindle_case:-test}-$1.png" 2>/dev/null || true
}

cleanup() {
  local pid
  for pid in "${zindle_pids[@]}"; do
    if kill -0 "$pid" 2>/dev/null; then
      "$zindle_wine" "$probe_client" close >/dev/null 2>&1
      for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
      kill "$pid" 2>/dev/null
    fi
  done
  [ -n "${browser_restore:-}" ] && restore_browser
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
# --sync waits for the pointer to move, which it never does when it is there already.
mouse_move() {
  local X Y SCREEN WINDOW
  eval "$(xdotool getmouselocation --shell)"
  [ "$X" = "$1" ] && [ "$Y" = "$2" ] && return 0
  xdotool mousemove --sync "$1" "$2"
}
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

# ---- the picker's content: tiles, lists, bars (see app/TestProbe.cpp) ----------------

chat_exe="$ZINDLE_BINARY_DIR/tools/chat/zindle-chat.exe"

# unix_path WINDOWS-PATH
unix_path() { "$zindle_wine" winepath -u "$1" 2>/dev/null | tr -d '\r'; }

# fresh_state: no cached pictures and no recent-list file, as on a first run.
fresh_state() {
  local temp
  temp=$("$zindle_wine" cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')
  [ -n "$temp" ] || fail "no temporary folder from Wine"
  zindle_cache_dir="$(unix_path "$temp")/Zindle"
  zindle_recent_file="$(unix_path 'C:\ProgramData')/OrvanInput/Components/Zindle/common"
  rm -rf "$zindle_cache_dir"
  rm -f "$zindle_recent_file" "$zindle_recent_file.new"
}

# One dump, kept for the calls that follow until the next snapshot.
snapshot() { dump >"$work/snapshot.txt" || fail "no dump"; }
# line_of KIND [KEY-COLUMN KEY]: lines of the last snapshot of that kind.
lines_of() { awk -F'\t' -v k="$1" '$1 == k' "$work/snapshot.txt"; }
# col KIND N: column N of the first line of that kind in the last snapshot.
col() { lines_of "$1" | head -n1 | cut -f"$2"; }
control_in_snapshot() { awk -F'\t' -v n="$1" '$1 == "control" && $4 == n' "$work/snapshot.txt" | head -n1; }
control_col() { control_in_snapshot "$1" | cut -f"$2"; }

# The image ids of the visible tiles in grid order, space separated.
visible_tiles() { lines_of tile | awk -F'\t' '$3 == 1 { printf "%s ", $4 }' | sed 's/ $//'; }
visible_count() { lines_of tile | awk -F'\t' '$3 == 1 { n++ } END { print n + 0 }'; }
# True when every visible tile shows its own cached file (no loading, no failure image).
tiles_drawn() {
  lines_of tile | awk -F'\t' '$3 == 1 { n++; if (index($5, "Res\\") == 1 || $5 == "") bad++ }
                              END { exit !(n > 0 && bad == 0) }'
}
# expected_ids PREFIX FIRST COUNT: "PREFIX_0001.ext ..." is not known without the catalog,
# so ids are compared by their stem: prints "101_0001 101_0002 ...".
stems() { sed 's/\.[a-z]*//g'; }
id_range() {
  local prefix=$1 first=$2 count=$3 i out=""
  for ((i = first; i < first + count; i++)); do out+="$(printf '%s_%04d' "$prefix" "$i") "; done
  echo "${out% }"
}

# wait_page PREFIX FIRST COUNT [SECONDS]: the grid shows those pictures, all drawn.
wait_page() {
  local want
  want=$(id_range "$1" "$2" "$3")
  wait_until "snapshot; [ \"\$(visible_tiles | stems)\" = \"$want\" ] && tiles_drawn" "${4:-20}" ||
    fail "expected tiles $want, saw '$(visible_tiles)' ($(lines_of tile | cut -f5 | tr '\n' ' '))"
}

# Window coordinates to screen coordinates (sets after start_and_locate).
at() { echo $((x0 + $1)) $((y0 + $2)); }
click_window() { local p; p=$(at "$1" "$2"); click_at $p; }
move_window() { local p; p=$(at "$1" "$2"); mouse_move $p; }
# The middle of tile k (0..17) in window coordinates.
tile_centre() { echo $((1 + 12 + 110 * ($1 % 6) + 52)) $((110 + 110 * ($1 / 6) + 52)); }
wheel_at() {  # wheel_at X Y up|down [NOTCHES] (window coordinates)
  local button=4 n=${4:-1}
  [ "$3" = down ] && button=5
  move_window "$1" "$2"; sleep 0.2
  xdotool click --repeat "$n" --delay 150 "$button"
}

# Starts the test build and waits for its window; sets x0 y0 x1 y1 to its rectangle.
start_and_locate() {
  start_zindle "$@"
  wait_window
  read -r x0 y0 x1 y1 <<<"$(window_rect)"
  [ -n "${x1:-}" ] || fail "no window rectangle"
}

# The chat stand-in in front, as where the user was typing; its record in $chat_record.
start_chat() {
  chat_record="$work/chat.txt"
  "$zindle_wine" "$chat_exe" --record "Z:$(echo "$chat_record" | tr / '\\')" --at 10,40 >"$work/chat.log" 2>&1 &
  zindle_pids+=($!)
  wait_until "grep -q '^ready' '$chat_record' 2>/dev/null" 20 || fail "the chat stand-in did not start"
}

# Requests the service saw for an inner path ("/sublist", "/query", ...), in order.
inner_requests() { awk -F'\t' -v p="$1" '$6 == p' "$ZINDLE_REQUESTS_FILE" 2>/dev/null; }
inner_count() { inner_requests "$1" | wc -l; }
# Pings the service recorded whose URL contains the text.
pings_with() { grep -c -- "$1" "$ZINDLE_PINGS_FILE"; }

# set_fault MODE: the service's behaviour for every new connection from now on.
set_fault() { echo "$1" >"$ZINDLE_FAULT_FILE.tmp" && mv "$ZINDLE_FAULT_FILE.tmp" "$ZINDLE_FAULT_FILE"; }

# The browser stand-in takes the shell's "http" and "https" links from now on; what it
# was asked to open is in $browser_record, one URL a line. The prefix's own browser
# comes back when the test ends. Call before starting the program (it inherits the
# record file's name).
browser_exe="$ZINDLE_BINARY_DIR/tools/browser/zindle-browser.exe"
use_browser_stand_in() {
  browser_record="$work/browser.txt"
  : >"$browser_record"
  export ZINDLE_BROWSER_RECORD="Z:$(echo "$browser_record" | tr / '\\')"
  local command scheme
  command="\"Z:$(echo "$browser_exe" | tr / '\\')\" \"%1\""
  for scheme in http https; do
    "$zindle_wine" reg add "HKCR\\$scheme\\shell\\open\\command" /ve /d "$command" /f >/dev/null 2>&1 ||
      fail "could not register the browser stand-in"
  done
  browser_restore=1
}
restore_browser() {
  local scheme
  for scheme in http https; do
    "$zindle_wine" reg add "HKCR\\$scheme\\shell\\open\\command" /ve \
      /d '"C:\windows\system32\winebrowser.exe" "%1"' /f >/dev/null 2>&1
  done
  browser_restore=
}

# ---- measuring (benchmarks) -------------------------------------------------------------

# Under Wine each Windows process is a Linux process: the one whose command line starts
# with the program's path (its Windows path for x86_64 programs, the path it was started
# by for i686 ones), not a launcher that started it.
windows_pid() { pgrep -n -f "^[^ ]*[\\\\/]$1( |\$)"; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null; }
# cpu_ms PID [SECONDS]: CPU milliseconds the process used over the next SECONDS (10).
cpu_ms() {
  local before after
  before=$(cpu_ticks "$1")
  sleep "${2:-10}"
  after=$(cpu_ticks "$1")
  [ -n "$before" ] && [ -n "$after" ] || return 1
  echo $(((after - before) * 1000 / $(getconf CLK_TCK)))
}
# Private memory the process wrote to, in bytes. Wine leaves GetProcessMemoryInfo's
# PrivateUsage at 0, so it is read from the kernel.
private_bytes() { awk '$1 == "Private_Dirty:" { print $2 * 1024 }' "/proc/$1/smaps_rollup"; }
