#!/usr/bin/env bash
# The writer's installer under Wine, from a fresh prefix: its first page shows; a silent install
# puts the program, the deployment file, the shortcuts and the uninstall entry in place; the program
# starts from the Start-menu shortcut and writes its auto-save; an install or an uninstall while it
# runs is refused; an upgrade replaces the program and keeps the writer's files byte for byte; the
# uninstaller removes what was installed and nothing else, and the folder only once it is empty.
source "$(dirname "$0")/e2e_lib.sh"

# Wine would copy every shortcut into this machine's own menus and point the prefix's desktop at
# the home folder: the test keeps both inside its prefix.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
user_dir="$WINEPREFIX/drive_c/users/root"
rm -f "$user_dir/Desktop"
mkdir -p "$user_dir/Desktop"

installer=$("$repo/packaging/make-installer" "$exe" "$program_dir/deployment.ini" "$work") || fail "makensis failed"
version=$(cmake -P "$repo/packaging/version.cmake")
installed="$user_dir/AppData/Local/Programs/砚舟文匣"
start_menu_shortcut="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/砚舟文匣.lnk"
desktop_shortcut="$user_dir/Desktop/砚舟文匣.lnk"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\YanzhouWenxia'

# setup ARGS...: runs the installer; its exit code in $setup_code.
setup() {
    setup_code=0
    "$WINE" "$installer" "$@" || setup_code=$?
}
# uninstall: the uninstaller copies itself away and returns at once; it is done when the prefix's
# last process has ended. It starts on a prefix at rest: once in about a dozen loaded runs its
# start failed right after an install. A start that still fails is tried once more, and said.
uninstall() {
    timeout 60 "$WINESERVER" -w || fail "the prefix did not come to rest before the uninstall"
    local code=0
    "$WINE" "$installed/uninstall.exe" /S || code=$?
    if [ "$code" != 0 ]; then
        echo "the uninstaller's start ended with code $code; starting it again" >&2
        timeout 60 "$WINESERVER" -w || true
        "$WINE" "$installed/uninstall.exe" /S || fail "the uninstaller did not start (code $?)"
    fi
    timeout 120 "$WINESERVER" -w || fail "the uninstaller did not finish"
}
uninstall_entry() {
    "$WINE" reg query "$uninstall_key" 2>/dev/null | tr -d '\r' | iconv -f GBK -t UTF-8
}

# The interactive installer's first page, for the eye.
"$WINE" "$installer" &
setup_pid=$!
started_pids+=("$setup_pid")
wait_for has_window "砚舟文匣 $version 安装" || fail "the installer showed no window"
eval "$(xdotool getwindowgeometry --shell "$(window_named "砚舟文匣 $version 安装")")"
# The welcome page's navy picture fills its left 164x314 pixels once the page is drawn.
welcome_picture_drawn() {
    import -window root "$work/poll.png"
    [ "$(count_colour "$work/poll.png" "$X" "$Y" 164 314 000080)" -gt 20000 ]
}
wait_for welcome_picture_drawn || fail "the installer's first page was not drawn"
screenshot installer-welcome
kill -9 "$setup_pid"
wait "$setup_pid" 2>/dev/null || true
[ ! -e "$installed" ] || fail "the first page alone installed something"

setup /S /DESKTOP
[ "$setup_code" = 0 ] || fail "the silent install ended with code $setup_code"
cmp -s "$installed/yanzhou.exe" "$exe" || fail "the installed program is not the one built"
cmp -s "$installed/deployment.ini" "$program_dir/deployment.ini" || fail "the deployment file is not the one given"
[ -f "$installed/uninstall.exe" ] || fail "no uninstaller"
[ -f "$desktop_shortcut" ] || fail "/DESKTOP made no desktop shortcut"
entry=$(uninstall_entry)
for value in 'DisplayName    REG_SZ    砚舟文匣' "DisplayVersion    REG_SZ    $version" 'Publisher    REG_SZ    霁川软件' \
    'DisplayIcon    REG_SZ    C:\users\root\AppData\Local\Programs\砚舟文匣\yanzhou.exe,0' \
    'UninstallString    REG_SZ    "C:\users\root\AppData\Local\Programs\砚舟文匣\uninstall.exe"'; do
    grep -qF "$value" <<<"$entry" || fail "the uninstall entry lacks '$value': $entry"
