#!/bin/sh
# VelmoraProUpdater.exe under Wine on the test display (run it under tests/app/run-with-xvfb),
# on the in-process bus, driven with the keyboard through xdotool: the power-supply warning,
# "Update", the download, Yes to the restart. The program must end with code 0 and leave no
# temporary folder behind.
#
# usage: updater_gui_test.sh WINE UPDATER.exe  (WINEPREFIX and the other Wine settings come
# from the environment)
set -eu
wine=$1
updater=$2

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

# until SECONDS COMMAND...: runs COMMAND every 0.2 s until it succeeds; fails after SECONDS.
until_true() {
  limit=$(( $1 * 5 )); shift
  tries=0
  while ! "$@" >/dev/null 2>&1; do
    tries=$((tries + 1))
    [ "$tries" -lt "$limit" ] || return 1
    sleep 0.2
  done
}

visible() {
  xdotool search --onlyvisible --name "$1"
}

: "${DISPLAY:?run under tests/app/run-with-xvfb}"

# The prefix, made on the first run, with this display.
"$wine" wineboot --init >"$work/wineboot.log" 2>&1 || fail "wineboot failed"
temp="$WINEPREFIX/drive_c/users/$(id -un)/Temp"
before=$(ls "$temp" 2>/dev/null | grep -c '^VelmoraProUpdater-' || true)

VELMORA_SIMBUS=inproc "$wine" "$updater" >"$work/updater.log" 2>&1 &
updater_pid=$!

# The warning comes before any window of ours: a box without a caption.
until_true 60 visible '^$' || fail "no power-supply warning"
sleep 1  # until it has the keyboard
xdotool key Return
until_true 30 visible '^Velmora PRO Updater$' || fail "no updater dialog"
sleep 1
xdotool key Return
until_true 120 visible '^Firmware Update$' || fail "no restart question"
sleep 1
xdotool key Return

code=0
wait "$updater_pid" || code=$?
updater_pid=""
[ "$code" -eq 0 ] || fail "the updater ended with $code"
after=$(ls "$temp" 2>/dev/null | grep -c '^VelmoraProUpdater-' || true)
[ "$after" -eq "$before" ] || fail "the temporary folder was left behind"
echo "updater_gui_test: warning, update, restart; exit code 0"
