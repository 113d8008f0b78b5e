#!/usr/bin/env bash
# The showcase under Wine against yanzhou-server: a work another writer published with curl
# appears in the ticker within two ticks, and a click on it records the visit of the writer whose
# pen name stands in the configuration file, then "opens" the work (recorded, no browser).
source "$(dirname "$0")/e2e_lib.sh"

source "$(dirname "$0")/server_lib.sh"

link="$server/works/moon"
publish_with_curl '青灯' '月下书' '互助双赢有访必回' "$link"

# The writer's pen name, and this month's tutorial visit already made.
printf '[功能配置]\r\ncnhy=墨客\r\nwikyxqq=%d\r\n' "$(date +%-m)" | iconv -f UTF-8 -t GBK \
    >"$program_dir/$(printf '砚舟文匣配置文件')"

start_main_window
wait_for_ticker_work
screenshot showcase-ticker

[ -z "$(records "$link")" ] || fail "records before the visit: $(records "$link")"
click_ticker
visit_recorded() { [ "$(records "$link")" = '墨客~' ]; }
wait_for visit_recorded || fail "the visit was not recorded: '$(records "$link")'"
opened_work() { grep -qx "$link" "$opened_urls"; }
wait_for opened_work || fail "the work was not opened: $(cat "$opened_urls")"
echo "showcase: ok"
