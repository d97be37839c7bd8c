#!/usr/bin/env bash
# Writes shortcuts with the program's command and platform layer under Wine, then reads them
# with lnkinfo, a parser that shares no code with the shell that wrote them.
# usage: lnkinfo_test.sh WINE_RUN ARCH PREFIX WRITE_SHORTCUT_EXE
set -euo pipefail
wine_run=$1 arch=$2 prefix=$3 writer=$4
desktop=$prefix/home/Desktop
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Versions of lnkinfo differ in how they print a path: 20181227 as it is, 20240423 with each
# backslash doubled. Ask this one how it prints a shortcut made here byte by byte, whose only
# string is the icon location a\b, and read every path the way it prints it.
probe=$(mktemp --suffix=.lnk)
trap 'rm -f "$probe"' EXIT
{
  printf '\x4c\0\0\0\x01\x14\x02\0\0\0\0\0\xc0\0\0\0\0\0\0\x46'  # size, CLSID
  printf '\xc0\0\0\0'                  # flags: an icon location, Unicode strings
  printf '\0%.0s' {1..36}               # attributes, three times, size, icon index
  printf '\x01\0\0\0'                  # show normal
  printf '\0%.0s' {1..12}               # hot key, reserved
  printf '\x03\0a\0\\\0b\0'            # the icon location: 3 UTF-16 units
  printf '\0\0\0\0'                    # no extra data
} >"$probe"
shown=$(lnkinfo "$probe" | sed -n 's/^\tIcon location\t*: //p')
case $shown in
  'a\b' | 'a\\b') backslash=${shown:1:${#shown}-2} ;;
  *) echo "lnkinfo shows the icon location a\\b as '$shown'; its paths cannot be read"; exit 1 ;;
esac

# check SITE URL ICON FILE TARGET ICON_LOCATION ('' = none)
check() {
  local site=$1 url=$2 icon=$3 file=$4 target=${5//\\/"$backslash"} location=${6//\\/"$backslash"} info
  rm -f "$desktop/$file"
  local status=0
  "$wine_run" --own-display "$arch" "$prefix" "$writer" "$site" "$url" "$icon" || status=$?
  [ "$status" != 77 ] || exit 77  # this machine cannot run the build: skipped, and said why
  if [ "$status" != 0 ]; then
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
