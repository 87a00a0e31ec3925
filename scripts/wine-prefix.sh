#!/usr/bin/env bash
# Creates a quiet Wine prefix for the Windows tests: no Mono or Gecko
# dialogs, and the program's fonts mapped to families this machine has.
set -euo pipefail
prefix=${1:?usage: wine-prefix.sh PREFIX}
[[ -f $prefix/.linewick-ready ]] && exit 0
mkdir -p "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
wineboot -i >/dev/null 2>&1 </dev/null || true
cat >"$prefix/linewick-fonts.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Segoe UI"="DejaVu Sans"
"Consolas"="DejaVu Sans Mono"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
wine regedit /S "$prefix/linewick-fonts.reg" >/dev/null 2>&1 </dev/null || true
wineserver -w || true
touch "$prefix/.linewick-ready"
