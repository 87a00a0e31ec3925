#!/usr/bin/env bash
# installer_test_win32.sh INSTALLER POST_MESSAGE_EXE [CA_CERT]
# The Windows installer under Wine on a virtual X display (run it inside
# xvfb-run), with the updater's switches: a silent install that starts the
# program, the installed program in demo mode, an update over the running
# program (it waits for it to end, then starts the new one), and the
# uninstaller. With CA_CERT, the installed program and uninstaller must
# carry signatures that verify against it.
set -uo pipefail
setup=$(realpath "$1") post_exe=$(realpath "$2") ca=${3:-}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
prefix=${WINEPREFIX:?WINEPREFIX must name the test prefix}
mkdir -p "$(dirname "$prefix")"
(
  flock 9
  "$root/scripts/wine-prefix.sh" "$prefix"
) 9>"$prefix.lock"
# No menu entries or file associations in the desktop this runs on.
export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

work=$(mktemp -d)
app='' setup_pid=''
cleanup() {
  [[ -n $app ]] && kill "$app" 2>/dev/null
  [[ -n $setup_pid ]] && kill "$setup_pid" 2>/dev/null
  wineserver -k 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "installer test: $*" >&2
  for f in "$work"/*.log; do [[ -s $f ]] && { echo "--- $(basename "$f")"; cat "$f"; }; done >&2
  exit 1
}
wait_for() {
  local limit=$1
  shift
  for ((i = 0; i < limit * 5; i++)); do
    "$@" && return 0
    sleep 0.2
  done
  return 1
}
post() { timeout 90 wine "$post_exe" "$@" </dev/null >>"$work/post.log" 2>&1; }
no_window() {
  timeout 90 wine "$post_exe" 0 </dev/null >/dev/null 2>&1
  [[ $? -eq 2 ]]
}
win_env() { wine cmd /c echo "%$1%" </dev/null 2>/dev/null | tr -d '\r'; }
reg() { wine reg "$@" </dev/null 2>>"$work/reg.log"; }
switches=(/SILENT /SUPPRESSMSGBOXES /NORESTART /UPDATE=1)
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Linewick'
settings_key='HKCU\Software\Linewick'

instdir=$(winepath -u "$(win_env LOCALAPPDATA)\\Programs\\Linewick" 2>/dev/null)
menu=$(winepath -u "$(win_env APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs" 2>/dev/null)
[[ -n $instdir && -n $menu ]] || fail "no user folders in the Wine prefix"
# A clean start: nothing left from an earlier run of this prefix.
rm -rf "$instdir" "$menu/Linewick.lnk"
reg delete "$uninstall_key" /f >/dev/null 2>&1
reg delete "$settings_key" /f >/dev/null 2>&1

# --- first install, silent; /UPDATE=1 starts the program afterwards ---
timeout 180 wine "$setup" "${switches[@]}" </dev/null >"$work/setup1.log" 2>&1 ||
  fail "the silent install failed ($?)"
[[ -f $instdir/linewick.exe ]] || fail "no linewick.exe in $instdir"
[[ -f $instdir/Uninstall.exe ]] || fail "no Uninstall.exe in $instdir"
[[ -f $menu/Linewick.lnk ]] || fail "no Start-menu shortcut in $menu"
entry=$(reg query "$uninstall_key" | tr -d '\r')
for want in "DisplayName    REG_SZ    Linewick" "Publisher    REG_SZ    Quorvane Co., Ltd." \
            "UninstallString    REG_SZ    \"" "DisplayVersion    REG_SZ    "; do
  grep -qF "$want" <<<"$entry" || fail "the installed-apps entry lacks '$want': $entry"
done
post --wait 60000 close || fail "the installer did not start the program"
wait_for 60 no_window || fail "the started program did not close"

if [[ -n $ca ]]; then
  for f in linewick.exe Uninstall.exe; do
    osslsigncode verify -CAfile "$ca" -in "$instdir/$f" >"$work/verify.log" 2>&1 ||
      fail "$f is not signed with the build's certificate"
  done
fi

# --- the installed program in demo mode ---
reg add "$settings_key" /v AutoUpdate /t REG_DWORD /d 0 /f >/dev/null || fail "reg add failed"
wine "$instdir/linewick.exe" --demo 'COM7=Demo board' </dev/null >"$work/app.log" 2>&1 &
app=$!
post --wait 60000 30 0 || fail "the installed program shows no window"
sleep 1
kill -0 "$app" 2>/dev/null || fail "the installed program ended in demo mode"
# Wine shows the window a moment after it is created.
drawn() {
  import -window root "$work/screen.png" 2>/dev/null &&
    (($(identify -format '%k' "$work/screen.png" 2>/dev/null) > 16))
}
wait_for 30 drawn || fail "the installed program draws nothing on the screen"

# --- an update while it runs: the installer waits for it to end ---
wine "$setup" "${switches[@]}" </dev/null >"$work/setup2.log" 2>&1 &
setup_pid=$!
sleep 3
kill -0 "$setup_pid" 2>/dev/null || fail "the update did not wait for the running program"
post close || fail "posting close failed"
wait_for 60 bash -c "! kill -0 $app 2>/dev/null" || fail "the program did not end after close"
wait "$app"
app=
wait_for 120 bash -c "! kill -0 $setup_pid 2>/dev/null" || fail "the update did not finish"
wait "$setup_pid"
rc=$?
setup_pid=
((rc == 0)) || fail "the update ended with $rc"
post --wait 60000 close || fail "the update did not start the new version"
wait_for 60 no_window || fail "the new version did not close"

# --- uninstall: files, shortcut, entry and settings go ---
timeout 120 wine "$instdir/Uninstall.exe" /S </dev/null >"$work/uninstall.log" 2>&1 ||
  fail "the uninstaller failed ($?)"
# The uninstaller runs on from a copy of itself, so wait for its last step.
gone() { [[ ! -e $instdir && ! -e $menu/Linewick.lnk ]] && ! reg query "$uninstall_key" >/dev/null 2>&1; }
wait_for 60 gone || fail "the uninstaller left $(ls -A "$instdir" "$menu/Linewick.lnk" 2>&1) $(reg query "$uninstall_key" 2>&1)"
reg query "$settings_key" >/dev/null 2>&1 && fail "the settings are still there"
echo "installer test: passed"
