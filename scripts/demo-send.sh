#!/usr/bin/env bash
# Sends one control line to a Linewick running with simulated devices
# (--demo) on Linux, e.g.:
#   scripts/demo-send.sh 30 1        plug device 1 (0-based) in or out
#   scripts/demo-send.sh 31 500 10   repeat the send box every 500 ms, 10 times
#   scripts/demo-send.sh 32 1        framing on (0: off)
# The socket is $XDG_RUNTIME_DIR/linewick/demo.sock, else linewick/demo.sock
# in the temporary folder; LINEWICK_DEMO_SOCKET names another one.
set -euo pipefail
if (($# == 0)); then
  sed -n '2,8s/^# \{0,1\}//p' "${BASH_SOURCE[0]}" >&2
  exit 2
fi
if [[ -n ${LINEWICK_DEMO_SOCKET:-} ]]; then
  sock=$LINEWICK_DEMO_SOCKET
elif [[ ${XDG_RUNTIME_DIR:-} == /* ]]; then
  sock=$XDG_RUNTIME_DIR/linewick/demo.sock
else
  sock=${TMPDIR:-/tmp}/linewick/demo.sock
fi
[[ -S $sock ]] || { echo "demo-send: no socket at $sock (is Linewick running with --demo?)" >&2; exit 1; }
line="$*"
if command -v python3 >/dev/null; then
  python3 -c 'import socket, sys
s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
s.connect(sys.argv[1])
s.sendall((sys.argv[2] + "\n").encode())
s.close()' "$sock" "$line"
elif command -v socat >/dev/null; then
  printf '%s\n' "$line" | socat - "UNIX-CONNECT:$sock"
else
  echo "demo-send: needs python3 or socat" >&2
  exit 1
fi
