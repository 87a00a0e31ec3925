#!/usr/bin/env bash
# window_flow_test_linux.sh LINEWICK OUT_DIR
# The real program on a virtual X display (run it inside xvfb-run), used as
# a person would with xdotool: click the first port, type a command and
# Enter, Ctrl+S, name the file in GTK's save dialog and Enter; the saved
# log must hold the sent line and the device's reply. Screenshots of the
# save dialog and of the window afterwards go to OUT_DIR.
set -uo pipefail
exe=$1 out=$2
mkdir -p "$out"
for tool in xdotool import; do
  command -v "$tool" >/dev/null || { echo "window flow test: $tool is not installed" >&2; exit 1; }
done
[[ -n ${DISPLAY:-} ]] || { echo "window flow test: no DISPLAY (run it inside xvfb-run)" >&2; exit 1; }

work=$(mktemp -d)
app=
cleanup() {
  [[ -n $app ]] && kill -KILL "$app" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "window flow test: $*" >&2
  for f in "$work"/*.log; do [[ -s $f ]] && { echo "--- $(basename "$f")"; cat "$f"; }; done >&2
  import -window root "$out/linewick_linux_flow_failed.png" 2>/dev/null
  exit 1
}
# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
  local limit=$1
  shift
  for ((i = 0; i < limit * 10; i++)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# A private world for the program: its settings, runtime folder, home and
# no session bus, desktop portal or dconf of the machine.
docs=$work/docs
mkdir -p "$work/config" "$work/runtime" "$work/home" "$work/data" "$docs"
chmod 700 "$work/runtime"
# No automatic update check: its worker would be one more thread, and the
# flow has no business with the network.
mkdir -p "$work/config/Linewick"
printf '# Linewick settings\n[Linewick]\nAutoUpdate=dword:0\n' >"$work/config/Linewick/settings.conf"
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY LC_ALL LC_MESSAGES
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime XDG_DATA_HOME=$work/data \
  HOME=$work/home GDK_BACKEND=x11 NO_AT_BRIDGE=1 GTK_USE_PORTAL=0 GSETTINGS_BACKEND=memory \
  LANGUAGE=en LANG=C.UTF-8

"$exe" --demo 'COM3=Arduino Uno=2341:0043:5573932393735151F0C1' --docs "$docs" \
  >"$work/linewick.log" 2>&1 &
app=$!
alive() { kill -0 "$app" 2>/dev/null; }

visible_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
found_window() {
  window=$(visible_window '^Linewick$')
  [[ -n $window ]]
}
wait_for 90 found_window || fail "no Linewick window"
eval "$(xdotool getwindowgeometry --shell "$window")"  # X Y WIDTH HEIGHT
height=$HEIGHT

# Where things are in the window (device pixels at 96 DPI, which Xvfb has):
# the first port row and the send field at the left of the bottom bar.
port_x=140 port_y=119
send_x=360 send_y=$((height - 29))
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }
focus_main() { xdotool windowfocus --sync "$window" 2>/dev/null; }

# The main thread and the readers carry the program's name; GLib's own
# helpers ("gmain", "pool-…", "gdbus") come and go and are not counted.
threads() { cat /proc/"$app"/task/*/comm 2>/dev/null | grep -cx 'linewick'; }
# The tab's port opens with a reader thread of its own, beside the main
# thread. A thread GLib has just started carries the program's name for a
# moment too, so the reader counts once it is seen twice in a row. A click
# that comes while the window is still being mapped can be lost, so it is
# repeated; a second click on an open port only selects its tab.
reader_seen() { (($(threads) >= 2)) && sleep 0.3 && (($(threads) >= 2)); }
opened=
for ((attempt = 0; attempt < 10; attempt++)); do
  focus_main
  click "$port_x" "$port_y"
  if wait_for 3 reader_seen; then opened=1; break; fi
done
[[ -n $opened ]] || fail "clicking the port row opened no port"

click "$send_x" "$send_y"
xdotool type --delay 40 '*IDN?'
xdotool key Return
alive || fail "the program ended after sending"

# Ctrl+S, then the save dialog: a file name and Enter. The reply arrives a
# moment after the send, and nothing is drained while the dialog's own loop
# runs (the application is busy), so a save can come before the reply is in
# the log; then the next drain tick (every 200 ms) is let by and it is saved
# again.
saved=
for attempt in 1 2 3 4 5; do
  ((attempt > 1)) && sleep 0.5
  focus_main
  xdotool key ctrl+s
  find_dialog() {
    dialog=$(visible_window '^Save log$')
    [[ -n $dialog ]]
  }
  wait_for 60 find_dialog || fail "Ctrl+S opened no save dialog"
  [[ $attempt == 1 ]] && import -window root "$out/linewick_linux_save_dialog.png"
  xdotool windowfocus --sync "$dialog" 2>/dev/null
  name="flow-$attempt.txt"
  # The name field has the focus with the suggested name in it.
  xdotool key ctrl+a
  xdotool type --delay 40 "$name"
  xdotool key Return
  file=$docs/$name
  written() { [[ -s $file ]] && grep -q 'COM3' "$file"; }
  wait_for 60 written || fail "no saved log at $file: $(ls -l "$docs")"
  dialog_gone() { [[ -z $(visible_window '^Save log$') ]]; }
  wait_for 30 dialog_gone || fail "the save dialog stayed open"
  if grep -q '→ \*IDN?' "$file" && grep -q 'OK \*IDN?' "$file"; then
    saved=$file
    break
  fi
