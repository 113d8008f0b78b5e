# Shared steps of the end-to-end tests: a virtual display, a Wine prefix of the test's own, the
# program beside a loopback deployment file, and polling helpers. Sourced by each test.
# Usage of a test: <test>.sh yanzhou.exe HELPER_DIRECTORY (where yz_type_text.exe and
# yz_window_state.exe are)
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
exe=$(realpath "$1")
helpers=$(realpath "${2:-.}")
test_name=$(basename "$0" .sh)
work="$(dirname "$exe")/e2e/$test_name"
artifacts="$(dirname "$exe")/e2e/artifacts"
rm -rf "$work"
mkdir -p "$work/program" "$artifacts"
cp "$exe" "$work/program/"
program_dir="$work/program"

# free_port: a loopback port nobody listens on now.
free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}
# Tests without a server of their own point the program at a port where none listens, never at a
# server someone else runs on the default port.
"$repo/scripts/write-deployment" "$program_dir" 'c:\ymtrop' "$(free_port)"

export WINEPREFIX="$work/prefix"
"$repo/scripts/wine-prefix" "$WINEPREFIX"
# shellcheck source=scripts/wine-env
source "$repo/scripts/wine-env"
# Addresses the program opens "in the browser" (only recorded, see scripts/wine-prefix).
opened_urls="$WINEPREFIX/opened-urls"

started_pids=()
xvfb_pid=""
finish() {
    for pid in "${started_pids[@]}"; do
        kill -9 "$pid" 2>/dev/null || true
    done
    "$WINESERVER" -k 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap finish EXIT

display_file="$work/display"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x800x24 3>"$display_file" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    sleep 0.1
done
export DISPLAY=":$(cat "$display_file")"

fail() {
    echo "FAIL: $*" >&2
    import -window root "$artifacts/$test_name-failure.png" 2>/dev/null || true
    for window in $(xdotool search --name '.' 2>/dev/null); do
        echo "  window $window: $(xdotool getwindowname "$window" 2>/dev/null)" >&2
    done
    exit 1
}

# wait_for COMMAND...: polls the command for up to $wait_seconds (30 s unless set). The first
# start in a new prefix can take long on a loaded machine.
wait_seconds=30
wait_for() {
    for _ in $(seq $((wait_seconds * 5))); do
        if "$@" >/dev/null 2>&1; then
            return 0
        fi
        sleep 0.2
    done
    return 1
}

# The first window whose title is exactly $1. xdotool's own pattern match does not match Chinese
# titles here, so the titles are compared in the shell.
window_named() {
    local window
    for window in $(xdotool search --name '.' 2>/dev/null); do
        if [ "$(xdotool getwindowname "$window" 2>/dev/null)" = "$1" ]; then
            echo "$window"
            return 0
        fi
    done
    return 1
}

has_window() {
    [ -n "$(window_named "$1")" ]
}

# start_program: starts the program in the background; its PID in $program_pid.
start_program() {
    (cd "$program_dir" && exec "$WINE" yanzhou.exe) &
    program_pid=$!
    started_pids+=("$program_pid")
}

main_title='砚舟文匣  --霁川软件'

# start_main_window: starts the program and waits for its main window: $main is the window,
# $main_x, $main_y, $main_width, $main_height its place on the screen.
start_main_window() {
    start_program
    wait_seconds=90 wait_for has_window "$main_title" || fail "the main window did not appear"
    main=$(window_named "$main_title")
    eval "$(xdotool getwindowgeometry --shell "$main")"
    main_x=$X
    main_y=$Y
    main_width=$WIDTH
    main_height=$HEIGHT
    wait_for status_line_drawn || fail "the status line was not drawn"
}

# status_line_pixels: magenta pixels of the status line on the screen now.
status_line_pixels() {
    import -window root "$work/poll.png"
    count_colour "$work/poll.png" "$main_x" "$main_y" 456 18 FF00FF
}

status_line_drawn() {
    [ "$(status_line_pixels)" -gt 50 ]
}

# type_text [--window TITLE] [--at X,Y] [--check | --expect] TEXT ...: types from inside Wine
# ("{Enter}" in TEXT is the Enter key), as Unicode key events that cannot be lost the way
# xdotool's remapped keys can, once the focus is in an edit control of the active window (titled
# TITLE, at X,Y in it); --check waits until the control has taken every key, --expect types
# nothing and waits for the control's text (see tests/e2e/type_text.cpp).
type_text() {
    local code=0
    "$WINE" "$helpers/yz_type_text.exe" "$@" || code=$?
    case $code in
        0) ;;
        2) fail "type_text $*: no such edit control got the focus" ;;
        3) fail "type_text $*: the control's text never became what was wanted" ;;
        *) fail "type_text $*: ended with code $code" ;;
    esac
}

# window_state minimised|normal TITLE, window_state focus TITLE CLASS, window_state alpha TITLE N:
# waits until windows so titled are in that state, as Wine sees it (see tests/e2e/window_state.cpp).
window_state() {
    "$WINE" "$helpers/yz_window_state.exe" "$@"
}

screenshot() {
    import -window root "$artifacts/$1.png"
    echo "screenshot: $artifacts/$1.png"
}

# count_colour FILE X Y W H HEX: pixels of exactly that colour in the rectangle.
count_colour() {
    convert "$1" -crop "$4x$5+$2+$3" +repage -fill black +opaque "#$6" -fill white -opaque "#$6" \
        -format '%[fx:int(mean*w*h+0.5)]' info:
}