done

# The writer's own files beside the program: a configuration, a document, a locked document and
# the rescue folder.
printf '[功能配置]\r\n透明背景=200\r\n' | iconv -f UTF-8 -t GBK >"$installed/砚舟文匣配置文件"
printf '第一章\r\n' | iconv -f UTF-8 -t GBK >"$installed/第一章.txt"
head -c 64 /dev/urandom >"$installed/第一章.kkjx"
mkdir -p "$installed/砚舟文匣备份"
printf '第一章\r\n' | iconv -f UTF-8 -t GBK >"$installed/砚舟文匣备份/第一章.txt"

# The program as a writer starts it: from its Start-menu shortcut.
[ -f "$start_menu_shortcut" ] || fail "no Start-menu shortcut"
"$WINE" start /unix "$start_menu_shortcut" || fail "the Start-menu shortcut did not open"
wait_seconds=90 wait_for has_window "$main_title" || fail "the shortcut did not start the program"
main=$(window_named "$main_title")
eval "$(xdotool getwindowgeometry --shell "$main")"
main_x=$X
main_y=$Y
wait_for status_line_drawn || fail "the status line was not drawn"
screenshot installed-first-start
xdotool windowfocus --sync "$main"
xdotool mousemove --window "$main" 200 200 click 1
type_text --window "$main_title" --check '第一段' '{Enter}'
autosave="$installed/砚舟文匣自动存档"
wait_for test -s "$autosave" || fail "no auto-save beside the installed program"

# While it runs, the installer refuses and changes nothing.
setup /S
[ "$setup_code" = 2 ] || fail "an install over the running program ended with code $setup_code"
cmp -s "$installed/yanzhou.exe" "$exe" || fail "the refused install changed the program"
# So does the uninstaller, run in place (_?=) so that its exit code is its own.
uninstall_code=0
"$WINE" "$installed/uninstall.exe" /S '_?=C:\users\root\AppData\Local\Programs\砚舟文匣' || uninstall_code=$?
[ "$uninstall_code" = 2 ] || fail "an uninstall while the program runs ended with code $uninstall_code"
[ -f "$installed/yanzhou.exe" ] || fail "the refused uninstall removed the program"

# The program ends with every other process of this test's prefix.
"$WINESERVER" -k
timeout 60 "$WINESERVER" -w || fail "the prefix did not come to rest"

writers_files() {
    (cd "$installed" && sha256sum 砚舟文匣配置文件 砚舟文匣自动存档 第一章.txt 第一章.kkjx 砚舟文匣备份/第一章.txt)
}
before=$(writers_files)

# The upgrade: an older program in place is replaced; the writer's files stay as they were.
printf 'older' >>"$installed/yanzhou.exe"
setup /S
[ "$setup_code" = 0 ] || fail "the install over the old one ended with code $setup_code"
cmp -s "$installed/yanzhou.exe" "$exe" || fail "the upgrade did not replace the program"
[ "$(writers_files)" = "$before" ] || fail "the upgrade changed the writer's files"
[ -f "$desktop_shortcut" ] || fail "the upgrade lost the desktop shortcut"

uninstall
for file in yanzhou.exe deployment.ini uninstall.exe; do
    [ ! -e "$installed/$file" ] || fail "the uninstaller left $file"
done
[ ! -e "$start_menu_shortcut" ] || fail "the uninstaller left the Start-menu shortcut"
[ ! -e "$desktop_shortcut" ] || fail "the uninstaller left the desktop shortcut"
! "$WINE" reg query "$uninstall_key" >/dev/null 2>&1 || fail "the uninstaller left the uninstall entry"
[ "$(writers_files)" = "$before" ] || fail "the uninstaller touched the writer's files"

# With none of the writer's files the folder goes too; a silent install without /DESKTOP puts
# nothing on the desktop.
rm -rf "$installed"
setup /S
[ "$setup_code" = 0 ] || fail "the install after the uninstall ended with code $setup_code"
[ ! -e "$desktop_shortcut" ] || fail "a silent install without /DESKTOP made a desktop shortcut"
uninstall
[ ! -e "$installed" ] || fail "the uninstaller left the empty folder: $(ls -A "$installed")"
echo "installer: ok"
