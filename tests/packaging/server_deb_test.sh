#!/usr/bin/env bash
# The operator's package, checked without installing it on this machine: lintian finds no error;
# systemd accepts the unit and finds it sandboxed; every library the server links comes from a
# package it depends on; the server extracted to a temporary root, started as the unit starts it
# with the options file's settings, answers pages from a temporary database and makes no system
# call the unit's filter refuses.
# Usage: server_deb_test.sh yanzhou-server_<version>_<arch>.deb
set -euo pipefail
deb=$(realpath "$1")
work=$(mktemp -d)
strace_pid=""
finish() {
    if [ -n "$strace_pid" ]; then
        kill "$(pgrep -P "$strace_pid")" "$strace_pid" 2>/dev/null || true
        wait "$strace_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap finish EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1 ||
    fail "lintian: $(cat "$work/lintian")"
cat "$work/lintian"

root="$work/root"
dpkg-deb -x "$deb" "$root"
unit="$root/lib/systemd/system/yanzhou-server.service"
options="$root/etc/default/yanzhou-server"
server="$root/usr/bin/yanzhou-server"

# systemd looks at the unit within the package's files, beside this machine's own units (the
# targets every service depends on).
verify_root="$work/verify-root"
cp -a "$root" "$verify_root"
cp -rn /lib/systemd/system/. "$verify_root/lib/systemd/system/"
systemd-analyze verify --root="$verify_root" /lib/systemd/system/yanzhou-server.service >"$work/verify" 2>&1 ||
    fail "systemd-analyze verify: $(cat "$work/verify")"
# The exposure systemd finds in a service without any sandbox is 9.6 out of 10; this one is at 1.4
# and must stay under 2.
systemd-analyze security --offline=yes --root="$verify_root" --threshold=20 /lib/systemd/system/yanzhou-server.service \
    >"$work/security" 2>&1 || fail "the unit's sandbox is gone: $(grep '✗' "$work/security")"
tail -n 1 "$work/security"

# Each library the server names is found on this machine in a package that Depends lists.
depends=$(dpkg-deb -f "$deb" Depends)
depended_packages=$(sed -e 's/ *([^)]*)//g' -e 's/ *[,|] */\n/g' <<<"$depends")
for library in $(objdump -p "$server" | awk '$1 == "NEEDED" { print $2 }'); do
    path=$(ldconfig -p | awk -v name="$library" '$1 == name && /x86-64/ && !found { print $NF; found = 1 }')
    owner=$(dpkg -S "$path" 2>/dev/null || dpkg -S "$(realpath "$path")" 2>/dev/null || true)
    owner=${owner%%:*}
    [ -n "$owner" ] || fail "no package holds $library ($path)"
    grep -qxF "$owner" <<<"$depended_packages" || fail "Depends ($depends) lacks $owner, which holds $library"
done

# The unit's command line with the options file's values: every variable it uses is set there.
exec_start=$(sed -n 's/^ExecStart=//p' "$unit")
for name in $(grep -oE '[$][{]?[A-Z_]+[}]?' <<<"$exec_start" | tr -d '{}$'); do
    grep -q "^$name=" "$options" || fail "the unit uses $name, which $options does not set"
done
# Here on loopback, on a free port, with a temporary database (the service's is under /var/lib),
# as an unprivileged user like the service's (SQLite, for one, calls fchown only as root), and
# under strace: every system call it makes must pass the unit's filter.
chmod 755 "$work"
state="$work/state"
mkdir "$state"
chown nobody: "$state"
(
    set -a
    # shellcheck source=/dev/null
    source "$options"
    export YANZHOU_ADDRESS=127.0.0.1 YANZHOU_PORT=0 YANZHOU_DATABASE="$state/server.sqlite" YANZHOU_OPTIONS="--console-port 0"
    setpriv --reuid=nobody --regid=nogroup --clear-groups "$server" --database "$YANZHOU_DATABASE" set-version 9.8 >/dev/null
    eval "exec strace -f -qq -o '$work/trace' -u nobody ${exec_start/\/usr\/bin\/yanzhou-server/$server}"
) >"$work/server.log" 2>&1 &
strace_pid=$!
address=""
for _ in $(seq 300); do
    address=$(sed -n 's/^yanzhou-server ready on \(http:\/\/127\.0\.0\.1:[0-9]*\)$/\1/p' "$work/server.log")
    [ -n "$address" ] && break
    kill -0 "$strace_pid" 2>/dev/null || fail "the server ended: $(cat "$work/server.log")"
    sleep 0.1
done
[ -n "$address" ] || fail "the server did not start: $(cat "$work/server.log")"
answer=$(curl -sf "$address/ybtwzp.asp") || fail "the server did not answer"
[ "$answer" = 9.8 ] || fail "the latest version page answered '$answer'"
curl -sf "$address/cxzp.asp" >/dev/null || fail "the showcase page did not answer"

kill -TERM "$(pgrep -P "$strace_pid")"
wait "$strace_pid" || fail "the server did not stop cleanly: $(cat "$work/server.log")"
strace_pid=""
refused=$(python3 "$(dirname "$0")/syscalls_outside_filter.py" "$unit" "$work/trace")
[ -z "$refused" ] || fail "the unit's system call filter refuses what the server calls: $refused"
echo "server package: ok ($(basename "$deb"))"
