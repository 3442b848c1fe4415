#!/bin/sh
# The setup program under Wine, silently: it installs the five files and the uninstaller into
# the folder given with /D, the Start menu entry and the uninstall key, and the installed
# velmoractl.exe finds the simulated unit; a second install over the first works; the
# uninstaller, run silently, removes all of it again and leaves the user's data alone.
#
# usage: setup_test.sh WINE VelmoraProSetup.exe dun_fwdl.dll (the built one; WINEPREFIX and the other Wine settings come
# from the environment)
set -eu
wine=$1
setup=$2
built_library=$3

fail() {
  echo "setup_test: $*" >&2
  exit 1
}

"$wine" wineboot --init >/dev/null 2>&1 || fail "wineboot failed"
folder="$WINEPREFIX/drive_c/velmora-setup-test"
rm -rf "$folder"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VelmoraPro'

"$wine" "$setup" /S '/D=C:\velmora-setup-test' || fail "the setup program failed"
for file in VelmoraControl.exe VelmoraProUpdater.exe dun_fwdl.dll velmoractl.exe kwf.exe \
  Uninstall.exe; do
  [ -f "$folder/$file" ] || fail "$file was not installed"
done
cmp -s "$folder/dun_fwdl.dll" "$built_library" ||
  fail "the installed dun_fwdl.dll differs from the built one"
find "$WINEPREFIX/drive_c" -name 'VelmoraControl PRO.lnk' | grep -q . || fail "no Start menu entry"
"$wine" reg query "$key" /v DisplayName 2>/dev/null | grep -q 'Velmora PRO' ||
  fail "no uninstall key"
VELMORA_SIMBUS=inproc "$wine" "$folder/velmoractl.exe" units 2>/dev/null | grep -q "Studio" ||
  fail "the installed velmoractl.exe lists no unit"
echo "setup_test: installed"

# Installed again over itself (an upgrade replaces the files).
"$wine" "$setup" /S '/D=C:\velmora-setup-test' || fail "the second install failed"
[ -f "$folder/VelmoraControl.exe" ] || fail "the second install left no VelmoraControl.exe"
cmp -s "$folder/dun_fwdl.dll" "$built_library" || fail "the second install's dun_fwdl.dll differs"

# A default mix of the user's, in the Windows data folder, outlives the uninstall.
data=$(find "$WINEPREFIX/drive_c/users" -maxdepth 3 -type d -name Roaming 2>/dev/null | head -n 1)
[ -n "$data" ] || fail "no user data folder in the Wine prefix"
printf 'mix' >"$data/VelmoraProDefault.setup-test.vmpro"

"$wine" "$folder/Uninstall.exe" /S '_?=C:\velmora-setup-test' || fail "the uninstaller failed"
# With _?= the uninstaller runs in place and cannot delete itself: that is left to the caller.
rm -f "$folder/Uninstall.exe"
rmdir "$folder" 2>/dev/null || fail "files are left in the folder: $(ls "$folder")"
find "$WINEPREFIX/drive_c" -name 'VelmoraControl PRO.lnk' | grep -q . && fail "the Start menu entry is left"
"$wine" reg query "$key" >/dev/null 2>&1 && fail "the uninstall key is left"
[ -f "$data/VelmoraProDefault.setup-test.vmpro" ] || fail "the uninstall removed the user's mix"
rm -f "$data/VelmoraProDefault.setup-test.vmpro"
echo "setup_test: uninstalled"
