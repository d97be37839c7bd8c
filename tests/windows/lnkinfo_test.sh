#!/usr/bin/env bash
# Writes shortcuts with the program's command and platform layer under Wine, then reads them
# with lnkinfo, a parser that shares no code with the shell that wrote them.
# usage: lnkinfo_test.sh WINE_RUN ARCH PREFIX WRITE_SHORTCUT_EXE
set -euo pipefail
wine_run=$1 arch=$2 prefix=$3 writer=$4
desktop=$prefix/home/Desktop
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# check SITE URL ICON FILE TARGET ICON_LOCATION ('' = none)
check() {
  local site=$1 url=$2 icon=$3 file=$4 target=$5 location=$6 info
  rm -f "$desktop/$file"
  if ! "$wine_run" "$arch" "$prefix" "$writer" "$site" "$url" "$icon"; then
    fail "$site: writing failed"; return
  fi
  if [ ! -f "$desktop/$file" ]; then
    fail "$site: $file is not on the desktop: $(ls "$desktop")"; return
  fi
  if ! info=$(lnkinfo "$desktop/$file"); then
    fail "$site: lnkinfo cannot read $file"; return
  fi
  grep -qxF "		Name			: $target" <<<"$info" || fail "$site: target is not '$target':"$'\n'"$info"
  if [ -n "$location" ]; then
    grep -qxF "	Icon location			: $location" <<<"$info" || fail "$site: icon is not '$location':"$'\n'"$info"
  else
    ! grep -q 'Icon location' <<<"$info" || fail "$site: an icon location is set:"$'\n'"$info"
  fi
  rm -f "$desktop/$file"
  echo "ok: $file"
}

check 'Lnkinfo Icon' 'Portal/News' 'C:\Icons\Globe.ICO' 'lnkinfo icon.lnk' 'http://portal/News' 'c:\icons\globe.ico'
check 'Lnkinfo Plain.LNK' 'HTTPS://Example.COM/A' '' 'lnkinfo plain.lnk' 'https://example.com/A' ''
check 'Lnkinfo Bare' 'x' '.ico' 'lnkinfo bare.lnk' 'http://x' ''
check 'موقع' 'a.b' 'c:\my.icons\a' 'موقع.lnk' 'http://a.b' 'c:\my.icons\a.ico'
check '网站 🌐' 'a.b' '' '网站 🌐.lnk' 'http://a.b' ''

[ "$failures" -eq 0 ] || { echo "$failures failed"; exit 1; }
