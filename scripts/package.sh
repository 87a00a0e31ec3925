#!/usr/bin/env bash
# scripts/package.sh [--test] [LINUX_BUILD [WINDOWS_BUILD]]
# Builds the release artefacts from the two release build folders (default
# build/release-linux and build/release-windows, configured from the presets
# release-linux and release-windows if needed; see cmake/release.cmake):
#   LINUX_BUILD/packages/linewick_<version>_amd64.deb     (CPack)
#   WINDOWS_BUILD/Linewick-Setup-<version>.exe, update.json (makensis)
# The installer is signed when LINEWICK_SIGN_CERT and LINEWICK_SIGN_KEY name
# a certificate and key (packaging/windows/sign.sh).
# --test: sign with a throw-away certificate made here, then check that both
# are release builds, the .deb (lintian included), the installer, its update
# document and signature, and the installer under Wine (install, demo mode,
# update over the running program, uninstall; its helper comes from the
# Windows test build, build/windows).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
test=0
if [[ ${1:-} == --test ]]; then
  test=1
  shift
fi
linux=${1:-build/release-linux}
windows=${2:-build/release-windows}
windows_tests=build/windows
jobs=$(nproc)
step() { printf '\n=== %s ===\n' "$*"; }

configure() {
  local preset=$1 dir=$2
  [[ -f $dir/CMakeCache.txt ]] || cmake --preset "$preset" -B "$dir" >/dev/null
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ((test)); then
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Quorvane Co., Ltd./O=Quorvane Co., Ltd." \
    -addext "extendedKeyUsage=codeSigning" -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
  export LINEWICK_SIGN_CERT=$work/cert.pem LINEWICK_SIGN_KEY=$work/key.pem
fi

step "package: linux (.deb)"
configure release-linux "$linux"
cmake --build "$linux" -j "$jobs" --target linewick program_icons package_docs
rm -f "$linux"/packages/linewick_*.deb
(cd "$linux" && cpack -G DEB >/dev/null)
deb=$(compgen -G "$linux/packages/linewick_*.deb")
echo "package: $deb"

step "package: windows (installer)"
configure release-windows "$windows"
cmake --build "$windows" -j "$jobs" --target installer
version=$(sed -n 's/.*kProgramVersion = "\(.*\)";/\1/p' src/update/version.h)
setup=$windows/Linewick-Setup-$version.exe

((test)) || exit 0

configure windows "$windows_tests"
cmake --build "$windows_tests" -j "$jobs" --target post_message

step "package: checks"
passed=0 failed=0
check() {
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
}
check tests/packaging/release_build_test.sh "$linux" "$windows"
check tests/packaging/deb_test.sh "$deb"
check tests/packaging/release_test.sh "$setup" "$windows/update.json" "$version" "$LINEWICK_SIGN_CERT"
check env WINEPREFIX="$(realpath "$windows")/wineprefix-installer" \
  xvfb-run -a -s "-screen 0 1280x800x24" \
  tests/packaging/installer_test_win32.sh "$setup" "$windows_tests/tests/tools/post_message.exe" "$LINEWICK_SIGN_CERT"
echo "packaging: $passed passed, $failed failed"
((failed == 0))
