#!/usr/bin/env bash
# Creates a quiet Wine prefix for the Windows tests: no Mono or Gecko
# dialogs, and the program's fonts mapped to families this machine has.
# Every prefix is a copy of one template whose large files (the DLLs, only
# ever read) are hard links, so six prefixes take the disk of little more
# than one; small files, the registry among them, are real copies.
set -euo pipefail
prefix=${1:?usage: wine-prefix.sh PREFIX}
[[ -f $prefix/.linewick-ready ]] && exit 0
template=${LINEWICK_WINE_TEMPLATE:-${HOME}/.cache/linewick/wineprefix-template}

make_prefix() {
  local dir=$1
  mkdir -p "$dir"
  export WINEPREFIX=$dir WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
  wineboot -i >/dev/null 2>&1 </dev/null || true
  cat >"$dir/linewick-fonts.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Segoe UI"="DejaVu Sans"
"Consolas"="DejaVu Sans Mono"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
  wine regedit /S "$dir/linewick-fonts.reg" >/dev/null 2>&1 </dev/null || true
  wineserver -w || true
  touch "$dir/.linewick-ready"
}

if [[ $prefix -ef $template ]]; then
  make_prefix "$prefix"
  exit 0
fi
mkdir -p "$(dirname "$template")"
(
  flock 8
  [[ -f $template/.linewick-ready ]] || make_prefix "$template"
) 8>"$template.lock"
rm -rf "$prefix"
mkdir -p "$prefix"
cp -al "$template/." "$prefix/"
rm -f "$prefix/.linewick-ready"
find "$prefix" -type f -links +1 ! -path '*/windows/system32/*' ! -path '*/windows/syswow64/*' \
  -exec sh -c 'for f; do cp -p "$f" "$f.copy" && mv -f "$f.copy" "$f"; done' sh {} +
touch "$prefix/.linewick-ready"
