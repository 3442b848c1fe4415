#!/bin/sh
# VelmoraProUpdater.exe under Wine on the test display (run it under tests/app/run-with-xvfb),
# on the in-process bus, driven with the keyboard through xdotool: the power-supply warning,
# "Update", the download, Yes to the restart. The download must really start (not a version
# question, whose caption is the restart question's too), the program must end with code 0,
# leave no temporary folder behind, and leave the unit running the shipped firmware after one
# restart. The bus goes with the program, so it writes its end state to a file
# (VELMORA_SIMBUS_END_STATE) that is read here.
#
# usage: updater_gui_test.sh WINE UPDATER.exe  (WINEPREFIX and the other Wine settings come
# from the environment)
set -eu
wine=$1
updater=$2
. "$(dirname "$0")/../../support/gui_steps.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-wine-updater-XXXXXX")
updater_pid=""
cleanup() {
  for pid in $updater_pid; do kill "$pid" 2>/dev/null || true; done
  for pid in $updater_pid; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

fail() {
  echo "updater_gui_test: $*" >&2
  import -window root "$work/screen.png" 2>/dev/null &&
    echo "(screen saved while failing: $work/screen.png is removed on exit)" >&2
  exit 1
}

: "${DISPLAY:?run under tests/app/run-with-xvfb}"

# The prefix, made on the first run, with this display.
timeout 240 "$wine" wineboot --init >"$work/wineboot.log" 2>&1 || fail "wineboot failed"
temp="$WINEPREFIX/drive_c/users/$(id -un)/Temp"
mkdir -p "$temp"
ls "$temp" | grep '^VelmoraProUpdater-' >"$work/folders-before" || true

end_state="$work/end-state.txt"
VELMORA_SIMBUS=inproc VELMORA_SIMBUS_END_STATE="Z:$end_state" \
  "$wine" "$updater" >"$work/updater.log" 2>&1 &
updater_pid=$!

# 1. The warning comes before any window of ours: a box without a caption. OK.
until_true 60 has_window_named "" || fail "no power-supply warning"
has_window_named "Velmora PRO Updater" && fail "the dialog came before the warning"
warning=$(window_named "")
press_until 30 "$warning" Return gone "$warning" || fail "the power-supply warning does not go"

# 2. The dialog, with the private temporary folder the updater made at its start, in which the
# library log will be.
until_true 30 has_window_named "Velmora PRO Updater" || fail "no updater dialog"
dialog=$(window_named "Velmora PRO Updater")
folder=$(ls "$temp" | grep '^VelmoraProUpdater-' | grep -vxF -f "$work/folders-before" | head -n 1)
[ -n "$folder" ] || fail "no temporary folder VelmoraProUpdater-N in $temp"
log="$temp/$folder/VelmoraProUpdate.log"

# 3. Return presses "Update", the default button: the download starts, or a box comes.
download_started() { grep -q "enter KVOFWDL_StartDownload" "$log" 2>/dev/null; }
update_answered() { download_started || has_window_named "Firmware Update"; }
press_until 30 "$dialog" Return update_answered || fail "Return did not press Update"
download_started || fail "no download: a question came instead (unit already up to date?)"

# 4. The restart question at the end: Yes (the default) restarts the simulated computer.
until_true 120 has_window_named "Firmware Update" || fail "no restart question"
question=$(window_named "Firmware Update")
press_until 30 "$question" Return gone "$question" || fail "the restart question does not go"

# 5. The program ends with 0; its bus saw one restart and the unit runs the shipped firmware
# 2.1.4300 (each in-process bus of the program, the updater's and the library's, reports).
wait_bounded 30 "$updater_pid" || fail "the updater did not end"
updater_pid=""
[ "$exit_code" -eq 0 ] || fail "the updater ended with $exit_code"
[ -s "$end_state" ] || fail "the bus left no end state"
awk '/^bus / { restarted = ($2 == "restarts=1") }
     /^unit / && restarted && / model=studio firmware=2\.1\.4300 / { found = 1 }
     END { exit !found }' "$end_state" ||
  fail "no restarted bus with a Studio on 2.1.4300: $(cat "$end_state")"
[ ! -e "$temp/$folder" ] || fail "the temporary folder was left behind"
echo "updater_gui_test: warning, update to 2.1.4300, restart; exit code 0"
