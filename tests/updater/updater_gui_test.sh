#!/bin/sh
# The real VelmoraProUpdater on the test display (run it under tests/app/run-with-xvfb),
# driven from outside with xdotool, against a simulated bus daemon on a temporary socket: from
# the power-supply warning through a finished download to the restart, after which the unit
# runs the new firmware.
#
# usage: updater_gui_test.sh UPDATER SIMBUS [SCREENSHOT]
# With SCREENSHOT, a picture of the dialog in mid-download is saved there. With VELMORACTL and
# KWF in the environment, the unit is first left in its boot loader by an update that is cut
# off while the program is written (velmoractl KWF, the unit unplugged mid-write and plugged
# back); the updater must then recover it without a version question.
set -eu
updater=$1
simbus=$2
screenshot=${3:-}
velmoractl=${VELMORACTL:-}
kwf=${KWF:-}
. "$(dirname "$0")/../support/gui_steps.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-updater-gui-XXXXXX")
daemon_pid=""
updater_pid=""
cleanup() {
  for pid in $updater_pid $daemon_pid; do kill "$pid" 2>/dev/null || true; done
  for pid in $updater_pid $daemon_pid; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

fail() {
  echo "updater_gui_test: $*" >&2
  for log in "$work"/*.log; do
    [ -f "$log" ] && { echo "--- $log" >&2; tail -n 30 "$log" >&2; }
  done
  exit 1
}

: "${DISPLAY:?run under tests/app/run-with-xvfb}"
until_true 20 xwininfo -root || fail "the X display does not answer"

# The bus: one Velmora PRO Studio with its first firmware; units come back quickly after a reset.
socket="$work/bus.sock"
"$simbus" --socket "$socket" serve --state "$work/state" --units studio >"$work/daemon.log" 2>&1 &
daemon_pid=$!
until_true 20 "$simbus" --socket "$socket" list || fail "the bus daemon did not start"
"$simbus" --socket "$socket" driver --rejoin-delay 100 >/dev/null
"$simbus" --socket "$socket" list | grep -q "2.0.4000" || fail "the unit does not run 2.0.4000"

mkdir -p "$work/tmp" "$work/home"
if [ -n "$velmoractl" ]; then
  # The unit last ran firmware newer than the file's: had the updater compared versions, it
  # would ask about a downgrade.
  serial=$("$simbus" --socket "$socket" list | awk '/Studio/ {print $1; exit}')
  "$simbus" --socket "$socket" unplug "$serial" >/dev/null
  "$simbus" --socket "$socket" plug studio --serial "$serial" --firmware 3.0.0 --replace >/dev/null
  "$simbus" --socket "$socket" fault remove --kind download-block --skip 2 >/dev/null
  mkdir -p "$work/cli-tmp"
  VELMORA_SIMBUS=$socket TMPDIR=$work/cli-tmp HOME=$work/home "$velmoractl" firmware update \
    --allow-downgrade "$kwf" \
    >"$work/cut-update.log" 2>&1 && fail "the cut-off update reported success"
  "$simbus" --socket "$socket" plug studio --serial "$serial" >/dev/null
  VELMORA_SIMBUS=$socket "$velmoractl" units | grep -q "in boot loader" ||
    fail "the cut-off unit is not in its boot loader: $(VELMORA_SIMBUS=$socket "$velmoractl" units)"
fi

VELMORA_SIMBUS=$socket TMPDIR=$work/tmp HOME=$work/home ASAN_OPTIONS=detect_leaks=0 \
  "$updater" >"$work/updater.log" 2>&1 &
updater_pid=$!

# The first visible window titled NAME; with an empty NAME, any window of the program.
window() {
  if [ -n "$1" ]; then
    window_named "$1"
  else
    xdotool search --onlyvisible --classname VelmoraProUpdater 2>/dev/null | head -n 1
  fi
}
has_window() { [ -n "$(window "$1")" ]; }

height() { xwininfo -id "$1" | sed -n 's/^ *Height: *//p'; }

# The dialog shows the progress bar, and so has grown.
grown() { [ "$(height "$dialog")" -gt "$idle_height" ]; }

# 1. The power-supply warning, untitled, comes before any window: OK.
until_true 60 has_window "" || fail "no power-supply warning"
has_window "Velmora PRO Updater" && fail "the dialog came before the warning"
warning=$(window "")
press_until 30 "$warning" Return gone "$warning" || fail "the power-supply warning does not go"

# 2. The dialog: Return presses "Update", the default button.
until_true 30 has_window "Velmora PRO Updater" || fail "no updater dialog"
dialog=$(window "Velmora PRO Updater")
idle_height=$(height "$dialog")
# Return is pressed again only while neither the download nor a question has come, so that a
# version question is seen rather than answered by a repeated press.
started_or_asked() { grown || has_window "Firmware Update"; }
press_until 30 "$dialog" Return started_or_asked || fail "Return did not start the update"
if ! grown; then
  [ -z "$velmoractl" ] || fail "a version question came for a unit in its boot loader"
  question=$(window "Firmware Update")
  press_until 30 "$question" Return grown || fail "no download after the question"
fi

# 3. Mid-download picture, once the progress bar has made some way.
if [ -n "$screenshot" ]; then
  sleep 2
  import -window "$dialog" "$screenshot" || fail "no screenshot"
fi

# 4. The restart question at the end: Yes (the default) restarts the simulated computer.
until_true 240 has_window "Firmware Update" || fail "the download did not finish"
question=$(window "Firmware Update")
press_until 30 "$question" Return gone "$question" || fail "the restart question does not go"

# 5. The program ends with 0 after the restart; the unit runs the new firmware; the temporary
# folder is gone.
wait_bounded 30 "$updater_pid" || fail "the updater did not end"
updater_pid=""
[ "$exit_code" -eq 0 ] || fail "the updater ended with $exit_code"
"$simbus" --socket "$socket" list | grep -q "Studio .*2.1.4300 *yes" ||
  fail "the unit does not run 2.1.4300: $("$simbus" --socket "$socket" list)"
"$simbus" --socket "$socket" driver | grep -Eq "restarts:? *1" ||
  fail "no restart reached the bus: $("$simbus" --socket "$socket" driver)"
# The units' update locks stay (a lock file is never removed); the updater's folder goes.
left=$(ls -A "$work/tmp" | grep -vx velmora-locks || true)
[ -z "$left" ] || fail "left behind: $left"
if [ -n "$velmoractl" ]; then
  VELMORA_SIMBUS=$socket "$velmoractl" units | grep -q "in boot loader" && fail "still in boot loader"
  echo "updater_gui_test: recovered a unit left in its boot loader, 2.1.4300, restarted"
else
  echo "updater_gui_test: updated to 2.1.4300 and restarted"
fi
