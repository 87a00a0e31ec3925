#!/usr/bin/env bash
# build_installer.sh BUILD_DIR VERSION ICON DOWNLOAD_URL LINUX_PAGE
# The `installer` target of a Windows build: stages the stripped program,
# signs it when LINEWICK_SIGN_CERT and LINEWICK_SIGN_KEY are set (sign.sh),
# packs BUILD_DIR/Linewick-Setup-VERSION.exe with makensis (signing its
# uninstaller and itself the same way), then writes BUILD_DIR/update.json
# for the installer as built, with LINUX_PAGE as the Linux download page.
set -euo pipefail
build=${1:?usage: build_installer.sh BUILD_DIR VERSION ICON DOWNLOAD_URL LINUX_PAGE}
version=${2:?} icon=${3:?} url=${4:?} page=${5:?}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

stage=$build/installer/stage
rm -rf "$stage"
cmake --install "$build" --prefix "$stage" --component program --strip >/dev/null

sign=()
if [[ -n ${LINEWICK_SIGN_CERT:-} || -n ${LINEWICK_SIGN_KEY:-} ]]; then
  sign=("-DSIGN=bash \"$here/sign.sh\"")
  bash "$here/sign.sh" "$stage/linewick.exe"
fi

out=$build/Linewick-Setup-$version.exe
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" -DICON="$icon" \
  -DOUTFILE="$out" "${sign[@]}" "$here/linewick.nsi"
((${#sign[@]})) && bash "$here/sign.sh" "$out"

bash "$here/update_document.sh" "$out" "$version" "$url" "$page" >"$build/update.json"
echo "installer: $out"
