#!/usr/bin/env bash
# window_test_win32.sh LINEWICK_EXE POST_MESSAGE_EXE OUT_DIR
# The real Windows program under Wine on a virtual X display (run it inside
# xvfb-run): --unregister, then demo mode driven by posted messages 30 and
# 31 and posted input (a click in the send field, typed text, which message
# 31 then sends repeatedly), screenshots into OUT_DIR, closing (the placement is stored) and a
# second start on the machine's ports with that placement, dark, then
# following the theme back to light; a third start replaying a recording.
set -uo pipefail
exe=$1 post_exe=$2 out=$3
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
prefix=${WINEPREFIX:?WINEPREFIX must name the test prefix}
mkdir -p "$(dirname "$prefix")" "$out"
(
  flock 9
  "$root/scripts/wine-prefix.sh" "$prefix"
) 9>"$prefix.lock"
export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="

work=$(mktemp -d)
app=
cleanup() {
  [[ -n $app ]] && kill "$app" 2>/dev/null
  wineserver -k 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "window test: $*" >&2
  for f in "$work"/*.log; do [[ -s $f ]] && { echo "--- $(basename "$f")"; cat "$f"; }; done >&2
  exit 1
}
key='HKCU\Software\Linewick'
reg() { wine reg "$@" </dev/null 2>>"$work/reg.log"; }
post() { timeout 90 wine "$post_exe" "$@" </dev/null >>"$work/post.log" 2>&1; }
alive() { kill -0 "$app" 2>/dev/null; }
# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
  local limit=$1
  shift
  for ((i = 0; i < limit * 5; i++)); do
    "$@" && return 0
    sleep 0.2
  done
  return 1
}
# Waits for the program to end by itself; its exit code in $app_rc.
wait_exit() {
  wait_for 60 bash -c "! kill -0 $app 2>/dev/null" || fail "the program did not end after close"
  wait "$app"
  app_rc=$?
  app=
}
disconnect_file() { compgen -G "$docs/*-disconnected.txt" >/dev/null; }
# A PPM of the screen for the checks, then a PNG for people to look at (so
# the PNG never shows an older state than the one checked).
# (import writes 16 bits a channel unless told otherwise.)
shot() { import -window root -depth 8 "$work/screen.ppm" && import -window root "$1"; }
# Takes a screenshot; succeeds when something is drawn, its box in $work/box.
drawn_screen() { shot "$1" && drawn_box >"$work/box"; }
# Left, top, right (exclusive) and bottom of what is not the black root,
# then its mean brightness.
drawn_box() {
  python3 - "$work/screen.ppm" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
# P6 header: magic, width, height, maxval, each followed by white space.
parts = data.split(maxsplit=4)
width, height, pixels = int(parts[1]), int(parts[2]), parts[4]
xs, ys = [], []
for y in range(height):
    row = pixels[y * width * 3:(y + 1) * width * 3]
    lit = [x for x in range(width) if row[3 * x:3 * x + 3] != b"\0\0\0"]
    if lit:
        xs += (lit[0], lit[-1])
        ys.append(y)
if not ys:
    sys.exit(1)
left, top, right, bottom = min(xs), min(ys), max(xs) + 1, max(ys) + 1
# Mean brightness of the drawn part, 0 to 255, sampled.
samples = [pixels[(y * width + x) * 3 + c] for y in range(top, bottom, 4)
           for x in range(left, right, 4) for c in range(3)]
print(left, top, right, bottom, sum(samples) // len(samples))
PY
}

# --- --unregister forgets the settings and ends without a window ---
reg add "$key" /v AutoOpen /t REG_DWORD /d 1 /f >/dev/null || fail "reg add failed"
timeout 90 wine "$exe" --unregister </dev/null >"$work/unregister.log" 2>&1 ||
  fail "--unregister did not end cleanly"
reg query "$key" >/dev/null 2>&1 && fail "the settings are still there after --unregister"

# --- demo mode: a device plugged in by message 30 opens by itself ---
reg add "$key" /v AutoOpen /t REG_DWORD /d 1 /f >/dev/null || fail "reg add failed"
reg add "$key" /v Language /t REG_SZ /d en /f >/dev/null || fail "reg add failed"
theme_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize'
reg add "$theme_key" /v AppsUseLightTheme /t REG_DWORD /d 1 /f >/dev/null || fail "reg add failed"
docs=$work/docs
docs_win="Z:${docs//\//\\}"
wine "$exe" --demo '!COM7=Demo board' --docs "$docs_win" </dev/null >"$work/app.log" 2>&1 &
app=$!
post --wait 60000 30 0 || fail "no window to post to"

# Wine shows the window a moment after it is created.
wait_for 30 drawn_screen "$work/first.png" || fail "the screen shows no drawn window"
first_box=$(<"$work/box")
# The tab opens 300 ms after the toggle and the device's readings keep
# coming, so what is shown keeps changing once it is open.
first_sum=$(md5sum <"$work/screen.ppm")
changed() { shot "$work/changed.png" && [[ $(md5sum <"$work/screen.ppm") != "$first_sum" ]]; }
wait_for 30 changed || fail "the window never shows anything new"
sleep 1  # a busy machine may draw the window before the tab is in it

# A command in the send field (clicked at the left of the bottom bar), then
# message 31 sends it three times, 500 ms apart; the device answers each.
post click 360 -29 || fail "posting the click failed"
post type '*IDN?' || fail "posting the typed text failed"
post 31 500 3 || fail "posting 31 failed"
sleep 2  # the three sends and their replies
alive || fail "the program ended after messages 30 and 31"
shot "$out/linewick_window_win32.png" || fail "screenshot failed"
# Without a stored placement the window is centred, 82 % of the screen high
# (the client area lies inside that, under the title bar).
read -r left top right bottom light <<<"$first_box"
((left == 1280 - right && bottom - top > 656 - 60 && bottom - top <= 656)) ||
  fail "the window is not centred at the default size: $first_box"
((light > 180)) || fail "the light theme is not light: $first_box"

# Unplugging it: the disconnect saves what the tab had received.
post 30 0 || fail "posting 30 failed"
wait_for 30 disconnect_file || fail "no disconnect file in the --docs folder"
file=$(compgen -G "$docs/*-disconnected.txt" | head -n 1)
grep -q "Arduino ready" "$file" || fail "the disconnect file lacks the banner: $(cat "$file")"
grep -q "T=.*H=.*n=" "$file" || fail "the disconnect file lacks readings: $(cat "$file")"
# The log rows it holds: the repeated command as Sent lines, and the replies.
sent=$(grep -c '→ \*IDN?' "$file")
((sent >= 2)) || fail "the disconnect file has $sent Sent lines of the repeat: $(cat "$file")"
grep -q 'OK \*IDN?' "$file" || fail "the disconnect file lacks the replies: $(cat "$file")"
post 30 0 || fail "posting 30 failed"  # plugged in again: the tab reconnects
sleep 1
alive || fail "the program ended after the reconnect"

post close || fail "posting close failed"
wait_exit
[[ $app_rc -eq 0 ]] || fail "the program ended with $app_rc"
placement=$(reg query "$key" /v Placement | tr -d '\r' | awk '$1 == "Placement" {print $3}')
[[ ${#placement} -eq 88 ]] || fail "no 44-byte Placement after closing: '$placement'"

# --- the machine's ports, the stored placement, the dark theme; 30 is not
# for this mode ---
reg add "$theme_key" /v AppsUseLightTheme /t REG_DWORD /d 0 /f >/dev/null || fail "reg add failed"
wine "$exe" </dev/null >"$work/app2.log" 2>&1 &
app=$!
post --wait 60000 30 0 || fail "no window on the second start"
wait_for 30 drawn_screen "$out/linewick_window_win32_dark.png" ||
  fail "the second start shows no drawn window"
read -r left2 top2 right2 bottom2 dark <<<"$(<"$work/box")"
[[ "$left2 $top2 $right2 $bottom2" == "$left $top $right $bottom" ]] ||
  fail "the stored placement was not restored: $(<"$work/box") instead of $first_box"
((dark < 80)) || fail "the dark theme is not dark: $(<"$work/box")"
# Back to light while running: the window follows at the settings message.
reg add "$theme_key" /v AppsUseLightTheme /t REG_DWORD /d 1 /f >/dev/null || fail "reg add failed"
post settingchange || fail "posting settingchange failed"
is_light() { drawn_screen "$out/linewick_window_win32_light.png" && (($(cut -d' ' -f5 <"$work/box") > 180)); }
wait_for 30 is_light || fail "the window did not follow the light theme: $(<"$work/box")"
alive || fail "the program ended after message 30 outside demo mode"
# The main menu (right of the top bar) is a real popup menu: Up picks its
# last item, "About Linewick", a message box. Messages posted meanwhile find
# the application in use and are dropped.
post click -28 24 || fail "posting the menu click failed"
post key up || fail "posting Up failed"
post key return || fail "posting Return failed"
post --wait 60000 dismiss 'About Linewick' || fail "the main menu did not open the About box"
alive || fail "the program ended after the About box"
post close || fail "posting close failed"
wait_exit
[[ $app_rc -eq 0 ]] || fail "the second run ended with $app_rc"
# --- a board's recording replayed in a tab of its own (--replay) ---
recording="$work/COM3-Arduino Uno-2026-12-06.txt"
python3 - "$recording" <<'PY'
import datetime, math, sys
t0 = datetime.datetime(2026, 12, 6, 22, 0, 0)
out = ["\ufeff"]
for n in range(1, 400):
    t = t0 + datetime.timedelta(milliseconds=200 * n)
    stamp = t.strftime("%Y-%m-%d %H:%M:%S.") + "%03d" % (t.microsecond // 1000)
    out.append("%s  T=%.2fC H=%.1f%% n=%d\r\n"
               % (stamp, 21 + 1.6 * math.sin(0.17 * n), 44 + 3 * math.cos(0.05 * n), n))
open(sys.argv[1], "w", encoding="utf-8", newline="").write("".join(out))
PY
wine "$exe" --replay "Z:${recording//\//\\}" --docs "$docs_win" </dev/null >"$work/app3.log" 2>&1 &
app=$!
post --wait 60000 30 0 || fail "no window with --replay"
wait_for 30 drawn_screen "$work/replay.png" || fail "the replay shows no drawn window"
replay_sum=$(md5sum <"$work/screen.ppm")
replaying() { shot "$work/replay.png" && [[ $(md5sum <"$work/screen.ppm") != "$replay_sum" ]]; }
wait_for 30 replaying || fail "the replay tab never shows anything new"
sleep 3  # a few seconds of the recording
alive || fail "the program ended while replaying"
shot "$out/linewick_window_win32_replay.png" || fail "screenshot failed"
post close || fail "posting close failed"
wait_exit
[[ $app_rc -eq 0 ]] || fail "the replay run ended with $app_rc"

echo "window test: passed; screenshots in $out"
