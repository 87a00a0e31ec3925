#!/usr/bin/env bash
# window_replay_test_linux.sh LINEWICK OUT_DIR
# The real program on a virtual X display (run it inside xvfb-run): started
# with --replay on a board's recording beside a simulated board, then a file
# sent to the board through the send bar's menu and GTK's open dialog, line
# by line 300 ms apart, and the board unplugged halfway (through the demo
# control socket). Screenshots of the replay tab, of the file being sent and
# of the send cut short go to OUT_DIR; the log saved at the unplug must hold
# the lines sent and the board's replies.
set -uo pipefail
exe=$1 out=$2
mkdir -p "$out"
for tool in xdotool import python3; do
  command -v "$tool" >/dev/null || { echo "window replay test: $tool is not installed" >&2; exit 1; }
done
[[ -n ${DISPLAY:-} ]] || { echo "window replay test: no DISPLAY (run it inside xvfb-run)" >&2; exit 1; }

work=$(mktemp -d)
app=
cleanup() {
  [[ -n $app ]] && kill -KILL "$app" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "window replay test: $*" >&2
  for f in "$work"/*.log; do [[ -s $f ]] && { echo "--- $(basename "$f")"; cat "$f"; }; done >&2
  import -window root "$out/linewick_linux_replay_failed.png" 2>/dev/null
  exit 1
}
wait_for() {
  local limit=$1
  shift
  for ((i = 0; i < limit * 10; i++)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# A private world for the program, as in window_flow_test_linux.sh; files
# go line by line, 300 ms apart, so the send is still under way when the
# screenshot is taken.
docs=$work/docs
mkdir -p "$work/config/Linewick" "$work/runtime" "$work/home" "$work/data" "$docs"
chmod 700 "$work/runtime"
printf '# Linewick settings\n[Linewick]\nAutoUpdate=dword:0\nSendFileLines=dword:1\nSendFilePause=dword:300\n' \
  >"$work/config/Linewick/settings.conf"
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY LC_ALL LC_MESSAGES
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime XDG_DATA_HOME=$work/data \
  HOME=$work/home GDK_BACKEND=x11 NO_AT_BRIDGE=1 GTK_USE_PORTAL=0 GSETTINGS_BACKEND=memory \
  LANGUAGE=en LANG=C.UTF-8

# Last night's recording of a board, with an error in it, and a file of
# commands.
recording="$work/COM3-Arduino Uno-2026-12-06.txt"
python3 - "$recording" <<'PY'
import datetime, math, sys
t0 = datetime.datetime(2026, 12, 6, 22, 0, 0)
out = ["\ufeff# Linewick · COM3 · Arduino Uno · 9600 8N1\r\n"]
for n in range(1, 400):
    t = t0 + datetime.timedelta(milliseconds=200 * n + n % 7)
    stamp = t.strftime("%Y-%m-%d %H:%M:%S.") + "%03d" % (t.microsecond // 1000)
    out.append("%s  T=%.2fC H=%.1f%% n=%d\r\n"
               % (stamp, 21 + 1.6 * math.sin(0.17 * n), 44 + 3 * math.cos(0.05 * n), n))
    if n % 9 == 0:
        out.append("%s  \u2192 MEAS?\r\n" % stamp)
open(sys.argv[1], "w", encoding="utf-8", newline="").write("".join(out))
PY
commands="$work/commands.txt"
for i in $(seq 1 100); do echo "CONF:VOLT $i"; done >"$commands"

"$exe" --demo 'COM3=Arduino Uno=2341:0043:5573932393735151F0C1' --docs "$docs" \
  --replay "$recording" >"$work/linewick.log" 2>&1 &
app=$!
alive() { kill -0 "$app" 2>/dev/null; }
visible_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
found_window() {
  window=$(visible_window '^Linewick$')
  [[ -n $window ]]
}
wait_for 90 found_window || fail "no Linewick window"
eval "$(xdotool getwindowgeometry --shell "$window")"  # X Y WIDTH HEIGHT
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }
focus_main() { xdotool windowfocus --sync "$window" 2>/dev/null; }

# The replay tab opens with the window: a few seconds of last night.
sleep 4
alive || fail "the program ended while replaying"
import -window root "$out/linewick_linux_replay.png" || fail "screenshot failed"

# The simulated board (the first port row) in a tab of its own, then the
# send bar's "Commands" menu: its last item is the sub-menu of how files are
# sent, the one above it "Send a file…"; the pointer leaves the menu first,
# so the keys alone choose. Where things are, in device pixels at 96 DPI:
# the port row, and Commands left of Send in the bottom bar.
focus_main
click 140 119
sleep 2
sent=
for attempt in 1 2 3; do
  focus_main
  click $((WIDTH - 168)) $((HEIGHT - 29))
  sleep 1
  xdotool mousemove 5 5
  sleep 0.3
  xdotool key End Up Return
  find_dialog() {
    dialog=$(visible_window '^Send a file$')
    [[ -n $dialog ]]
  }
  if wait_for 30 find_dialog; then
    sent=1
    break
  fi
  xdotool key Escape
done
[[ -n $sent ]] || fail "the Commands menu opened no open dialog"
# The path typed into the location field; the field completes names as it
# goes, so Return waits for it, and comes again if the first one went to
# the completion.
xdotool windowfocus --sync "$dialog" 2>/dev/null
xdotool key ctrl+l
sleep 0.5
xdotool type --delay 20 "$commands"
dialog_gone() { [[ -z $(visible_window '^Send a file$') ]]; }
for attempt in 1 2 3; do
  sleep 1
  xdotool windowfocus --sync "$dialog" 2>/dev/null
  xdotool key Return
  wait_for 10 dialog_gone && break
done
dialog_gone || fail "the open dialog stayed open"

# A few lines out, most still to go: the progress notice shows.
sleep 3
alive || fail "the program ended while sending"
import -window root "$out/linewick_linux_send_file.png" || fail "screenshot failed"

# The board unplugged with half the file still to go: the send stops and
# says how far it got, and the log saved at the unplug holds the lines sent
# so far with the board's replies.
sleep 3
python3 - "$XDG_RUNTIME_DIR/linewick/demo.sock" <<'PY' || fail "no demo control socket"
import socket, sys
s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
s.connect(sys.argv[1])
s.sendall(b"30 0\n")
s.close()
PY
saved() { compgen -G "$docs/*-disconnected.txt" >/dev/null; }
wait_for 30 saved || fail "no log saved at the unplug: $(ls -l "$docs")"
sleep 0.5
import -window root "$out/linewick_linux_send_file_lost.png" || fail "screenshot failed"
file=$(compgen -G "$docs/*-disconnected.txt" | head -n 1)
text=$(tr -d '\r' <"$file")
grep -q '  → CONF:VOLT 1$' <<<"$text" || fail "the saved log lacks the first line sent: $text"
grep -q '  OK CONF:VOLT 1$' <<<"$text" || fail "the saved log lacks the reply to it: $text"
grep -q 'CONF:VOLT 100$' <<<"$text" && fail "the whole file went out before the unplug: $text"
alive || fail "the program ended after the unplug"

kill -TERM "$app"
stopped() { ! alive; }
wait_for 30 stopped || fail "still running after SIGTERM"
wait "$app"
rc=$?
app=
((rc == 0)) || fail "the program ended with $rc"
echo "window replay test: passed; screenshots in $out"
