#!/usr/bin/env bash
# The Windows program's HttpReadFile (WinINet under Wine) against the real yanzhou-server of the
# native build, on a free loopback port and a fresh database.
# Usage: fetch_from_server.sh <yz_tests.exe> <source dir>   (WINEPREFIX set by the caller)
set -euo pipefail
tests=$1
repo=$2

server="$repo/build/native/server/yanzhou-server"
if [ ! -x "$server" ]; then
    (cd "$repo" && cmake --preset native >/dev/null && cmake --build --preset native --target yanzhou-server >/dev/null)
fi

work=$(mktemp -d)
server_pid=""
finish() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
    [ -n "$server_pid" ] && wait "$server_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT

"$server" --port 0 --console-port 0 --database "$work/server.sqlite" >"$work/server.out" 2>&1 &
server_pid=$!
address=""
for _ in $(seq 200); do
    address=$(sed -n 's/^yanzhou-server ready on \(http:\/\/127\.0\.0\.1:[0-9]*\)$/\1/p' "$work/server.out")
    [ -n "$address" ] && break
    kill -0 "$server_pid" 2>/dev/null || break
    sleep 0.05
done
if [ -z "$address" ]; then
    echo "yanzhou-server did not start:" >&2
    cat "$work/server.out" >&2
    exit 1
fi

# shellcheck source=scripts/wine-env
source "$repo/scripts/wine-env"
trap 'finish; "$WINESERVER" -k 2>/dev/null || true' EXIT
export YZ_LIVE_SERVER="$address"
"$WINE" "$tests" --gtest_filter='LiveServerFetchTest.*' | tee "$work/tests.out"
# A skipped case would pass without asking the server.
if grep -q SKIPPED "$work/tests.out" || ! grep -q '\[  PASSED  \] 1 test' "$work/tests.out"; then
    echo "the live-server case did not run" >&2
    exit 1
fi
