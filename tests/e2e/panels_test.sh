#!/usr/bin/env bash
# The panels and the look under Wine: a typed document locked with Alt+Q into a .kkjx file beside
# the program, which the format's own reading (kkjx.py, apart from the program) opens to the typed
# text; a .kkjx file built by the test decrypted into the editor; Esc hides both windows to the
# tray and a click on the icon brings them back; Alt+T and the arrow keys move the slider, and
# "透明背景" in the configuration file follows; the font dialog (Alt+U) and the colour palette
# (Alt+Y) are stored, found again by a second start, and restore defaults (Alt+I) undoes them.
source "$(dirname "$0")/e2e_lib.sh"

kkjx="$repo/tests/e2e/kkjx.py"
config="$program_dir/砚舟文匣配置文件"
backdrop_title=' --霁川软件'
# Places in the main window's client area (the window has no frame), as laid out at start.
name_box=(120 218)
password_box=(120 261)
encrypt_button=(150 319)
decrypt_button=(250 319)
path_button=(376 230)
return_button=(369 309)  # a corner of it, away from its text
click_at() {
    xdotool mousemove --window "$main" "$1" "$2" click 1
}
# Global hotkeys reach Wine only while one of its windows has the X focus.
hotkey() {
    xdotool windowfocus --sync "$main"
    xdotool key "$1"
}

# A message box with this caption appears; Return on its focused OK button closes it.
close_box() {
    wait_for has_window "$1" || fail "no box captioned $1"
    local box
    box=$(window_named "$1")
    box_shown() { xwininfo -id "$box" | grep -q 'Map State: IsViewable'; }
    wait_for box_shown || fail "the box captioned $1 was never shown"
    screenshot "panels-box-$2"
    xdotool windowfocus --sync "$box" key Return
    no_box() { ! has_window "$1"; }
    wait_for no_box "$1" || fail "the box captioned $1 stayed"
}

# config_value KEY: the value of KEY in the configuration file's section; config_is KEY VALUE.
config_value() {
    python3 - "$config" "$1" <<'PY'
import re, sys
text = open(sys.argv[1], "rb").read().decode("gbk")
section = re.split(r"^\[功能配置\][^\r\n]*\r?$", text, maxsplit=1, flags=re.M)[1]
print(re.search(r"^" + re.escape(sys.argv[2]) + r"=(.*?)\r?$", section, flags=re.M).group(1))
PY
}
config_is() { [ -f "$config" ] && [ "$(config_value "$1")" = "$2" ]; }
expect_config() {
    wait_for config_is "$1" "$2" || fail "the configuration file holds no $1=$2 ($3)"
}

# editor_shows HEX: text of exactly that colour stands in the editor's first lines.
editor_shows() {
    import -window root "$work/poll.png"
    [ "$(count_colour "$work/poll.png" "$main_x" "$((main_y + 36))" 450 60 "$1")" -gt 50 ]
}

start_main_window
xdotool windowfocus --sync "$main"
click_at 200 200
document=$'第一章 雪夜\r\n风从北边来, 灯下写字。'
type_text --window "$main_title" --check '第一章 雪夜' '{Enter}' '风从北边来, 灯下写字。'

# Lock the document: Alt+Q opens the panel with the focus in the name box.
password='砚a1'
hotkey alt+q
type_text --window "$main_title" --at "${name_box[0]},${name_box[1]}" --check '雪夜'
click_at "$((password_box[0] + 20))" "$((password_box[1] + 12))"
type_text --window "$main_title" --at "${password_box[0]},${password_box[1]}" --check "$password"
screenshot panels-encryption
click_at "${encrypt_button[@]}"
close_box '文档加密提示:' encrypted
locked="$program_dir/雪夜.kkjx"
[ -f "$locked" ] || fail "no 雪夜.kkjx beside the program"
opened=$(python3 "$kkjx" open "$locked" "$password") || fail "the .kkjx file does not open with its password"
[ "$opened" = "$document" ] || fail "the .kkjx file holds '$opened'"
! python3 "$kkjx" open "$locked" 'wrong' >/dev/null 2>&1 || fail "the .kkjx file opens with a wrong password"

# Unlock a file built here: Alt+Q again, choose it, decrypt; the text arrives when the editor next
# gets the focus, and the editor holds exactly it.
letter=$'致读者:\r\n谢谢你读到这里。〇'
python3 "$kkjx" build "$program_dir/来信.kkjx" "$password" "$letter"
hotkey alt+q
type_text --window "$main_title" --at "${name_box[0]},${name_box[1]}" --expect '雪夜'
click_at "${path_button[@]}"
wait_for has_window '打开' || fail "the path button showed no open dialog"
dialog=$(window_named '打开')
type_text --window '打开' '来信.kkjx'
type_text --window '打开' --expect '来信.kkjx'
screenshot panels-open-dialog
eval "$(xdotool getwindowgeometry --shell "$dialog")"
xdotool mousemove "$((X + WIDTH - 52))" "$((Y + HEIGHT - 68))" click 1
no_dialog() { ! has_window '打开'; }
wait_for no_dialog || fail "the open dialog stayed"
click_at "${decrypt_button[@]}"
close_box '解密系统提示:' decrypted
click_at 200 200
type_text --window "$main_title" --expect "${letter//$'\r\n'/'{Enter}'}"
screenshot panels-decrypted

