#!/usr/bin/env bash
# The program starts under Wine: its main window, title, status line and top line; the lock file;
# a second copy refused with its message and exit code 0; a new start after the first has ended.
source "$(dirname "$0")/e2e_lib.sh"

title=$main_title
start_main_window
[ "$main_width" = 500 ] && [ "$main_height" = 645 ] || fail "main window is ${main_width}x${main_height}"
# The status line (magenta text) on the first line, the menu labels (blue text) below it. The
# labels may reach the screen a moment after the status line.
top_line() {
    import -window root "$work/top-line.png"
    magenta=$(count_colour "$work/top-line.png" "$main_x" "$main_y" 456 18 FF00FF)
    blue=$(count_colour "$work/top-line.png" "$main_x" "$((main_y + 19))" 290 16 0000FF)
}
top_line_drawn() {
    top_line
    [ "$magenta" -gt 50 ] && [ "$blue" -gt 50 ]
}
if ! wait_for top_line_drawn; then
    top_line
    fail "status line or menu labels missing: $magenta magenta, $blue blue pixels"
fi
screenshot startup

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
# A Return can be lost while the box is still taking focus: it is pressed again, on the box alone,
# for as long as the box stays.
box_gone() { ! has_window '信息：'; }
for _ in $(seq 10); do
    box=$(window_named '信息：') || break
    xdotool windowfocus --sync "$box" key --clearmodifiers Return 2>/dev/null || true
    wait_seconds=2 wait_for box_gone && break
done
box_gone || fail "the second copy's message box stayed"
second_ended() { ! kill -0 "$second"; }
wait_for second_ended || fail "the second copy did not end after its message box"
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
