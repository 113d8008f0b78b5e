#!/usr/bin/env bash
# A writer types under Wine: three lines (ASCII and Chinese) with Enter; the auto-save file beside
# the program holds the text before the last Enter under RC4; the status line changes with the
# counts; Save writes the editor's bytes; the operation menu drops under its label.
source "$(dirname "$0")/e2e_lib.sh"

start_main_window
screenshot writing-before
before=$(count_colour "$artifacts/writing-before.png" "$main_x" "$main_y" 456 18 FF00FF)

# Focus matters to Wine: keys reach it only while one of its windows has the X focus.
xdotool windowfocus --sync "$main"
xdotool mousemove --window "$main" 200 200 click 1
type_text --window "$main_title" --check 'first line' '{Enter}' 'second' '{Enter}' '〇第三行' '{Enter}'

# The auto-save on the last Enter holds the text before it, under RC4.
autosave="$program_dir/砚舟文匣自动存档"
autosaved() {
    [ -f "$autosave" ] || return 1
    python3 - "$autosave" "$repo/tests/e2e" <<'PY'
import sys
sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, sys.argv[2])
from kkjx import rc4
data = rc4(open(sys.argv[1], "rb").read(), b"pwtm3842vbnshd1795pwtm")
sys.stdout.write(data.decode("gbk", "replace").replace("\r\n", "|"))
PY
}
plain="first line|second|〇第三行"
autosave_holds_text() { [ "$(autosaved)" = "$plain" ]; }
wait_for autosave_holds_text || fail "the auto-save file holds '$(autosaved 2>/dev/null)'"
status_line_grew() { [ "$(status_line_pixels)" -gt "$((before + 30))" ]; }
wait_for status_line_grew || fail "the status line shows no counts ($before -> $(status_line_pixels) magenta pixels)"
screenshot writing-typed

# Save (Alt+S) through the common dialog: the file holds the editor's bytes exactly. Return does not
# reach Wine's dialog without a window manager, so its Save button is clicked.
xdotool key alt+s
wait_for has_window '另存为' || fail "Alt+S showed no save dialog"
dialog=$(window_named '另存为')
type_text --window '另存为' 'draft1'
eval "$(xdotool getwindowgeometry --shell "$dialog")"
xdotool mousemove "$((X + WIDTH - 52))" "$((Y + HEIGHT - 68))" click 1
saved="$program_dir/draft1.txt"
wait_for test -f "$saved" || fail "the save dialog wrote no file"
# The editor's bytes: the auto-saved text and the last line break.
{
    printf '%s' "$plain" | sed 's/|/\r\n/g' | iconv -f UTF-8 -t GBK
    printf '\r\n'
} >"$work/expected.txt"
cmp -s "$saved" "$work/expected.txt" || fail "the saved file holds $(od -An -c "$saved")"

# The operation menu drops at the label: main window left + 5, top + 36.
xdotool mousemove --window "$main" 20 27 click 1
# A top-level window as wide and tall as a menu whose corner stands there (xwininfo lists them
# all, named or not, with their corner on the screen).
menu_under_label() {
    xwininfo -root -children 2>/dev/null | sed -nE 's/.* ([0-9]+)x([0-9]+)\+(-?[0-9]+)\+(-?[0-9]+) +\+.*/\1 \2 \3 \4/p' |
        while read -r width height x y; do
            if [ "$x" -ge "$((main_x + 3))" ] && [ "$x" -le "$((main_x + 8))" ] && [ "$y" -ge "$((main_y + 34))" ] &&
                [ "$y" -le "$((main_y + 40))" ] && [ "$width" -gt 40 ] && [ "$height" -gt 40 ]; then
                echo "${width}x${height}+${x}+${y}"
            fi
        done | head -n 1 | grep .
}
wait_for menu_under_label || fail "no popup menu under the operation label"
screenshot writing-menu
echo "menu at $(menu_under_label)"
xdotool key Escape
echo "writing: ok"
