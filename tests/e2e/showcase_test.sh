#!/usr/bin/env bash
# The showcase under Wine against yanzhou-server: a work another writer published with curl
# appears in the ticker within two ticks, and a click on it records the visit of the writer whose
# pen name stands in the configuration file, then "opens" the work (recorded, no browser).
source "$(dirname "$0")/e2e_lib.sh"

server_program="$repo/build/native/server/yanzhou-server"
if [ ! -x "$server_program" ]; then
    (cd "$repo" && cmake --preset native >/dev/null && cmake --build --preset native --target yanzhou-server >/dev/null)
fi
[ -x "$server_program" ] || fail "no $server_program"
server_log="$work/server.log"
"$server_program" --database "$work/server.db" --port 0 >"$server_log" 2>&1 &
started_pids+=($!)
server_ready() { grep -q 'ready on http://127.0.0.1:' "$server_log"; }
wait_for server_ready || fail "the server did not start: $(cat "$server_log")"
port=$(grep -o 'ready on http://127.0.0.1:[0-9]*' "$server_log" | grep -o '[0-9]*$')
server="http://127.0.0.1:$port"
"$repo/scripts/write-deployment" "$program_dir" 'c:\ymtrop' "$port"

# GBK, percent-encoded for curl: the server decodes query values.
gbk_query() { printf '%s' "$1" | iconv -f UTF-8 -t GBK | od -An -tx1 | tr -d ' \n' | sed 's/../%&/g'; }
link="$server/works/moon"
answer=$(curl -s "$server/tjfb.asp?zz=$(gbk_query '青灯')&sm=$(gbk_query '月下书')&fy=$(gbk_query '互助双赢有访必回')&zplj=$link" |
    iconv -f GBK -t UTF-8)
[ "$answer" = '作品发布成功!' ] || fail "the publish with curl was answered: $answer"

# The writer's pen name, and this month's tutorial visit already made.
printf '[功能配置]\r\ncnhy=墨客\r\nwikyxqq=%d\r\n' "$(date +%-m)" | iconv -f UTF-8 -t GBK \
    >"$program_dir/$(printf '砚舟文匣配置文件')"

start_main_window
ticker_x=$main_x
ticker_y=$((main_y + 539))
red_in_ticker() {
    import -window root "$work/ticker.png"
    count_colour "$work/ticker.png" "$ticker_x" "$ticker_y" 453 18 FF0000
}
before=$(red_in_ticker)
# Two ticks of 5 s: the first fetches the list, the second shows the work (about 30 characters
# against the 4 of "播报系统").
ticker_shows_work() { [ "$(red_in_ticker)" -gt $((before * 3 + 100)) ]; }
wait_seconds=40 wait_for ticker_shows_work || fail "the ticker did not show the work ($before red pixels at first)"
screenshot showcase-ticker

records() { curl -s "$server/cxjl.asp?zplj=$link" | iconv -f GBK -t UTF-8; }
[ -z "$(records)" ] || fail "records before the visit: $(records)"
xdotool mousemove "$((ticker_x + 60))" "$((ticker_y + 8))" click 1
visit_recorded() { [ "$(records)" = '墨客~' ]; }
wait_for visit_recorded || fail "the visit was not recorded: '$(records)'"
opened_work() { grep -qx "$link" "$opened_urls"; }
wait_for opened_work || fail "the work was not opened: $(cat "$opened_urls")"
echo "showcase: ok"
