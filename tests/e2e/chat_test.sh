#!/usr/bin/env bash
# Two copies of the program, each in its own Wine prefix on the same display, chat on loopback: a
# message typed in the first goes out as one datagram to 127.255.255.255 ("X^XZ" + its GBK text,
# checked byte for byte by a listener here) and pops up as a balloon window of the second copy.
source "$(dirname "$0")/e2e_lib.sh"

# A port of this run's own, so no other run hears these datagrams.
port=$(python3 -c 'import socket; s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("", 0)); print(s.getsockname()[1])')
sed -i "s/^broadcast_port=.*\r\$/broadcast_port=$port\r/" "$program_dir/deployment.ini"
grep -q "^broadcast_address=127.255.255.255" "$program_dir/deployment.ini" || fail "the deployment does not broadcast on loopback"

# The second copy: its own directory and prefix (two prefixes have two wineservers, so the lock
# files do not see each other).
second_dir="$work/second/program"
second_prefix="$work/second/prefix"
mkdir -p "$second_dir"
cp "$exe" "$program_dir/deployment.ini" "$second_dir/"
"$repo/scripts/wine-prefix" "$second_prefix"
trap 'finish; WINEPREFIX="$second_prefix" "$WINESERVER" -k 2>/dev/null || true' EXIT
# Like the first copy's prefix: an address opened "in the browser" is only written down.
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >>"%s"\n' "$work/second/opened-urls" >"$work/second/record-url"
chmod +x "$work/second/record-url"
WINEPREFIX="$second_prefix" "$WINE" reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$work/second/record-url" /f \
    >/dev/null 2>&1

# The listener keeps the first writer's message it hears.
heard="$work/heard.bin"
python3 - "$port" "$heard" <<'PY' &
import socket, sys
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind(("", int(sys.argv[1])))
s.settimeout(120)
while True:
    data = s.recv(65535)
    if data.startswith(b"X^XZ"):
        open(sys.argv[2] + ".part", "wb").write(data)
        break
import os
os.rename(sys.argv[2] + ".part", sys.argv[2])
PY
started_pids+=("$!")

start_main_window
first=$main
first_pid=$program_pid
(cd "$second_dir" && WINEPREFIX="$second_prefix" exec "$WINE" yanzhou.exe) &
second_pid=$!
started_pids+=("$second_pid")

# The second main window: the same title, another window.
second_window() {
    local window
    for window in $(xdotool search --name '.' 2>/dev/null); do
        if [ "$window" != "$first" ] && [ "$(xdotool getwindowname "$window" 2>/dev/null)" = "$main_title" ]; then
            echo "$window"
            return 0
        fi
    done
    return 1
}
wait_seconds=90 wait_for second_window || fail "the second main window did not appear"
second=$(second_window)

eval "$(xdotool getwindowgeometry --shell "$second")"
second_y=$Y

# A chat balloon of the second copy: a window on screen of its process (Wine marks each with its
# process id) whose top edge is the balloon's point, main window top + 60. The start-up notices
# stand at top + 80, and the first copy's own balloon belongs to another process.
chat_balloon_in_second() {
    local window
    for window in $(xdotool search --onlyvisible --pid "$second_pid" 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$window")"
        if [ "$window" != "$second" ] && [ "$Y" -eq "$((second_y + 60))" ] && [ "$HEIGHT" -lt 100 ]; then
            return 0
        fi
    done
    return 1
}
[ -n "$(xdotool search --onlyvisible --pid "$second_pid" 2>/dev/null)" ] ||
    fail "no window of the second copy carries its process id"
! chat_balloon_in_second || fail "the second copy shows a chat balloon before any message"

# The first copy opens the chat panel (Alt+E), which gives the chat box the focus; the text
# (Chinese too, typed from inside Wine, which loses nothing) goes in once the box has it, and is
# sent with Ctrl+Enter once the box holds it.
xdotool windowfocus --sync "$first"
xdotool mousemove --window "$first" 200 200 click 1
xdotool key alt+e
type_text --window "$main_title" --at 5,400 --check 'hello 砚舟 from the first copy'
screenshot chat-panel
xdotool key ctrl+Return

wait_seconds=30 wait_for test -f "$heard" || fail "the listener heard no writer's message"
{ printf 'X^XZ'; printf 'hello 砚舟 from the first copy' | iconv -f UTF-8 -t GBK; } >"$work/expected.bin"
cmp -s "$work/expected.bin" "$heard" || fail "the datagram was $(od -An -c "$heard")"

wait_for chat_balloon_in_second || fail "no chat balloon appeared in the second copy"
screenshot chat-balloon
kill -0 "$first_pid" 2>/dev/null || fail "the first copy ended"
echo "chat: ok"