# The return button, drawn over the see-through part of the window, takes the click: the menu
# labels of the top line come back.
click_at "${return_button[@]}"
top_line_shown() {
    import -window root "$work/poll.png"
    [ "$(count_colour "$work/poll.png" "$main_x" "$((main_y + 19))" 300 16 0000FF)" -gt 50 ]
}
wait_for top_line_shown || fail "a click on the return button did not bring the menu labels back"

# Esc hides both windows to the tray; a click on the icon brings them back. Without a window
# manager minimised Wine windows stay drawn, so Wine is asked.
hotkey Escape
window_state minimised "$main_title" || fail "Esc left the main window shown"
window_state minimised "$backdrop_title" || fail "Esc left the backdrop window shown"
wait_for has_window 'Wine System Tray' || fail "Esc showed no tray icon"
screenshot panels-hidden
tray=$(window_named 'Wine System Tray')
eval "$(xdotool getwindowgeometry --shell "$tray")"
# The first icon stands at the tray's left end.
xdotool mousemove "$((X + 10))" "$((Y + 10))" click 1
window_state normal "$main_title" || fail "the tray click left the main window minimised"
window_state normal "$backdrop_title" || fail "the tray click left the backdrop window minimised"
tray_gone() { [ "$(xwininfo -id "$tray" 2>/dev/null | sed -n 's/.*Map State: //p')" != IsViewable ]; }
wait_for tray_gone || fail "the tray icon stayed after the click"

# Alt+T opens the transparency mode with the slider at the stored value (60 without one) and the
# focus on it; each arrow key moves it one step and "透明背景" follows at once, the mode staying
# open, and the backdrop takes the value as its alpha.
hotkey alt+t
window_state focus "$main_title" msctls_trackbar32 || fail "Alt+T gave the slider no focus"
xdotool key Down
expect_config 透明背景 61 "after Down"
xdotool key Up Up
expect_config 透明背景 59 "after two Ups"
window_state alpha "$backdrop_title" 59 || fail "the backdrop's alpha is not 59"
screenshot panels-transparency
hotkey alt+t

# The font dialog, confirmed: 宋体 20 points struck out, stored at once.
hotkey alt+u
wait_for has_window '字体' || fail "Alt+U showed no font dialog"
fonts=$(window_named '字体')
type_text --window '字体' --check '宋体'
# Tab goes on to the style box, then to the size box, selecting its text.
xdotool key Tab Tab
type_text --window '字体' --at 272,29 '20'
type_text --window '字体' --at 272,29 --expect '20'
xdotool mousemove --window "$fonts" 22 213 click 1  # strike-out
screenshot panels-font-dialog
xdotool mousemove --window "$fonts" 363 25 click 1  # OK
expect_config 字体删线 真 "after the font dialog"
expect_config 字体名称 宋体 "after the font dialog"
expect_config 字体大小 20 "after the font dialog"
expect_config 字体加粗 假 "after the font dialog"

# The colour palette drops under the hidden picker (273, 35, 30 high); its red swatch is picked.
hotkey alt+y
red_swatch=(286 114)
palette_shown() {
    import -window root "$work/poll.png"
    [ "$(count_colour "$work/poll.png" "$((main_x + red_swatch[0] - 3))" "$((main_y + red_swatch[1] - 3))" 7 7 FF0000)" -gt 40 ]
}
wait_for palette_shown || fail "Alt+Y showed no palette"
click_at "${red_swatch[@]}"
expect_config 文本颜色 255 "after the palette"
wait_for editor_shows FF0000 || fail "the editor's text did not turn red"
screenshot panels-red

# A second start in the same prefix finds the look again: red text, the backdrop's alpha.
kill -9 "$program_pid"
main_gone() { ! has_window "$main_title"; }
wait_for main_gone || fail "the killed program's window stayed"
start_main_window
window_state alpha "$backdrop_title" 59 || fail "the second start did not give the backdrop alpha 59"
xdotool windowfocus --sync "$main"
click_at 200 200
type_text --window "$main_title" --check '再次打开'
wait_for editor_shows FF0000 || fail "the second start does not show red text"
screenshot panels-restarted

# Restore defaults: the stored look and the screen go back to the defaults.
hotkey alt+i
expect_config 文本颜色 16711824 "after restore defaults"
expect_config 字体名称 宋体 "after restore defaults"
expect_config 字体大小 18 "after restore defaults"
expect_config 字体加粗 假 "after restore defaults"
expect_config 字体删线 假 "after restore defaults"
expect_config 透明背景 60 "after restore defaults"
window_state alpha "$backdrop_title" 60 || fail "restore defaults did not give the backdrop alpha 60"
wait_for editor_shows 9000FF || fail "restore defaults left the editor's text colour"
screenshot panels-restored

echo "panels: ok"
