# Steps the window test scripts share (POSIX sh, sourced): waits for a window state that give
# up after a bound, and key presses repeated only while the state they should bring has not
# come. Real time passes only inside these bounds, so no script hangs until the test time-out.
# Needs xdotool and xwininfo on the script's DISPLAY.

# until_true SECONDS COMMAND...: runs COMMAND every 0.2 s until it succeeds; false after
# SECONDS.
until_true() {
  _limit=$(($1 * 5))
  shift
  _tries=0
  while ! "$@" >/dev/null 2>&1; do
    _tries=$((_tries + 1))
    [ "$_tries" -lt "$_limit" ] || return 1
    sleep 0.2
  done
}

# window_named NAME: the first visible window titled exactly NAME; nothing when there is none.
# With an empty NAME, an untitled box: the root window and the 1 x 1 helper windows are
# untitled too, and are skipped.
window_named() {
  for _w in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
    if [ -n "$1" ]; then
      echo "$_w"
      return
    fi
    _size=$(xwininfo -id "$_w" 2>/dev/null | sed -n 's/^ *\(Width\|Height\): *//p' | tr '\n' x)
    _root=$(xwininfo -root 2>/dev/null | sed -n 's/^ *\(Width\|Height\): *//p' | tr '\n' x)
    if [ -n "$_size" ] && [ "$_size" != "$_root" ] && [ "$_size" != "1x1x" ]; then
      echo "$_w"
      return
    fi
  done
}
has_window_named() { [ -n "$(window_named "$1")" ]; }

# shown W / gone W: whether window W is (no longer) mapped and viewable.
shown() { xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }
gone() { ! shown "$1"; }

# send_key W KEY: a real key press for window W. Key events the X server makes go to the
# focused window under the pointer (toolkits ignore synthetic ones), so both are moved there
# first; a moment lets a window that has only just appeared take the focus.
send_key() {
  xdotool mousemove --window "$1" 10 10 2>/dev/null || true
  xdotool windowfocus --sync "$1" 2>/dev/null || true
  sleep 0.2
  xdotool key "$2"
}

# press_until SECONDS W KEY COMMAND...: presses KEY for window W, then waits up to 2 s for
# COMMAND to succeed; presses again only if it has not (the press was not taken). False when
# COMMAND has not succeeded after SECONDS.
press_until() {
  _deadline=$(($(date +%s) + $1))
  _window=$2
  _key=$3
  shift 3
  while :; do
    send_key "$_window" "$_key"
    until_true 2 "$@" && return 0
    [ "$(date +%s)" -lt "$_deadline" ] || return 1
  done
}

# ended PID: whether background process PID has ended (exited, or a zombie not yet waited for).
ended() {
  ! kill -0 "$1" 2>/dev/null || ps -o stat= -p "$1" 2>/dev/null | grep -q '^Z'
}

# wait_bounded SECONDS PID: waits up to SECONDS for background process PID to end and sets
# exit_code to its exit code; false when it is still running (the caller's clean-up ends it).
wait_bounded() {
  until_true "$1" ended "$2" || return 1
  exit_code=0
  wait "$2" || exit_code=$?
}
