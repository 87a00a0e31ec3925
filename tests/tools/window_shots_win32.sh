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
# The drawn part of the screen (what is not the black root): its box and
# its mean brightness, from a PPM screenshot.
drawn_box() {
  python3 - "$1" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
parts = data.split(maxsplit=4)
width, height, pixels = int(parts[1]), int(parts[2]), parts[4]
xs, ys = [], []
for y in range(0, height):
    row = pixels[y * width * 3:(y + 1) * width * 3]
    lit = [x for x in range(0, width, 2) if row[3 * x:3 * x + 3] != b"\0\0\0"]
    if lit:
        xs += (lit[0], lit[-1])
        ys.append(y)
if not ys:
    sys.exit(1)
left, top, right, bottom = min(xs), min(ys), max(xs) + 1, max(ys) + 1
samples = [pixels[(y * width + x) * 3 + c] for y in range(top, bottom, 6)
           for x in range(left, right, 6) for c in range(3)]
print(left, top, right, bottom, sum(samples) // len(samples))
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
    post settingchange >/dev/null || fail "posting settingchange failed"
    for size in 900x560 1180x760 1400x900; do
      w=${size%x*} h=${size#*x}
      read -r cw ch cx cy <<<"$(post size "$w" "$h" | tr -d '\r')" || fail "resizing to $size failed"
      [[ "$cw $ch" == "$w $h" ]] || fail "asked for a $size client area, got $cw x $ch"
      # A command from the send field, so its Sent line and the reply are
      # the newest rows.
      post click 360 -29 >/dev/null || fail "posting the click failed"
      post type '*IDN?' >/dev/null || fail "posting the typed text failed"
      post key return >/dev/null || fail "posting Return failed"
      sleep 1.5
      alive || fail "the program ended ($lang, $theme, $size)"
      import -window root "$work/screen.ppm" || fail "screenshot failed"
      # The client area alone: the program's own drawing.
      shot="$out/linewick_win32_${size}_${theme}_${lang}.png"
      convert "$work/screen.ppm" -crop "${w}x${h}+$cx+$cy" +repage "$work/client.ppm" &&
        convert "$work/client.ppm" "$shot" || fail "writing $shot failed"
      read -r left top right bottom light <<<"$(drawn_box "$work/client.ppm")" ||
        fail "nothing drawn ($lang, $theme, $size)"
      ((left <= 2 && top <= 2 && right >= w - 2 && bottom >= h - 2)) ||
        fail "the client area is not all drawn: $left $top $right $bottom ($lang, $theme, $size)"
      if [[ $theme == light ]]; then
        ((light > 150)) || fail "not light: $light ($lang, $size)"
      else
        ((light < 90)) || fail "not dark: $light ($lang, $size)"
      fi
      shots=$((shots + 1))
    done
  done
  post close >/dev/null || fail "posting close failed"
  wait_exit
  [[ $app_rc -eq 0 ]] || fail "the program ended with $app_rc ($lang)"
done
echo "window shots: $shots screenshots in $out"
