#!/usr/bin/env bash
# deb_test.sh DEB: the Linux package's contents and metadata, lintian with
# no error and no warning, its desktop file and AppStream metainfo through
# their validators, the release date, the packaged program run from an
# unpacked copy, and apt resolving its dependencies.
set -uo pipefail
deb=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "deb test: $*" >&2; failures=$((failures + 1)); }

info=$(dpkg-deb -I "$deb") || { echo "deb test: $deb is not a package" >&2; exit 1; }
field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == linewick ]] || fail "package name is '$(field Package)'"
[[ $deb == */linewick_$(field Version)_$(field Architecture).deb ]] || fail "file name $deb"
depends=" $(field Depends),"
depends_on() { [[ $depends == *" $1 "* || $depends == *" $1,"* ]]; }
for pkg in libc6 libstdc++6 libgtk-3-0 libcairo2 libudev1; do
  depends_on "$pkg" || fail "no dependency on $pkg:$depends"
done
grep -q "dialout" <<<"$info" || fail "the description says nothing about the dialout group"

# Debian's own checks: any error or warning fails, and so does a missing
# hardening feature, which this lintian reports only as information.
if command -v lintian >/dev/null; then
  lintian --fail-on error,warning --display-info --tag-display-limit 0 "$deb" \
    >"$work/lintian.log" 2>&1 || fail "lintian: $(cat "$work/lintian.log")"
  grep ': hardening-' "$work/lintian.log" && fail "lintian: the binary lacks hardening"
else
  fail "lintian is not installed (scripts/setup.sh installs it)"
fi

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for want in ./usr/bin/linewick ./usr/share/applications/com.quorvane.linewick.desktop \
            ./usr/share/doc/linewick/copyright ./usr/share/doc/linewick/changelog.gz \
            ./usr/share/man/man1/linewick.1.gz \
            ./usr/share/metainfo/com.quorvane.linewick.metainfo.xml \
            ./usr/share/icons/hicolor/16x16/apps/linewick.png \
            ./usr/share/icons/hicolor/48x48/apps/linewick.png \
            ./usr/share/icons/hicolor/256x256/apps/linewick.png; do
  grep -qxF "$want" <<<"$contents" || fail "the package lacks $want"
done
grep -v -e '^\./usr/' -e '^\./$' <<<"$contents" | grep -q . &&
  fail "files outside /usr: $(grep -v -e '^\./usr/' -e '^\./$' <<<"$contents")"

dpkg-deb -x "$deb" "$work/root" || { echo "deb test: cannot unpack" >&2; exit 1; }
file "$work/root/usr/bin/linewick" | grep -q "not stripped" && fail "the binary is not stripped"
# Every library the binary links comes from a package it depends on.
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
for soname in $(readelf -d "$work/root/usr/bin/linewick" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
  pkg=$(dpkg-query -S "*/$multiarch/$soname" 2>/dev/null | head -n 1 | cut -d: -f1)
  [[ -n $pkg ]] || { fail "no package holds $soname"; continue; }
  depends_on "$pkg" || fail "links $soname from $pkg, which it does not depend on:$depends"
done
desktop-file-validate "$work/root/usr/share/applications/com.quorvane.linewick.desktop" ||
  fail "desktop-file-validate failed"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/com.quorvane.linewick.metainfo.xml" ||
  fail "appstreamcli validate failed"
grep -q '^Icon=linewick$' "$work/root/usr/share/applications/com.quorvane.linewick.desktop" ||
  fail "the desktop file names another icon"
# The metainfo's release is the changelog's newest entry, date included,
# whatever day the package was built.
changelog_date=$(gzip -dc "$work/root/usr/share/doc/linewick/changelog.gz" |
  sed -n 's/^ -- .*>  \(.*\)$/\1/p' | head -n 1)
# "Thu, 10 Dec 2026 12:00:00 +0000": the date as written, in any zone.
want_date=$(date -d "$(awk '{print $2, $3, $4}' <<<"$changelog_date")" +%Y-%m-%d 2>/dev/null)
grep -q "<release version=\"$(field Version)\" date=\"$want_date\"/>" \
  "$work/root/usr/share/metainfo/com.quorvane.linewick.metainfo.xml" ||
  fail "the metainfo's release is not $(field Version) of $want_date (the changelog's)"

# The packaged binary with this system's libraries: --unregister opens no
# window and ends cleanly.
mkdir -p "$work/home"
HOME=$work/home XDG_CONFIG_HOME=$work/home/.config DISPLAY='' WAYLAND_DISPLAY='' \
  timeout 60 "$work/root/usr/bin/linewick" --unregister >"$work/run.log" 2>&1 ||
  fail "linewick --unregister failed ($?): $(cat "$work/run.log")"

# Every dependency resolves (a dry run; nothing is installed).
if command -v apt-get >/dev/null; then
  apt-get install -s -qq "$deb" >"$work/apt.log" 2>&1 ||
    fail "apt-get cannot resolve the dependencies: $(cat "$work/apt.log")"
fi

((failures == 0)) && echo "deb test: passed" || exit 1
