#!/usr/bin/env bash
# window_shots_win32.sh LINEWICK_EXE POST_MESSAGE_EXE OUT_DIR
# The real Windows program under Wine on a virtual X display (run it inside
# xvfb-run with a screen of at least 1440 x 960), in English and in Korean:
# a demo device's tab with a command just sent, shown at 900 x 560,
# 1180 x 760 and 1400 x 900 (client area), light and dark. Each state is written to
# OUT_DIR as linewick_win32_WxH_THEME_LANG.png (the client area) for a
# person to look at; the test checks that each was drawn at its size in its
# theme.
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
  echo "window shots: $*" >&2
  for f in "$work"/*.log; do [[ -s $f ]] && { echo "--- $(basename "$f")"; cat "$f"; }; done >&2
  exit 1
}
key='HKCU\Software\Linewick'
theme_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize'
reg() { wine reg "$@" </dev/null 2>>"$work/reg.log"; }
post() { timeout 90 wine "$post_exe" "$@" </dev/null 2>>"$work/post.log"; }
alive() { kill -0 "$app" 2>/dev/null; }
wait_for() {
  local limit=$1
  shift
  for ((i = 0; i < limit * 5; i++)); do
    "$@" && return 0
    sleep 0.2
  done
  return 1
}
wait_exit() {
  wait_for 60 bash -c "! kill -0 $app 2>/dev/null" || fail "the program did not end after close"
  wait "$app"
  app_rc=$?
  app=
}
# Whether a PPM of the client area (8 bits a channel) shows a frame painted
# at its size in the theme: no black corner, the Send button's green 20 in
# from the bottom-right corner, the menu button's bars 28 in from the right
# of the top bar (a stale frame of another size has neither there), and the
# theme's brightness.
painted() {
  python3 - "$@" <<'PY'
import re, sys
path, w, h, theme = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
data = open(path, "rb").read()
head = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
width, height, pixels = int(head.group(1)), int(head.group(2)), data[head.end():]
def px(x, y):
    i = (y * width + x) * 3
    return tuple(pixels[i:i + 3])
def light(x, y):
    return sum(px(x, y)) / 3
corners = [px(2, 2), px(width - 3, 2), px(2, height - 3), px(width - 3, height - 3)]
r, g, b = px(w - 20, h - 29)
green = g > r + 50 and g > b + 30
bars = max(abs(light(w - 28, y) - light(w - 70, y)) for y in range(16, 33))
mean = sum(light(x, y) for y in range(0, height, 8) for x in range(0, width, 8)) / (
    len(range(0, height, 8)) * len(range(0, width, 8)))
ok = (width, height) == (w, h) and (0, 0, 0) not in corners and green and bars > 40 and (
    mean > 150 if theme == "light" else mean < 90)
print("corners", corners, "send", (r, g, b), "bars", round(bars), "brightness", round(mean))
sys.exit(0 if ok else 1)
PY
}

docs=$work/docs
docs_win="Z:${docs//\//\\}"
reg add "$key" /v AutoOpen /t REG_DWORD /d 1 /f >/dev/null || fail "reg add failed"
reg add "$key" /v AutoUpdate /t REG_DWORD /d 0 /f >/dev/null || fail "reg add failed"
shots=0
for lang in en ko; do
  reg add "$key" /v Language /t REG_SZ /d "$lang" /f >/dev/null || fail "reg add failed"
  reg add "$theme_key" /v AppsUseLightTheme /t REG_DWORD /d 1 /f >/dev/null || fail "reg add failed"
  wine "$exe" --demo '!COM7=Demo board' --docs "$docs_win" </dev/null >"$work/app-$lang.log" 2>&1 &
  app=$!
  # Plugged in: the tab opens by itself.
  post --wait 60000 30 0 >/dev/null || fail "no window to post to ($lang)"
  sleep 3
  for theme in light dark; do
    value=1
    [[ $theme == dark ]] && value=0
    reg add "$theme_key" /v AppsUseLightTheme /t REG_DWORD /d $value /f >/dev/null ||
      fail "reg add failed"
    # Sent, not posted: a window still busy starting up counts as hung and
    # refuses it, so it is sent again until the window takes it.
    wait_for 60 post settingchange >/dev/null || fail "sending settingchange failed"
    for size in 900x560 1180x760 1400x900; do
      w=${size%x*} h=${size#*x}
      # A command from the send field first, so the frame at the new size
      # has its Sent line and, soon after, the reply as the newest rows.
      post click 360 -29 >/dev/null || fail "posting the click failed"
      post type '*IDN?' >/dev/null || fail "posting the typed text failed"
      post key return >/dev/null || fail "posting Return failed"
      read -r cw ch cx cy <<<"$(post size "$w" "$h" | tr -d '\r')" || fail "resizing to $size failed"
      [[ "$cw $ch" == "$w $h" ]] || fail "asked for a $size client area, got $cw x $ch"
      # Wait for the frame at the new size in the theme, then keep the
      # client area alone: the program's own drawing.
      shot="$out/linewick_win32_${size}_${theme}_${lang}.png"
      drawn() {
        import -window root -depth 8 "$work/screen.ppm" &&
          convert "$work/screen.ppm" -crop "${w}x${h}+$cx+$cy" +repage -depth 8 "$work/client.ppm" &&
          painted "$work/client.ppm" "$w" "$h" "$theme" >"$work/painted.txt"
      }
      wait_for 30 drawn ||
        fail "not drawn at $size in the $theme theme ($lang): $(cat "$work/painted.txt")"
      alive || fail "the program ended ($lang, $theme, $size)"
      convert "$work/client.ppm" "$shot" || fail "writing $shot failed"
      shots=$((shots + 1))
    done
  done
  post close >/dev/null || fail "posting close failed"
  wait_exit
  [[ $app_rc -eq 0 ]] || fail "the program ended with $app_rc ($lang)"
done
echo "window shots: $shots screenshots in $out"
