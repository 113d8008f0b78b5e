#!/usr/bin/env bash
# The program starts under Wine: its main window, title, status line and top line; the lock file;
# a second copy refused with its message and exit code 0; a new start after the first has ended.
source "$(dirname "$0")/e2e_lib.sh"

title=$main_title
start_main_window
[ "$main_width" = 500 ] && [ "$main_height" = 645 ] || fail "main window is ${main_width}x${main_height}"
screenshot startup
shot="$artifacts/startup.png"
# The status line (magenta text) on the first line, the menu labels (blue text) below it.
magenta=$(count_colour "$shot" "$main_x" "$main_y" 456 18 FF00FF)
blue=$(count_colour "$shot" "$main_x" "$((main_y + 19))" 290 16 0000FF)
[ "$magenta" -gt 50 ] || fail "no status line text on the screenshot ($magenta magenta pixels)"
[ "$blue" -gt 50 ] || fail "no menu labels on the screenshot ($blue blue pixels)"

lock="$WINEPREFIX/drive_c/ymtrop"
[ "$(stat -c %s "$lock")" = 1 ] || fail "the lock file is not one byte"
[ "$(od -An -tx1 "$lock" | tr -d ' ')" = 00 ] || fail "the lock file's byte is not 0x00"
attributes=$("$WINE" cmd /c attrib 'c:\ymtrop' 2>/dev/null | tr -d '\r')
[[ "$attributes" == *A*H*ymtrop* ]] || fail "lock file attributes: $attributes"

# A second copy: the message box, then exit code 0; the first keeps running.
(cd "$program_dir" && exec "$WINE" yanzhou.exe) &
second=$!
started_pids+=("$second")
wait_for has_window '信息：' || fail "the second copy showed no message box"
screenshot second-copy
box=$(window_named '信息：')
xdotool windowactivate --sync "$box" key --clearmodifiers Return 2>/dev/null || xdotool key Return
code=0
wait "$second" || code=$?
[ "$code" = 0 ] || fail "the second copy ended with code $code"
kill -0 "$program_pid" || fail "the first copy ended too"
has_window "$title" || fail "the first copy's window is gone"

# After the first copy ends, a new start takes the lock.
kill -9 "$program_pid"
wait "$program_pid" 2>/dev/null || true
no_window() { ! has_window "$1"; }
wait_for no_window "$title" || fail "the first copy's window stayed"
start_program
wait_for has_window "$title" || fail "a start after the first copy ended failed"
echo "startup: ok"
