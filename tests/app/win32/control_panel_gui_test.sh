#!/bin/sh
# VelmoraControl.exe under Wine on the test display (run it under tests/app/run-with-xvfb), on
# the in-process bus: the window comes up and its panel equals, pixel for pixel, what
# velmoractl.exe panel render draws for the same unit state; the start creates the log setting
# in the registry; a second copy shows its error box and ends; the logo's menu opens the About
# box, whose text names the version and the unit's firmware; closing the window saves the
# default mix in the Windows data folder; a fader dragged with the real pointer changes the
# panel and the mix saved at the end; at --zoom 2 the window shows what velmoractl.exe panel
# render --zoom 2 draws with the ×2 skin; "Update Firmware..." starts the updater beside it
# and the panel ends.
#
# usage: control_panel_gui_test.sh WINE VelmoraControl.exe velmoractl.exe window_texts.exe
# (WINEPREFIX and the other Wine settings come from the environment)
set -eu
wine=$1
panel=$2
velmoractl=$3
window_texts=$4
. "$(dirname "$0")/../../support/gui_steps.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-wine-panel-XXXXXX")
pids=""
cleanup() {
  for pid in $pids; do kill "$pid" 2>/dev/null || true; done
  for pid in $pids; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

fail() {
  echo "control_panel_gui_test: $*" >&2
  import -window root "$work/screen.png" 2>/dev/null &&
    cp "$work/screen.png" "${TMPDIR:-/tmp}/velmora-wine-panel-failure.png" &&
    echo "(screen saved while failing: ${TMPDIR:-/tmp}/velmora-wine-panel-failure.png)" >&2
  exit 1
}

main_window() {
  xdotool search --onlyvisible --name '^VelmoraControl PRO$' 2>/dev/null | head -n 1
}
has_main_window() { [ -n "$(main_window)" ]; }
has_error_box() { xdotool search --onlyvisible --name '^Error$' >/dev/null 2>&1; }

# shot_equals WINDOW PNG: the window's top-left corner of PNG's size equals PNG.
shot_equals() {
  import -window "$1" "$work/shot.png" &&
    convert "$work/shot.png" -crop "$size+0+0" +repage "$work/crop.png" &&
    [ "$(compare -metric AE "$work/crop.png" "$2" null: 2>&1)" = 0 ]
}
shot_differs() { ! shot_equals "$@"; }

start_panel() {
  VELMORA_SIMBUS=inproc "$wine" "$panel" "$@" >>"$work/panel.log" 2>&1 &
  panel_pid=$!
  pids="$pids $panel_pid"
}

# Closes the window as the user's close box does, and waits for the program to end.
close_panel() {
  "$wine" taskkill /im VelmoraControl.exe >/dev/null 2>&1 || true
  until_true 30 ended "$panel_pid" || fail "the control panel did not end when closed"
  wait "$panel_pid" 2>/dev/null || true
}

default_mix() {
  find "$WINEPREFIX/drive_c/users" -name 'VelmoraProDefault*.vmpro' 2>/dev/null | head -n 1
}

: "${DISPLAY:?run under tests/app/run-with-xvfb}"

"$wine" wineboot --init >"$work/wineboot.log" 2>&1 || fail "wineboot failed"
# A default mix left by an earlier run would change what the panel shows at start.
find "$WINEPREFIX/drive_c/users" -name 'VelmoraProDefault*.vmpro' -exec rm -f {} + 2>/dev/null || true

# The oracle: the same fresh unit on velmoractl's own in-process bus.
VELMORA_SIMBUS=inproc "$wine" "$velmoractl" panel render "$(winepath -w "$work/rendered.png")" \
  >"$work/render.log" 2>&1 || fail "velmoractl.exe panel render failed: $(cat "$work/render.log")"
size=$(identify -format %wx%h "$work/rendered.png")

start_panel
until_true 60 has_main_window || fail "no window"
window=$(main_window)
until_true 30 shot_equals "$window" "$work/rendered.png" ||
  fail "the window's panel differs from velmoractl panel render ($(compare -metric AE \
    "$work/crop.png" "$work/rendered.png" null: 2>&1) pixels)"
echo "control_panel_gui_test: the window shows velmoractl's panel"
# The start created the log setting, empty, in the registry.
"$wine" reg query 'HKCU\Software\Corvane\VelmoraControl PRO' /v VelmoraProLogDest 2>/dev/null |
  grep -q VelmoraProLogDest || fail "no VelmoraProLogDest under HKEY_CURRENT_USER"
echo "control_panel_gui_test: the log setting is in the registry"

VELMORA_SIMBUS=inproc "$wine" "$panel" >"$work/second.log" 2>&1 &
second_pid=$!
pids="$pids $second_pid"
until_true 60 has_error_box || fail "a second copy showed no error box"
box=$(xdotool search --onlyvisible --name '^Error$' | head -n 1)
xdotool mousemove --window "$box" 10 10 windowfocus "$box" 2>/dev/null || true
sleep 0.5
xdotool key Return
until_true 30 ended "$second_pid" || fail "the second copy did not end after its error box"
echo "control_panel_gui_test: a second copy shows its error box"

# The logo opens the main menu; its first entry, "&About VelmoraControl PRO", a box with the
# program's title beside the main window.
about_box() {
  xdotool search --onlyvisible --name '^VelmoraControl PRO$' 2>/dev/null | grep -vx "$window" |
    head -n 1
}
has_about_box() { [ -n "$(about_box)" ]; }
no_about_box() { [ -z "$(about_box)" ]; }
xdotool mousemove --window "$window" 526 26
sleep 0.3
xdotool mousedown 1
sleep 0.2
xdotool mouseup 1
sleep 1
xdotool key a
until_true 30 has_about_box || fail "the menu's About entry showed no box"
box=$(about_box)
# The box's texts, read from its child windows by a Windows program beside it.
about_texts() {
  "$wine" "$window_texts" "VelmoraControl PRO" 2>/dev/null | tr -d '\r' >"$work/about.txt" &&
    grep -qxF "VelmoraControl PRO Version 2.6" "$work/about.txt"
}
until_true 30 about_texts || fail "the About box shows no version 2.6: $(cat "$work/about.txt")"
grep -qxF "Velmora PRO Studio firmware Version 2.0.4000" "$work/about.txt" ||
  fail "the About box names no Studio on 2.0.4000: $(cat "$work/about.txt")"
xdotool mousemove --window "$box" 10 10 windowfocus "$box" 2>/dev/null || true
sleep 0.5
xdotool key Return
until_true 30 no_about_box || fail "the About box did not close"
echo "control_panel_gui_test: the About box names version 2.6 and firmware 2.0.4000"

close_panel
mix=$(default_mix)
[ -n "$mix" ] || fail "closing the window saved no default mix"
cp "$mix" "$work/untouched.vmpro"
echo "control_panel_gui_test: closing saves $(basename "$mix")"

start_panel
until_true 60 has_main_window || fail "no window at the second start"
window=$(main_window)
until_true 30 shot_equals "$window" "$work/rendered.png" || fail "the saved mix changed the panel"
xdotool mousemove --window "$window" 50 125
sleep 0.3
xdotool mousedown 1
sleep 0.3
xdotool mousemove --window "$window" 50 165
sleep 0.3
xdotool mouseup 1
until_true 10 shot_differs "$window" "$work/rendered.png" || fail "the drag left the panel as it was"
close_panel
cmp -s "$(default_mix)" "$work/untouched.vmpro" && fail "the mix saved after the drag is unchanged"
echo "control_panel_gui_test: a drag changes the panel and the saved mix"

# At x2 both draw with the x2 skin (resource "PAL" 106), over the mix saved above.
VELMORA_SIMBUS=inproc "$wine" "$velmoractl" panel render --zoom 2 \
  "$(winepath -w "$work/rendered2.png")" >"$work/render2.log" 2>&1 ||
  fail "velmoractl.exe panel render --zoom 2 failed: $(cat "$work/render2.log")"
size=$(identify -format %wx%h "$work/rendered2.png")
[ "$size" = 1408x788 ] || fail "velmoractl.exe panel render --zoom 2 drew $size"
start_panel --zoom 2
until_true 60 has_main_window || fail "no window at --zoom 2"
window=$(main_window)
until_true 30 shot_equals "$window" "$work/rendered2.png" ||
  fail "the window's panel at x2 differs from velmoractl panel render --zoom 2 ($(compare \
    -metric AE "$work/crop.png" "$work/rendered2.png" null: 2>&1) pixels)"
close_panel
echo "control_panel_gui_test: at x2 the window shows velmoractl's x2 panel"

# The menu's fifth entry (after About, Online Support, Updates & downloads), "Update
# Firmware...", starts VelmoraProUpdater.exe beside the program, which shows its power-supply
# warning (a box without a caption) and then its dialog; the panel ends.
start_panel
until_true 60 has_main_window || fail "no window at the fourth start"
window=$(main_window)
# The saved mix of the drag: the panel differs from the fresh one once it is drawn.
until_true 30 shot_differs "$window" "$work/rendered.png" || fail "the panel was not drawn"
xdotool mousemove --window "$window" 526 26
sleep 0.3
xdotool mousedown 1
sleep 0.2
xdotool mouseup 1
sleep 1
xdotool key Down Down Down Down Return
until_true 60 has_window_named "" || fail "Update Firmware... showed no updater warning"
warning=$(window_named "")
updater_pid=$(xdotool getwindowpid "$warning" 2>/dev/null || true)
[ -n "$updater_pid" ] && pids="$pids $updater_pid"
until_true 30 ended "$panel_pid" || fail "the control panel did not end when the updater started"
press_until 30 "$warning" Return gone "$warning" || fail "the updater's warning does not go"
until_true 30 has_window_named "Velmora PRO Updater" || fail "no updater dialog"
dialog=$(window_named "Velmora PRO Updater")
echo "control_panel_gui_test: Update Firmware... starts the updater and the panel ends"
# Escape presses the updater's "Exit".
press_until 30 "$dialog" Escape gone "$dialog" || fail "the updater's dialog does not go"
