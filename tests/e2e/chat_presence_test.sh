#!/usr/bin/env bash
# Presence under Wine: with the server's IP-lookup page reachable, the program broadcasts "Z^XZ" +
# its address text every 15 s on the deployment's chat port (loopback broadcast here). A small
# stand-in server gives the IP-lookup page; a listener here collects the datagrams.
source "$(dirname "$0")/e2e_lib.sh"

chat_port=$(python3 -c 'import socket; s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("", 0)); print(s.getsockname()[1])')
http_port=$(free_port)
"$repo/scripts/write-deployment" "$program_dir" 'c:\ymtrop' "$http_port"
sed -i "s/^broadcast_port=.*\r\$/broadcast_port=$chat_port\r/" "$program_dir/deployment.ini"
grep -q "^broadcast_address=127.255.255.255" "$program_dir/deployment.ini" || fail "the deployment does not broadcast on loopback"

# The IP-lookup page in the form the program cuts its address text from; every other page empty.
python3 - "$http_port" <<'PY' &
import http.server, sys
class Pages(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        body = "<html>[127.0.0.1] 来自：本机</center></html>".encode("gbk") if self.path.startswith("/ip") else b""
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
    def log_message(self, *args):
        pass
http.server.HTTPServer(("127.0.0.1", int(sys.argv[1])), Pages).serve_forever()
PY
started_pids+=("$!")

# The listener keeps the first two presence datagrams it hears.
heard="$work/presence"
mkdir -p "$heard"
python3 - "$chat_port" "$heard" <<'PY' &
import os, socket, sys
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind(("", int(sys.argv[1])))
count = 0
while count < 2:
    data = s.recv(65535)
    if data.startswith(b"Z^XZ"):
        count += 1
        open(os.path.join(sys.argv[2], "part"), "wb").write(data)
        os.rename(os.path.join(sys.argv[2], "part"), os.path.join(sys.argv[2], str(count)))
PY
started_pids+=("$!")

start_main_window
wait_seconds=60 wait_for test -f "$heard/1" || fail "no presence datagram within a minute"
expected="$work/expected.bin"
{ printf 'Z^XZ'; printf '127.0.0.1] 来自：本机' | iconv -f UTF-8 -t GBK; } >"$expected"
cmp -s "$expected" "$heard/1" || fail "the presence datagram was $(od -An -c "$heard/1")"
wait_seconds=60 wait_for test -f "$heard/2" || fail "no second presence datagram"
cmp -s "$expected" "$heard/2" || fail "the second presence datagram was $(od -An -c "$heard/2")"
echo "chat presence: ok"
