#!/usr/bin/env bash
# app_id_test.sh ID DESKTOP METAINFO: the desktop entry and the AppStream
# metainfo name the one application id, and both pass their validators.
set -uo pipefail
id=$1 desktop=$2 metainfo=$3
failures=0
fail() { echo "app id test: $*" >&2; failures=$((failures + 1)); }

[[ $(basename "$desktop") == "$id.desktop" ]] || fail "the desktop entry is $(basename "$desktop"), not $id.desktop"
wm_class=$(sed -n 's/^StartupWMClass=//p' "$desktop")
[[ $wm_class == "$id" ]] || fail "StartupWMClass is '$wm_class', not $id"
xml_id=$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "$metainfo")
[[ $xml_id == "$id" ]] || fail "the metainfo's id is '$xml_id', not $id"
[[ $(basename "$metainfo") == "$id.metainfo.xml" ]] || fail "the metainfo file is $(basename "$metainfo")"
launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
[[ $launchable == "$id.desktop" ]] || fail "the metainfo launches '$launchable', not $id.desktop"

desktop-file-validate "$desktop" || fail "desktop-file-validate failed"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate failed"

((failures == 0)) && echo "app id test: passed ($id)" || exit 1