done
[[ -n $saved ]] || fail "the saved log lacks the sent line or its reply: $(cat "$file")"
# Text with times: the header line, then every line with its date and time.
head -c 3 "$saved" | cmp -s - <(printf '\xef\xbb\xbf') || fail "the saved log has no byte-order mark"
grep -q '^.\{0,3\}# Linewick · COM3 · Arduino Uno · ' "$saved" || fail "no header: $(cat "$saved")"
grep -qE '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9:.]{12}  → \*IDN\?' "$saved" ||
  fail "the sent line is not in the text form: $(cat "$saved")"

import -window root "$out/linewick_linux_flow.png" || fail "screenshot failed"
alive || fail "the program ended"

# The same name typed without its extension: the dialog adds ".txt", and
# that file exists, so the program asks before replacing it. No (Escape)
# brings the dialog back; Escape there cancels; the file is untouched.
before=$(md5sum <"$saved")
focus_main
xdotool key ctrl+s
wait_for 60 find_dialog || fail "Ctrl+S opened no save dialog the second time"
chooser=$dialog
xdotool windowfocus --sync "$chooser" 2>/dev/null
xdotool key ctrl+a
xdotool type --delay 40 "$(basename "$saved" .txt)"
xdotool key Return
find_question() {
  question=$(xdotool search --onlyvisible --name '^Save log$' 2>/dev/null | grep -vx "$chooser" | head -n 1)
  [[ -n $question ]]
}
wait_for 60 find_question || fail "no question before replacing $(basename "$saved")"
import -window root "$out/linewick_linux_replace_question.png"
xdotool windowfocus --sync "$question" 2>/dev/null
xdotool key Escape
chooser_back() { [[ -n $(xdotool search --onlyvisible --name '^Save log$' 2>/dev/null | grep -x "$chooser") ]]; }
wait_for 60 chooser_back || fail "No did not bring the save dialog back"
xdotool windowfocus --sync "$chooser" 2>/dev/null
xdotool key Escape
wait_for 30 dialog_gone || fail "the save dialog stayed open after Escape"
[[ $(md5sum <"$saved") == "$before" ]] || fail "the existing file was replaced after No"
alive || fail "the program ended after the replace question"

# Ctrl+Shift+L lets another program use the port: the reader goes, the tab
# stays. Another program (message 33 on the demo socket) takes the device and
# lets it go again, and the tab has its port back by itself. (Seen taken or
# not, it is back within the minute a port nobody takes is waited for.)
demo() { printf '%s\n' "$1" | socat - "UNIX-CONNECT:$XDG_RUNTIME_DIR/linewick/demo.sock"; }
reader_gone() { (($(threads) < 2)); }
focus_main
xdotool key ctrl+shift+l
wait_for 30 reader_gone || fail "Ctrl+Shift+L did not let go of the port"
demo '33 0' || fail "the demo socket took no message"
sleep 1  # the tab's next looks see the other program
import -window root "$out/linewick_linux_let_go.png"
demo '33 0' || fail "the demo socket took no message"
wait_for 90 reader_seen || fail "the tab did not take its port back"
import -window root "$out/linewick_linux_back.png"
alive || fail "the program ended after letting go"

# The main menu (the button at the right of the top bar) is a real popup:
# Up picks its last item, "About Linewick", which opens a message box.
focus_main
click $((WIDTH - 28)) 24
xdotool key Up Return
find_about() {
  about=$(visible_window '^About Linewick$')
  [[ -n $about ]]
}
wait_for 60 find_about || fail "the main menu did not open the About box"
import -window root "$out/linewick_linux_about.png"
xdotool windowfocus --sync "$about" 2>/dev/null
xdotool key Return
about_gone() { [[ -z $(visible_window '^About Linewick$') ]]; }
wait_for 30 about_gone || fail "the About box stayed open"
alive || fail "the program ended after the About box"

kill -TERM "$app"
stopped() { ! alive; }
wait_for 30 stopped || fail "still running after SIGTERM"
wait "$app"
rc=$?
app=
((rc == 0)) || fail "the program ended with $rc"
echo "window flow test: passed; saved $(basename "$saved"); screenshots in $out"
