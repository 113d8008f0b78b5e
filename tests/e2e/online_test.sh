#!/usr/bin/env bash
# A writer's online round under Wine against yanzhou-server: publishing a work from the showcase
# panel (Alt+W) stores the pen name and puts the work on the server; a click on the ticker then
# records the visit under that pen name at another writer's work; the feedback window sends a
# suggestion that the server keeps.
source "$(dirname "$0")/e2e_lib.sh"

source "$(dirname "$0")/server_lib.sh"

# Another writer's work, on the server before the program's ticker fetches the list.
their_link="$server/works/moon"
publish_with_curl '青灯' '月下书' '有访必回' "$their_link"

# No pen name yet; this month's tutorial visit already made.
config="$program_dir/砚舟文匣配置文件"
printf '[功能配置]\r\nwikyxqq=%d\r\n' "$(date +%-m)" | iconv -f UTF-8 -t GBK >"$config"
stored_pen_name() {
    iconv -f GBK -t UTF-8 "$config" | tr -d '\r' | sed -n 's/^cnhy=//p'
}

click_at() {
    xdotool mousemove --window "$main" "$1" "$2" click 1
}
# click_on_colour X Y W H HEX: clicks the first pixel of that colour in the rectangle of the main
# window. The main window is see-through where it is white, and so are clicks there: a label or a
# text-only button takes a click only on its letters.
click_on_colour() {
    import -window root "$work/click.png"
    local at
    at=$(convert "$work/click.png" -crop "$3x$4+$((main_x + $1))+$((main_y + $2))" +repage txt:- |
        grep -i -m1 "#$5" | cut -d: -f1) || true
    [ -n "$at" ] || fail "no #$5 pixel at $1,$2 $3x$4 to click"
    click_at "$(($1 + ${at%,*}))" "$(($2 + ${at#*,}))"
}

# A message box with this caption appears; Return closes it.
close_box() {
    wait_for has_window "$1" || fail "no box captioned $1"
    screenshot "online-box-$2"
    xdotool windowactivate --sync "$(window_named "$1")" key --clearmodifiers Return 2>/dev/null || xdotool key Return
    no_box() { ! has_window "$1"; }
    wait_for no_box "$1" || fail "the box captioned $1 stayed"
}

start_main_window
# The ticker fetches its list once, at its first tick: it holds the other writer's work alone.
wait_for_ticker_work
xdotool windowfocus --sync "$main"

# Alt+W slides the panel in; the focus comes to the work-name box, which ends at the window's
# middle + 10; the three left boxes end at 70, the publish button at 368, level with the motto.
pen_name='雪庐'
work_name='雪夜行'
motto='互助双赢有访必回'
my_link="$server/works/snow"
xdotool key alt+w
type_text --window "$main_title" --at 260,70 --check "$work_name"
click_at 130 85
type_text --window "$main_title" --at 70,70 --check "$pen_name"
click_at 200 171
type_text --window "$main_title" --at 70,156 --check "$motto"
click_at 250 253
type_text --window "$main_title" --at 70,238 --check "$my_link"
screenshot online-panel-filled
click_at 384 172
close_box '恭喜您!!!' published
# The publish closes the panel's fields; the return button ("返回", black) gives the editor and
# the menus back.
click_on_colour 366 306 32 25 000000
labels_back() {
    import -window root "$work/labels.png"
    [ "$(count_colour "$work/labels.png" "$((main_x + 233))" "$main_y" 50 40 0000FF)" -gt 20 ]
}
wait_for labels_back || fail "the return button did not bring the menu labels back"

[ "$(stored_pen_name)" = "$pen_name" ] || fail "the pen name stored is '$(stored_pen_name)'"
showcase=$(curl -s "$server/cxzp.asp" | iconv -f GBK -t UTF-8)
case "$showcase" in
    "$pen_name|$work_name|$motto|$my_link<br>"*) ;;
    *) fail "the showcase does not start with the published work: $showcase" ;;
esac

# A click on the ticker records the visit at the other writer's work under the pen name just
# stored, and opens the work.
click_ticker
visit_recorded() { [ "$(records "$their_link")" = "$pen_name~" ]; }
wait_for visit_recorded || fail "the visit was not recorded: '$(records "$their_link")'"
opened_work() { grep -qx "$their_link" "$opened_urls"; }
wait_for opened_work || fail "the work was not opened: $(cat "$opened_urls")"

# Feedback: the help menu's third entry opens the feedback window.
feedback_title='建议反馈 良言收集'
# The drop-down menu is a window of its own: one more shown window.
shown_windows() { xdotool search --onlyvisible --name '' 2>/dev/null | wc -l; }
windows_before=$(shown_windows)
menu_shown() { [ "$(shown_windows)" -gt "$windows_before" ]; }
xdotool windowfocus --sync "$main"
click_on_colour 233 0 50 40 0000FF
wait_for menu_shown || fail "the help menu did not drop down"
xdotool key Down Down Down Return
feedback_open() { has_window "$feedback_title"; }
wait_for feedback_open || fail "the help menu opened no feedback window"
feedback=$(window_named "$feedback_title")
nickname='读者甲'
message='希望能加一个按章节统计字数的功能。'
xdotool mousemove --window "$feedback" 150 30 click 1
type_text --window "$feedback_title" --at 90,18 --check "$nickname"
xdotool mousemove --window "$feedback" 200 130 click 1
type_text --window "$feedback_title" --at 90,66 --check "$message"
xdotool mousemove --window "$feedback" 300 30 click 1
close_box '反馈成功!' feedback
feedback_closed() { ! has_window "$feedback_title"; }
wait_for feedback_closed || fail "the feedback window stayed open"
kept=$("$server_program" --database "$database" list-feedback)
grep -q "$nickname.*$message" <<<"$kept" || fail "the server keeps no such feedback: $kept"
echo "online: ok"
