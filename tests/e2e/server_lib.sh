# The end-to-end tests that go online: a yanzhou-server of the test's own on a free loopback port,
# the program's deployment file pointing at it, and works published with curl. Sourced after
# e2e_lib.sh.

server_program="$repo/build/native/server/yanzhou-server"
if [ ! -x "$server_program" ]; then
    (cd "$repo" && cmake --preset native >/dev/null && cmake --build --preset native --target yanzhou-server >/dev/null)
fi
[ -x "$server_program" ] || fail "no $server_program"
database="$work/server.db"
server_log="$work/server.log"
"$server_program" --database "$database" --port 0 --console-port 0 >"$server_log" 2>&1 &
started_pids+=($!)
server_ready() { grep -q 'ready on http://127.0.0.1:' "$server_log"; }
wait_for server_ready || fail "the server did not start: $(cat "$server_log")"
port=$(grep -o 'ready on http://127.0.0.1:[0-9]*' "$server_log" | grep -o '[0-9]*$')
server="http://127.0.0.1:$port"
"$repo/scripts/write-deployment" "$program_dir" 'c:\ymtrop' "$port"

# GBK, percent-encoded for curl: the server decodes query values.
gbk_query() { printf '%s' "$1" | iconv -f UTF-8 -t GBK | od -An -tx1 | tr -d ' \n' | sed 's/../%&/g'; }

# publish_with_curl PEN_NAME WORK MOTTO LINK: another writer's work on the server.
publish_with_curl() {
    local answer
    answer=$(curl -s "$server/tjfb.asp?zz=$(gbk_query "$1")&sm=$(gbk_query "$2")&fy=$(gbk_query "$3")&zplj=$4" |
        iconv -f GBK -t UTF-8)
    [ "$answer" = '作品发布成功!' ] || fail "the publish with curl was answered: $answer"
}

# records LINK: the pen names that visited the work, as the server answers them.
records() { curl -s "$server/cxjl.asp?zplj=$1" | iconv -f GBK -t UTF-8; }

# wait_for_ticker_work: right after start_main_window, waits until the ticker shows a work: two
# ticks of 5 s, the first fetching the list, the second showing its first work in red (about 30
# characters against the 4 of "播报系统").
ticker_red_pixels() {
    import -window root "$work/ticker.png"
    count_colour "$work/ticker.png" "$main_x" "$((main_y + 539))" 453 18 FF0000
}
wait_for_ticker_work() {
    local before
    before=$(ticker_red_pixels)
    ticker_shows_work() { [ "$(ticker_red_pixels)" -gt $((before * 3 + 100)) ]; }
    wait_seconds=40 wait_for ticker_shows_work || fail "the ticker shows no work ($before red pixels at first)"
}

# click_ticker: a click on the ticker line's text.
click_ticker() {
    xdotool mousemove "$((main_x + 60))" "$((main_y + 547))" click 1
}
